// What a person sees: every text of every dialog fits its control, and every control lies
// inside the widget that holds it. With QUOR_DIALOG_SNAPSHOTS set to a folder, each dialog is
// also saved there as a PNG to look at.

#include <gtest/gtest.h>

#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTabWidget>

#include "core/settings_keys.h"
#include "dialog_test_support.h"
#include "ui/dialogs/item_settings_dialog.h"
#include "ui/fetch/environment_dialog.h"

namespace quor::ui {
namespace {

using test::Control;

// The width a control needs to show its whole text.
int NeededWidth(const QWidget* widget) {
    if (auto* label = qobject_cast<const QLabel*>(widget))
        return label->fontMetrics().horizontalAdvance(label->text());
    if (auto* group = qobject_cast<const QGroupBox*>(widget))
        return group->fontMetrics().horizontalAdvance(group->title());
    // Check boxes and radio buttons need room for their mark as well.
    if (qobject_cast<const QCheckBox*>(widget) || qobject_cast<const QRadioButton*>(widget) ||
        qobject_cast<const QComboBox*>(widget))
        return widget->sizeHint().width();
    if (auto* button = qobject_cast<const QPushButton*>(widget))
        return button->fontMetrics().horizontalAdvance(button->text()) + 6;
    return 0;
}

// Checks every visible control below the root; gives how many had a text to check.
int ExpectNothingClipped(const QWidget* root, const std::string& view) {
    int checked = 0;
    for (const QWidget* widget : root->findChildren<QWidget*>()) {
        if (!widget->isVisible() || widget->isWindow())
            continue;
        const QWidget* holder = widget->parentWidget();
        EXPECT_TRUE(holder->rect().contains(widget->geometry()))
            << view << ": " << widget->metaObject()->className() << " "
            << widget->objectName().toStdString() << " sticks out of its holder";
        if (const int needed = NeededWidth(widget); needed > 0) {
            ++checked;
            EXPECT_GE(widget->width(), needed)
                << view << ": " << widget->metaObject()->className() << " "
                << widget->objectName().toStdString() << " is cut";
            EXPECT_GE(widget->height(), widget->fontMetrics().height())
                << view << ": " << widget->objectName().toStdString() << " too low";
        }
    }
    return checked;
}

void Snapshot(QWidget& window, const std::string& name) {
    const QByteArray folder = qgetenv("QUOR_DIALOG_SNAPSHOTS");
    if (folder.isEmpty())
        return;
    QDir().mkpath(QString::fromUtf8(folder));
    const QString path = QString::fromUtf8(folder) + QLatin1Char('/') +
                         QString::fromStdString(name) + QStringLiteral(".png");
    EXPECT_TRUE(window.grab().save(path)) << path.toStdString();
}

class DialogLookTest : public ::testing::Test {
protected:
    void SetUp() override {
        test::App();
        // Long stored texts must not widen or break anything either.
        store_.SetText(core::kSectionTree, "Data1", "雑談掲示板");
        store_.SetText(core::kSectionTree, "Url1", "http://example.jp/cgi-bin/bbs/light.cgi");
        store_.SetInt(core::kSectionTree, "Type1", 9);
        store_.SetInt(core::kSectionTree, "Order1", 6);
        store_.SetText(core::kSectionTree, "TitA1", "<td><font size=\"5\" color=\"#ff0000\">");
        store_.SetText(core::kSectionTree, "Ref1", "http://example.jp/");
        store_.SetInt(core::kSectionTree, "NextAna1", 3);
    }
    test::TestStore store_;
};

TEST_F(DialogLookTest, EveryTabOfTheItemSettingsDialogShowsItsTextsWhole) {
    CItemSettingsDialog dialog(store_.store, 1);
    dialog.show();
    ASSERT_TRUE(test::WaitUntil([&] { return dialog.isVisible(); }));
    auto* tabs = Control<QTabWidget>(&dialog, 1006);
    const char* names[] = {"item-settings-bbs-type", "item-settings-page-turn",
                           "item-settings-conversion"};
    for (int tab = 0; tab < tabs->count(); ++tab) {
        tabs->setCurrentIndex(tab);
        QApplication::processEvents();
        EXPECT_GT(ExpectNothingClipped(&dialog, names[tab]), 5) << names[tab];
        Snapshot(dialog, names[tab]);
    }
}

TEST_F(DialogLookTest, TheEnvironmentDialogShowsItsTextsWhole) {
    ui::CEnvironmentDialog dialog(store_.store);
    dialog.show();
    ASSERT_TRUE(test::WaitUntil([&] { return dialog.isVisible(); }));
    QApplication::processEvents();
    EXPECT_GT(ExpectNothingClipped(&dialog, "environment"), 15);
    Snapshot(dialog, "environment");
}

}  // namespace
}  // namespace quor::ui
