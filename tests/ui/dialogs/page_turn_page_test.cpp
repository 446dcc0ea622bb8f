#include <gtest/gtest.h>

#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QRadioButton>
#include <QTest>
#include <QToolButton>

#include "core/cp932.h"
#include "core/settings_keys.h"
#include "dialog_test_support.h"
#include "ui/fetch/page_turn_page.h"

namespace quor::ui {
namespace {

using test::Control;
using test::U;
using test::Utf8;

class PageTurnPageTest : public ::testing::Test {
protected:
    void SetUp() override { test::App(); }

    QString Shown(const CPageTurnPage& page, int id) {
        if (id == 1004)
            return Control<QPlainTextEdit>(&page, id)->toPlainText();
        return Control<QLineEdit>(&page, id)->text();
    }

    test::TestStore store_;
};

TEST_F(PageTurnPageTest, NeverEditedBoardShowsTheDialogDefaults) {
    CPageTurnPage page(store_.store, 9);
    EXPECT_FALSE(Control<QCheckBox>(&page, 1002)->isChecked());
    EXPECT_TRUE(Shown(page, 1000).isEmpty());
    EXPECT_FALSE(Control<QCheckBox>(&page, 1031)->isChecked());
    EXPECT_TRUE(Shown(page, 1025).isEmpty());
    EXPECT_EQ(Utf8(Shown(page, 1001)), "1");
    EXPECT_EQ(Utf8(Shown(page, 1003)), "pg_line");
    EXPECT_EQ(Utf8(Shown(page, 1004)), "pg_line");
    EXPECT_EQ(Utf8(Control<QComboBox>(&page, 1005)->currentText()), "Searchの後");
    EXPECT_TRUE(Control<QRadioButton>(&page, 1029)->isChecked());
    EXPECT_FALSE(Control<QRadioButton>(&page, 1030)->isChecked());
    EXPECT_TRUE(Shown(page, 1033).isEmpty());
}

TEST_F(PageTurnPageTest, UnnumberedPageKeepsItsInitialValues) {
    store_.SetInt(core::kSectionTree, "PageCt0", 7);
    CPageTurnPage page(store_.store, 0);
    EXPECT_EQ(Utf8(Shown(page, 1001)), "0");
    EXPECT_TRUE(Shown(page, 1003).isEmpty());
    EXPECT_TRUE(Shown(page, 1004).isEmpty());
    EXPECT_TRUE(Control<QRadioButton>(&page, 1029)->isChecked());
    EXPECT_TRUE(page.SavePage() == std::nullopt);
    EXPECT_TRUE(store_.store.Writes().empty());
}

TEST_F(PageTurnPageTest, StoredBoardShowsItsValues) {
    store_.SetText(core::kSectionTree, "Ref4", "http://example.jp/bbs/");
    store_.SetText(core::kSectionTree, "Cokkie4", "name=太郎; pass=x");
    store_.SetInt(core::kSectionTree, "PageCt4", 7);
    store_.SetText(core::kSectionTree, "PageBtn4", "次のページ");
    store_.SetText(core::kSectionTree, "PageSent4", "page");
    store_.SetInt(core::kSectionTree, "NextAna4", 2);
    store_.SetInt(core::kSectionTree, "PNMethod4", 1);

    CPageTurnPage page(store_.store, 4);
    EXPECT_TRUE(Control<QCheckBox>(&page, 1002)->isChecked());
    EXPECT_EQ(Utf8(Shown(page, 1000)), "http://example.jp/bbs/");
    EXPECT_TRUE(Control<QCheckBox>(&page, 1031)->isChecked());
    EXPECT_EQ(Utf8(Shown(page, 1025)), "name=太郎; pass=x");
    EXPECT_EQ(Utf8(Shown(page, 1001)), "7");
    EXPECT_EQ(Utf8(Shown(page, 1003)), "次のページ");
    EXPECT_EQ(Utf8(Shown(page, 1004)), "page");
    EXPECT_EQ(Utf8(Control<QComboBox>(&page, 1005)->currentText()), "リンク");
    EXPECT_FALSE(Control<QRadioButton>(&page, 1029)->isChecked());
    EXPECT_TRUE(Control<QRadioButton>(&page, 1030)->isChecked());
}

TEST_F(PageTurnPageTest, SaveWritesSixKeysInOrderAndNeverTheSendMethod) {
    store_.SetInt(core::kSectionTree, "PNMethod3", 0);
    CPageTurnPage page(store_.store, 3);
    Control<QCheckBox>(&page, 1031)->click();
    Control<QLineEdit>(&page, 1025)->setText(U("sid=①髙"));
    QTest::keyClicks(Control<QLineEdit>(&page, 1001), QStringLiteral("5"));  // "1" + "5"
    Control<QLineEdit>(&page, 1003)->setText(U("<form"));
    Control<QPlainTextEdit>(&page, 1004)->setPlainText(U("pg"));
    Control<QComboBox>(&page, 1005)->setCurrentText(U("Formブロック"));
    Control<QRadioButton>(&page, 1030)->click();
    Control<QLineEdit>(&page, 1033)->setText(U("http://example.jp/next"));
    ASSERT_EQ(page.SavePage(), std::nullopt);

    const std::vector<test::RecordingStore::Write> expected = {
        {"Tree/Ref3", ""},        {"Tree/Cokkie3", core::FromUtf8("sid=①髙")},
        {"Tree/PageCt3", "15"},   {"Tree/PageBtn3", "<form"},
        {"Tree/PageSent3", "pg"}, {"Tree/NextAna3", "3"},
    };
    EXPECT_EQ(store_.store.Writes(), expected);
    EXPECT_EQ(store_.settings.ReadInt(core::kSectionTree, "PNMethod3", -1), 0);
    EXPECT_EQ(store_.Text(core::kSectionTree, "Cokkie3"), "sid=①髙");
}

TEST_F(PageTurnPageTest, ClearedBoxWritesTheEmptyStringWhateverTheEditHolds) {
    store_.SetText(core::kSectionTree, "Ref1", "http://old/");
    store_.SetText(core::kSectionTree, "Cokkie1", "old=1");
    CPageTurnPage page(store_.store, 1);
    Control<QCheckBox>(&page, 1002)->click();  // cleared
    Control<QLineEdit>(&page, 1000)->setText(U("http://typed/"));
    Control<QCheckBox>(&page, 1031)->click();
    ASSERT_EQ(page.SavePage(), std::nullopt);
    EXPECT_EQ(store_.Text(core::kSectionTree, "Ref1"), "");
    EXPECT_EQ(store_.Text(core::kSectionTree, "Cokkie1"), "");

    // The next opening shows the boxes cleared and the edits empty.
    CPageTurnPage reopened(store_.store, 1);
    EXPECT_FALSE(Control<QCheckBox>(&reopened, 1002)->isChecked());
    EXPECT_TRUE(Shown(reopened, 1000).isEmpty());
}

TEST_F(PageTurnPageTest, NoAnalysisTypeSelectedWritesMinusOne) {
    store_.SetInt(core::kSectionTree, "NextAna2", 9);  // no entry stands there
    CPageTurnPage page(store_.store, 2);
    EXPECT_EQ(Control<QComboBox>(&page, 1005)->currentIndex(), -1);
    ASSERT_EQ(page.SavePage(), std::nullopt);
    EXPECT_EQ(store_.settings.ReadInt(core::kSectionTree, "NextAna2", 0), -1);

    CPageTurnPage cleared(store_.store, 5);
    Control<QComboBox>(&cleared, 1005)->setCurrentIndex(-1);
    ASSERT_EQ(cleared.SavePage(), std::nullopt);
    EXPECT_EQ(store_.settings.ReadInt(core::kSectionTree, "NextAna5", 0), -1);
}

TEST_F(PageTurnPageTest, PageCountOutsideItsRangeKeepsEveryKeyUnwritten) {
    struct Case {
        const char* typed;
        int saved;  // -1: refused
    };
    const Case cases[] = {{"0", 0},    {"100", 100}, {" 42 ", 42}, {"+5", 5},
                          {"-1", -1},  {"101", -1},  {"abc", -1},  {"", -1},
                          {"1 0", -1}, {"0x10", -1}, {"１", -1},   {"99999999999999999999", -1}};
    for (const auto& c : cases) {
        store_.store.Clear();
        CPageTurnPage page(store_.store, 6);
        Control<QLineEdit>(&page, 1001)->setText(U(c.typed));
        const auto problem = page.SavePage();
        if (c.saved < 0) {
            ASSERT_TRUE(problem.has_value()) << c.typed;
            EXPECT_EQ(problem->field, Control<QLineEdit>(&page, 1001));
            EXPECT_TRUE(problem->message.contains(U("Pageまで"))) << c.typed;
            EXPECT_TRUE(problem->message.contains(QStringLiteral("100"))) << c.typed;
            EXPECT_TRUE(store_.store.Writes().empty()) << c.typed;
        } else {
            EXPECT_EQ(problem, std::nullopt) << c.typed;
            EXPECT_EQ(store_.settings.ReadInt(core::kSectionTree, "PageCt6", -9), c.saved)
                << c.typed;
        }
    }
}

TEST_F(PageTurnPageTest, UpDownButtonsStepThePageCountWithinItsRange) {
    CPageTurnPage page(store_.store, 1);
    auto* count = Control<QLineEdit>(&page, 1001);
    auto* upDown = Control<ui::CUpDownControl>(&page, 1027);
    const auto buttons = upDown->findChildren<QToolButton*>();
    ASSERT_EQ(buttons.size(), 2);
    buttons[0]->click();
    EXPECT_EQ(Utf8(count->text()), "2");
    buttons[1]->click();
    buttons[1]->click();
    buttons[1]->click();
    EXPECT_EQ(Utf8(count->text()), "0");
    count->setText(QStringLiteral("100"));
    QTest::keyClick(count, Qt::Key_Up);
    EXPECT_EQ(Utf8(count->text()), "100");
    QTest::keyClick(count, Qt::Key_Down);
    EXPECT_EQ(Utf8(count->text()), "99");
    count->setText(QStringLiteral("x"));
    buttons[0]->click();
    EXPECT_EQ(Utf8(count->text()), "0");
    // A number outside the range comes back to it.
    count->setText(QStringLiteral("500"));
    buttons[1]->click();
    EXPECT_EQ(Utf8(count->text()), "100");
    count->setText(QStringLiteral("-3"));
    buttons[0]->click();
    EXPECT_EQ(Utf8(count->text()), "0");
}

}  // namespace
}  // namespace quor::ui
