// The application's command table: which commands it holds, and the rules both programs get from
// it (a board command on an empty page text or a board outside the tables changes nothing, a
// refused fetch and a failed board fail the command with the reason).

#include "app/app_commands.h"

#include <gtest/gtest.h>

#include <set>
#include <string>

#include "app/command_ids.h"
#include "core/cp932.h"
#include "core/memory_settings_store.h"
#include "core/quor_app.h"
#include "core/settings_keys.h"
#include "support/recording_frontend.h"
#include "support/temp_dir.h"

namespace quor::app {
namespace {

namespace cmd = command;
using namespace std::string_literals;
using core::BoardKey;
using core::kSectionTree;
namespace key = core::key;

// One post of BBS type 7, as a saved response.
const std::string kOnePostPage =
    "HTTP/1.0 200 OK\r\n\r\n" +
    core::FromUtf8("<hr><b>題</b>投稿者：<b>名</b>投稿日：d</font><blockquote>m</blockquote>");

class AppCommandsTest : public ::testing::Test {
protected:
    AppCommandsTest() : app(store, frontend) {
        store.WriteInt(kSectionTree, key::kCount, 2);
        for (const int number : {1, 2})
            store.WriteInt(kSectionTree, BoardKey(key::kType, number), 7);
    }
    void PutPosts(int slot, int count) {
        app.WithWorkspace(slot, [&](core::BoardWorkspace& workspace) {
            for (int i = 0; i < count; ++i)
                workspace.posts.Append(core::Post{"kept " + std::to_string(i), "n", "d", "m", 0});
        });
    }
    std::size_t PostCount(int slot) {
        return app.WithWorkspace(slot,
                                 [](const core::BoardWorkspace& w) { return w.posts.Count(); });
    }
    std::string FirstTitle(int slot) {
        return app.WithWorkspace(slot,
                                 [](const core::BoardWorkspace& w) { return w.posts.At(0).title; });
    }

