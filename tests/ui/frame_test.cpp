// The main window as a user meets it: title, panes, toolbar, menus, status bar, command routing,
// the document's re-initialisation, closing without a prompt, and the about box.

#include <gtest/gtest.h>

#include <QApplication>
#include <QDialog>
#include <QLabel>
#include <QMenuBar>
#include <QPushButton>
#include <QSplitter>
#include <QStatusBar>
#include <QStatusTipEvent>
#include <QTimer>
#include <QToolBar>
#include <QToolButton>
#include <filesystem>

#include "app/command_ids.h"
#include "core/settings_keys.h"
#include "desktop_fixture.h"
#include "support/temp_dir.h"
#include "ui/document/quor_doc.h"
#include "ui/document/quor_doc_testing.h"
#include "ui/views/board_tree_view.h"
#include "ui/views/message_view.h"
#include "ui/views/post_list_model.h"
#include "ui/views/post_list_view.h"

namespace quor::ui {
namespace {

namespace cmd = app::command;

class FrameTest : public test::DesktopTest {
protected:
    QLabel* StatusPane(int n) {
        return Frame().findChild<QLabel*>(QStringLiteral("statusPane%1").arg(n));
    }
    QAction* ToolbarButton(int position, int id) {
        return Frame().findChild<QAction*>(QStringLiteral("toolbar%1_%2").arg(position).arg(id));
    }
};

TEST_F(FrameTest, StartsTitledWithThreePanesInTwoSplitters) {
    Start();
    EXPECT_EQ(Frame().windowTitle(), QStringLiteral("「Mirubo」"));
    EXPECT_TRUE(Frame().isVisible());
    auto* outer = Frame().findChild<QSplitter*>(QStringLiteral("splitterOuter"));
    auto* inner = Frame().findChild<QSplitter*>(QStringLiteral("splitterInner"));
    ASSERT_NE(outer, nullptr);
    ASSERT_NE(inner, nullptr);
    EXPECT_EQ(outer->widget(0), Frame().TreeView());
    EXPECT_EQ(outer->widget(1), inner);
    EXPECT_EQ(inner->widget(0), Frame().ListView());
    EXPECT_EQ(inner->widget(1), Frame().MessageView());
    EXPECT_EQ(outer->sizes().at(0), 150);
    EXPECT_EQ(Frame().findChild<QWidget*>(QStringLiteral("CQuorView")), Frame().TreeView());
}

TEST_F(FrameTest, ToolbarHasThirteenButtonsAndFourSeparatorsInOrder) {
    Start();
    const QList<QAction*> actions = Frame().ToolBar()->actions();
    QList<int> ids;
    for (QAction* action : actions)
        ids << (action->isSeparator() ? 0 : action->data().toInt());
    EXPECT_EQ(ids, (QList<int>{32788, 32787, 32785, 0, 32774, 32779, 32780, 0, 32787, 32785, 32784,
                               32786, 0, 32789, 32790, 0, 57664}));
    for (QAction* action : actions) {
        if (!action->isSeparator()) {
            EXPECT_FALSE(action->icon().isNull()) << action->data().toInt();
        }
    }
    EXPECT_EQ(Frame().ToolBar()->iconSize(), QSize(16, 15));
    QAction* fetchSelected = ToolbarButton(5, cmd::kFetchSelected);
    ASSERT_NE(fetchSelected, nullptr);
    EXPECT_EQ(fetchSelected->toolTip(), QStringLiteral("選択部分取得"));
    EXPECT_EQ(fetchSelected->statusTip(), QStringLiteral("選択取得"));
    QAction* about = ToolbarButton(13, cmd::kAbout);
    EXPECT_EQ(about->toolTip(), QStringLiteral("ﾊﾞｰｼﾞｮﾝ情報"));
    EXPECT_EQ(about->statusTip(), QStringLiteral("ﾌﾟﾛｸﾞﾗﾑの情報、ﾊﾞｰｼﾞｮﾝそして著作権を表示"));
}

TEST_F(FrameTest, NewItemIsEnabledOnlyWhileTheTreeIsActive) {
    Start();
    QAction* newItem = ToolbarButton(1, cmd::kNewItemToolbar);
    ASSERT_NE(newItem, nullptr);
    EXPECT_TRUE(newItem->isEnabled()) << "the tree is the first active view";
    Frame().ListView()->setFocus();
    ASSERT_TRUE(test::WaitUntil([&] { return !newItem->isEnabled(); }));
    EXPECT_TRUE(ToolbarButton(4, cmd::kFetchAll)->isEnabled());
    Frame().MessageView()->setFocus();
    ASSERT_TRUE(test::WaitUntil([&] { return Frame().ActiveView() == Frame().MessageView(); }));
    EXPECT_FALSE(newItem->isEnabled());
    EXPECT_TRUE(Frame().findChild<QAction*>(QStringLiteral("accel57634"))->isEnabled())
        << "copy belongs to the message view";
    Frame().TreeView()->setFocus();
    ASSERT_TRUE(test::WaitUntil([&] { return newItem->isEnabled(); }));
    EXPECT_FALSE(Frame().findChild<QAction*>(QStringLiteral("accel57634"))->isEnabled());
    EXPECT_FALSE(Frame().Dispatch(57634)) << "no one on the route handles copy";
}

TEST_F(FrameTest, LoadAndSaveAppearTwiceAndSendTheSameCommand) {
    Start();
    QAction* first = ToolbarButton(2, cmd::kLoad);
    QAction* second = ToolbarButton(7, cmd::kLoad);
    ASSERT_NE(first, nullptr);
    ASSERT_NE(second, nullptr);
    EXPECT_NE(first, second);
    EXPECT_EQ(first->data(), second->data());
    EXPECT_EQ(ToolbarButton(3, cmd::kSave)->data(), ToolbarButton(8, cmd::kSave)->data());
}

TEST_F(FrameTest, StatusBarShowsReadyPromptsAndIndicators) {
    Start();
    EXPECT_EQ(StatusPane(0)->text(), QStringLiteral("ﾚﾃﾞｨ"));
    const QStringList indicators{QStringLiteral("ｶﾅ"), QStringLiteral("CAP"), QStringLiteral("NUM"),
                                 QStringLiteral("SCRL")};
    for (int n = 1; n <= 4; ++n)
        EXPECT_EQ(StatusPane(n)->text(), indicators[n - 1]);

    QStatusTipEvent prompt(QStringLiteral("全取得"));
    QApplication::sendEvent(&Frame(), &prompt);
    EXPECT_EQ(StatusPane(0)->text(), QStringLiteral("全取得"));
    QStatusTipEvent leave{QString()};
    QApplication::sendEvent(&Frame(), &leave);
    EXPECT_EQ(StatusPane(0)->text(), QStringLiteral("ﾚﾃﾞｨ"));

    frontend_.SetStatusText(test::Sjis("一番変換中"));
    EXPECT_EQ(Frame().StatusLine(), QStringLiteral("一番変換中"));
}

TEST_F(FrameTest, MenusAndBarTogglesWithCheckMarks) {
    Start();
    QStringList titles;
    for (QAction* menu : Frame().menuBar()->actions())
        titles << menu->text();
    EXPECT_EQ(titles, (QStringList{QStringLiteral("ﾌｧｲﾙ(&F)"), QStringLiteral("環境設定(&V)"),
                                   QStringLiteral("ﾍﾙﾌﾟ(&H)")}));
    auto* toolBarToggle = Frame().findChild<QAction*>(QStringLiteral("menu59392"));
    auto* statusToggle = Frame().findChild<QAction*>(QStringLiteral("menu59393"));
    EXPECT_TRUE(toolBarToggle->isChecked());
    toolBarToggle->trigger();
    EXPECT_TRUE(Frame().ToolBar()->isHidden());
    EXPECT_FALSE(toolBarToggle->isChecked());
    toolBarToggle->trigger();
    EXPECT_FALSE(Frame().ToolBar()->isHidden());
    EXPECT_TRUE(toolBarToggle->isChecked());
    statusToggle->trigger();
    EXPECT_TRUE(Frame().statusBar()->isHidden());
    EXPECT_FALSE(statusToggle->isChecked());
    EXPECT_EQ(Frame().findChild<QAction*>(QStringLiteral("menu57664"))->text(),
              QStringLiteral("quor のﾊﾞｰｼﾞｮﾝ情報(&A)..."));
}

TEST_F(FrameTest, NewDocumentEmptiesTheMessageViewAndKeepsTheOtherPanes) {
    test::WriteBoards(store_, {{0, "一番", ""}});
    test::PutPosts(*app_, 0, {{"t", "n", "d", "m", 0}});
    Start();
    Frame().TreeView()->setCurrentItem(Frame().TreeView()->Entries()[1].item);
    Frame().MessageView()->SetText("shown");
    QTest::keyClick(&Frame(), Qt::Key_N, Qt::ControlModifier);
    EXPECT_TRUE(Frame().MessageView()->toPlainText().isEmpty());
    EXPECT_EQ(CQuorDocTesting::NewDocumentCount(Frame().Document()), 1);
    EXPECT_EQ(Frame().TreeView()->Entries().size(), 2u);
    EXPECT_EQ(Frame().TreeView()->topLevelItemCount(), 1);
    EXPECT_EQ(Frame().ListView()->Model().rowCount(), 1);
    Frame().Dispatch(cmd::kFileOpen);
    EXPECT_EQ(CQuorDocTesting::NewDocumentCount(Frame().Document()), 2);
    EXPECT_TRUE(Frame().Dispatch(57603)) << "saving the document is handled and writes nothing";
}

TEST_F(FrameTest, ClosingAfterTypingAsksNothing) {
    Start();
    Frame().MessageView()->setFocus();
    QTest::keyClicks(Frame().MessageView(), QStringLiteral("typed text"));
    bool dialogSeen = false;
    QTimer::singleShot(200, [&] {
        if (QWidget* modal = QApplication::activeModalWidget()) {
            dialogSeen = true;
            modal->close();
        }
    });
    EXPECT_TRUE(Frame().close());
    QTest::qWait(250);
    EXPECT_FALSE(dialogSeen);
    EXPECT_FALSE(Frame().isVisible());
    EXPECT_TRUE(frontend_.Closing()) << "workers stop waiting for the GUI once the window closes";
}

TEST_F(FrameTest, AboutBoxShowsNameVersionAndCloses) {
    Start();
    QString title, version;
    bool hasIcon = false;
    QTimer::singleShot(0, [&] {
        test::WaitUntil([] { return QApplication::activeModalWidget() != nullptr; });
        auto* box = qobject_cast<QDialog*>(QApplication::activeModalWidget());
        if (box == nullptr)
            return;
        title = box->windowTitle();
        version = box->findChild<QLabel*>(QStringLiteral("aboutVersion"))->text();
        for (QLabel* label : box->findChildren<QLabel*>())
            hasIcon = hasIcon || !label->pixmap().isNull();
        QTest::mouseClick(box->findChild<QWidget*>(QStringLiteral("ctl1")), Qt::LeftButton);
    });
    EXPECT_TRUE(Frame().Dispatch(cmd::kAbout));
    EXPECT_EQ(title, QStringLiteral("Mirubo　ﾊﾞｰｼﾞｮﾝ"));
    EXPECT_EQ(version, QStringLiteral("Mirubo Version 0.62"));
    EXPECT_TRUE(hasIcon);
    EXPECT_EQ(QApplication::activeModalWidget(), nullptr);
}

TEST_F(FrameTest, NextPaneCyclesTheViews) {
    Start();
    Frame().TreeView()->setFocus();
    ASSERT_TRUE(test::WaitUntil([&] { return Frame().ActiveView() == Frame().TreeView(); }));
    QTest::keyClick(&Frame(), Qt::Key_F6);
    ASSERT_TRUE(test::WaitUntil([&] { return Frame().ActiveView() == Frame().ListView(); }));
    QTest::keyClick(&Frame(), Qt::Key_F6, Qt::ShiftModifier);
    EXPECT_TRUE(test::WaitUntil([&] { return Frame().ActiveView() == Frame().TreeView(); }));
}

}  // namespace
}  // namespace quor::ui

