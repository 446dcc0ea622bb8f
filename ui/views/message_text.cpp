#include "ui/views/message_text.h"

namespace quor::ui {

namespace {

// 【 and 】 in code page 932.
constexpr std::string_view kOpen = "\x81\x79";
constexpr std::string_view kClose = "\x81\x7a";

void AppendField(std::string& out, std::string_view label, std::string_view value) {
    out.append(kOpen).append(label).append(kClose).append(value).append("\r\n");
}

}  // namespace

std::string BuildMessageText(const core::Post& post) {
    std::string text;
    text.reserve(post.title.size() + post.name.size() + post.date.size() + post.message.size() +
                 64);
    AppendField(text, "Title", post.title);
    AppendField(text, "Name", post.name);
    AppendField(text, "Date", post.date);
    AppendField(text, "Message", "");
    text.append("\r\n").append(post.message).append("\r\n");
    return text;
}

}  // namespace quor::ui
