// The board tree driven through the real widgets: building from the store, selection, adding
// and deleting boards (with their keys and tables kept consistent), the context menu, label
// edits, and the commands on a board's page text.

#include <gtest/gtest.h>

#include <QApplication>
#include <QLineEdit>
#include <QMenu>
#include <QMessageBox>
#include <QTest>
#include <QTimer>

#include "app/command_ids.h"
#include "core/settings_keys.h"
#include "desktop_fixture.h"
#include "ui/dialogs/item_settings_call.h"
#include "ui/views/board_tree_view.h"
#include "ui/views/board_tree_view_testing.h"
#include "ui/views/message_text.h"
#include "ui/views/message_view.h"
#include "ui/views/post_list_model.h"
#include "ui/views/post_list_view.h"

namespace quor::ui {
namespace {

using core::BoardKey;
using core::kSectionTree;
using test::Sjis;
namespace key = core::key;

class TreeViewTest : public test::DesktopTest {
protected:
    CQuorView& Tree() { return *Frame().TreeView(); }
    QTreeWidgetItem* Item(int entry) { return Tree().Entries().at(entry).item; }
    void Select(int entry) {
        Tree().setCurrentItem(Item(entry));
        Item(entry)->setSelected(true);
    }
    std::string Stored(std::string_view stem, int n) {
        return store_.ReadString(kSectionTree, BoardKey(stem, n), "<none>");
    }
    int StoredInt(std::string_view stem, int n) {
        return store_.ReadInt(kSectionTree, BoardKey(stem, n), -99);
    }
    void ThreeBoards() {
        test::WriteBoards(
            store_,
            {{0, "一番", "http://one/"}, {1, "二番", "http://two/"}, {0, "三番", "http://three/"}});
    }
    // Makes board n a Custom board cut by <t>, <n>, <d> and <m> tags.
    void WriteTagMarkers(int n) {
        store_.WriteInt(kSectionTree, BoardKey(key::kType, n), 0);
        for (auto [stem, value] : std::initializer_list<std::pair<std::string_view, const char*>>{
                 {key::kTitleStart, "<t>"},
                 {key::kTitleEnd, "</t>"},
                 {key::kNameStart, "<n>"},
                 {key::kNameEnd, "</n>"},
                 {key::kDateStart, "<d>"},
                 {key::kDateEnd, "</d>"},
                 {key::kMessageStart, "<m>"},
                 {key::kMessageEnd, "</m>"}})
            store_.WriteString(kSectionTree, BoardKey(stem, n), value);
    }
    // The dialog answers OK with this name and URL.
    void DialogAnswers(std::string name, std::string url, int* openedFor = nullptr) {
        CQuorViewTesting::SetItemSettingsOpener(Tree(), [=](QWidget*, int number) {
            if (openedFor != nullptr)
                *openedFor = number;
            return ItemSettingsResult{true, Sjis(name), Sjis(url)};
        });
    }
    // Closes the next message box that opens, remembering its text.
    void CloseNextMessageBox(QString* text) {
        QTimer::singleShot(0, [text] {
            test::WaitUntil([] { return QApplication::activeModalWidget() != nullptr; });
            if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
                *text = box->text();
                box->accept();
            }
        });
    }
};

TEST_F(TreeViewTest, AnEmptyStoreShowsOnlyTheExpandedRoot) {
    Start();
    ASSERT_EQ(Tree().topLevelItemCount(), 1);
    EXPECT_EQ(Tree().topLevelItem(0)->text(0), QStringLiteral("BBS"));
    EXPECT_EQ(Tree().topLevelItem(0)->childCount(), 0);
    EXPECT_TRUE(Tree().topLevelItem(0)->isExpanded());
    EXPECT_EQ(Tree().SelectedEntryNumber(), -1);
    EXPECT_EQ(Frame().ListView()->Model().rowCount(), 0);
}

TEST_F(TreeViewTest, BoardsHangBelowTheirParentsAndABadParentBelowTheRoot) {
    ThreeBoards();
    test::WriteBoards(
        store_,
        {{0, "一番", ""}, {1, "二番", ""}, {0, "三番", ""}, {9, "迷子", ""}, {-1, "負", ""}});
    Start();
    QTreeWidgetItem* root = Tree().topLevelItem(0);
    ASSERT_EQ(root->childCount(), 4);
    EXPECT_EQ(root->child(0)->text(0), QStringLiteral("一番"));
    EXPECT_EQ(root->child(1)->text(0), QStringLiteral("三番"));
    EXPECT_EQ(root->child(2)->text(0), QStringLiteral("迷子"));
    EXPECT_EQ(root->child(3)->text(0), QStringLiteral("負"));
    ASSERT_EQ(root->child(0)->childCount(), 1);
    EXPECT_EQ(root->child(0)->child(0)->text(0), QStringLiteral("二番"));
    EXPECT_EQ(Tree().EntrySearch(root->child(1)), 3);
    EXPECT_EQ(Tree().Entries()[3].slot, 2);
    EXPECT_EQ(Tree().EntrySearch(nullptr), -1);
}

TEST_F(TreeViewTest, SelectingBoardsMakesThemCurrentTheRootChangesNothing) {
    ThreeBoards();
    test::PutPosts(*app_, 0, {{"first board", "", "", "", 0}});
    test::PutPosts(*app_, 2, {{"third", "", "", "", 0}, {"third again", "", "", "", 0}});
    Start();
    Select(1);
    EXPECT_EQ(Frame().ListView()->Model().rowCount(), 1)
        << "the first board fills the list although slot 0 was already current";
    Select(3);
    EXPECT_EQ(app_->currentBoard.load(), 2);
    EXPECT_EQ(Frame().ListView()->Model().rowCount(), 2);
    Frame().ListView()->SetLastShownPost(1);
    Select(0);
    EXPECT_EQ(app_->currentBoard.load(), 2) << "the root is no board";
    EXPECT_EQ(Frame().ListView()->Model().rowCount(), 2);
    Select(3);
    EXPECT_EQ(Frame().ListView()->LastShownPost(), 1) << "the current board again changes nothing";
    Select(2);
    EXPECT_EQ(Frame().ListView()->LastShownPost(), -1);
    EXPECT_EQ(Tree().SelectedEntryNumber(), 2);
    EXPECT_EQ(frontend_.SelectedEntryNumber(), 2);
}

TEST_F(TreeViewTest, AddingWritesTheNewBoardBelowTheSelectedItem) {
    ThreeBoards();
    Start();
    int openedFor = 0;
    DialogAnswers("四番", "http://four/", &openedFor);
    Select(0);
    Frame().Dispatch(app::command::kNewItemToolbar);
    EXPECT_EQ(openedFor, 4);
    EXPECT_EQ(store_.ReadInt(kSectionTree, key::kCount, 0), 4);
    EXPECT_EQ(StoredInt(key::kParent, 4), 0);
    EXPECT_EQ(Stored(key::kName, 4), Sjis("四番"));
    EXPECT_EQ(Stored(key::kUrl, 4), "http://four/");
    EXPECT_EQ(Tree().SelectedEntryNumber(), 0) << "the selection stays";
    Select(4);
    EXPECT_EQ(app_->currentBoard.load(), 3);

    DialogAnswers("五番", "http://five/");
    Select(2);
    Tree().OnCommand(app::command::kNewItem);
    EXPECT_EQ(StoredInt(key::kParent, 5), 2);
    EXPECT_EQ(Item(2)->childCount(), 1);
    EXPECT_EQ(Item(2)->child(0)->text(0), QStringLiteral("五番"));
}

TEST_F(TreeViewTest, AddingOpensNothingWithoutASelectionOrWritesNothingOnCancel) {
    ThreeBoards();
    Start();
    int opened = 0;
    CQuorViewTesting::SetItemSettingsOpener(Tree(), [&opened](QWidget*, int) {
        ++opened;
        return ItemSettingsResult{};
    });
    Tree().OnCommand(app::command::kNewItem);
    EXPECT_EQ(opened, 0);
    Select(1);
    Tree().OnCommand(app::command::kNewItem);
    EXPECT_EQ(opened, 1);
    EXPECT_EQ(store_.ReadInt(kSectionTree, key::kCount, 0), 3);
    EXPECT_FALSE(store_.ReadRaw(kSectionTree, BoardKey(key::kName, 4)).has_value());
    EXPECT_EQ(Item(1)->childCount(), 1);
}

TEST_F(TreeViewTest, TheSixtyFifthBoardIsRefused) {
    std::vector<test::BoardSpec> boards(64, test::BoardSpec{0, "b", ""});
    test::WriteBoards(store_, boards);
    Start();
    int opened = 0;
    CQuorViewTesting::SetItemSettingsOpener(Tree(), [&opened](QWidget*, int) {
        ++opened;
        return ItemSettingsResult{true, "x", "y"};
    });
    Select(0);
    QString shown;
    CloseNextMessageBox(&shown);
    Tree().OnCommand(app::command::kNewItem);
    EXPECT_EQ(opened, 0);
    EXPECT_TRUE(shown.contains(QStringLiteral("64"))) << shown.toStdString();
    EXPECT_EQ(store_.ReadInt(kSectionTree, key::kCount, 0), 64);
}

TEST_F(TreeViewTest, CountPastTheTablesShowsSixtyFourBoardsAndEveryCommandStaysInside) {
    // Count 65: the store holds a 65th board, which has no slot in the tables. The tree's last
    // item is board 64; every command run on it stays within the tables.
    std::vector<test::BoardSpec> boards;
    for (int n = 1; n <= 65; ++n)
        boards.push_back({0, 'b' + std::to_string(n), ""});
    test::WriteBoards(store_, boards);
    WriteTagMarkers(64);
    const std::string page = "HTTP/1.0 200 OK\r\n\r\n<t>T</t><n>N</n><d>D</d><m>M</m>";
    app_->SetPageText(63, page);
    Start();
    ASSERT_EQ(Tree().Entries().size(), 65u) << "the root and boards 1 to 64";
    EXPECT_EQ(Tree().topLevelItem(0)->childCount(), 64);
    for (const TreeEntry& entry : Tree().Entries())
        EXPECT_TRUE(entry.slot == -1 || core::IsValidSlot(entry.slot)) << entry.name;
    EXPECT_EQ(Item(64)->text(0), QStringLiteral("b64"));

    Select(64);
    EXPECT_EQ(app_->currentBoard.load(), 63);
    for (const int add : {int{app::command::kNewItem}, int{app::command::kNewItemToolbar}}) {
        QString shown;
        CloseNextMessageBox(&shown);
        Tree().OnCommand(add);
        EXPECT_TRUE(shown.contains(QStringLiteral("64"))) << shown.toStdString();
    }
    EXPECT_EQ(store_.ReadInt(kSectionTree, key::kCount, 0), 65);

    Tree().OnCommand(32773);
    auto* editor = Tree().viewport()->findChild<QLineEdit*>();
    ASSERT_NE(editor, nullptr);
    QTest::keyClick(editor, Qt::Key_Escape);

    int openedFor = 0;
    CQuorViewTesting::SetItemSettingsOpener(Tree(), [&](QWidget*, int number) {
        openedFor = number;
        return ItemSettingsResult{false, Stored(key::kName, number), Stored(key::kUrl, number)};
    });
    Tree().OnCommand(app::command::kFetchSettings);
    EXPECT_EQ(openedFor, 64);

    // Board 64 has no address: its run ends at once.
    Tree().OnCommand(app::command::kFetchFromWeb);
    EXPECT_TRUE(test::WaitUntil([&] { return !app_->Run().IsActive(); }));

    Tree().OnCommand(app::command::kConvertFromBuffer);
    EXPECT_EQ(app_->currentBoard.load(), 63);
    ASSERT_EQ(Frame().ListView()->Model().rowCount(), 1);
    EXPECT_EQ(Frame().ListView()->Model().index(0, 0).data().toString(), QStringLiteral("T"));
    Tree().OnCommand(32783);
    EXPECT_EQ(Frame().MessageView()->Text(), page);

    // Deleting board 64 brings the 65th board into the tables, without board 64's page text.
    Tree().OnCommand(32772);
    EXPECT_EQ(store_.ReadInt(kSectionTree, key::kCount, 0), 64);
    EXPECT_EQ(Stored(key::kName, 64), "b65");
    ASSERT_EQ(Tree().Entries().size(), 65u);
    EXPECT_EQ(Item(64)->text(0), QStringLiteral("b65"));
    EXPECT_EQ(Tree().Entries()[64].slot, 63);
    EXPECT_EQ(app_->PageTextCopy(63), "");
    Select(64);
    Tree().OnCommand(32783);
    EXPECT_TRUE(Frame().MessageView()->toPlainText().isEmpty());
    Tree().OnCommand(app::command::kConvertFromBuffer);
    EXPECT_EQ(Frame().ListView()->Model().rowCount(), 0);
}

TEST_F(TreeViewTest, DeletingMovesLaterBoardsDownWithAllTheirKeysAndTables) {
    // 1, 2 below 1, 3 below 2, 4, 5 below 4.
    test::WriteBoards(store_, {{0, "one", "u1"},
                               {1, "two", "u2"},
                               {2, "three", "u3"},
                               {0, "four", "u4"},
                               {4, "five", "u5"}});
    store_.WriteInt(kSectionTree, BoardKey(key::kType, 4), 7);
    store_.WriteString(kSectionTree, BoardKey(key::kTitleStart, 5), "<b>");
    store_.WriteInt(kSectionTree, BoardKey(key::kType, 2), 3);
    app_->SetPageText(3, "page of four");
    test::PutPosts(*app_, 4, {{"post of five", "", "", "", 1}});
    app_->SetPageText(1, "page of two");
    Start();
    Select(2);
    // As after a run that made another board current while board 2 stayed selected.
    app_->currentBoard = 4;
    Frame().ListView()->RefreshPostList();
    Tree().OnCommand(32772);
    EXPECT_EQ(store_.ReadInt(kSectionTree, key::kCount, 0), 3);
    EXPECT_EQ(Stored(key::kName, 1), "one");
    EXPECT_EQ(Stored(key::kName, 2), "four");
    EXPECT_EQ(Stored(key::kUrl, 2), "u4");
    EXPECT_EQ(StoredInt(key::kType, 2), 7) << "every key moves, not just the name";
    EXPECT_EQ(Stored(key::kName, 3), "five");
    EXPECT_EQ(StoredInt(key::kParent, 3), 2) << "the parent follows its board";
    EXPECT_EQ(Stored(key::kTitleStart, 3), "<b>");
    EXPECT_FALSE(store_.ReadRaw(kSectionTree, BoardKey(key::kName, 4)).has_value());
    EXPECT_FALSE(store_.ReadRaw(kSectionTree, BoardKey(key::kTitleStart, 5)).has_value());
    EXPECT_FALSE(store_.ReadRaw(kSectionTree, BoardKey(key::kType, 4)).has_value());

    EXPECT_EQ(app_->PageTextCopy(1), "page of four");
    EXPECT_EQ(app_->PageTextCopy(3), "");
    const core::PostTable moved = app_->WithWorkspace(
        2, [](const core::BoardWorkspace& workspace) { return workspace.posts; });
    ASSERT_EQ(moved.Count(), 1u);
    EXPECT_EQ(moved.At(0).title, "post of five");
    EXPECT_EQ(app_->currentBoard.load(), 2) << "the shown board keeps being shown";
    EXPECT_EQ(Frame().ListView()->Model().rowCount(), 1);

    ASSERT_EQ(Tree().Entries().size(), 4u);
    EXPECT_EQ(Tree().topLevelItem(0)->childCount(), 2);
    EXPECT_EQ(Tree().Entries()[3].parent, 2);
    EXPECT_EQ(Tree().Entries()[3].slot, 2);
    Select(3);
    EXPECT_EQ(Tree().SelectedEntryNumber(), 3);
    EXPECT_EQ(app_->currentBoard.load(), 2);
}

TEST_F(TreeViewTest, DeletingTheShownBoardEmptiesTheList) {
    ThreeBoards();
    test::PutPosts(*app_, 2, {{"post of three", "", "", "", 0}});
    Start();
    Select(3);
    ASSERT_EQ(Frame().ListView()->Model().rowCount(), 1);
    Tree().OnCommand(32772);
    EXPECT_EQ(Frame().ListView()->Model().rowCount(), 0);
    EXPECT_EQ(app_->currentBoard.load(), 0);
    EXPECT_TRUE(app_->WithWorkspace(2, [](const core::BoardWorkspace& workspace) {
        return workspace.posts.Empty();
    })) << "the slot of a removed board is emptied";
    EXPECT_EQ(Tree().SelectedEntryNumber(), -1);
    Select(1);
    EXPECT_EQ(app_->currentBoard.load(), 0);
    EXPECT_FALSE(Frame().ListView()->Filled() && Frame().ListView()->Model().Slot() != 0);
    EXPECT_EQ(Frame().ListView()->Model().Slot(), 0) << "selecting a board fills the list again";
}

TEST_F(TreeViewTest, DeletingIsRefusedDuringARunAndIgnoresTheRoot) {
    ThreeBoards();
    Start();
    Select(0);
    Tree().OnCommand(32772);
    EXPECT_EQ(store_.ReadInt(kSectionTree, key::kCount, 0), 3);

    Select(3);
    ASSERT_TRUE(app_->Run().Start());
    QString shown;
    CloseNextMessageBox(&shown);
    Tree().OnCommand(32772);
    app_->Run().Finish(core::RunEnd::kCompleted);
    EXPECT_FALSE(shown.isEmpty());
    EXPECT_EQ(store_.ReadInt(kSectionTree, key::kCount, 0), 3);
    EXPECT_EQ(Tree().Entries().size(), 4u);
}

TEST_F(TreeViewTest, RightClickSelectsTheBoardBeforeTheMenuOpens) {
    ThreeBoards();
    Start();
    QStringList menuTexts;
    int selectedWhileOpen = -2;
    QTimer::singleShot(0, [&] {
        test::WaitUntil([] { return QApplication::activePopupWidget() != nullptr; });
        if (auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget())) {
            selectedWhileOpen = Tree().SelectedEntryNumber();
            for (QAction* action : menu->actions())
                menuTexts << (action->isSeparator() ? QStringLiteral("-") : action->text());
            menu->close();
        }
    });
    const QRect rect = Tree().visualItemRect(Item(3));
    QTest::mouseClick(Tree().viewport(), Qt::RightButton, {}, rect.center());
    EXPECT_EQ(selectedWhileOpen, 3);
    EXPECT_EQ(app_->currentBoard.load(), 2);
    EXPECT_EQ(
        menuTexts,
        (QStringList{QStringLiteral("取得ﾍﾟｰｼﾞの追加"), QStringLiteral("項目ﾍﾟｰｼﾞの削除"),
                     QStringLiteral("取得ﾍﾟｰｼﾞの編集"), QStringLiteral("-"),
                     QStringLiteral("取得設定"), QStringLiteral("-"), QStringLiteral("Webから取得"),
                     QStringLiteral("ﾊﾞｯﾌｧから変換"), QStringLiteral("ﾊﾞｯﾌｧﾌﾟﾚﾋﾞｭｰ")}));
    EXPECT_EQ(Tree().ContextMenu()->title(), QStringLiteral("Tree-System"));

