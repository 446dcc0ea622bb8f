#include "fetch/fetch_scheduler.h"

#include <set>

#include "app/app_commands.h"
#include "app/command_ids.h"
#include "core/settings_keys.h"
#include "fetch/scheduler_fixture.h"
#include "storage/board_files.h"

namespace quor::fetch {
namespace {

using namespace std::chrono_literals;
using Logged = test::BoardServerProcess::LoggedRequest;

std::vector<Logged> OfBoard(const std::vector<Logged>& log, int board) {
    std::vector<Logged> mine;
    for (const auto& entry : log) {
        if (entry.board == board)
            mine.push_back(entry);
    }
    return mine;
}

TEST_F(SchedulerTest, OnePageBoardsAreFetchedInOrderAndStoredAtTheEnd) {
    StartServer(R"({"boards": [
        {"name": "one", "type": 1, "encoding": "sjis"},
        {"name": "two", "type": 2, "encoding": "euc"},
        {"name": "three", "type": 7, "encoding": "jis"}]})");
    ASSERT_EQ(StartFetchAll(*app), StartOutcome::kStarted);
    ASSERT_TRUE(WaitForRunEnd());

    const auto log = server->Log();
    ASSERT_EQ(log.size(), 3u);
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(log[i].board, i + 1);
        EXPECT_EQ(log[i].method, "GET");
        if (i > 0) {
            EXPECT_GE(log[i].start, log[i - 1].end) << "one thread fetches one board at a time";
        }
    }
    const char* names[] = {"one", "two", "three"};
    for (int slot = 0; slot < 3; ++slot) {
        SCOPED_TRACE(names[slot]);
        const std::string archive = BoardFile(names[slot], ".txt");
        // Once when the page was converted, once more in the end step.
        ASSERT_EQ(archive.size() % 2, 0u);
        EXPECT_EQ(archive.substr(0, archive.size() / 2), archive.substr(archive.size() / 2));
        EXPECT_NE(archive.find("</html>"), std::string::npos);
        const auto posts = PostsOf(slot);
        EXPECT_EQ(posts.Count(), 4u);
        EXPECT_EQ(BoardFile(names[slot], ".idx"), storage::FormatPostIndex(posts));
        EXPECT_EQ(app->FetchStateOf(slot).load(), core::kFinished);
    }
    EXPECT_EQ(app->currentBoard.load(), 0);
    EXPECT_EQ(ui.RefreshCount(), 1);
    EXPECT_EQ(ui.StatusTexts().back(), Cp932("変換終了"));
    EXPECT_TRUE(ui.Warnings().empty());
    EXPECT_FALSE(app->Run().IsActive());
}

TEST_F(SchedulerTest, DisabledBoardGetsNoRequestButItsOldPageIsArchived) {
    StartServer(R"({"boards": [{"name": "on"}, {"name": "off", "enable": 1}, {"name": "last"}]})");
    app->SetPageText(1, "old page");
    app->WithWorkspace(1, [](core::BoardWorkspace& workspace) {
        workspace.posts.Append({"t", "n", "d", "m", 0});
    });
    test::TempDir::WriteFile(out.Path() / "off.idx", "old index\r\n");
    ASSERT_EQ(StartFetchAll(*app), StartOutcome::kStarted);
    ASSERT_TRUE(WaitForRunEnd());

    EXPECT_TRUE(OfBoard(server->Log(), 2).empty());
    EXPECT_EQ(OfBoard(server->Log(), 3).size(), 1u);
    EXPECT_EQ(BoardFile("off", ".txt"), "old page");
    EXPECT_EQ(BoardFile("off", ".idx"), "old index\r\n");
    EXPECT_TRUE(PostsOf(1).Empty()) << "every board's workspace is cleared at the start";
    EXPECT_EQ(app->FetchStateOf(1).load(), core::kFinished);
}