namespace quor::ui {
namespace {

TEST_F(FrameTest, SaveRunsUnderTheProgressWindowAndEnablesTheWindowAgain) {
    test::TempDir output;
    test::WriteBoards(store_, {{0, "board", ""}, {0, "other", ""}});
    store_.WriteString(core::kSectionGlobal, core::key::kOutputDirectory, output.Prefix());
    test::PutPosts(*app_, 0, {{"t", "n", "d", "m", 0}});
    Start();
    bool progressShown = false;
    bool frameDisabled = false;
    QString statusText;
    // The save loop handles waiting events on every update, so this runs inside it.
    QTimer poll;
    poll.setInterval(0);
    QObject::connect(&poll, &QTimer::timeout, [&] {
        for (QWidget* window : QApplication::topLevelWidgets()) {
            if (window->objectName() == QStringLiteral("dlg102") && window->isVisible()) {
                progressShown = true;
                statusText = window->findChild<QLabel*>(QStringLiteral("ctl1023"))->text();
                frameDisabled = !Frame().isEnabled();
            }
        }
    });
    poll.start();
    EXPECT_TRUE(Frame().Dispatch(cmd::kSave));
    poll.stop();
    EXPECT_TRUE(progressShown);
    EXPECT_TRUE(frameDisabled);
    EXPECT_EQ(statusText, QStringLiteral("データの書き込み中です..."));
    EXPECT_TRUE(Frame().isEnabled());
    EXPECT_TRUE(std::filesystem::exists(output.Path() / "board.idx"));
}

TEST_F(FrameTest, CancelDuringSaveAndLoadStopsNeitherCommand) {
    test::TempDir output;
    test::WriteBoards(store_, {{0, "board", ""}, {0, "other", ""}, {0, "third", ""}});
    store_.WriteString(core::kSectionGlobal, core::key::kOutputDirectory, output.Prefix());
    for (int slot = 0; slot < 3; ++slot)
        test::PutPosts(*app_, slot, {{"t", "n", "d", "m", 0}});
    Start();
    int cancels = 0;
    QTimer poll;
    poll.setInterval(0);
    QObject::connect(&poll, &QTimer::timeout, [&] {
        for (QWidget* window : QApplication::topLevelWidgets()) {
            if (window->objectName() == QStringLiteral("dlg102") && window->isVisible()) {
                QTest::mouseClick(window->findChild<QPushButton*>(QStringLiteral("ctl2")),
                                  Qt::LeftButton);
                ++cancels;
            }
        }
    });
    poll.start();
    EXPECT_TRUE(Frame().Dispatch(cmd::kSave));
    const int cancelsDuringSave = cancels;
    for (int slot = 0; slot < 3; ++slot)
        app_->WithWorkspace(slot, [](core::BoardWorkspace& w) { w.posts.Clear(); });
    EXPECT_TRUE(Frame().Dispatch(cmd::kLoad));
    poll.stop();
    EXPECT_GT(cancelsDuringSave, 0);
    EXPECT_GT(cancels, cancelsDuringSave) << "Cancel was pressed during the load too";
    for (const char* name : {"board.idx", "other.idx", "third.idx"})
        EXPECT_TRUE(std::filesystem::exists(output.Path() / name)) << name;
    for (int slot = 0; slot < 3; ++slot)
        EXPECT_EQ(app_->WithWorkspace(
                      slot, [](const core::BoardWorkspace& w) { return w.posts.Count(); }),
                  1u)
            << "slot " << slot << " loaded";
    EXPECT_TRUE(Frame().isEnabled());
}

}  // namespace
}  // namespace quor::ui
