#include "core/board_workspace.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <functional>
#include <future>
#include <thread>

namespace quor::core {
namespace {

TEST(BoardWorkspaceTest, StartsEmptyAndClearBoardKeepsSettings) {
    BoardWorkspace workspace;
    EXPECT_FALSE(workspace.HasText());
    EXPECT_EQ(workspace.pageCounter, 1);
    EXPECT_EQ(workspace.rules.fieldOrder, (std::array<std::int32_t, 4>{0, 1, 2, 3}));
    workspace.ClearBoard();
    EXPECT_FALSE(workspace.HasText());
    EXPECT_EQ(workspace.pageCounter, 1);

    workspace.SetText("page");
    workspace.posts.Append({"t", "n", "d", "m", 1});
    workspace.pageCounter = 3;
    workspace.rules.markers.titleStart = "<b>";
    workspace.rules.switches.lineFeed = 1;
    workspace.nextPage.flag = 1;
    workspace.nextPage.number = 20;
    workspace.nextPage.query = "page=2";
    workspace.rules.fieldOrder = {0, 2, 1, 3};
    workspace.ClearBoard();

    EXPECT_FALSE(workspace.HasText());
    EXPECT_TRUE(workspace.posts.Empty());
    EXPECT_EQ(workspace.pageCounter, 1);
    EXPECT_EQ(workspace.rules.markers.titleStart, "<b>");
    EXPECT_EQ(workspace.rules.switches.lineFeed, 1);
    EXPECT_EQ(workspace.nextPage.flag, 1);
    EXPECT_EQ(workspace.nextPage.number, 20);
    EXPECT_EQ(workspace.nextPage.query, "page=2");
    EXPECT_EQ(workspace.rules.fieldOrder, (std::array<std::int32_t, 4>{0, 2, 1, 3}));
}

TEST(BoardWorkspaceTest, SetTextStopsAtTheFirstZeroByte) {
    BoardWorkspace workspace(std::string_view("abc\0def", 7));
    EXPECT_TRUE(workspace.HasText());
    EXPECT_EQ(workspace.Text(), "abc");
    workspace.SetText("");
    EXPECT_TRUE(workspace.HasText());
    EXPECT_EQ(workspace.Text(), "");
}

TEST(BoardWorkspaceTest, StripHeaderKeepsTheBlankLineAndIgnoresLaterOnes) {
    BoardWorkspace workspace("HTTP/1.0 200 OK\r\nA: b\r\n\r\nbody\r\n\r\nmore");
    workspace.StripHeader();
    EXPECT_EQ(workspace.Text(), "\r\n\r\nbody\r\n\r\nmore");
    workspace.StripHeader();
    EXPECT_EQ(workspace.Text(), "\r\n\r\nbody\r\n\r\nmore");

    BoardWorkspace noBlankLine("HTTP/1.0 200 OK\r\nbody\n\nx");
    noBlankLine.StripHeader();
    EXPECT_EQ(noBlankLine.Text(), "HTTP/1.0 200 OK\r\nbody\n\nx");
}

TEST(BoardWorkspaceTest, MoveContentToHandsOverEverythingAndClearsTheSource) {
    ParseRules rules;
    rules.markers.titleStart = "<b>";
    rules.fieldOrder = {0, 2, 1, 3};
    rules.switches.noCase = 1;
    rules.nextPage = {"next", 2};
    rules.pageLimit = 4;
    const NextPageResult next{1, 5, "page=5"};

    BoardWorkspace from("page");
    from.posts.Append({"t", "n", "d", "m", 1});
    from.pageCounter = 3;
    from.rules = rules;
    from.nextPage = next;
    BoardWorkspace to("old page");
    to.posts.Append({"old", "", "", "", 0});
    to.pageCounter = 2;
    to.rules.markers.titleStart = "<i>";

    from.MoveContentTo(to);
    EXPECT_EQ(to.Text(), "page");
    ASSERT_EQ(to.posts.Count(), 1u);
    EXPECT_EQ(to.posts.At(0), (Post{"t", "n", "d", "m", 1}));
    EXPECT_EQ(to.pageCounter, 3);
    EXPECT_EQ(to.rules, rules);
    EXPECT_EQ(to.nextPage, next);
    // The source is cleared as ClearBoard clears: its rules and results stay.
    EXPECT_FALSE(from.HasText());
    EXPECT_TRUE(from.posts.Empty());
    EXPECT_EQ(from.pageCounter, 1);
    EXPECT_EQ(from.rules, rules);
    EXPECT_EQ(from.nextPage, next);

    to.MoveContentTo(to);
    EXPECT_EQ(to.Text(), "page");
    EXPECT_EQ(to.posts.Count(), 1u);

    // A source without a text buffer leaves the target without one.
    from.MoveContentTo(to);
    EXPECT_FALSE(to.HasText());
    EXPECT_TRUE(to.posts.Empty());
}

// Every state a reader can meet: cleared, or the whole content of the one board that moves back
// and forth.
bool IsWhole(const BoardWorkspace& workspace) {
    if (!workspace.HasText())
        return workspace.posts.Empty() && workspace.pageCounter == 1;
    return workspace.Text() == "three" && workspace.posts.Count() == 3 &&
           workspace.pageCounter == 3;
}

TEST(SharedWorkspaceTest, MovesBothWaysAtOnceNeitherDeadlockNorShowAHalfMove) {
    SharedWorkspace a;
    SharedWorkspace b;
    a.With([](BoardWorkspace& workspace) {
        workspace.SetText("three");
        for (int i = 0; i < 3; ++i)
            workspace.posts.Append({"p", "", "", "", 0});
        workspace.pageCounter = 3;
    });
    a.MoveContentTo(a);
    EXPECT_TRUE(a.With([](const BoardWorkspace& workspace) { return workspace.HasText(); }));

    // All three start together, so the moves overlap each other and the reads.
    constexpr int kMoves = 20000;
    std::atomic<int> ready{0};
    std::atomic<int> moversLeft{2};
    std::atomic<int> halfMoves{0};
    std::atomic<int> reads{0};
    const auto startTogether = [&ready] {
        ++ready;
        while (ready.load() < 3)
            std::this_thread::yield();
    };
    std::thread reader([&] {
        startTogether();
        do {
            for (const SharedWorkspace* workspace : {&a, &b})
                halfMoves += workspace->With(IsWhole) ? 0 : 1;
            ++reads;
        } while (moversLeft.load() > 0);
    });
    const auto mover = [&](SharedWorkspace& from, SharedWorkspace& to) {
        startTogether();
        // The movers also wait for the reader to have read a while among them: on a loaded
        // machine it may otherwise get its first turn only after both have finished.
        for (int i = 0; i < kMoves || reads.load() < 100; ++i)
            from.MoveContentTo(to);
        --moversLeft;
    };
    std::thread forth(mover, std::ref(a), std::ref(b));
    std::thread back(mover, std::ref(b), std::ref(a));
    forth.join();
    back.join();
    reader.join();
    EXPECT_EQ(halfMoves.load(), 0);
    EXPECT_GT(reads.load(), 1);
}

TEST(SharedWorkspaceTest, AMoveWaitingForItsTargetHoldsNoLockOnItsSource) {
    // Were the source held while the target is awaited, a move the other way would deadlock, and
    // every reader of the source would wait for the target's holder.
    SharedWorkspace a;
    SharedWorkspace b;
    a.With([](BoardWorkspace& workspace) { workspace.SetText("from a"); });
    std::thread mover;
    std::thread reader;
    bool sourceFree = false;
    b.With([&](BoardWorkspace&) {
        mover = std::thread([&] { a.MoveContentTo(b); });
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
        std::promise<void> read;
        std::future<void> done = read.get_future();
        reader = std::thread([&a, read = std::move(read)]() mutable {
            a.With([](const BoardWorkspace&) {});
            read.set_value();
        });
        sourceFree = done.wait_for(std::chrono::seconds(5)) == std::future_status::ready;
    });
    mover.join();
    reader.join();
    EXPECT_TRUE(sourceFree);
    EXPECT_EQ(b.With([](const BoardWorkspace& workspace) { return workspace.Text(); }), "from a");
}

TEST(PostTableTest, AppendsInOrderAndClears) {
    PostTable table;
    EXPECT_EQ(table.Append({"a", "", "", "1"}), 0u);
    EXPECT_EQ(table.Append({"b", "", "", "2"}), 1u);
    EXPECT_EQ(table.Count(), 2u);
    EXPECT_EQ(table.At(1).title, "b");
    table.At(0).unread = 1;
    EXPECT_EQ(table.At(0).unread, 1);
    EXPECT_THROW(table.At(2), std::out_of_range);
    table.Clear();
    EXPECT_EQ(table.Count(), 0u);
}

}  // namespace
}  // namespace quor::core