    // Below the last item there is no item: no menu, no change.
    bool menuOpened = false;
    QTimer::singleShot(50, [&] {
        if (QWidget* popup = QApplication::activePopupWidget()) {
            menuOpened = true;
            popup->close();
        }
    });
    QTest::mouseClick(Tree().viewport(), Qt::RightButton, {},
                      QPoint(5, Tree().viewport()->height() - 5));
    QTest::qWait(100);
    EXPECT_FALSE(menuOpened);
    EXPECT_EQ(Tree().SelectedEntryNumber(), 3);
}

TEST_F(TreeViewTest, LabelEditsAreNotStoredTheSettingsCommandIs) {
    ThreeBoards();
    Start();
    Select(1);
    Tree().OnCommand(32773);
    auto* editor = Tree().viewport()->findChild<QLineEdit*>();
    ASSERT_NE(editor, nullptr);
    editor->setText(QStringLiteral("改名"));
    QTest::keyClick(editor, Qt::Key_Return);
    EXPECT_TRUE(test::WaitUntil([&] { return Item(1)->text(0) == QStringLiteral("改名"); }));
    EXPECT_EQ(Stored(key::kName, 1), Sjis("一番")) << "label edits last until the next start";

    // The settings command cancelled gives back what the dialog loaded from the store, so the
    // label returns to the stored name.
    CQuorViewTesting::SetItemSettingsOpener(Tree(), [this](QWidget*, int number) {
        return ItemSettingsResult{false, Stored(key::kName, number), Stored(key::kUrl, number)};
    });
    Tree().OnCommand(app::command::kFetchSettings);
    EXPECT_EQ(Item(1)->text(0), QStringLiteral("一番"));
    EXPECT_EQ(Stored(key::kUrl, 1), "http://one/");

    DialogAnswers("新名", "http://new/");
    Tree().OnCommand(app::command::kFetchSettings);
    EXPECT_EQ(Stored(key::kName, 1), Sjis("新名"));
    EXPECT_EQ(Stored(key::kUrl, 1), "http://new/");
    EXPECT_EQ(Item(1)->text(0), QStringLiteral("新名"));
}

