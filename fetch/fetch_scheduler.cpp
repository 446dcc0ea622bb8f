#include "fetch/fetch_scheduler.h"

#include <algorithm>
#include <chrono>
#include <thread>

#include "convert/post_extraction.h"
#include "core/cp932.h"
#include "core/settings_keys.h"
#include "fetch/page_request.h"
#include "storage/board_files.h"
#include "storage/read_state.h"

namespace quor::fetch {

namespace {

namespace key = core::key;
namespace defaults = core::defaults;
using core::BoardKey;
using core::kSectionGlobal;
using core::kSectionTree;

constexpr auto kTick = std::chrono::milliseconds(100);
// A single-board run gives a request thread this many ticks to take its parameters.
constexpr int kSingleBoardTickLimit = 1200;

const std::string& ConversionFinishedText() {
    static const std::string text = core::FromUtf8("変換終了");
    return text;
}

const std::string& RunActiveText() {
    static const std::string text = core::FromUtf8("取得中です。終わってから実行してください");
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
    return app.stopFlag.load() == 1;
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
    auto& workspace = app.Workspace(slot);
    const std::lock_guard lock(workspace.mutex);
    workspace.ClearBoard();
}

struct NextPage {
    bool follows = false;
    int number = 0;
    std::string query;
};

NextPage ReadNextPage(core::CQuorApp& app, int slot) {
    auto& workspace = app.Workspace(slot);
    const std::lock_guard lock(workspace.mutex);
    return {workspace.nextPageFlag == 1, workspace.nextPageNumber, workspace.nextPageQuery};
}

void RaisePageCounter(core::CQuorApp& app, int slot) {
    auto& workspace = app.Workspace(slot);
    const std::lock_guard lock(workspace.mutex);
    ++workspace.pageCounter;
}

// A new request thread takes its parameters within microseconds of its start. Waiting for that
// here keeps the driver's next check of the launch-pending flag from costing a whole tick, so a
// board start costs one pass of the outer loop, as the schedule intends. Past one tick the wait
// gives up and the driver's own polling takes over.
void AwaitHandOff(core::CQuorApp& app) {
    const auto deadline = std::chrono::steady_clock::now() + kTick;
    while (app.launchPending.load() == 1 && !app.ShuttingDown() &&
           std::chrono::steady_clock::now() < deadline)
        std::this_thread::sleep_for(std::chrono::microseconds(20));
}

// Claims the one run the application may have at a time.
bool ClaimRun(core::CQuorApp& app) {
    bool idle = false;
    if (app.runActive.compare_exchange_strong(idle, true))
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
        driver();
        AwaitRequestsEnded(app);
        app.runActive.store(false);
    });
    if (started)
        return StartOutcome::kStarted;
    app.runActive.store(false);
    return StartOutcome::kNoThread;
}

// The end step of a fetch-all run over the boards considered.
void FinishFetchAll(core::CQuorApp& app, int considered) {
    if (considered == 0 || Stopped(app))
        return;
    app.currentBoard.store(0);
    for (int slot = 0; slot < considered; ++slot) {
        if (app.ShuttingDown())
            return;
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
    if (!ClaimRun(app))
        return StartOutcome::kRefusedRunActive;
    app.stopFlag.store(0);
    return StartDriver(app, [&app] { FetchAll(app); });
}

StartOutcome StartSingleBoardRun(core::CQuorApp& app, int slot) {
    if (!core::IsValidSlot(slot)) {
        app.SetStatusText(BoardsLeftOutText());
        return StartOutcome::kRefusedSlot;
    }
    if (!ClaimRun(app))
        return StartOutcome::kRefusedRunActive;
    app.stopFlag.store(0);
    app.singleBoardSlot.store(slot);
    return StartDriver(app, [&app] { FetchOne(app, app.singleBoardSlot.load()); });
}

void StopFetching(core::CQuorApp& app) {
    app.stopFlag.store(1);
}

bool StartRequest(core::CQuorApp& app, RequestType type, int slot,
                  std::optional<std::string> text) {
    // The hand-off slot carries one launch at a time: wait until the last thread took its own.
    while (app.launchPending.load() == 1) {
        if (app.ShuttingDown())
            return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    app.handOffSlot.store(slot);
    app.launchPending.store(1);
    app.FetchStateOf(slot).store(core::kRequestInFlight);
    const bool started = app.Workers().Start([&app, type, slot, text = std::move(text)]() mutable {
        if (type == RequestType::kPageWithQuery)
            FetchPageWithQuery(app, slot, std::move(text));
        else
            FetchPage(app, slot, std::move(text));
    });
    if (!started) {
        app.FetchStateOf(slot).store(core::kFinished);
        app.launchPending.store(0);
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

void FetchAll(core::CQuorApp& app) {
    LoadProxySettings(app);
    const auto& store = app.Store();
    const int threads = std::max(
        1, store.ReadInt(kSectionGlobal, key::kThreadCount, defaults::kThreadCountForScheduler));
    const long long limit = 10LL * store.ReadInt(kSectionGlobal, key::kTimeout, defaults::kTimeout);
    const int count = BoardCountForRun(app);
    if (count == 0)
        return;
    for (int slot = 0; slot < count; ++slot)
        ClearWorkspace(app, slot);

    int next = 0;
    int considered = 0;
    long long idle = 0;
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
            if (active < threads && app.launchPending.load() != 1)
                break;
            if (!Tick(app))
                return;
            if (++wait >= limit) {
                ShowTimeout(app);
                return;
            }
        }
        if (next == count && active == 0)
            break;
        if (!Tick(app))
            return;
        if (++idle >= limit) {
            ShowTimeout(app);
            break;
        }
    }
    FinishFetchAll(app, considered);
}

void FetchOne(core::CQuorApp& app, int slot) {
    LoadProxySettings(app);
    if (!core::IsValidSlot(slot) || slot >= BoardCountForRun(app))
        return;
    ClearWorkspace(app, slot);
    enum Phase { kNotStarted, kInProgress, kDone } phase = kNotStarted;
    for (;;) {
        if (Stopped(app))
            return;
        if (phase == kNotStarted) {
            StartRequest(app, RequestType::kPage, slot, std::nullopt);
            phase = kInProgress;
        }
        int wait = 0;
        for (;;) {
            if (app.FetchStateOf(slot).load() == core::kPageArrived &&
                !ProcessFetchedBoard(app, slot))
                phase = kDone;
            if (app.launchPending.load() != 1)
                break;
            if (!Tick(app) || ++wait > kSingleBoardTickLimit)
                return;
        }
        if (phase == kDone)
            break;
        // The request finished the board without a page (no address, or one that cannot be
        // requested): there is nothing to wait for.
        if (app.FetchStateOf(slot).load() == core::kFinished)
            return;
        if (!Tick(app))
            return;
    }
    if (Stopped(app))
        return;
    app.currentBoard.store(slot);
    storage::AppendPageArchive(app, slot);
    app.SetStatusText(ConversionFinishedText());
    app.RefreshPostList();
}

}  // namespace quor::fetch
