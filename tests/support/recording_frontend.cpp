#include "support/recording_frontend.h"

namespace quor::test {

class RecordingProgress final : public core::ProgressDisplay {
public:
    explicit RecordingProgress(RecordingFrontend& owner) : owner_(owner) {
        owner_.Record({RecordingFrontend::ProgressEvent::kOpen, 0, 0, {}});
    }
    ~RecordingProgress() override {
        owner_.Record({RecordingFrontend::ProgressEvent::kClose, 0, 0, {}});
    }
    void SetRange(int lower, int upper) override {
        owner_.Record({RecordingFrontend::ProgressEvent::kRange, lower, upper, {}});
    }
    int Show(int position) override {
        owner_.Record({RecordingFrontend::ProgressEvent::kShow, position, 0, {}});
        return std::exchange(position_, position);
    }
    void SetText(const std::string& text) override {
        owner_.Record({RecordingFrontend::ProgressEvent::kText, 0, 0, text});
    }

private:
    RecordingFrontend& owner_;
    int position_ = 0;
};

void RecordingFrontend::SetStatusText(const std::string& text) {
    const std::lock_guard lock(mutex_);
    statusTexts_.push_back(text);
}

void RecordingFrontend::RefreshPostList() {
    const std::lock_guard lock(mutex_);
    ++refreshCount_;
}

void RecordingFrontend::ShowWarning(const std::string& text, const std::string& caption) {
    const std::lock_guard lock(mutex_);
    warnings_.emplace_back(text, caption);
}

std::unique_ptr<core::ProgressDisplay> RecordingFrontend::OpenProgress() {
    return std::make_unique<RecordingProgress>(*this);
}

int RecordingFrontend::SelectedEntryNumber() {
    const std::lock_guard lock(mutex_);
    return selectedEntry_;
}

void RecordingFrontend::SetSelectedEntryNumber(int number) {
    const std::lock_guard lock(mutex_);
    selectedEntry_ = number;
}

std::vector<std::string> RecordingFrontend::StatusTexts() const {
    const std::lock_guard lock(mutex_);
    return statusTexts_;
}

std::vector<std::pair<std::string, std::string>> RecordingFrontend::Warnings() const {
    const std::lock_guard lock(mutex_);
    return warnings_;
}

std::vector<RecordingFrontend::ProgressEvent> RecordingFrontend::ProgressEvents() const {
    const std::lock_guard lock(mutex_);
    return progress_;
}

int RecordingFrontend::RefreshCount() const {
    const std::lock_guard lock(mutex_);
    return refreshCount_;
}

bool RecordingFrontend::SawStatusContaining(const std::string& part) const {
    const std::lock_guard lock(mutex_);
    for (const auto& text : statusTexts_) {
        if (text.find(part) != std::string::npos)
            return true;
    }
    return false;
}

void RecordingFrontend::Clear() {
    const std::lock_guard lock(mutex_);
    statusTexts_.clear();
    warnings_.clear();
    progress_.clear();
    refreshCount_ = 0;
}

void RecordingFrontend::Record(ProgressEvent event) {
    const std::lock_guard lock(mutex_);
    progress_.push_back(std::move(event));
}

}  // namespace quor::test
