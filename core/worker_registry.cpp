#include "core/worker_registry.h"

#include <system_error>
#include <thread>

namespace quor::core {

WorkerRegistry::~WorkerRegistry() {
    RequestShutdown();
    // Workers reference the registry until their last step; the owner has waited for them
    // already, this only guards against an owner that did not.
    std::unique_lock lock(mutex_);
    idle_.wait(lock, [this] { return running_ == 0; });
}

bool WorkerRegistry::Start(std::function<void()> work) {
    {
        const std::lock_guard lock(mutex_);
        if (ShuttingDown())
            return false;
        ++running_;
    }
    try {
        std::thread([this, work = std::move(work)]() mutable {
            work();
            work = nullptr;
            Finished();
        }).detach();
    } catch (const std::system_error&) {
        Finished();
        return false;
    }
    return true;
}

bool WorkerRegistry::WaitIdle(std::chrono::milliseconds limit) {
    std::unique_lock lock(mutex_);
    return idle_.wait_for(lock, limit, [this] { return running_ == 0; });
}

int WorkerRegistry::Running() const {
    const std::lock_guard lock(mutex_);
    return running_;
}

void WorkerRegistry::Finished() {
    const std::lock_guard lock(mutex_);
    --running_;
    idle_.notify_all();
}

}  // namespace quor::core
