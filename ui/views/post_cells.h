#pragma once

// What the post list shows and sorts by, in code page 932 bytes: the four cell texts of a post,
// the cap of a drawn cell, and the byte order of sorting. No Qt here, so the rules can be
// checked byte by byte.

#include <cstddef>
#include <string_view>

#include "core/post.h"

namespace quor::ui {

inline constexpr int kColumnCount = 4;
// Column 3 ("Status") shows the start of the message, not a read state.
inline constexpr std::size_t kStatusBytes = 32;
// A cell is drawn from at most this many bytes of its text.
inline constexpr std::size_t kDrawnBytes = 259;

// The length of the longest prefix of at most maxBytes bytes that does not end in the first
// byte of a double-byte character.
std::size_t WholeCharacterPrefix(std::string_view text, std::size_t maxBytes);

// The text of one column of a post: title, name, date, or the first 32 bytes of the message
// (without a trailing half character). Empty for a column that does not exist.
std::string_view CellText(const core::Post& post, int column);

// The part of a cell text that is drawn.
std::string_view DrawnText(std::string_view cell);

// Byte order of unsigned bytes; a text that is a prefix of the other is smaller. -1, 0 or 1.
int CompareCellBytes(std::string_view a, std::string_view b);

}  // namespace quor::ui
