#pragma once

// The one fetch run the application may have at a time: its flags and how it ended.
//
// The scheduler claims the run with Start before it starts the run's driver thread and ends it
// with Finish once the driver and every request the run started are done; in between the run is
// active and another Start is refused. The stop command raises the stop flag, which the driver
// checks at each step; the next Start lowers it. Request threads take their parameters from the
// driver one launch at a time, while the launch is pending.
//
// Wait gives the result of the last run once it is no longer active: how it ended and the boards
// that failed, with the reason, in the order they failed. Whoever learns of a failure reports it
// (the request that failed, the driver when it could not start a request), from any thread.
//
// The run is plain state and locks; the threads belong to the scheduler, which is why this class
// lives here and the application object can hold it by value.

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

namespace quor::core {

enum class RunEnd {
    kCompleted,      // every board the run took was fetched to its end or failed
    kStopped,        // the stop command or quitting cut it short; no end step
    kTimedOutInner,  // the wait for a free request reached the time limit; no end step
    kTimedOutOuter,  // the wait for the last requests reached the time limit; the end step ran
};

struct BoardFailure {
    int slot = -1;
    int page = 1;        // the board's page counter of the failed request (1: its first page)
    std::string reason;  // code page 932: what the status line says after the board's prefix
};

struct RunResult {
    RunEnd end = RunEnd::kCompleted;
    std::vector<BoardFailure> failures;

    bool TimedOut() const { return end == RunEnd::kTimedOutInner || end == RunEnd::kTimedOutOuter; }
};

class FetchRun final {
public:
    // The single-board slot of a fetch-all run.
    static constexpr int kAllBoards = -1;

    FetchRun() = default;
    FetchRun(const FetchRun&) = delete;
    FetchRun& operator=(const FetchRun&) = delete;

    // Claims the run: true (started) unless a run is active (refused). A started run has the
    // stop flag lowered, no failures yet, and the given single-board slot.
    bool Start(int singleBoardSlot = kAllBoards);
    // Ends the run with how it ended; wakes whoever waits for it.
    void Finish(RunEnd end);

    void Stop() { stop_.store(true); }
    bool StopRequested() const { return stop_.load(); }
    bool IsActive() const { return active_.load(); }
    int SingleBoardSlot() const { return singleBoardSlot_.load(); }

    void SetLaunchPending(bool pending) { launchPending_.store(pending); }
    bool LaunchPending() const { return launchPending_.load(); }

    void RecordFailure(BoardFailure failure);

    // Blocks until no run is active; the result of the last run (completed, without failures,
    // when there was none).
    RunResult Wait() const;
    // As Wait, but nothing when the run is still active after the limit.
    std::optional<RunResult> WaitFor(std::chrono::milliseconds limit) const;

private:
    std::atomic<bool> stop_{false};
    std::atomic<bool> active_{false};  // written under mutex_, so waiters see every change
    std::atomic<bool> launchPending_{false};
    std::atomic<int> singleBoardSlot_{kAllBoards};
    mutable std::mutex mutex_;
    mutable std::condition_variable ended_;
    RunResult result_;  // guarded by mutex_
};

}  // namespace quor::core
