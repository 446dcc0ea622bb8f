#include <gtest/gtest.h>

#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QTabBar>
#include <QTabWidget>
#include <QTest>

#include "core/cp932.h"
#include "core/settings_keys.h"
#include "dialog_test_support.h"
#include "ui/convert/bbs_type_page.h"
#include "ui/convert/conversion_page.h"
#include "ui/dialogs/item_settings_dialog.h"
#include "ui/fetch/page_turn_page.h"

namespace quor::ui {
namespace {

using test::Control;
using test::ExecWith;
using test::U;
using test::Utf8;

// Every key the three pages write for board n, in the order OK writes them.
std::vector<std::string> PageKeys(int n) {
    std::vector<std::string> keys;
    for (const char* stem :
         {"Type",   "CCode",  "Order",   "Pass",     "TitA",    "TitB",   "NameA",
          "NameB",  "DateA",  "DateB",   "HonbunA",  "HonbunB", "Fields", "Ref",
          "Cokkie", "PageCt", "PageBtn", "PageSent", "NextAna", "LFCV",   "SPCV",
          "TGCV",   "Enable", "NoCase",  "CharRef",  "Render"})
        keys.push_back("Tree/" + core::BoardKey(stem, n));
    return keys;
}

class ItemSettingsDialogTest : public ::testing::Test {
protected:
    void SetUp() override { test::App(); }

    QLineEdit* NameEdit(const QDialog& dialog) {
        return dialog.findChild<QLineEdit*>(ControlName(1000), Qt::FindDirectChildrenOnly);
    }
    QLineEdit* UrlEdit(const QDialog& dialog) {
        return dialog.findChild<QLineEdit*>(ControlName(1001), Qt::FindDirectChildrenOnly);
    }
    template <typename Page>
    Page* PageOf(const QDialog& dialog) {
        auto* page = dialog.findChild<Page*>();
        EXPECT_NE(page, nullptr);
        return page;
    }
    void Press(const QDialog& dialog, int id) { Control<QPushButton>(&dialog, id)->click(); }

