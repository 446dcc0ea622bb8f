#pragma once

// The text the message view shows for one post.

#include <string>
#include <string_view>

#include "core/post.h"

namespace quor::ui {

// "【Title】%s\r\n【Name】%s\r\n【Date】%s\r\n【Message】\r\n\r\n%s\r\n" with the post's fields,
// in code page 932.
std::string BuildMessageText(const core::Post& post);

}  // namespace quor::ui
