#include "ui/frame/qt_frontend.h"

#include <QMessageBox>
#include <QThread>
#include <chrono>
#include <condition_variable>
#include <mutex>

#include "ui/common/widget_text.h"
#include "ui/frame/main_frame.h"
#include "ui/storage/progress_window.h"
#include "ui/views/board_tree_view.h"
#include "ui/views/post_list_view.h"

namespace quor::ui {

namespace {

struct Hop {
    std::mutex mutex;
    std::condition_variable done;
    bool finished = false;
    bool abandoned = false;
};

// A display that shows nothing: progress windows exist only on the GUI thread.
class NoProgress final : public core::ProgressDisplay {
public:
    void SetRange(int, int) override {}
    int Show(int position) override { return std::exchange(position_, position); }
    void SetText(const std::string&) override {}

private:
    int position_ = 0;
};

}  // namespace

QtFrontend::QtFrontend() = default;

QtFrontend::~QtFrontend() {
    SetClosing();
}

void QtFrontend::AttachFrame(CMainFrame* frame) {
    frame_ = frame;
}

bool QtFrontend::RunOnGui(std::function<void()> work) {
    if (QThread::currentThread() == context_.thread()) {
        work();
        return true;
    }
    if (closing_.load())
        return false;
    auto hop = std::make_shared<Hop>();
    QMetaObject::invokeMethod(
        &context_,
        [hop, work = std::move(work)] {
            {
                const std::lock_guard lock(hop->mutex);
                if (hop->abandoned)
                    return;
            }
            work();
            const std::lock_guard lock(hop->mutex);
            hop->finished = true;
            hop->done.notify_all();
        },
        Qt::QueuedConnection);
    std::unique_lock lock(hop->mutex);
    while (!hop->finished) {
        if (closing_.load()) {
            hop->abandoned = true;
            return false;
        }
        hop->done.wait_for(lock, std::chrono::milliseconds(50));
    }
    return true;
}

void QtFrontend::SetStatusText(const std::string& text) {
    // Plain bytes cross the threads; QStrings are made and dropped on the GUI thread only, so
    // no implicitly shared text is ever released by two threads.
    RunOnGui([this, text] {
        if (frame_ != nullptr)
            frame_->SetStatusLine(Cp932ToQString(text));
    });
}

void QtFrontend::RefreshPostList() {
    RunOnGui([this] {
        if (frame_ != nullptr)
            frame_->ListView()->RefreshPostList();
    });
}

void QtFrontend::ShowWarning(const std::string& text, const std::string& caption) {
    RunOnGui([this, text, caption] {
        if (frame_ != nullptr)
            QMessageBox::warning(frame_, Cp932ToQString(caption), Cp932ToQString(text));
    });
}

std::unique_ptr<core::ProgressDisplay> QtFrontend::OpenProgress() {
    if (QThread::currentThread() != context_.thread() || frame_ == nullptr)
        return std::make_unique<NoProgress>();
    return ui::OpenProgressDisplay(frame_);
}

int QtFrontend::SelectedEntryNumber() {
    // Shared, not on this stack: an abandoned hop may still run after this function returned.
    auto number = std::make_shared<std::atomic<int>>(-1);
    RunOnGui([this, number] {
        if (frame_ != nullptr)
            number->store(frame_->TreeView()->SelectedEntryNumber());
    });
    return number->load();
}

}  // namespace quor::ui
