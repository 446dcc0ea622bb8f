#include <gtest/gtest.h>

#include <QComboBox>
#include <QLineEdit>
#include <cstdlib>

#include "core/cp932.h"
#include "core/settings_keys.h"
#include "dialog_test_support.h"
#include "ui/convert/bbs_type_page.h"

namespace quor::ui {
namespace {

using test::Control;
using test::U;
using test::Utf8;

// Edit ids with the key each one stores, in the order the page writes them; the two boxes of
// the row "message" store nothing.
struct MarkerCase {
    int id;
    const char* stem;
};
const MarkerCase kStoredEdits[] = {{1013, "Pass"},  {1015, "TitA"},    {1005, "TitB"},
                                   {1006, "NameA"}, {1007, "NameB"},   {1008, "DateA"},
                                   {1009, "DateB"}, {1010, "HonbunA"}, {1011, "HonbunB"}};
const int kUnusedEdits[] = {1014, 1002};

class BbsTypePageTest : public ::testing::Test {
protected:
    void SetUp() override { test::App(); }
    test::TestStore store_;
};

TEST_F(BbsTypePageTest, UnsetOrUnnumberedBoardShowsDefaults) {
    // Board 4 has keys of its own only for another page; its BBS type keys were never written.
    store_.SetText(core::kSectionTree, "Url4", "http://example.jp/");
    for (int board : {4, 0, -1}) {
        CBbsTypePage page(store_.store, board);
        EXPECT_EQ(Utf8(Control<QComboBox>(&page, 1016)->currentText()), "Custom") << board;
        EXPECT_EQ(Utf8(Control<QComboBox>(&page, 1024)->currentText()), "Default") << board;
        EXPECT_EQ(Utf8(Control<QComboBox>(&page, 1012)->currentText()), "AUTO") << board;
        for (const auto& edit : kStoredEdits)
            EXPECT_TRUE(Control<QLineEdit>(&page, edit.id)->text().isEmpty()) << edit.id;
        for (int id : kUnusedEdits)
            EXPECT_TRUE(Control<QLineEdit>(&page, id)->text().isEmpty()) << id;
    }
}

TEST_F(BbsTypePageTest, StoredBoardShowsItsValues) {
    store_.SetInt(core::kSectionTree, "Type2", 7);
    store_.SetInt(core::kSectionTree, "CCode2", 2);
    store_.SetInt(core::kSectionTree, "Order2", 4);
    for (const auto& edit : kStoredEdits)
        store_.SetText(core::kSectionTree, std::string(edit.stem) + "2",
                       std::string("<td>投稿者：") + edit.stem + ",\"=;");

    CBbsTypePage page(store_.store, 2);
    EXPECT_EQ(Utf8(Control<QComboBox>(&page, 1016)->currentText()), "TCUPBBS");
    EXPECT_EQ(Utf8(Control<QComboBox>(&page, 1012)->currentText()), "JIS");
    EXPECT_EQ(Utf8(Control<QComboBox>(&page, 1024)->currentText()), "Name>Date>Title");
    for (const auto& edit : kStoredEdits) {
        EXPECT_EQ(Utf8(Control<QLineEdit>(&page, edit.id)->text()),
                  std::string("<td>投稿者：") + edit.stem + ",\"=;")
            << edit.id;
    }
}

TEST_F(BbsTypePageTest, KanjiCodeListEndsWithUtf8AtPositionFour) {
    store_.SetInt(core::kSectionTree, "CCode6", 4);
    CBbsTypePage page(store_.store, 6);
    auto* list = Control<QComboBox>(&page, 1012);
    ASSERT_EQ(list->count(), 5);
    EXPECT_EQ(Utf8(list->itemText(4)), "UTF-8");
    EXPECT_EQ(list->currentIndex(), 4);
    list->setCurrentText(U("AUTO"));
    page.SaveBbsTypePage();
    EXPECT_EQ(store_.settings.ReadInt(core::kSectionTree, "CCode6", 99), 0);
    list->setCurrentText(U("UTF-8"));
    page.SaveBbsTypePage();
    EXPECT_EQ(store_.settings.ReadInt(core::kSectionTree, "CCode6", 99), 4);
}

TEST_F(BbsTypePageTest, SaveWritesListsThenMarkersInOrderEmptyOnesIncluded) {
    CBbsTypePage page(store_.store, 3);
    Control<QComboBox>(&page, 1016)->setCurrentText(U("TCUPMiniBBS"));
    Control<QComboBox>(&page, 1012)->setCurrentText(U("SJIS"));
    Control<QComboBox>(&page, 1024)->setCurrentText(U("Date>Name>Title"));
    Control<QLineEdit>(&page, 1013)->setText(U("<!-- 本文 -->"));
    Control<QLineEdit>(&page, 1010)->setText(U("<blockquote>"));
    page.SaveBbsTypePage();

    const std::vector<test::RecordingStore::Write> expected = {
        {"Tree/Type3", "9"},
        {"Tree/CCode3", "3"},
        {"Tree/Order3", "6"},
        {"Tree/Pass3", core::FromUtf8("<!-- 本文 -->")},
        {"Tree/TitA3", ""},
        {"Tree/TitB3", ""},
        {"Tree/NameA3", ""},
        {"Tree/NameB3", ""},
        {"Tree/DateA3", ""},
        {"Tree/DateB3", ""},
        {"Tree/HonbunA3", "<blockquote>"},
        {"Tree/HonbunB3", ""},
        {"Tree/Fields3", ""},
    };
    EXPECT_EQ(store_.store.Writes(), expected);
    // What was written is what the conversion will read.
    EXPECT_EQ(store_.settings.ReadInt(core::kSectionTree, "Type3", -1), 9);
    EXPECT_EQ(store_.Text(core::kSectionTree, "Pass3"), "<!-- 本文 -->");
}

TEST_F(BbsTypePageTest, FieldLettersStandNextToTheOrderListAndAreStored) {
    store_.SetText(core::kSectionTree, "Fields5", "NDM");
    {
        CBbsTypePage page(store_.store, 5);
        auto* letters = Control<QLineEdit>(&page, 1025);
        EXPECT_EQ(Utf8(letters->text()), "NDM");
        EXPECT_FALSE(letters->toolTip().isEmpty());
        auto* order = Control<QComboBox>(&page, 1024);
        page.resize(page.sizeHint());
        page.show();
        EXPECT_GT(letters->x(), order->x());
        EXPECT_LT(std::abs(letters->geometry().center().y() - order->geometry().center().y()),
                  order->height());
        letters->setText(U("TMND"));
        page.SaveBbsTypePage();
    }
    EXPECT_EQ(store_.Text(core::kSectionTree, "Fields5"), "TMND");
    CBbsTypePage reopened(store_.store, 5);
    EXPECT_EQ(Utf8(Control<QLineEdit>(&reopened, 1025)->text()), "TMND");
    // A fresh board shows an empty box.
    CBbsTypePage fresh(store_.store, 7);
    EXPECT_TRUE(Control<QLineEdit>(&fresh, 1025)->text().isEmpty());
}

TEST_F(BbsTypePageTest, MessageRowBoxesAreNeitherStoredNorReloaded) {
    {
        CBbsTypePage page(store_.store, 1);
        for (int id : kUnusedEdits)
            Control<QLineEdit>(&page, id)->setText(U("lost text"));
        page.SaveBbsTypePage();
    }
    for (const auto& write : store_.store.Writes())
        EXPECT_NE(write.value, "lost text") << write.key;
    CBbsTypePage reopened(store_.store, 1);
    for (int id : kUnusedEdits)
        EXPECT_TRUE(Control<QLineEdit>(&reopened, id)->text().isEmpty()) << id;
}

TEST_F(BbsTypePageTest, StoredPositionWithoutEntryIsKeptOnSave) {
    // Written by hand or by quorcli: no entry stands at these positions.
    store_.SetInt(core::kSectionTree, "Type6", 42);
    store_.SetInt(core::kSectionTree, "CCode6", -3);
    store_.SetInt(core::kSectionTree, "Order6", 5);
    CBbsTypePage page(store_.store, 6);
    EXPECT_EQ(Control<QComboBox>(&page, 1016)->currentIndex(), -1);
    EXPECT_EQ(Control<QComboBox>(&page, 1012)->currentIndex(), -1);
    page.SaveBbsTypePage();
    EXPECT_EQ(store_.settings.ReadInt(core::kSectionTree, "Type6", 0), 42);
    EXPECT_EQ(store_.settings.ReadInt(core::kSectionTree, "CCode6", 0), -3);
    EXPECT_EQ(store_.settings.ReadInt(core::kSectionTree, "Order6", 0), 5);
}

TEST_F(BbsTypePageTest, PageWithoutBoardNumberWritesNothing) {
    for (int board : {0, -1}) {
        CBbsTypePage page(store_.store, board);
        Control<QLineEdit>(&page, 1015)->setText(U("<b>"));
        page.SaveBbsTypePage();
    }
    EXPECT_TRUE(store_.store.Writes().empty());
}

}  // namespace
}  // namespace quor::ui
