#pragma once

// Pages written in UTF-8, brought to code page 932 in place before any marker is searched.

#include <cstddef>
#include <string>
#include <string_view>

namespace quor::convert {

// True when the text is valid UTF-8, holds at least one multi-byte sequence and no ESC: such a
// text is not EUC, JIS or Shift-JIS in practice, so automatic detection reads it as UTF-8.
bool LooksLikeUtf8(std::string_view text);

// The length of the run of ASCII bytes other than ESC that the text starts with: bytes that
// decide nothing, neither for UTF-8 nor for the detection of the other codes.
std::size_t PlainAsciiPrefix(std::string_view text);

// Rewrites UTF-8 as CP932 in place; the text never grows. A character with no CP932 form becomes
// 〓. Bytes that are not UTF-8 become "?" one by one, or 〓 for a run of two or more.
void ConvertUtf8ToCp932(std::string& text);
// The same on data[0, size); returns the converted length.
std::size_t ConvertUtf8ToCp932(char* data, std::size_t size);

}  // namespace quor::convert
