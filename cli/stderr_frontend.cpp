#include "cli/stderr_frontend.h"

#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <string>

#include "core/cp932.h"

namespace quor::cli {

namespace {

class TerminalProgress final : public core::ProgressDisplay {
public:
    ~TerminalProgress() override {
        if (drawn_)
            std::fputs("\n", stderr);
    }
    void SetRange(int lower, int upper) override {
        lower_ = lower;
        upper_ = upper;
    }
    int Show(int position) override {
        const int previous = position_;
        position_ = position;
        Draw();
        return previous;
    }
    void SetText(const std::string& text) override {
        text_ = core::ToUtf8(text);
        Draw();
    }

private:
    void Draw() {
        constexpr int kWidth = 30;
        const long long span = static_cast<long long>(upper_) - lower_;
        const long long done = span > 0 ? (static_cast<long long>(position_) - lower_ + 1) : 0;
        const int filled = span > 0 ? static_cast<int>(std::clamp(done * kWidth / span, 0LL,
                                                                  static_cast<long long>(kWidth)))
                                    : kWidth;
        std::string bar(static_cast<std::size_t>(filled), '#');
        bar.resize(kWidth, '.');
        std::fprintf(stderr, "\r[%s] %s", bar.c_str(), text_.c_str());
        std::fflush(stderr);
        drawn_ = true;
    }

    int lower_ = 0;
    int upper_ = 100;
    int position_ = 0;
    std::string text_;
    bool drawn_ = false;
};

}  // namespace

void StderrFrontend::SetStatusText(const std::string& text) {
    const std::lock_guard lock(mutex_);
    std::fprintf(stderr, "%s\n", core::ToUtf8(text).c_str());
}

void StderrFrontend::ShowWarning(const std::string& text, const std::string& caption) {
    const std::lock_guard lock(mutex_);
    std::fprintf(stderr, "%s: %s\n", core::ToUtf8(caption).c_str(), core::ToUtf8(text).c_str());
}

std::unique_ptr<core::ProgressDisplay> StderrFrontend::OpenProgress() {
    if (isatty(STDERR_FILENO))
        return std::make_unique<TerminalProgress>();
    return core::NullFrontend().OpenProgress();
}

}  // namespace quor::cli
