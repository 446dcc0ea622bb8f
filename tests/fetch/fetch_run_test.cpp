// The result of a fetch run for each way it can end: completed, stopped, timed out while waiting
// for a free request, timed out while waiting for the last requests; each with the boards that
// failed and why. Stalled boards are served by a server that reads the request and never
// answers; TIMEOUT 0 makes the driver's first tick reach its limit while a request still gets a
// second of its own, so the driver's limit is always the first to go.

#include <gtest/gtest.h>

#include "core/fetch_run.h"
#include "core/settings_keys.h"
#include "fetch/fetch_scheduler.h"
#include "fetch/scheduler_fixture.h"
#include "support/child_process.h"
#include "support/scripted_server.h"

namespace quor::fetch {
namespace {

using namespace std::chrono_literals;
using core::RunEnd;

class FetchRunTest : public SchedulerTest {
protected:
    FetchRunTest() { store.WriteString(core::kSectionGlobal, "ODIR", out.Prefix()); }

    void AddBoard(int number, const std::string& name, const std::string& url) {
        store.WriteString(core::kSectionTree, core::BoardKey("Data", number), name);
        store.WriteString(core::kSectionTree, core::BoardKey("Url", number), url);
        if (store.ReadInt(core::kSectionTree, "Count", 0) < number)
            store.WriteInt(core::kSectionTree, "Count", number);
    }
    static std::string Address(const test::ScriptedServer& server) {
        return "http://127.0.0.1:" + std::to_string(server.Port()) + "/";
    }
    void AddStalledBoard(int number) {
        test::ScriptedServer::Reply reply;
        reply.behaviour = test::ScriptedServer::Behaviour::kStall;
        stalled.SetReply(reply);
        AddBoard(number, "stalled", Address(stalled));
    }

    // Waits for the run with a bound, so a run that never ends fails the test instead of
    // hanging it.
    core::RunResult Result(std::chrono::milliseconds limit = 20s) {
        const auto result = app->Run().WaitFor(limit);
        EXPECT_TRUE(result.has_value()) << "the run did not end";
        return result.value_or(core::RunResult{});
    }

    static std::vector<int> SlotsOf(const core::RunResult& result) {
        std::vector<int> slots;
        for (const auto& failure : result.failures)
            slots.push_back(failure.slot);
        return slots;
    }