TEST_F(SchedulerTest, PageTurnsFollowEachBoardsMethodAndLimit) {
    StartServer(R"({"boards": [
        {"name": "before", "type": 5, "pages": 3, "turn": "post-before", "write_page_sent": false},
        {"name": "link", "type": 8, "encoding": "euc", "pages": 3, "turn": "get"},
        {"name": "after", "type": 0, "pages": 3, "turn": "post", "page_param": "pg_line"},
        {"name": "limited", "type": 6, "pages": 3, "page_count": 1}]})");
    ASSERT_EQ(StartFetchAll(*app), StartOutcome::kStarted);
    ASSERT_TRUE(WaitForRunEnd());
    const auto log = server->Log();

    struct Expected {
        int board;
        std::vector<std::string> methods, targets, bodies;
    };
    const std::string b1 = "/board/1", b2 = "/board/2", b3 = "/board/3";
    const Expected table[] = {
        {1, {"GET", "POST", "POST"}, {b1, b1, b1}, {"", "dummy=2", "dummy=3"}},
        {2, {"GET", "GET", "GET"}, {b2, b2 + "?page=2", b2 + "?page=3"}, {"", "", ""}},
        {3, {"GET", "POST", "POST"}, {b3, b3, b3}, {"", "pg_line=2", "pg_line=3"}},
        {4, {"GET"}, {"/board/4"}, {""}},
    };
    for (const auto& expected : table) {
        SCOPED_TRACE(expected.board);
        const auto requests = OfBoard(log, expected.board);
        ASSERT_EQ(requests.size(), expected.methods.size());
        for (std::size_t i = 0; i < requests.size(); ++i) {
            EXPECT_EQ(requests[i].method, expected.methods[i]);
            EXPECT_EQ(requests[i].target, expected.targets[i]);
            // The server logs the body as sent; a POST ends it with two line feeds.
            EXPECT_EQ(requests[i].body.substr(0, expected.bodies[i].size()), expected.bodies[i]);
            EXPECT_EQ(requests[i].page, static_cast<int>(i) + 1);
        }
    }
    EXPECT_EQ(PostsOf(0).Count(), 12u);
    EXPECT_EQ(PostsOf(1).Count(), 12u);
    EXPECT_EQ(PostsOf(3).Count(), 4u);
    EXPECT_EQ(app->WithWorkspace(
                  0, [](const core::BoardWorkspace& workspace) { return workspace.pageCounter; }),
              3);
    // The posts are those the same pages give when fetched and converted one by one.
    EXPECT_EQ(PostsOf(0).Count(),
              PostsFetchedAlone(0, {std::nullopt, "dummy=2", "dummy=3"}).Count());
    const auto linked = PostsFetchedAlone(1, {std::nullopt, "page=2", "page=3"}, true);
    ASSERT_EQ(linked.Count(), 12u);
    const auto fetched = PostsOf(1);
    for (std::size_t i = 0; i < linked.Count(); ++i)
        EXPECT_EQ(fetched.At(i), linked.At(i)) << i;
}

TEST_F(SchedulerTest, EveryTypeAndCodeTogetherWithThreeInFlightAtMost) {
    std::string config = R"({"latency_ms": 120, "boards": [)";
    const char* codes[] = {"sjis", "euc", "jis"};
    for (int type = 0; type <= 9; ++type) {
        const char* code = codes[type % 3];
        const char* turn = type % 2 ? "get" : "post";
        config += std::string(type ? "," : "") + R"({"name": "b)" + std::to_string(type) +
                  R"(", "type": )" + std::to_string(type) + R"(, "encoding": ")" + code +
                  R"(", "pages": 2, "posts": 3, "turn": ")" + turn + R"("})";
    }
    config += "]}";
    StartServer(config);
    SetGlobal("THREADCOUNT", 3);
    ASSERT_EQ(StartFetchAll(*app), StartOutcome::kStarted);
    ASSERT_TRUE(WaitForRunEnd());

    const auto log = server->Log();
    EXPECT_EQ(log.size(), 20u);
    const int most = test::BoardServerProcess::MostAtOnce(log);
    EXPECT_LE(most, 3);
    EXPECT_GE(most, 2) << "boards should overlap when three may be in flight";
    for (int slot = 0; slot < 10; ++slot) {
        SCOPED_TRACE(slot);
        const bool byQuery = slot % 2 == 1;
        const auto alone =
            PostsFetchedAlone(slot, {std::nullopt, byQuery ? "page=2" : "pg_line=2"}, byQuery);
        const auto fetched = PostsOf(slot);
        ASSERT_EQ(fetched.Count(), 6u);
        ASSERT_EQ(alone.Count(), 6u);
        for (std::size_t i = 0; i < 6; ++i)
            EXPECT_EQ(fetched.At(i), alone.At(i));
    }
}

