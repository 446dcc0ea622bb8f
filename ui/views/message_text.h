#pragma once

// The text the message view shows for one post, and the crossing of engine text into the view.

#include <QString>
#include <string>
#include <string_view>

#include "core/post.h"

namespace quor::ui {

// "【Title】%s\r\n【Name】%s\r\n【Date】%s\r\n【Message】\r\n\r\n%s\r\n" with the post's fields,
// in code page 932.
std::string BuildMessageText(const core::Post& post);

// Code page 932 bytes as a QString for a widget.
QString ToQString(std::string_view cp932);
// A widget's text back to code page 932.
std::string FromQString(const QString& text);

}  // namespace quor::ui
