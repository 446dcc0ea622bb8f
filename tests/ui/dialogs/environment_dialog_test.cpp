#include <gtest/gtest.h>

#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFileDialog>
#include <QLineEdit>
#include <QPushButton>

#include "core/cp932.h"
#include "core/settings_keys.h"
#include "dialog_test_support.h"
#include "ui/fetch/environment_dialog.h"
#include "ui/fetch/environment_dialog_testing.h"

namespace quor::ui {
namespace {

using test::Control;
using test::ExecWith;
using test::U;
using test::Utf8;

// The ten keys in the order OK writes them.
const std::vector<std::string> kWriteOrder = {
    "QUOR/PROXYENABLE",  "QUOR/PROXYPORT",      "QUOR/PROXYSV", "QUOR/TIMEOUT",
    "QUOR/THREADCOUNT",  "QUOR/THREADPRIORITY", "QUOR/ODIR",    "QUOR/AUTOSAVE",
    "QUOR/AUTOSAVEDATA", "QUOR/AUTOCHECK"};

class EnvironmentDialogTest : public ::testing::Test {
protected:
    void SetUp() override { test::App(); }

    QLineEdit* Edit(const QDialog& dialog, int id) { return Control<QLineEdit>(&dialog, id); }
    QCheckBox* Box(const QDialog& dialog, int id) { return Control<QCheckBox>(&dialog, id); }
    void Press(const QDialog& dialog, int id) { Control<QPushButton>(&dialog, id)->click(); }

    // Presses OK and gives the texts of the message boxes it opened.
    std::vector<QString> PressOk(const QDialog& dialog) {
        test::MessageBoxCatcher catcher;
        Press(dialog, 1);
        return catcher.Texts();
    }