TEST_F(SchedulerTest, ThreadCountBelowOneCountsAsOne) {
    StartServer(R"({"latency_ms": 150, "boards": [{}, {}, {}]})");
    SetGlobal("THREADCOUNT", 0);
    ASSERT_EQ(StartFetchAll(*app), StartOutcome::kStarted);
    ASSERT_TRUE(WaitForRunEnd());
    EXPECT_EQ(server->Log().size(), 3u);
    EXPECT_EQ(test::BoardServerProcess::MostAtOnce(server->Log()), 1);
    EXPECT_EQ(ui.RefreshCount(), 1);
}

TEST_F(SchedulerTest, TimeLimitsShowTheWarningAndSkipTheEndStep) {
    // TIMEOUT 0: the first tick already reaches the limit.
    StartServer(R"({"latency_ms": 300, "boards": [{"name": "slow"}]})");
    SetGlobal("TIMEOUT", 0);
    ASSERT_EQ(StartFetchAll(*app), StartOutcome::kStarted);
    ASSERT_TRUE(WaitForRunEnd(5s));
    ASSERT_EQ(ui.Warnings().size(), 1u);
    EXPECT_EQ(ui.Warnings()[0], (std::pair<std::string, std::string>{"TIMEOUT", "ERROR"}));
    EXPECT_EQ(ui.RefreshCount(), 0);
    EXPECT_FALSE(ui.SawStatusContaining(Cp932("変換終了")));
    EXPECT_EQ(BoardFile("slow", ".idx"), "<none>");

    // A board that stalls holds the inner loop until TIMEOUT x 10 ticks have passed.
    ui.Clear();
    SetGlobal("TIMEOUT", 1);
    StartServer(R"({"boards": [{"name": "stall", "fault": "stall"}]})");
    const auto start = std::chrono::steady_clock::now();
    ASSERT_EQ(StartFetchAll(*app), StartOutcome::kStarted);
    ASSERT_TRUE(WaitForRunEnd(10s));
    const auto took = std::chrono::steady_clock::now() - start;
    EXPECT_GE(took, 1s);
    EXPECT_LT(took, 3s);
    EXPECT_EQ(ui.Warnings().size(), 1u);
    EXPECT_EQ(ui.RefreshCount(), 0);
}

TEST_F(SchedulerTest, StoppingLeavesArrivedPagesUnconverted) {
    StartServer(R"({"latency_ms": 600, "boards": [{"name": "a"}, {"name": "b"}]})");
    SetGlobal("THREADCOUNT", 2);
    ASSERT_TRUE(app::OnAppCommand(*app, app::command::kFetchAll));
    std::this_thread::sleep_for(300ms);
    ASSERT_TRUE(app::OnAppCommand(*app, app::command::kStopFetching));
    // The driver has seen the stop within a tick, but the run's requests are still out: a new
    // run must not start under them.
    std::this_thread::sleep_for(150ms);
    EXPECT_EQ(StartFetchAll(*app), StartOutcome::kRefusedRunActive);
    ASSERT_TRUE(WaitForRunEnd(1s));
    // The requests go on and their pages arrive; nobody converts them.
    for (int slot = 0; slot < 2; ++slot) {
        for (int i = 0; i < 100 && app->FetchStateOf(slot).load() != core::kPageArrived; ++i)
            std::this_thread::sleep_for(20ms);
        EXPECT_EQ(app->FetchStateOf(slot).load(), core::kPageArrived);
        EXPECT_TRUE(PostsOf(slot).Empty());
    }
    EXPECT_EQ(BoardFile("a", ".idx"), "<none>");
    EXPECT_EQ(BoardFile("a", ".txt"), "<none>");
    EXPECT_EQ(ui.RefreshCount(), 0);
}

