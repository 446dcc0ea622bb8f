#pragma once

// A frontend that records every call, for tests. Thread-safe: workers call it too.

#include <condition_variable>
#include <mutex>
#include <string>
#include <utility>
#include <vector>

#include "core/frontend.h"

namespace quor::test {

class RecordingFrontend final : public core::Frontend {
public:
    struct ProgressEvent {
        enum Kind { kOpen, kRange, kShow, kText, kClose } kind;
        int a = 0;
        int b = 0;
        std::string text;
    };

    void SetStatusText(const std::string& text) override;
    void RefreshPostList() override;
    void ShowWarning(const std::string& text, const std::string& caption) override;
    std::unique_ptr<core::ProgressDisplay> OpenProgress() override;
    int SelectedEntryNumber() override;

    void SetSelectedEntryNumber(int number);

    // Snapshots of what was recorded so far.
    std::vector<std::string> StatusTexts() const;
    std::vector<std::pair<std::string, std::string>> Warnings() const;
    std::vector<ProgressEvent> ProgressEvents() const;
    int RefreshCount() const;
    // Whether any status text recorded so far contains the given bytes.
    bool SawStatusContaining(const std::string& part) const;

    void Clear();

private:
    friend class RecordingProgress;
    void Record(ProgressEvent event);

    mutable std::mutex mutex_;
    std::vector<std::string> statusTexts_;
    std::vector<std::pair<std::string, std::string>> warnings_;
    std::vector<ProgressEvent> progress_;
    int refreshCount_ = 0;
    int selectedEntry_ = -1;
};

}  // namespace quor::test