    test::TestStore store_;
};

TEST_F(EnvironmentDialogTest, FreshStoreShowsTheDialogsDefaults) {
    CEnvironmentDialog dialog(store_.store);
    EXPECT_EQ(Utf8(dialog.windowTitle()), "環境設定");
    EXPECT_FALSE(Box(dialog, 1002)->isChecked());
    EXPECT_TRUE(Edit(dialog, 1000)->text().isEmpty());
    EXPECT_EQ(Utf8(Edit(dialog, 1001)->text()), "0");
    EXPECT_EQ(Utf8(Edit(dialog, 1003)->text()), "5");
    EXPECT_EQ(Utf8(Edit(dialog, 1004)->text()), "120");
    EXPECT_EQ(Utf8(Control<QComboBox>(&dialog, 1005)->currentText()), "普通");
    EXPECT_TRUE(Edit(dialog, 1025)->text().isEmpty());
    for (int id : {1028, 1031, 1032})
        EXPECT_FALSE(Box(dialog, id)->isChecked()) << id;
}

TEST_F(EnvironmentDialogTest, OkWritesTheTenKeysInOrderWithTheShownValues) {
    store_.SetInt(core::kSectionGlobal, "PROXYENABLE", 1);
    store_.SetText(core::kSectionGlobal, "PROXYSV", "proxy.example.jp");
    store_.SetInt(core::kSectionGlobal, "PROXYPORT", 3128);
    store_.SetInt(core::kSectionGlobal, "THREADCOUNT", 3);
    store_.SetInt(core::kSectionGlobal, "TIMEOUT", 60);
    store_.SetInt(core::kSectionGlobal, "THREADPRIORITY", 0);
    store_.SetText(core::kSectionGlobal, "ODIR", "/home/太郎/掲示板/");
    store_.SetInt(core::kSectionGlobal, "AUTOSAVE", 1);

    CEnvironmentDialog dialog(store_.store);
    EXPECT_TRUE(Box(dialog, 1002)->isChecked());
    EXPECT_EQ(Utf8(Edit(dialog, 1000)->text()), "proxy.example.jp");
    EXPECT_EQ(Utf8(Edit(dialog, 1001)->text()), "3128");
    EXPECT_EQ(Utf8(Control<QComboBox>(&dialog, 1005)->currentText()), "最優先");
    EXPECT_EQ(Utf8(Edit(dialog, 1025)->text()), "/home/太郎/掲示板/");
    EXPECT_TRUE(Box(dialog, 1031)->isChecked());

    std::vector<QString> messages;
    const int result = ExecWith(dialog, [&] {
        Edit(dialog, 1004)->setText(U("10000"));
        Control<QComboBox>(&dialog, 1005)->setCurrentText(U("遅い"));
        Box(dialog, 1028)->click();
        messages = PressOk(dialog);
    });
    EXPECT_EQ(result, QDialog::Accepted);
    EXPECT_TRUE(messages.empty());
    const std::vector<test::RecordingStore::Write> expected = {
        {"QUOR/PROXYENABLE", "1"},
        {"QUOR/PROXYPORT", "3128"},
        {"QUOR/PROXYSV", "proxy.example.jp"},
        {"QUOR/TIMEOUT", "10000"},
        {"QUOR/THREADCOUNT", "3"},
        {"QUOR/THREADPRIORITY", "3"},
        {"QUOR/ODIR", core::FromUtf8("/home/太郎/掲示板/")},
        {"QUOR/AUTOSAVE", "1"},
        {"QUOR/AUTOSAVEDATA", "0"},
        {"QUOR/AUTOCHECK", "1"},
    };
    EXPECT_EQ(store_.store.Writes(), expected);
    EXPECT_EQ(store_.Text(core::kSectionGlobal, "ODIR"), "/home/太郎/掲示板/");
}

TEST_F(EnvironmentDialogTest, ConfirmingAFreshStoreStoresWhatTheDialogShows) {
    CEnvironmentDialog dialog(store_.store);
    ExecWith(dialog, [&] { EXPECT_TRUE(PressOk(dialog).empty()); });
    EXPECT_EQ(store_.store.WrittenKeys(), kWriteOrder);
    EXPECT_EQ(store_.settings.ReadInt(core::kSectionGlobal, "THREADCOUNT", 0), 5);
    EXPECT_EQ(store_.settings.ReadInt(core::kSectionGlobal, "PROXYPORT", -1), 0);
    EXPECT_EQ(store_.settings.ReadInt(core::kSectionGlobal, "TIMEOUT", 0), 120);
    EXPECT_EQ(store_.settings.ReadInt(core::kSectionGlobal, "THREADPRIORITY", 0), 2);
    EXPECT_EQ(store_.Text(core::kSectionGlobal, "ODIR"), "");
}

TEST_F(EnvironmentDialogTest, EveryInvalidValueIsRefusedAndNothingWritten) {
    struct Case {
        int id;
        const char* typed;
        const char* label;  // nullptr: accepted
    };
    const Case cases[] = {
        {1003, "0", "Thread数"},      {1003, "11", "Thread数"},   {1003, "", "Thread数"},
        {1003, "five", "Thread数"},   {1003, "1", nullptr},       {1003, "10", nullptr},
        {1004, "0", "TimeOut"},       {1004, "10001", "TimeOut"}, {1004, "-120", "TimeOut"},
        {1004, "2.5", "TimeOut"},     {1004, "1", nullptr},       {1004, "10000", nullptr},
        {1001, "65536", "Port"},      {1001, "-1", "Port"},       {1001, "80a", "Port"},
        {1001, "4294967296", "Port"}, {1001, "65535", nullptr},   {1001, " 8080 ", nullptr},
    };
    for (const auto& c : cases) {
        store_.store.Clear();
        CEnvironmentDialog dialog(store_.store);
        std::vector<QString> messages;
        bool stayedOpen = false;
        const int result = ExecWith(dialog, [&] {
            Edit(dialog, c.id)->setText(U(c.typed));
            messages = PressOk(dialog);
            stayedOpen = dialog.isVisible();
            if (stayedOpen) {
                EXPECT_EQ(dialog.focusWidget(), Edit(dialog, c.id)) << c.typed;
                Press(dialog, 2);
            }
        });
        if (c.label) {
            EXPECT_TRUE(stayedOpen) << c.id << " " << c.typed;
            EXPECT_EQ(result, QDialog::Rejected);
            ASSERT_EQ(messages.size(), 1u) << c.id << " " << c.typed;
            EXPECT_TRUE(messages[0].contains(U(c.label))) << Utf8(messages[0]);
            EXPECT_TRUE(store_.store.Writes().empty()) << c.id << " " << c.typed;
        } else {
            EXPECT_EQ(result, QDialog::Accepted) << c.id << " " << c.typed;
            EXPECT_TRUE(messages.empty());
            EXPECT_EQ(store_.store.WrittenKeys(), kWriteOrder);
        }
    }
}

TEST_F(EnvironmentDialogTest, CancelWritesNothing) {
    store_.SetInt(core::kSectionGlobal, "TIMEOUT", 30);
    const std::string before = store_.FileBytes();
    CEnvironmentDialog dialog(store_.store);
    ExecWith(dialog, [&] {
        Edit(dialog, 1004)->setText(U("45"));
        Box(dialog, 1002)->click();
        Press(dialog, 2);
    });
    EXPECT_TRUE(store_.store.Writes().empty());
    EXPECT_EQ(store_.FileBytes(), before);
}

TEST_F(EnvironmentDialogTest, OnlyAStoredOneTicksABox) {
    // The request path and the automatic actions act on exactly 1; a box shows that.
    for (int stored : {2, -1}) {
        store_.SetInt(core::kSectionGlobal, "PROXYENABLE", stored);
        store_.SetInt(core::kSectionGlobal, "AUTOCHECK", stored);
        CEnvironmentDialog dialog(store_.store);
        EXPECT_FALSE(Box(dialog, 1002)->isChecked()) << stored;
        EXPECT_FALSE(Box(dialog, 1028)->isChecked()) << stored;
    }
}

TEST_F(EnvironmentDialogTest, PickedFolderGetsItsSeparatorAndKeepsTypedValues) {
    CEnvironmentDialog dialog(store_.store);
    std::vector<std::optional<QString>> answers = {std::nullopt, QStringLiteral("/data/boards"),
                                                   QStringLiteral("/")};
    std::size_t asked = 0;
    CEnvironmentDialogTesting::SetFolderPicker(dialog, [&](QWidget* parent) {
        EXPECT_EQ(parent, &dialog);
        return answers.at(asked++);
    });
    auto* browse = Control<QPushButton>(&dialog, 1026);
    Edit(dialog, 1003)->setText(U("7"));
    Edit(dialog, 1025)->setText(U("/typed/"));

    browse->click();  // cancelled
    EXPECT_EQ(Utf8(Edit(dialog, 1025)->text()), "/typed/");
    browse->click();
    EXPECT_EQ(Utf8(Edit(dialog, 1025)->text()), "/data/boards/");
    EXPECT_EQ(Utf8(Edit(dialog, 1003)->text()), "7");
    browse->click();
    EXPECT_EQ(Utf8(Edit(dialog, 1025)->text()), "/");
    EXPECT_EQ(asked, 3u);
}

TEST_F(EnvironmentDialogTest, TheFolderPickerIsTitledAndItsChoiceLandsInTheEdit) {
    test::TempDir folder;
    CEnvironmentDialog dialog(store_.store);
    bool sawPicker = false;
    const int result = ExecWith(dialog, [&] {
        QTimer::singleShot(0, &dialog, [&] {
            QFileDialog* picker = nullptr;
            EXPECT_TRUE(test::WaitUntil([&] {
                picker = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
                return picker != nullptr;
            }));
            if (!picker)
                return;
            sawPicker = true;
            EXPECT_EQ(Utf8(picker->windowTitle()), "出力先選択");
            EXPECT_EQ(picker->fileMode(), QFileDialog::Directory);
            picker->setDirectory(QString::fromStdString(folder.Path().parent_path().string()));
            picker->selectFile(QString::fromStdString(folder.Path().string()));
            static_cast<QDialog*>(picker)->accept();  // QFileDialog's own is protected
        });
        Control<QPushButton>(&dialog, 1026)->click();
        EXPECT_TRUE(PressOk(dialog).empty()) << "a picked folder draws no warning";
    });
    EXPECT_TRUE(sawPicker);
    EXPECT_EQ(result, QDialog::Accepted);
    EXPECT_EQ(store_.Text(core::kSectionGlobal, "ODIR"), folder.Path().string() + "/");
}

TEST_F(EnvironmentDialogTest, TypedDirectoryWithoutSeparatorIsStoredAfterAWarning) {
    struct Case {
        const char* stored;
        const char* typed;  // nullptr: left untouched
        bool warned;
    };
    const Case cases[] = {{"", "/home/user/logs", true},
                          {"", "/home/user/logs/", false},
                          {"/old/prefix-", nullptr, false},
                          {"/old/", "", false}};
    for (const auto& c : cases) {
        store_.SetText(core::kSectionGlobal, "ODIR", c.stored);
        CEnvironmentDialog dialog(store_.store);
        std::vector<QString> messages;
        const int result = ExecWith(dialog, [&] {
            if (c.typed)
                Edit(dialog, 1025)->setText(U(c.typed));
            messages = PressOk(dialog);
        });
        const std::string expected = c.typed ? c.typed : c.stored;
        EXPECT_EQ(result, QDialog::Accepted) << expected;
        EXPECT_EQ(store_.Text(core::kSectionGlobal, "ODIR"), expected);
        ASSERT_EQ(messages.size(), c.warned ? 1u : 0u) << expected;
        if (c.warned) {
            EXPECT_TRUE(messages[0].contains(QStringLiteral("logs"))) << Utf8(messages[0]);
        }
    }
}

}  // namespace
}  // namespace quor::ui