    core::MemorySettingsStore store;
    test::RecordingFrontend frontend;
    core::CQuorApp app;
};

TEST(AppCommandTable, HoldsEachCommandOfTheApplicationOnce) {
    std::set<int> ids;
    for (const AppCommand& row : AppCommandTable()) {
        EXPECT_TRUE(ids.insert(row.id).second) << "id " << row.id << " twice";
        EXPECT_NE(row.run, nullptr) << row.id;
        EXPECT_EQ(FindAppCommand(row.id), &row);
    }
    EXPECT_EQ(ids, (std::set<int>{cmd::kFetchAll, cmd::kFetchAllMenu, cmd::kFetchSelected,
                                  cmd::kStopFetching, cmd::kRestore, cmd::kSave, cmd::kClear,
                                  cmd::kLoad, cmd::kUnreadCheck, cmd::kWriteReadState,
                                  cmd::kConvertFromBuffer, cmd::kBufferPreview}));
    // The tree gives these two on a board of its own choosing; the route never takes them.
    EXPECT_EQ(FindAppCommand(cmd::kConvertFromBuffer)->scope, CommandScope::kBoard);
    EXPECT_EQ(FindAppCommand(cmd::kBufferPreview)->scope, CommandScope::kBoard);
    EXPECT_EQ(FindAppCommand(cmd::kFetchSelected)->scope, CommandScope::kApplication);
    for (const int desktopOnly : {cmd::kAbout, cmd::kEnvironmentSettings, cmd::kNewItem, 0})
        EXPECT_EQ(FindAppCommand(desktopOnly), nullptr) << desktopOnly;
}

TEST_F(AppCommandsTest, ConvertingAnEmptyPageTextChangesNothing) {
    PutPosts(0, 3);
    app.currentBoard.store(1);
    const auto result = RunAppCommand(app, cmd::kConvertFromBuffer, 1);
    ASSERT_TRUE(result);
    EXPECT_EQ(result->status, CommandResult::kUnchanged);
    EXPECT_EQ(result->reason, "board 1 has no page text; nothing converted");
    EXPECT_EQ(PostCount(0), 3u) << "the posts stay";
    EXPECT_EQ(FirstTitle(0), "kept 0");
    EXPECT_EQ(app.currentBoard.load(), 1) << "the current board stays";
    EXPECT_EQ(frontend.RefreshCount(), 0);
    EXPECT_TRUE(frontend.StatusTexts().empty());

    // With a page text the board is converted from an empty table, made current and shown.
    app.SetPageText(0, kOnePostPage);
    ASSERT_EQ(RunAppCommand(app, cmd::kConvertFromBuffer, 1)->status, CommandResult::kDone);
    ASSERT_EQ(PostCount(0), 1u);
    EXPECT_EQ(FirstTitle(0), core::FromUtf8("題"));
    EXPECT_EQ(app.currentBoard.load(), 0);
    EXPECT_EQ(frontend.RefreshCount(), 1);
}

TEST_F(AppCommandsTest, WithoutANamedBoardTheTreeSelectionIsUsed) {
    app.SetPageText(1, kOnePostPage);
    frontend.SetSelectedEntryNumber(2);
    ASSERT_EQ(RunAppCommand(app, cmd::kConvertFromBuffer)->status, CommandResult::kDone);
    EXPECT_EQ(PostCount(1), 1u);
    EXPECT_EQ(RunAppCommand(app, cmd::kBufferPreview)->text, kOnePostPage);

    for (const int selection : {0, -1}) {
        frontend.SetSelectedEntryNumber(selection);
        for (const int id : {cmd::kConvertFromBuffer, cmd::kBufferPreview, cmd::kFetchSelected})
            EXPECT_EQ(RunAppCommand(app, id)->status, CommandResult::kUnchanged) << id;
    }
    EXPECT_EQ(PostCount(1), 1u);
    EXPECT_FALSE(app.Run().IsActive()) << "the root and no selection start no run";
}

TEST_F(AppCommandsTest, BoardCommandsLeaveBoardsOutsideTheTablesAlone) {
    // A hand-edited Count of 65 puts a 65th board in the tree; the tables have 64 slots.
    store.WriteInt(kSectionTree, key::kCount, 65);
    for (const int board : {65, 66, 1000, -5}) {
        for (const int id : {cmd::kConvertFromBuffer, cmd::kBufferPreview}) {
            const auto result = RunAppCommand(app, id, board);
            ASSERT_TRUE(result);
            EXPECT_EQ(result->status, CommandResult::kUnchanged) << id << " on " << board;
            EXPECT_TRUE(result->text.empty());
        }
    }
    const auto fetch = RunAppCommand(app, cmd::kFetchSelected, 65);
    EXPECT_EQ(fetch->status, CommandResult::kFailed);
    EXPECT_EQ(fetch->reason, "board is beyond the 64 the tables hold");
    EXPECT_FALSE(app.Run().IsActive());
}

TEST_F(AppCommandsTest, BufferPreviewGivesThePageTextAsItIs) {
    const std::string bytes = "HTTP/1.0 200 OK\r\n\r\n\x82\xa0\0\xff<html>"s;
    app.SetPageText(1, bytes);
    PutPosts(1, 2);
    const auto preview = RunAppCommand(app, cmd::kBufferPreview, 2);
    EXPECT_EQ(preview->status, CommandResult::kDone);
    EXPECT_EQ(preview->text, bytes);
    EXPECT_EQ(PostCount(1), 2u) << "previewing converts nothing";
    EXPECT_EQ(frontend.RefreshCount(), 0);

    const auto empty = RunAppCommand(app, cmd::kBufferPreview, 1);
    EXPECT_EQ(empty->status, CommandResult::kDone) << "a board never fetched shows an empty text";
    EXPECT_TRUE(empty->text.empty());
}

TEST_F(AppCommandsTest, AFailedBoardFailsTheCommandWithTheReason) {
    test::TempDir dir;
    // An output directory that does not exist: the post index of board 1 cannot be written.
    store.WriteString(core::kSectionGlobal, key::kOutputDirectory,
                      (dir.Path() / "missing" / "").string());
    store.WriteString(kSectionTree, BoardKey(key::kName, 1), "one");
    PutPosts(0, 1);
    const auto save = RunAppCommand(app, cmd::kSave);
    ASSERT_TRUE(save);
    EXPECT_EQ(save->status, CommandResult::kFailed);
    EXPECT_EQ(save->reason.rfind("1 board(s) failed, first ", 0), 0u) << save->reason;
    EXPECT_NE(save->reason.find("one.idx"), std::string::npos) << save->reason;

    store.WriteString(core::kSectionGlobal, key::kOutputDirectory, dir.Prefix());
    EXPECT_EQ(RunAppCommand(app, cmd::kSave)->status, CommandResult::kDone);
    EXPECT_FALSE(RunAppCommand(app, cmd::kAbout)) << "not a command of the table";
}

}  // namespace
}  // namespace quor::app
