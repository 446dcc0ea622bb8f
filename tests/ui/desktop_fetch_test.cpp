// A whole fetch through the desktop program against the project's board server: the toolbar's
// "全取得", the status line, the filled and bold post list, and a post in the message view.

#include <gtest/gtest.h>

#include <QAction>
#include <chrono>
#include <fstream>
#include <sstream>

#include "app/command_ids.h"
#include "core/cp932.h"
#include "core/settings_keys.h"
#include "desktop_fixture.h"
#include "support/child_process.h"
#include "support/temp_dir.h"
#include "ui/views/board_tree_view.h"
#include "ui/views/message_text.h"
#include "ui/views/message_view.h"
#include "ui/views/post_list_model.h"
#include "ui/views/post_list_view.h"

namespace quor::ui {
namespace {

class DesktopFetchTest : public test::DesktopTest {
protected:
    // Starts the board server on the configuration and copies its board settings into the store.
    bool StartServer(const std::string& config) {
        const auto configFile = dir_.Path() / "boards.json";
        const auto settingsFile = dir_.Path() / "settings.tsv";
        test::TempDir::WriteFile(configFile, config);
        server_ = std::make_unique<test::ChildProcess>(std::vector<std::string>{
            "python3", QUOR_SOURCE_DIR "/tests/support/board_server.py", "--port", "0", "--config",
            configFile.string(), "--settings-file", settingsFile.string()});
        const auto line = server_->ReadLine(std::chrono::seconds(20));
        if (!line || line->rfind("PORT ", 0) != 0)
            return false;
        std::istringstream rows(test::TempDir::ReadFile(settingsFile));
        std::string row;
        while (std::getline(rows, row)) {
            const auto tab1 = row.find('\t');
            const auto tab2 = row.find('\t', tab1 + 1);
            store_.WriteString(row.substr(0, tab1), row.substr(tab1 + 1, tab2 - tab1 - 1),
                               core::FromUtf8(row.substr(tab2 + 1)));
        }
        return true;
    }

    test::TempDir dir_;
    std::unique_ptr<test::ChildProcess> server_;
};

TEST_F(DesktopFetchTest, FetchAllFillsTheListAndShowsAPost) {
    ASSERT_TRUE(StartServer(R"({"boards": [
        {"name": "雑談", "type": 1, "encoding": "sjis", "pages": 2, "posts": 3, "turn": "post"},
        {"name": "EUC板", "type": 7, "encoding": "euc", "pages": 1, "posts": 2}]})"));
    store_.WriteString(core::kSectionGlobal, core::key::kOutputDirectory, dir_.Prefix());
    store_.WriteInt(core::kSectionGlobal, core::key::kAutoCheck, 1);
    // An empty read state: nothing read yet, so the unread check marks every post.
    test::TempDir::WriteFile(dir_.Path() / "雑談.hcc", "");
    Start();

    QAction* fetchAll = Frame().findChild<QAction*>(QStringLiteral("toolbar4_32774"));
    ASSERT_NE(fetchAll, nullptr);
    fetchAll->trigger();
    CQuorUpView& list = *Frame().ListView();
    ASSERT_TRUE(test::WaitUntil(
        [&] { return !app_->Run().IsActive() && list.Model().rowCount() == 6; }, 30000))
        << "rows: " << list.Model().rowCount()
        << ", status: " << Frame().StatusLine().toStdString();
    EXPECT_EQ(Frame().StatusLine(), QStringLiteral("変換終了"));

    const QString title = list.Model().index(0, 0).data().toString();
    EXPECT_TRUE(title.contains(QStringLiteral("テスト投稿"))) << title.toStdString();
    for (int row = 0; row < 6; ++row)
        EXPECT_TRUE(list.Model().index(row, 0).data(PostListModel::kUnreadRole).toBool()) << row;

    const QRect rect = list.visualRect(list.Model().index(1, 0));
    QTest::mouseClick(list.viewport(), Qt::LeftButton, {}, rect.center());
    const core::Post shown = app_->WithWorkspace(
        0, [](const core::BoardWorkspace& workspace) { return workspace.posts.At(1); });
    EXPECT_EQ(shown.unread, 0);
    EXPECT_EQ(Frame().MessageView()->Text(), BuildMessageText(shown));
    EXPECT_TRUE(Frame().MessageView()->toPlainText().contains(QStringLiteral("guest2")));

    CQuorView& tree = *Frame().TreeView();
    tree.setCurrentItem(tree.Entries()[2].item);
    EXPECT_EQ(list.Model().rowCount(), 2);
    EXPECT_FALSE(list.Model().index(0, 0).data(PostListModel::kUnreadRole).toBool())
        << "a board without a read-state file has nothing marked";
}

}  // namespace
}  // namespace quor::ui

namespace quor::ui {
namespace {

TEST_F(DesktopFetchTest, ClosingDuringARunEndsPromptly) {
    ASSERT_TRUE(StartServer(R"({"latency_ms": 4000, "boards": [
        {"name": "遅い板", "type": 1, "encoding": "sjis", "pages": 3}]})"));
    store_.WriteString(core::kSectionGlobal, core::key::kOutputDirectory, dir_.Prefix());
    Start();
    Frame().Dispatch(app::command::kFetchAll);
    ASSERT_TRUE(test::WaitUntil([&] { return app_->Run().IsActive(); }));
    QTest::qWait(300);
    ASSERT_TRUE(Frame().close());
    const auto closedAt = std::chrono::steady_clock::now();
    // As main does after the event loop: no GUI thread serves the workers any more.
    frontend_.AttachFrame(nullptr);
    frame_.reset();
    app_.reset();
    EXPECT_LT(std::chrono::steady_clock::now() - closedAt, std::chrono::milliseconds(1500));
}

}  // namespace
}  // namespace quor::ui