    test::ScriptedServer good;
    test::ScriptedServer stalled;
};

TEST_F(FetchRunTest, CompletedRunNamesTheBoardsThatFailedAndWhy) {
    AddBoard(1, "good", Address(good));
    AddBoard(2, "refused", "http://127.0.0.1:" + std::to_string(test::FreeLoopbackPort()) + "/");
    AddBoard(3, "unsendable", "ftp://127.0.0.1/");
    AddBoard(4, "no address", "");
    ASSERT_EQ(StartFetchAll(*app), StartOutcome::kStarted);
    core::RunResult result = Result();

    EXPECT_EQ(result.end, RunEnd::kCompleted);
    EXPECT_FALSE(result.TimedOut());
    ASSERT_EQ(SlotsOf(result), (std::vector<int>{1, 2}))
        << "a board that answered, or has no address to fetch, did not fail";
    EXPECT_EQ(result.failures[0].page, 1);
    EXPECT_EQ(result.failures[0].reason, Cp932("取得失敗: 接続できません"));
    EXPECT_EQ(result.failures[1].reason,
              Cp932("取得せず: http://かhttps://で始まらないアドレスは取得できません"));
    // The reason is the status line's own, after the board's prefix.
    EXPECT_TRUE(ui.SawStatusContaining(Cp932("refused(Page1)") + result.failures[0].reason));
    EXPECT_TRUE(ui.SawStatusContaining(Cp932("変換終了")));
    EXPECT_TRUE(ui.Warnings().empty());

    // A single-board run of the refused board: its own result, the last run's failures gone.
    ASSERT_EQ(StartSingleBoardRun(*app, 1), StartOutcome::kStarted);
    result = Result();
    EXPECT_EQ(result.end, RunEnd::kCompleted);
    EXPECT_EQ(SlotsOf(result), std::vector<int>{1});
    ASSERT_EQ(StartSingleBoardRun(*app, 0), StartOutcome::kStarted);
    result = Result();
    EXPECT_EQ(result.end, RunEnd::kCompleted);
    EXPECT_TRUE(result.failures.empty());
    EXPECT_EQ(good.Connections(), 2);
}

TEST_F(FetchRunTest, StoppedRunEndsOnlyWhenItsRequestHasAndSaysStopped) {
    SetGlobal("TIMEOUT", 1);
    AddStalledBoard(1);
    for (const bool single : {false, true}) {
        SCOPED_TRACE(single ? "single board" : "all boards");
        const std::size_t before = stalled.Requests().size();
        ASSERT_EQ(single ? StartSingleBoardRun(*app, 0) : StartFetchAll(*app),
                  StartOutcome::kStarted);
        ASSERT_TRUE(stalled.WaitForRequests(before + 1, 5s));
        StopFetching(*app);
        // The driver has gone within a tick, but the request it started is still out.
        std::this_thread::sleep_for(300ms);
        EXPECT_TRUE(app->Run().IsActive());
        EXPECT_FALSE(app->Run().WaitFor(0ms).has_value());
        const core::RunResult result = Result();
        EXPECT_EQ(result.end, RunEnd::kStopped);
        ASSERT_EQ(SlotsOf(result), std::vector<int>{0});
        EXPECT_EQ(result.failures[0].reason, Cp932("取得失敗: 受信がタイムアウトしました"));
    }
    EXPECT_TRUE(ui.Warnings().empty());
    EXPECT_FALSE(ui.SawStatusContaining(Cp932("変換終了")));
}

TEST_F(FetchRunTest, TimedOutWhileAllRequestsAreBusySkipsTheEndStep) {
    // One request at a time, and it never ends before the driver's limit: the inner wait.
    SetGlobal("TIMEOUT", 0);
    SetGlobal("THREADCOUNT", 1);
    AddStalledBoard(1);
    AddBoard(2, "never started", Address(good));
    ASSERT_EQ(StartFetchAll(*app), StartOutcome::kStarted);
    const core::RunResult result = Result();
    EXPECT_EQ(result.end, RunEnd::kTimedOutInner);
    EXPECT_TRUE(result.TimedOut());
    ASSERT_EQ(SlotsOf(result), std::vector<int>{0}) << "a board never started did not fail";
    EXPECT_EQ(result.failures[0].reason, Cp932("取得失敗: 受信がタイムアウトしました"));
    EXPECT_EQ(ui.Warnings().size(), 1u);
    EXPECT_FALSE(ui.SawStatusContaining(Cp932("変換終了")));
    EXPECT_EQ(good.Connections(), 0);
}

TEST_F(FetchRunTest, TimedOutWaitingForTheLastRequestsStillRunsTheEndStep) {
    // Every board started and a request to spare: the outer wait for the stalled one.
    SetGlobal("TIMEOUT", 0);
    SetGlobal("THREADCOUNT", 2);
    AddStalledBoard(1);
    ASSERT_EQ(StartFetchAll(*app), StartOutcome::kStarted);
    const core::RunResult result = Result();
    EXPECT_EQ(result.end, RunEnd::kTimedOutOuter);
    EXPECT_TRUE(result.TimedOut());
    ASSERT_EQ(SlotsOf(result), std::vector<int>{0});
    EXPECT_EQ(result.failures[0].reason, Cp932("取得失敗: 受信がタイムアウトしました"));
    EXPECT_EQ(ui.Warnings().size(), 1u);
    EXPECT_TRUE(ui.SawStatusContaining(Cp932("変換終了")));
    EXPECT_EQ(ui.RefreshCount(), 1) << "the end step refills the list";
}

}  // namespace
}  // namespace quor::fetch