TEST_F(TreeViewTest, BufferPreviewAndConvertFromBuffer) {
    ThreeBoards();
    // Board 3 is a Custom board whose markers cut this page into two posts.
    WriteTagMarkers(3);
    const std::string page =
        "HTTP/1.0 200 OK\r\nContent-Type: text/html\r\n\r\n"
        "<t>T1</t><n>N1</n><d>D1</d><m>M1</m><t>T2</t><n>N2</n><d>D2</d><m>M2</m>";
    app_->SetPageText(2, page);
    Start();
    Frame().MessageView()->SetText("old text");
    Select(1);
    Tree().OnCommand(32783);
    EXPECT_TRUE(Frame().MessageView()->toPlainText().isEmpty()) << "a board never fetched";
    Tree().OnCommand(app::command::kConvertFromBuffer);
    EXPECT_EQ(app_->currentBoard.load(), 0) << "an empty page text changes nothing";

    Select(3);
    Tree().OnCommand(32783);
    EXPECT_EQ(Frame().MessageView()->Text(), page);
    Tree().OnCommand(app::command::kConvertFromBuffer);
    Tree().OnCommand(app::command::kConvertFromBuffer);
    EXPECT_EQ(app_->currentBoard.load(), 2);
    ASSERT_EQ(Frame().ListView()->Model().rowCount(), 2) << "converting again replaces the posts";
    EXPECT_EQ(Frame().ListView()->Model().index(1, 0).data().toString(), QStringLiteral("T2"));
}

