#include "fetch/fetch_scheduler.h"

#include <algorithm>
#include <chrono>
#include <thread>

#include "convert/post_extraction.h"
#include "core/cp932.h"
#include "core/settings_keys.h"
#include "core/status_texts.h"
#include "fetch/page_request.h"
#include "storage/board_files.h"
#include "storage/read_state.h"

namespace quor::fetch {

namespace {

namespace key = core::key;
namespace defaults = core::defaults;
using core::BoardKey;
using core::ConversionFinishedText;
using core::kSectionGlobal;
using core::kSectionTree;

constexpr auto kTick = std::chrono::milliseconds(100);
// A single-board run gives a request thread this many ticks to take its parameters.
constexpr int kSingleBoardTickLimit = 1200;

const std::string& RunActiveText() {
    static const std::string text = core::FromUtf8("取得中です。終わってから実行してください");
    return text;
}

const std::string& NoThreadText() {
    static const std::string text = core::FromUtf8("取得失敗: スレッドを開始できません");
    return text;
}

const std::string& BoardsLeftOutText() {
    static const std::string text = core::FromUtf8("65番目以降の掲示板は取得しません(64件まで)");
    return text;
}

// One polling tick; false when the application is shutting down and the driver must go.
bool Tick(core::CQuorApp& app) {
    if (app.ShuttingDown())
        return false;
    std::this_thread::sleep_for(kTick);
    return !app.ShuttingDown();
}

bool Stopped(const core::CQuorApp& app) {
    return app.Run().StopRequested();
}

void ShowTimeout(core::CQuorApp& app) {
    app.Ui().ShowWarning("TIMEOUT", "ERROR");
}

// The boards a run takes; the status line says so when the store holds more than the tables.
int BoardCountForRun(core::CQuorApp& app) {
    if (core::StoredBoardCount(app.Store()) > core::kSlotCount)
        app.SetStatusText(BoardsLeftOutText());
    return core::BoardCount(app.Store());
}

void ClearWorkspace(core::CQuorApp& app, int slot) {
    app.WithWorkspace(slot, [](core::BoardWorkspace& workspace) { workspace.ClearBoard(); });
}

struct NextPage {
    bool follows = false;
    int number = 0;
    std::string query;
};

NextPage ReadNextPage(core::CQuorApp& app, int slot) {
    return app.WithWorkspace(slot, [](const core::BoardWorkspace& workspace) {
        const core::NextPageResult& next = workspace.nextPage;
        return NextPage{next.flag == 1, next.number, next.query};
    });
}

void RaisePageCounter(core::CQuorApp& app, int slot) {
    app.WithWorkspace(slot, [](core::BoardWorkspace& workspace) { ++workspace.pageCounter; });
}

// A request the system gave no thread fails its board; when quitting, the run is over anyway.
void RecordNoThread(core::CQuorApp& app, int slot) {
    if (app.ShuttingDown())
        return;
    const int page = app.WithWorkspace(
        slot, [](const core::BoardWorkspace& workspace) { return workspace.pageCounter; });
    app.Run().RecordFailure({slot, page, NoThreadText()});
}

// A new request thread takes its parameters within microseconds of its start. Waiting for that
// here keeps the driver's next check of the launch-pending flag from costing a whole tick, so a
// board start costs one pass of the outer loop, as the schedule intends. Past one tick the wait
// gives up and the driver's own polling takes over.
void AwaitHandOff(core::CQuorApp& app) {
    const auto deadline = std::chrono::steady_clock::now() + kTick;
    while (app.Run().LaunchPending() && !app.ShuttingDown() &&
           std::chrono::steady_clock::now() < deadline)
        std::this_thread::sleep_for(std::chrono::microseconds(20));
}

// Claims the one run the application may have at a time.
bool ClaimRun(core::CQuorApp& app, int singleBoardSlot) {
    if (app.Run().Start(singleBoardSlot))
        return true;
    app.SetStatusText(RunActiveText());
    return false;
}

// A run is over only when its requests are: a request left running by a stopped or timed-out
// run would otherwise hand its page (state 2) to the next run's driver while that run's own
// request for the board is in flight.
void AwaitRequestsEnded(core::CQuorApp& app) {
    auto anyInFlight = [&app] {
        for (int slot = 0; slot < core::kSlotCount; ++slot) {
            if (app.FetchStateOf(slot).load() == core::kRequestInFlight)
                return true;
        }
        return false;
    };
    while (anyInFlight() && Tick(app)) {
    }
}

template <typename Driver>
StartOutcome StartDriver(core::CQuorApp& app, Driver driver) {
    const bool started = app.Workers().Start([&app, driver] {
        const core::RunEnd end = driver();
        AwaitRequestsEnded(app);
        app.Run().Finish(end);
    });
    if (started)
        return StartOutcome::kStarted;
    app.Run().Finish(core::RunEnd::kStopped);
    return StartOutcome::kNoThread;
}

// The end step of a fetch-all run over the boards considered; false when a stop or quitting
// cut it short.
bool FinishFetchAll(core::CQuorApp& app, int considered) {
    if (Stopped(app))
        return false;
    if (considered == 0)
        return true;
    app.currentBoard.store(0);
    for (int slot = 0; slot < considered; ++slot) {
        if (app.ShuttingDown())
            return false;
        if (app.FetchStateOf(slot).load() == core::kPageArrived) {
            convert::ConvertBoard(app, slot);
            app.FetchStateOf(slot).store(core::kFinished);
        }
        storage::AppendPageArchive(app, slot);
        storage::WritePostIndex(app, slot);
    }
    app.SetStatusText(ConversionFinishedText());
    app.RefreshPostList();
    if (app.Store().ReadInt(kSectionGlobal, key::kAutoCheck, defaults::kAutoCheck) == 1)
        storage::OnUnreadCheck(app);
    return true;
}

// One pass over the boards considered: processes arrived pages and counts those in flight.
struct PassResult {
    int active = 0;
    bool turnedPage = false;
};

PassResult ProcessPass(core::CQuorApp& app, int considered) {
    PassResult pass;
    for (int slot = 0; slot < considered; ++slot) {
        const int state = app.FetchStateOf(slot).load();
        if (state == core::kRequestInFlight) {
            ++pass.active;
        } else if (state == core::kPageArrived && ProcessFetchedBoard(app, slot)) {
            ++pass.active;
            pass.turnedPage = true;
        }
    }
    return pass;
}

}  // namespace

StartOutcome StartFetchAll(core::CQuorApp& app) {
    if (!ClaimRun(app, core::FetchRun::kAllBoards))
        return StartOutcome::kRefusedRunActive;
    return StartDriver(app, [&app] { return FetchAll(app); });
}

StartOutcome StartSingleBoardRun(core::CQuorApp& app, int slot) {
    if (!core::IsValidSlot(slot)) {
        app.SetStatusText(BoardsLeftOutText());
        return StartOutcome::kRefusedSlot;
    }
    if (!ClaimRun(app, slot))
        return StartOutcome::kRefusedRunActive;
    return StartDriver(app, [&app] { return FetchOne(app, app.Run().SingleBoardSlot()); });
}

void StopFetching(core::CQuorApp& app) {
    app.Run().Stop();
}

bool StartRequest(core::CQuorApp& app, RequestType type, int slot,
                  std::optional<std::string> text) {
    // One launch at a time: wait until the last request thread took its parameters.
    while (app.Run().LaunchPending()) {
        if (app.ShuttingDown())
            return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    app.Run().SetLaunchPending(true);
    app.FetchStateOf(slot).store(core::kRequestInFlight);
    const bool started = app.Workers().Start([&app, type, slot, text = std::move(text)]() mutable {
        if (type == RequestType::kPageWithQuery)
            FetchPageWithQuery(app, slot, std::move(text));
        else
            FetchPage(app, slot, std::move(text));
    });
    if (!started) {
        RecordNoThread(app, slot);
        app.FetchStateOf(slot).store(core::kFinished);
        app.Run().SetLaunchPending(false);
        return false;
    }
    AwaitHandOff(app);
    return true;
}

bool ProcessFetchedBoard(core::CQuorApp& app, int slot) {
    const int number = slot + 1;
    convert::ConvertBoard(app, slot);
    storage::AppendPageArchive(app, slot);
    const NextPage next = ReadNextPage(app, slot);
    if (!next.follows) {
        app.FetchStateOf(slot).store(core::kFinished);
        return false;
    }
    const auto& store = app.Store();
    RaisePageCounter(app, slot);
    if (store.ReadInt(kSectionTree, BoardKey(key::kNextPageMethod, number),
                      defaults::kNextPageMethod) == 2)
        return StartRequest(app, RequestType::kPageWithQuery, slot, next.query);
    const std::string parameter = store.ReadString(
        kSectionTree, BoardKey(key::kPageParameter, number), defaults::kPageParameterForScheduler);
    return StartRequest(app, RequestType::kPage, slot,
                        parameter + "=" + std::to_string(next.number));
}

core::RunEnd FetchAll(core::CQuorApp& app) {
    LoadProxySettings(app);
    const auto& store = app.Store();
    const int threads = std::max(
        1, store.ReadInt(kSectionGlobal, key::kThreadCount, defaults::kThreadCountForScheduler));
    const long long limit = 10LL * store.ReadInt(kSectionGlobal, key::kTimeout, defaults::kTimeout);
    const int count = BoardCountForRun(app);
    if (count == 0)
        return core::RunEnd::kCompleted;
    for (int slot = 0; slot < count; ++slot)
        ClearWorkspace(app, slot);

    int next = 0;
    int considered = 0;
    long long idle = 0;
    core::RunEnd end = core::RunEnd::kCompleted;
    for (;;) {
        if (Stopped(app))
            break;
        if (next < count) {
            if (store.ReadInt(kSectionTree, BoardKey(key::kEnable, next + 1), defaults::kEnable) ==
                0)
                StartRequest(app, RequestType::kPage, next, std::nullopt);
            else
                app.FetchStateOf(next).store(core::kFinished);
            considered = ++next;
            idle = 0;
        }
        long long wait = 0;
        int active = 0;
        for (;;) {
            if (Stopped(app))
                break;
            const PassResult pass = ProcessPass(app, considered);
            active = pass.active;
            if (pass.turnedPage)
                idle = 0;
            if (active < threads && !app.Run().LaunchPending())
                break;
            if (!Tick(app))
                return core::RunEnd::kStopped;
            if (++wait >= limit) {
                ShowTimeout(app);
                return core::RunEnd::kTimedOutInner;
            }
        }
        if (next == count && active == 0)
            break;
        if (!Tick(app))
            return core::RunEnd::kStopped;
        if (++idle >= limit) {
            ShowTimeout(app);
            end = core::RunEnd::kTimedOutOuter;
            break;
        }
    }
    return FinishFetchAll(app, considered) ? end : core::RunEnd::kStopped;
}

core::RunEnd FetchOne(core::CQuorApp& app, int slot) {
    LoadProxySettings(app);
    if (!core::IsValidSlot(slot) || slot >= BoardCountForRun(app))
        return core::RunEnd::kCompleted;
    ClearWorkspace(app, slot);
    enum Phase { kNotStarted, kInProgress, kDone } phase = kNotStarted;
    for (;;) {
        if (Stopped(app))
            return core::RunEnd::kStopped;
        if (phase == kNotStarted) {
            StartRequest(app, RequestType::kPage, slot, std::nullopt);
            phase = kInProgress;
        }
        int wait = 0;
        for (;;) {
            if (app.FetchStateOf(slot).load() == core::kPageArrived &&
                !ProcessFetchedBoard(app, slot))
                phase = kDone;
            if (!app.Run().LaunchPending())
                break;
            if (!Tick(app))
                return core::RunEnd::kStopped;
            if (++wait > kSingleBoardTickLimit)
                return core::RunEnd::kTimedOutInner;
        }
        if (phase == kDone)
            break;
        // The request finished the board without a page (no address, or one that cannot be
        // requested): there is nothing to wait for.
        if (app.FetchStateOf(slot).load() == core::kFinished)
            return core::RunEnd::kCompleted;
        if (!Tick(app))
            return core::RunEnd::kStopped;
    }
    if (Stopped(app))
        return core::RunEnd::kStopped;
    app.currentBoard.store(slot);
    storage::AppendPageArchive(app, slot);
    app.SetStatusText(ConversionFinishedText());
    app.RefreshPostList();
    return core::RunEnd::kCompleted;
}

}  // namespace quor::fetch
