#include "ui/views/message_text.h"

#include "core/cp932.h"

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

QString ToQString(std::string_view cp932) {
    const std::string utf8 = core::ToUtf8(cp932);
    return QString::fromUtf8(utf8.data(), static_cast<qsizetype>(utf8.size()));
}

std::string FromQString(const QString& text) {
    const QByteArray utf8 = text.toUtf8();
    return core::FromUtf8(
        std::string_view(utf8.constData(), static_cast<std::size_t>(utf8.size())));
}

}  // namespace quor::ui
