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

void BoardWorkspace::MoveContentTo(BoardWorkspace& to) {
    if (&to == this)
        return;
    to.text_ = std::move(text_);
    to.hasText_ = hasText_;
    to.posts = std::move(posts);
    to.pageCounter = pageCounter;
    to.rules = rules;
    to.nextPage = nextPage;
    ClearBoard();
}

void SharedWorkspace::MoveContentTo(SharedWorkspace& to) {
    if (&to == this)
        return;
    const std::scoped_lock lock(mutex_, to.mutex_);
    workspace_.MoveContentTo(to.workspace_);
}

}  // namespace quor::core
