// The board tree's add and fetch-settings commands with the real item settings dialog: the
// dialog's pages write their keys first, then the tree writes Count, Parent, Data and Url.

#include <gtest/gtest.h>

#include <QCheckBox>
#include <QImage>
#include <QLineEdit>
#include <QPushButton>

#include "app/command_ids.h"
#include "core/cp932.h"
#include "core/quor_app.h"
#include "core/settings_keys.h"
#include "dialog_test_support.h"
#include "ui/convert/conversion_page.h"
#include "ui/dialogs/item_settings_dialog.h"
#include "ui/views/board_tree_view.h"
#include "ui/views/board_tree_view_testing.h"

namespace quor::ui {
namespace {

using test::Control;
using test::ExecWith;
using test::U;

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

std::vector<std::string> Joined(std::vector<std::string> a, const std::vector<std::string>& b) {
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

class BoardTreeSettingsTest : public ::testing::Test {
protected:
    void SetUp() override {
        // Board 2 stands below board 1; boards 1 and 3 below the root.
        store_.SetInt(core::kSectionTree, "Count", 3);
        const char* names[] = {"一", "二", "三"};
        const int parents[] = {0, 1, 0};
        for (int n = 1; n <= 3; ++n) {
            store_.SetInt(core::kSectionTree, core::BoardKey("Parent", n), parents[n - 1]);
            store_.SetText(core::kSectionTree, core::BoardKey("Data", n), names[n - 1]);
            store_.SetText(core::kSectionTree, core::BoardKey("Url", n),
                           "http://example.jp/" + std::to_string(n));
        }
        std::vector<QString> icons;
        for (const char* name : {"a.png", "b.png", "c.png"}) {
            QImage image(16, 16, QImage::Format_ARGB32);
            image.fill(Qt::darkBlue);
            icons.push_back(QString::fromStdString((icons_.Path() / name).string()));
            ASSERT_TRUE(image.save(icons.back()));
        }
        CQuorViewTesting::SetIconPaths(view_, icons);
        CQuorViewTesting::SetItemSettingsOpener(view_, [this](QWidget* owner, int number) {
            CItemSettingsDialog dialog(app_.Store(), number, owner);
            opened_.push_back(number);
            const int result = ExecWith(dialog, [&] { inDialog_(dialog); });
            return ItemSettingsResult{result == QDialog::Accepted, dialog.Name(), dialog.Url()};
        });
        view_.BuildTree();
        store_.store.Clear();
    }

    void Select(int entry) { view_.setCurrentItem(view_.Entries().at(entry).item); }

    // The view below is a widget: the application comes first.
    QApplication& application_ = test::App();
    test::TestStore store_;
    test::TempDir icons_;
    core::CQuorApp app_{store_.store};
    CQuorView view_{app_};
    std::vector<int> opened_;
    // What the user does in the dialog.
    std::function<void(CItemSettingsDialog&)> inDialog_;
};

void FillAndConfirm(CItemSettingsDialog& dialog, const char* name, const char* url) {
    dialog.findChild<QLineEdit*>(ControlName(1000), Qt::FindDirectChildrenOnly)->setText(U(name));
    dialog.findChild<QLineEdit*>(ControlName(1001), Qt::FindDirectChildrenOnly)->setText(U(url));
    Control<QCheckBox>(dialog.findChild<ui::CConversionPage*>(), 1031)->click();
    Control<QPushButton>(&dialog, 1)->click();
}

TEST_F(BoardTreeSettingsTest, AddingBelowTheRootWritesPagesThenTheTreeKeys) {
    Select(0);
    inDialog_ = [](CItemSettingsDialog& d) { FillAndConfirm(d, "新しい板", "http://new/"); };
    view_.OnCommand(app::command::kNewItem);

    EXPECT_EQ(opened_, std::vector<int>{4});
    EXPECT_EQ(store_.store.WrittenKeys(),
              Joined(PageKeys(4), {"Tree/Count", "Tree/Parent4", "Tree/Data4", "Tree/Url4"}));
    EXPECT_EQ(store_.settings.ReadInt(core::kSectionTree, "Count", 0), 4);
    EXPECT_EQ(store_.settings.ReadInt(core::kSectionTree, "Parent4", -1), 0);
    EXPECT_EQ(store_.Text(core::kSectionTree, "Data4"), "新しい板");
    EXPECT_EQ(store_.Text(core::kSectionTree, "Url4"), "http://new/");
    EXPECT_EQ(store_.settings.ReadInt(core::kSectionTree, "Enable4", 0), 1);
    ASSERT_EQ(view_.Entries().size(), 5u);
    EXPECT_EQ(view_.Entries()[4].item->parent(), view_.Entries()[0].item);
}

TEST_F(BoardTreeSettingsTest, AddingBelowBoardTwoNamesItAsParent) {
    Select(2);
    inDialog_ = [](CItemSettingsDialog& d) { FillAndConfirm(d, "子", "http://child/"); };
    view_.OnCommand(app::command::kNewItemToolbar);

    EXPECT_EQ(store_.store.WrittenKeys(),
              Joined(PageKeys(4), {"Tree/Count", "Tree/Parent4", "Tree/Data4", "Tree/Url4"}));
    EXPECT_EQ(store_.settings.ReadInt(core::kSectionTree, "Parent4", -1), 2);
    ASSERT_EQ(view_.Entries().size(), 5u);
    EXPECT_EQ(view_.Entries()[4].item->parent(), view_.Entries()[2].item);
}

TEST_F(BoardTreeSettingsTest, AddingCancelledWritesNothing) {
    Select(0);
    inDialog_ = [](CItemSettingsDialog& d) {
        d.findChild<QLineEdit*>(ControlName(1000), Qt::FindDirectChildrenOnly)->setText(U("x"));
        Control<QPushButton>(&d, 2)->click();
    };
    view_.OnCommand(app::command::kNewItem);
    EXPECT_EQ(opened_, std::vector<int>{4});
    EXPECT_TRUE(store_.store.Writes().empty());
    EXPECT_EQ(view_.Entries().size(), 4u);
}

TEST_F(BoardTreeSettingsTest, FetchSettingsStoresTheNewNameOrKeepsTheOldOneOnCancel) {
    Select(3);
    inDialog_ = [](CItemSettingsDialog& d) { FillAndConfirm(d, "改名", "http://renamed/"); };
    view_.OnCommand(app::command::kFetchSettings);
    EXPECT_EQ(opened_, std::vector<int>{3});
    EXPECT_EQ(store_.store.WrittenKeys(), Joined(PageKeys(3), {"Tree/Data3", "Tree/Url3"}));
    EXPECT_EQ(store_.Text(core::kSectionTree, "Data3"), "改名");
    EXPECT_EQ(view_.Entries()[3].item->text(0), U("改名"));

    store_.store.Clear();
    inDialog_ = [](CItemSettingsDialog& d) {
        d.findChild<QLineEdit*>(ControlName(1000), Qt::FindDirectChildrenOnly)->setText(U("x"));
        Control<QPushButton>(&d, 2)->click();
    };
    view_.OnCommand(app::command::kFetchSettings);
    // Only the name and URL go back, as they were loaded.
    EXPECT_EQ(store_.store.WrittenKeys(), (std::vector<std::string>{"Tree/Data3", "Tree/Url3"}));
    EXPECT_EQ(store_.Text(core::kSectionTree, "Data3"), "改名");
    EXPECT_EQ(store_.Text(core::kSectionTree, "Url3"), "http://renamed/");
}

}  // namespace
}  // namespace quor::ui
