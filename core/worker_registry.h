#pragma once

// Counts the detached worker threads of the application (fetch drivers, page requests) so that
// shutdown can cut them off and wait for them a bounded time. Workers poll ShuttingDown() at
// least every 100 ms while they wait for anything.

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <functional>
#include <mutex>

namespace quor::core {

class WorkerRegistry final {
public:
    WorkerRegistry() = default;
    ~WorkerRegistry();
    WorkerRegistry(const WorkerRegistry&) = delete;
    WorkerRegistry& operator=(const WorkerRegistry&) = delete;

    // Runs the work on a new detached thread. Returns false, without running it, once shutdown
    // has begun or when the system refuses a thread.
    bool Start(std::function<void()> work);

    void RequestShutdown() { shuttingDown_.store(true); }
    bool ShuttingDown() const { return shuttingDown_.load(); }

    // Waits until no worker runs; false when the time ran out first.
    bool WaitIdle(std::chrono::milliseconds limit);
    int Running() const;

private:
    void Finished();

    std::atomic<bool> shuttingDown_{false};
    mutable std::mutex mutex_;
    std::condition_variable idle_;
    int running_ = 0;
};

}  // namespace quor::core