TEST_F(TreeViewTest, ConvertFromAnEmptyPageTextKeepsThePostsAndTheList) {
    ThreeBoards();
    test::PutPosts(*app_, 1, {{"前の投稿", "名", "d", "m"}, {"次", "名", "d", "m"}});
    Start();
    Select(2);
    ASSERT_EQ(Frame().ListView()->Model().rowCount(), 2);
    Tree().OnCommand(app::command::kConvertFromBuffer);
    EXPECT_EQ(app_->WithWorkspace(1, [](const core::BoardWorkspace& w) { return w.posts.Count(); }),
              2u)
        << "the posts stay";
    EXPECT_EQ(app_->currentBoard.load(), 1);
    ASSERT_EQ(Frame().ListView()->Model().rowCount(), 2);
    EXPECT_EQ(Frame().ListView()->Model().index(0, 0).data().toString(),
              QStringLiteral("前の投稿"));
}

TEST_F(TreeViewTest, MissingIconsAreReportedAndTheTreeIsBuiltWithoutThem) {
    ThreeBoards();
    frame_ = std::make_unique<CMainFrame>(*app_, &frontend_);
    CQuorViewTesting::SetIconPaths(
        Tree(), {QStringLiteral(":/icons/none.xpm"), QStringLiteral(":/icons/none.xpm")});
    QString shown;
    CloseNextMessageBox(&shown);
    Tree().BuildTree();
    EXPECT_EQ(shown, QStringLiteral("イメージリスト作成失敗"));
    EXPECT_EQ(Tree().topLevelItem(0)->childCount(), 2);
    EXPECT_TRUE(Item(1)->icon(0).isNull());

    CQuorViewTesting::SetIconPaths(Tree(), {QStringLiteral(":/icons/tree_board.xpm"),
                                            QStringLiteral(":/icons/tree_board_open.xpm"),
                                            QStringLiteral(":/icons/tree_page.xpm")});
    Tree().BuildTree();
    EXPECT_FALSE(Item(1)->icon(0).isNull());
    EXPECT_EQ(Item(1)->icon(0).pixmap(16, 16, QIcon::Normal).toImage(),
              QPixmap(QStringLiteral(":/icons/tree_board.xpm")).toImage());
    EXPECT_EQ(Item(1)->icon(0).pixmap(16, 16, QIcon::Selected).toImage(),
              QPixmap(QStringLiteral(":/icons/tree_board_open.xpm")).toImage());
}

}  // namespace
}  // namespace quor::ui
