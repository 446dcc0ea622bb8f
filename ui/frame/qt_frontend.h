#pragma once

// The engine's user interface on the main window. Calls from worker threads are carried to the
// GUI thread and wait there until done (status text, post list refill, warning box), as the
// engine expects; calls on the GUI thread run at once. A waiting worker gives up as soon as the
// program is closing, so destroying the application during a run (its destructor waits for the
// workers) never waits on a GUI thread that no longer handles events.

#include <QObject>
#include <QPointer>
#include <atomic>
#include <functional>

#include "core/frontend.h"

namespace quor::ui {

class CMainFrame;

class QtFrontend final : public core::Frontend {
public:
    QtFrontend();
    ~QtFrontend() override;
    QtFrontend(const QtFrontend&) = delete;
    QtFrontend& operator=(const QtFrontend&) = delete;

    // The frame the calls reach; null detaches it (calls then do nothing).
    void AttachFrame(CMainFrame* frame);
    // From now on no worker waits for the GUI thread any more.
    void SetClosing() { closing_.store(true); }
    bool Closing() const { return closing_.load(); }

    void SetStatusText(const std::string& text) override;
    void RefreshPostList() override;
    void ShowWarning(const std::string& text, const std::string& caption) override;
    std::unique_ptr<core::ProgressDisplay> OpenProgress() override;
    int SelectedEntryNumber() override;

private:
    // Runs the work on the GUI thread and waits for it, in 50 ms slices that also watch the
    // closing flag. False when the work was abandoned (or, on a closing program, never sent).
    bool RunOnGui(std::function<void()> work);

    QObject context_;  // lives on the GUI thread; queued work is dropped when it goes
    QPointer<CMainFrame> frame_;
    std::atomic<bool> closing_{false};
};

}  // namespace quor::ui
