#include "core/fetch_run.h"

#include <utility>

namespace quor::core {

bool FetchRun::Start(int singleBoardSlot) {
    const std::lock_guard lock(mutex_);
    if (active_.load())
        return false;
    result_ = {};
    stop_.store(false);
    singleBoardSlot_.store(singleBoardSlot);
    active_.store(true);
    return true;
}

void FetchRun::Finish(RunEnd end) {
    {
        const std::lock_guard lock(mutex_);
        result_.end = end;
        active_.store(false);
    }
    ended_.notify_all();
}

void FetchRun::RecordFailure(BoardFailure failure) {
    const std::lock_guard lock(mutex_);
    result_.failures.push_back(std::move(failure));
}

RunResult FetchRun::Wait() const {
    std::unique_lock lock(mutex_);
    ended_.wait(lock, [this] { return !active_.load(); });
    return result_;
}

std::optional<RunResult> FetchRun::WaitFor(std::chrono::milliseconds limit) const {
    std::unique_lock lock(mutex_);
    if (!ended_.wait_for(lock, limit, [this] { return !active_.load(); }))
        return std::nullopt;
    return result_;
}

}  // namespace quor::core