    test::TestStore store_;
};

TEST_F(ItemSettingsDialogTest, StoredBoardOkGivesNameAndUrlBackAndRewritesEveryPageKey) {
    store_.SetText(core::kSectionTree, "Data3", "雑談板");
    store_.SetText(core::kSectionTree, "Url3", "http://example.jp/cgi-bin/bbs.cgi");
    store_.SetInt(core::kSectionTree, "Type3", 2);
    store_.SetText(core::kSectionTree, "TitA3", "<b>");
    store_.SetInt(core::kSectionTree, "PageCt3", 4);
    store_.SetInt(core::kSectionTree, "TGCV3", 1);

    CItemSettingsDialog dialog(store_.store, 3);
    EXPECT_EQ(Utf8(dialog.windowTitle()), "設定");
    EXPECT_EQ(Utf8(NameEdit(dialog)->text()), "雑談板");
    EXPECT_EQ(Utf8(UrlEdit(dialog)->text()), "http://example.jp/cgi-bin/bbs.cgi");
    const int result = ExecWith(dialog, [&] { Press(dialog, 1); });

    EXPECT_EQ(result, QDialog::Accepted);
    EXPECT_EQ(dialog.Name(), core::FromUtf8("雑談板"));
    EXPECT_EQ(dialog.Url(), "http://example.jp/cgi-bin/bbs.cgi");
    // The pages in tab order; the name and URL are the caller's to write.
    EXPECT_EQ(store_.store.WrittenKeys(), PageKeys(3));
    EXPECT_EQ(store_.settings.ReadInt(core::kSectionTree, "Type3", 0), 2);
    EXPECT_EQ(store_.Text(core::kSectionTree, "TitA3"), "<b>");
    EXPECT_EQ(store_.settings.ReadInt(core::kSectionTree, "PageCt3", 0), 4);
    EXPECT_EQ(store_.settings.ReadInt(core::kSectionTree, "TGCV3", 0), 1);
}

TEST_F(ItemSettingsDialogTest, TabsHoldThePagesInOrderForTheDialogsBoard) {
    CItemSettingsDialog dialog(store_.store, 12);
    auto* tabs = Control<QTabWidget>(&dialog, 1006);
    ASSERT_EQ(tabs->count(), 3);
    EXPECT_EQ(Utf8(tabs->tabText(0)), "変換設定");
    EXPECT_EQ(Utf8(tabs->tabText(1)), "取得設定");
    EXPECT_EQ(Utf8(tabs->tabText(2)), "変換設定2");
    auto* bbsType = qobject_cast<ui::CBbsTypePage*>(tabs->widget(0));
    auto* pageTurn = qobject_cast<ui::CPageTurnPage*>(tabs->widget(1));
    auto* conversion = qobject_cast<ui::CConversionPage*>(tabs->widget(2));
    ASSERT_TRUE(bbsType && pageTurn && conversion);
    EXPECT_EQ(bbsType->BoardNumber(), 12);
    EXPECT_EQ(pageTurn->BoardNumber(), 12);
    EXPECT_EQ(conversion->BoardNumber(), 12);
    EXPECT_EQ(tabs->currentIndex(), 0);
}

TEST_F(ItemSettingsDialogTest, UnusedNumberOpensEmptyOrWithTheCallersInitialValues) {
    CItemSettingsDialog fresh(store_.store, 7);
    EXPECT_TRUE(NameEdit(fresh)->text().isEmpty());
    EXPECT_TRUE(UrlEdit(fresh)->text().isEmpty());

    CItemSettingsDialog suggested(store_.store, 7, nullptr, core::FromUtf8("新しい板"),
                                  "http://new/");
    EXPECT_EQ(Utf8(NameEdit(suggested)->text()), "新しい板");
    EXPECT_EQ(Utf8(UrlEdit(suggested)->text()), "http://new/");

    // What a board deleted earlier left under the number wins over the suggestion.
    store_.SetText(core::kSectionTree, "Data7", "古い板");
    CItemSettingsDialog reused(store_.store, 7, nullptr, core::FromUtf8("新しい板"), "");
    EXPECT_EQ(Utf8(NameEdit(reused)->text()), "古い板");
}

TEST_F(ItemSettingsDialogTest, CancelAfterEditingLeavesTheStoreAndGivesTheLoadedValues) {
    store_.SetText(core::kSectionTree, "Data2", "板");
    store_.SetText(core::kSectionTree, "Url2", "http://a/");
    const std::string before = store_.FileBytes();

    CItemSettingsDialog dialog(store_.store, 2);
    const int result = ExecWith(dialog, [&] {
        NameEdit(dialog)->setText(U("別の名前"));
        UrlEdit(dialog)->setText(U("http://b/"));
        Control<QComboBox>(PageOf<ui::CBbsTypePage>(dialog), 1016)->setCurrentIndex(4);
        Control<QLineEdit>(PageOf<ui::CPageTurnPage>(dialog), 1001)->setText(U("9"));
        Control<QCheckBox>(PageOf<ui::CConversionPage>(dialog), 1031)->click();
        Press(dialog, 2);
    });

    EXPECT_EQ(result, QDialog::Rejected);
    EXPECT_TRUE(store_.store.Writes().empty());
    EXPECT_EQ(store_.FileBytes(), before);
    EXPECT_EQ(dialog.Name(), core::FromUtf8("板"));
    EXPECT_EQ(dialog.Url(), "http://a/");
}

TEST_F(ItemSettingsDialogTest, EnterAndEscapeCloseTheDialogOnlyOutsideItsPages) {
    struct Case {
        int page;  // -1: the name edit of the dialog itself
        Qt::Key key;
        int closedWith;  // -1: stays open
    };
    const Case cases[] = {{-1, Qt::Key_Return, QDialog::Accepted},
                          {-1, Qt::Key_Escape, QDialog::Rejected},
                          {0, Qt::Key_Return, -1},
                          {0, Qt::Key_Escape, -1},
                          {1, Qt::Key_Enter, -1},
                          {2, Qt::Key_Escape, -1}};
    for (const auto& c : cases) {
        store_.store.Clear();
        CItemSettingsDialog dialog(store_.store, 1);
        auto* tabs = Control<QTabWidget>(&dialog, 1006);
        bool stayedOpen = false;
        const int result = ExecWith(dialog, [&] {
            QWidget* target = NameEdit(dialog);
            if (c.page >= 0) {
                tabs->setCurrentIndex(c.page);
                // The first edit or box of the page.
                target = tabs->widget(c.page)->findChild<QLineEdit*>();
                if (!target)
                    target = tabs->widget(c.page)->findChild<QCheckBox*>();
            }
            target->setFocus();
            QTest::keyClick(target, c.key);
            stayedOpen = dialog.isVisible();
            if (stayedOpen)
                Press(dialog, 2);
        });
        if (c.closedWith < 0) {
            EXPECT_TRUE(stayedOpen) << c.page << " " << c.key;
            EXPECT_TRUE(store_.store.Writes().empty()) << c.page << " " << c.key;
        } else {
            EXPECT_FALSE(stayedOpen) << c.key;
            EXPECT_EQ(result, c.closedWith) << c.key;
        }
    }
}

TEST_F(ItemSettingsDialogTest, ValueChangedOnAHiddenTabIsSavedByOk) {
    CItemSettingsDialog dialog(store_.store, 5);
    auto* tabs = Control<QTabWidget>(&dialog, 1006);
    ExecWith(dialog, [&] {
        tabs->tabBar()->setCurrentIndex(1);
        auto* count = Control<QLineEdit>(PageOf<ui::CPageTurnPage>(dialog), 1001);
        EXPECT_TRUE(count->isVisible());
        count->setText(U("30"));
        tabs->tabBar()->setCurrentIndex(0);
        EXPECT_FALSE(count->isVisible());
        Press(dialog, 1);
    });
    EXPECT_EQ(store_.settings.ReadInt(core::kSectionTree, "PageCt5", 0), 30);
}

TEST_F(ItemSettingsDialogTest, NoFieldHasTheFocusAtFirst) {
    CItemSettingsDialog dialog(store_.store, 1);
    ExecWith(dialog, [&] {
        // Once the window is active, Qt would give the focus to its first edit.
        EXPECT_TRUE(test::WaitUntil([&] { return dialog.isActiveWindow(); }));
        QTest::qWait(20);
        QWidget* focused = dialog.focusWidget();
        EXPECT_TRUE(focused == nullptr || focused == &dialog)
            << "focus on " << focused->objectName().toStdString();
        Press(dialog, 2);
    });
}

TEST_F(ItemSettingsDialogTest, InvalidEntriesKeepTheDialogOpenAndWriteNothing) {
    const auto kanji = [](int count) {
        std::string text;
        for (int i = 0; i < count; ++i)
            text += "漢";
        return text;
    };
    struct Case {
        std::string name;
        std::string url;  // UTF-8
        const char* pageCount;
        const char* messagePart;  // empty: accepted
    };
    const std::vector<Case> cases = {
        {"a/b", "http://x/", "1", "項目名"},
        {"..\\up", "http://x/", "1", "項目名"},
        {"ok", "http://x/" + std::string(1024 - 9, 'a'), "1", "URL"},
        // The limit counts CP932 bytes: two per kanji, neither one per character nor three.
        {"ok", "http://x/" + kanji(508) + "a", "1", "URL"},  // 1026 bytes
        {"ok", "http://x/" + kanji(500), "1", ""},           // 1009 bytes, 1509 in UTF-8
        {"ok", "http://x/", "101", "Pageまで"},
        {"ok", "http://x/", "many", "Pageまで"},
        {"ok", "http://x/" + std::string(1023 - 9, 'a'), "100", ""},
        {"名前 (2) 「板」", "", "0", ""},
    };
    for (const auto& c : cases) {
        store_.store.Clear();
        CItemSettingsDialog dialog(store_.store, 4);
        auto* tabs = Control<QTabWidget>(&dialog, 1006);
        std::vector<QString> messages;
        bool stayedOpen = false;
        const int result = ExecWith(dialog, [&] {
            NameEdit(dialog)->setText(QString::fromStdString(c.name));
            UrlEdit(dialog)->setText(QString::fromStdString(c.url));
            Control<QLineEdit>(PageOf<ui::CPageTurnPage>(dialog), 1001)->setText(U(c.pageCount));
            {
                test::MessageBoxCatcher catcher;
                Press(dialog, 1);
                messages = catcher.Texts();
            }
            stayedOpen = dialog.isVisible();
            if (stayedOpen) {
                if (std::string(c.messagePart) == "Pageまで") {
                    EXPECT_EQ(tabs->currentIndex(), 1) << "the field's tab is shown";
                }
                Press(dialog, 2);
            }
        });
        if (*c.messagePart) {
            EXPECT_TRUE(stayedOpen) << c.name << " " << c.url.size();
            EXPECT_EQ(result, QDialog::Rejected);
            ASSERT_EQ(messages.size(), 1u) << c.name;
            EXPECT_TRUE(messages[0].contains(U(c.messagePart))) << Utf8(messages[0]);
            EXPECT_TRUE(store_.store.Writes().empty()) << c.name;
        } else {
            EXPECT_EQ(result, QDialog::Accepted) << c.name << " " << c.url.size();
            EXPECT_TRUE(messages.empty());
            EXPECT_EQ(dialog.Name(), core::FromUtf8(c.name));
            EXPECT_EQ(dialog.Url(), core::FromUtf8(c.url));
            EXPECT_EQ(store_.store.WrittenKeys(), PageKeys(4));
        }
    }
}

TEST_F(ItemSettingsDialogTest, DialogWithoutBoardNumberSavesNoPage) {
    CItemSettingsDialog dialog(store_.store, -1);
    const int result = ExecWith(dialog, [&] {
        NameEdit(dialog)->setText(U("name"));
        Press(dialog, 1);
    });
    EXPECT_EQ(result, QDialog::Accepted);
    EXPECT_EQ(dialog.Name(), "name");
    EXPECT_TRUE(store_.store.Writes().empty());
}

}  // namespace
}  // namespace quor::ui
