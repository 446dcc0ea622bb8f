#pragma once

// quorcli's user interface: status texts as UTF-8 lines on stderr, the warning box as a line,
// a progress bar when stderr is a terminal.

#include <mutex>

#include "core/frontend.h"

namespace quor::cli {

class StderrFrontend final : public core::Frontend {
public:
    void SetStatusText(const std::string& text) override;
    void RefreshPostList() override {}
    void ShowWarning(const std::string& text, const std::string& caption) override;
    std::unique_ptr<core::ProgressDisplay> OpenProgress() override;
    int SelectedEntryNumber() override { return -1; }

private:
    std::mutex mutex_;
};

}  // namespace quor::cli
