#pragma once

// The hex fields of the post index: every byte of a text as two lowercase hexadecimal digits,
// high nibble first, nothing between the pairs; an empty text is an empty field. A field never
// holds a comma or a line break, so fields and lines need no quoting.
//
// Decoding is strict about what it accepts and never reads past the field. The writer only
// produces lowercase pairs; uppercase digits are read too. A field that is not well formed
// decodes to the bytes of its leading well-formed pairs: decoding stops at the first pair holding
// a character that is not a hexadecimal digit, and a lone digit at the end is dropped. Every byte
// round-trips, the zero byte (pair 00) included.
//
// Both return a new string: the fetch driver and the user-interface thread encode at the same
// time, so a shared scratch buffer would race.

#include <string>
#include <string_view>

namespace quor::storage {

std::string HexEncodeField(std::string_view text);
// Appends the field of `text` to `out`, for writers that build a whole line.
void AppendHexField(std::string& out, std::string_view text);

std::string HexDecodeField(std::string_view field);

}  // namespace quor::storage
