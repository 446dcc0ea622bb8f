#pragma once

// Reading the header of a raw response as the server sent it: its end (after the blank line,
// with either line end), the status code of its first line, and the value of a header field.

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace quor::fetch {

// Where the header ends, just past its blank line, or npos while it is incomplete.
std::size_t HeaderEnd(std::string_view response);

// The code of a status line "HTTP/<version> <three digits> ...", or 0 for any other first line.
int StatusCode(std::string_view response);

// The first field of the complete header with that name (any case), without the blanks around
// it; nothing when the header is incomplete or has no such field.
std::optional<std::string> HeaderField(std::string_view response, std::string_view name);

// The body length a response's header announces (Content-Length, any case), or nothing.
std::optional<std::size_t> AnnouncedBodyLength(std::string_view response);

}  // namespace quor::fetch
