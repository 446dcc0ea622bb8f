#pragma once

// The application object: one per process, created by main (tests create their own). It owns
// what outlives a command: the 64 page texts and 64 board workspaces indexed by board slot, the
// fetch-state table and the fetch run the worker threads share, the current board and the proxy
// settings. The engine's subsystems are functions that take the application object; this class
// only holds the state and hands out access to it.
//
// Board slot = board number - 1. Every table has exactly kSlotCount entries and is never
// reallocated.

#include <array>
#include <atomic>
#include <mutex>
#include <string>
#include <utility>

#include "core/board_workspace.h"
#include "core/fetch_run.h"
#include "core/frontend.h"
#include "core/settings_keys.h"
#include "core/settings_store.h"
#include "core/worker_registry.h"

namespace quor::core {

// Fetch state of a board slot.
enum FetchState : int {
    kNotConsidered = 0,
    kRequestInFlight = 1,
    kPageArrived = 2,
    kFinished = 3,
};

struct ProxySettings {
    int enabled = 0;  // 1: every request goes to the proxy
    std::string server;
    int port = 0;
};

class CQuorApp final {
public:
    CQuorApp(SettingsStore& store, Frontend& frontend);
    explicit CQuorApp(SettingsStore& store);
    // Cuts off running workers and waits for them (about a second at most in practice).
    ~CQuorApp();

    CQuorApp(const CQuorApp&) = delete;
    CQuorApp& operator=(const CQuorApp&) = delete;

    SettingsStore& Store() const { return store_; }

    Frontend& Ui() const { return *frontend_.load(); }
    // Attaches the user interface once it exists; the application starts with a silent one.
    void SetFrontend(Frontend& frontend) { frontend_.store(&frontend); }

    // The workspace of a slot, reached only under its lock (board_workspace.h): f runs with the
    // lock held and must not call the frontend.
    template <typename F>
    decltype(auto) WithWorkspace(int slot, F&& f) {
        return workspaces_.at(slot).With(std::forward<F>(f));
    }
    template <typename F>
    decltype(auto) WithWorkspace(int slot, F&& f) const {
        return workspaces_.at(slot).With(std::forward<F>(f));
    }
    // Moves slot `from`'s workspace content to slot `to` under both locks; `from` is left cleared.
    void MoveWorkspace(int from, int to) { workspaces_.at(from).MoveContentTo(workspaces_.at(to)); }

    // The page text of a slot: the raw response of its latest request, or what restore read.
    // Guarded by a lock of its own; f runs with the lock held and must not call the frontend.
    template <typename F>
    decltype(auto) WithPageText(int slot, F&& f) {
        PageText& page = pageTexts_.at(slot);
        const std::lock_guard lock(page.mutex);
        return std::forward<F>(f)(page.text);
    }
    std::string PageTextCopy(int slot);
    void SetPageText(int slot, std::string text);

    std::atomic<int>& FetchStateOf(int slot) { return fetchStates_.at(slot); }

    // The fetch run: its stop and launch flags, whether one is active, and how the last ended.
    FetchRun& Run() { return run_; }
    const FetchRun& Run() const { return run_; }

    // The slot whose posts the post list shows.
    std::atomic<int> currentBoard{0};

    ProxySettings Proxy() const;
    void SetProxy(ProxySettings proxy);

    WorkerRegistry& Workers() { return workers_; }
    bool ShuttingDown() const { return workers_.ShuttingDown(); }

    // Asks the frontend to refill the post list from the current board.
    void RefreshPostList() { Ui().RefreshPostList(); }
    void SetStatusText(const std::string& text) { Ui().SetStatusText(text); }

private:
    struct PageText {
        std::mutex mutex;
        std::string text;
    };

    SettingsStore& store_;
    std::atomic<Frontend*> frontend_;
    std::array<PageText, kSlotCount> pageTexts_;
    std::array<SharedWorkspace, kSlotCount> workspaces_;
    std::array<std::atomic<int>, kSlotCount> fetchStates_{};
    mutable std::mutex proxyMutex_;
    ProxySettings proxy_;
    FetchRun run_;
    WorkerRegistry workers_;
};

}  // namespace quor::core
