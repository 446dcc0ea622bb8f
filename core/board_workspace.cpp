#include "core/board_workspace.h"

namespace quor::core {

void BoardWorkspace::SetText(std::string_view text) {
    // The buffer is a zero-terminated text: whatever follows a zero byte is not part of it.
    const auto zero = text.find('\0');
    if (zero != std::string_view::npos)
        text = text.substr(0, zero);
    std::string(text).swap(text_);
    hasText_ = true;
}

void BoardWorkspace::StripHeader() {
    const auto blankLine = text_.find("\r\n\r\n");
    if (blankLine != std::string::npos && blankLine > 0)
        text_.erase(0, blankLine);
}

void BoardWorkspace::ClearBoard() {
    std::string().swap(text_);
    hasText_ = false;
    posts.Clear();
    pageCounter = 1;
}

}  // namespace quor::core