TEST_F(SchedulerTest, FetchSelectedRunsOneBoardWithAllItsPages) {
    StartServer(
        R"({"boards": [{"name": "first"}, {"name": "second", "pages": 3, "turn": "get"}]})");
    for (const int selected : {0, -1}) {
        ui.SetSelectedEntryNumber(selected);
        ASSERT_TRUE(app::OnAppCommand(*app, app::command::kFetchSelected));
        EXPECT_FALSE(app->Run().IsActive());
    }
    ui.SetSelectedEntryNumber(2);
    ASSERT_TRUE(app::OnAppCommand(*app, app::command::kFetchSelected));
    ASSERT_TRUE(WaitForRunEnd());

    const auto log = server->Log();
    ASSERT_EQ(log.size(), 3u) << "the root and a missing selection start nothing";
    EXPECT_EQ(OfBoard(log, 2).size(), 3u);
    EXPECT_EQ(ui.RefreshCount(), 1);
    EXPECT_EQ(app->currentBoard.load(), 1);
    EXPECT_EQ(PostsOf(1).Count(), 12u);
    EXPECT_EQ(BoardFile("second", ".idx"), "<none>");
    // Each page as it was converted, and the last page once more at the end.
    const std::string archive = BoardFile("second", ".txt");
    auto occurrences = [&archive](const std::string& part) {
        int count = 0;
        for (auto at = archive.find(part); at != std::string::npos; at = archive.find(part, at + 1))
            ++count;
        return count;
    };
    EXPECT_EQ(occurrences("<p>page 1</p>"), 1);
    EXPECT_EQ(occurrences("<p>page 2</p>"), 1);
    EXPECT_EQ(occurrences("<p>page 3</p>"), 2);
    EXPECT_FALSE(app::OnAppCommand(*app, app::command::kAbout));

    // A board without an address is finished by its request; the run ends instead of waiting.
    store.WriteString(core::kSectionTree, "Url1", "");
    ui.SetSelectedEntryNumber(1);
    const auto start = std::chrono::steady_clock::now();
    ASSERT_TRUE(app::OnAppCommand(*app, app::command::kFetchSelected));
    ASSERT_TRUE(WaitForRunEnd(2s));
    EXPECT_LT(std::chrono::steady_clock::now() - start, 1s);
    EXPECT_EQ(ui.RefreshCount(), 1);
}

TEST_F(SchedulerTest, SecondRunAndBoardsBeyondTheTablesAreRefused) {
    StartServer(R"({"latency_ms": 400, "boards": [{}]})");
    ASSERT_EQ(StartFetchAll(*app), StartOutcome::kStarted);
    EXPECT_EQ(StartFetchAll(*app), StartOutcome::kRefusedRunActive);
    EXPECT_EQ(StartSingleBoardRun(*app, 0), StartOutcome::kRefusedRunActive);
    EXPECT_TRUE(ui.SawStatusContaining(Cp932("取得中です")));
    ASSERT_TRUE(WaitForRunEnd());
    EXPECT_EQ(server->Log().size(), 1u);

    EXPECT_EQ(StartSingleBoardRun(*app, 64), StartOutcome::kRefusedSlot);
    // Count 66: boards 65 and 66 exist in the store but never reach a table.
    store.WriteInt(core::kSectionTree, "Count", 66);
    const std::string url = store.ReadString(core::kSectionTree, "Url1", "");
    store.WriteString(core::kSectionTree, "Url65", url);
    store.WriteString(core::kSectionTree, "Url66", url);
    for (int n = 1; n <= 64; ++n)
        SetBoard("Enable", n, 1);
    ui.Clear();
    SetGlobal("THREADCOUNT", 10);
    ASSERT_EQ(StartFetchAll(*app), StartOutcome::kStarted);
    ASSERT_TRUE(WaitForRunEnd());
    EXPECT_EQ(server->Log().size(), 1u);
    int leftOut = 0;
    for (const auto& text : ui.StatusTexts())
        leftOut += text.find(Cp932("65番目以降")) != std::string::npos;
    EXPECT_EQ(leftOut, 1);
}

TEST_F(SchedulerTest, DestroyingTheApplicationMidRunEndsPromptly) {
    StartServer(R"({"boards": [{"fault": "stall"}, {"fault": "stall"}]})");
    SetGlobal("THREADCOUNT", 2);
    ASSERT_EQ(StartFetchAll(*app), StartOutcome::kStarted);
    for (int i = 0; i < 100 && app->Workers().Running() < 3; ++i)
        std::this_thread::sleep_for(20ms);
    EXPECT_GE(app->Workers().Running(), 2);
    const auto start = std::chrono::steady_clock::now();
    app.reset();
    EXPECT_LT(std::chrono::steady_clock::now() - start, 1s);
}

}  // namespace
}  // namespace quor::fetch
