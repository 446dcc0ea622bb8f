#include <gtest/gtest.h>

#include <QCheckBox>
#include <QGroupBox>

#include "core/settings_keys.h"
#include "dialog_test_support.h"
#include "ui/convert/conversion_page.h"

namespace quor::ui {
namespace {

using test::Control;
using test::U;

// The boxes with their keys, in the order the page writes them.
struct SwitchCase {
    int id;
    const char* stem;
};
const SwitchCase kSwitchBoxes[] = {{1002, "LFCV"},   {1028, "SPCV"},   {1032, "TGCV"},
                                   {1031, "Enable"}, {1033, "NoCase"}, {1034, "CharRef"},
                                   {1035, "Render"}};

class ConversionPageTest : public ::testing::Test {
protected:
    void SetUp() override { test::App(); }
    test::TestStore store_;
};

TEST_F(ConversionPageTest, FreshBoardShowsClearedBoxesAndSavesAZeroPerBoxInOrder) {
    CConversionPage page(store_.store, 8);
    for (const auto& box : kSwitchBoxes)
        EXPECT_FALSE(Control<QCheckBox>(&page, box.id)->isChecked()) << box.id;
    page.SaveConversionPage();
    const std::vector<test::RecordingStore::Write> expected = {
        {"Tree/LFCV8", "0"},   {"Tree/SPCV8", "0"},    {"Tree/TGCV8", "0"},  {"Tree/Enable8", "0"},
        {"Tree/NoCase8", "0"}, {"Tree/CharRef8", "0"}, {"Tree/Render8", "0"}};
    EXPECT_EQ(store_.store.Writes(), expected);
}

TEST_F(ConversionPageTest, StoredSwitchesAreShownAndChangesSaved) {
    store_.SetInt(core::kSectionTree, "LFCV2", 1);
    store_.SetInt(core::kSectionTree, "SPCV2", 0);
    store_.SetInt(core::kSectionTree, "TGCV2", 1);
    store_.SetInt(core::kSectionTree, "Enable2", 1);
    store_.SetInt(core::kSectionTree, "CharRef2", 1);
    CConversionPage page(store_.store, 2);
    EXPECT_FALSE(Control<QCheckBox>(&page, 1033)->isChecked());
    EXPECT_TRUE(Control<QCheckBox>(&page, 1034)->isChecked());
    EXPECT_TRUE(Control<QCheckBox>(&page, 1002)->isChecked());
    EXPECT_FALSE(Control<QCheckBox>(&page, 1028)->isChecked());
    EXPECT_TRUE(Control<QCheckBox>(&page, 1032)->isChecked());
    EXPECT_TRUE(Control<QCheckBox>(&page, 1031)->isChecked());

    Control<QCheckBox>(&page, 1002)->click();
    Control<QCheckBox>(&page, 1028)->click();
    Control<QCheckBox>(&page, 1031)->click();
    Control<QCheckBox>(&page, 1033)->click();
    Control<QCheckBox>(&page, 1034)->click();
    page.SaveConversionPage();
    const std::vector<test::RecordingStore::Write> expected = {
        {"Tree/LFCV2", "0"},   {"Tree/SPCV2", "1"},    {"Tree/TGCV2", "1"},  {"Tree/Enable2", "0"},
        {"Tree/NoCase2", "1"}, {"Tree/CharRef2", "0"}, {"Tree/Render2", "0"}};
    EXPECT_EQ(store_.store.Writes(), expected);
}

TEST_F(ConversionPageTest, ConfirmingKeepsWhatAStoredValueMeans) {
    // The cleaner keeps a character only for exactly 1; the scheduler skips a board for any
    // nonzero Enable. Stored odd values must show, and save, as what they do.
    struct Case {
        const char* stem;
        int id;
        int stored;
        bool ticked;
        int saved;
    };
    const Case cases[] = {{"LFCV", 1002, 2, false, 0},     {"SPCV", 1028, -1, false, 0},
                          {"TGCV", 1032, 1, true, 1},      {"Enable", 1031, 2, true, 1},
                          {"Enable", 1031, -5, true, 1},   {"Enable", 1031, 0, false, 0},
                          {"NoCase", 1033, 2, false, 0},   {"CharRef", 1034, 1, true, 1},
                          {"CharRef", 1034, -1, false, 0}, {"Render", 1035, 1, true, 1},
                          {"Render", 1035, 2, false, 0}};
    for (const auto& c : cases) {
        const std::string key = std::string(c.stem) + "5";
        store_.SetInt(core::kSectionTree, key, c.stored);
        CConversionPage page(store_.store, 5);
        EXPECT_EQ(Control<QCheckBox>(&page, c.id)->isChecked(), c.ticked) << key << c.stored;
        page.SaveConversionPage();
        EXPECT_EQ(store_.settings.ReadInt(core::kSectionTree, key, 99), c.saved) << key;
    }
}

TEST_F(ConversionPageTest, CleanerSwitchesStandInTheGroupAndTheFetchSwitchBelowIt) {
    CConversionPage page(store_.store, 1);
    auto* group = page.findChild<QGroupBox*>();
    ASSERT_NE(group, nullptr);
    EXPECT_EQ(group->title(), U("本文変換設定"));
    for (int id : {1002, 1028, 1032})
        EXPECT_EQ(Control<QCheckBox>(&page, id)->parentWidget(), group) << id;
    auto* fetchSwitch = Control<QCheckBox>(&page, 1031);
    EXPECT_EQ(fetchSwitch->parentWidget(), &page);
    auto* noCase = Control<QCheckBox>(&page, 1033);
    auto* charRef = Control<QCheckBox>(&page, 1034);
    EXPECT_EQ(noCase->text(), U("大文字と小文字を区別しない"));
    EXPECT_EQ(charRef->text(), U("文字参照を変換する"));
    EXPECT_FALSE(noCase->toolTip().isEmpty());
    EXPECT_FALSE(charRef->toolTip().isEmpty());
    page.resize(page.sizeHint());
    page.show();
    EXPECT_GE(fetchSwitch->y(), group->geometry().bottom());
    // The two switches of today's boards follow, in this order, below the fetch switch.
    EXPECT_GT(noCase->y(), fetchSwitch->y());
    EXPECT_GT(charRef->y(), noCase->y());
    EXPECT_EQ(noCase->parentWidget(), &page);
    // The browser-like display comes last, below the two.
    auto* render = Control<QCheckBox>(&page, 1035);
    EXPECT_EQ(render->text(), U("ブラウザと同じ表示"));
    EXPECT_FALSE(render->toolTip().isEmpty());
    EXPECT_GT(render->y(), charRef->y());
    EXPECT_EQ(render->parentWidget(), &page);
}

TEST_F(ConversionPageTest, PageWithoutBoardNumberIgnoresTheStoreAndWritesNothing) {
    store_.SetInt(core::kSectionTree, "LFCV0", 1);
    CConversionPage page(store_.store, 0);
    EXPECT_FALSE(Control<QCheckBox>(&page, 1002)->isChecked());
    Control<QCheckBox>(&page, 1028)->click();
    page.SaveConversionPage();
    EXPECT_TRUE(store_.store.Writes().empty());
}

}  // namespace
}  // namespace quor::ui
