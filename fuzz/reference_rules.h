#pragma once

// Plain byte-by-byte versions of the kanji code conversion and the text cleaner, written from the
// documented rules with nothing fast about them. The fuzzers compare the engine's vectorised and
// run-skipping code with these on every input.

#include <cstdint>
#include <string>
#include <string_view>

namespace quor::fuzz {

// Shift-JIS bytes of a JIS X 0208 pair (high bits dropped); the geta mark for a row or cell
// outside 0x21..0x7E.
std::string ReferencePair(unsigned char first, unsigned char second);

std::string ReferenceFromEuc(std::string_view text);
std::string ReferenceFromJis(std::string_view text);
// The conversion a setting names: 0 by detection, 1 EUC, 2 JIS, anything else none.
std::string ReferenceConvert(std::string_view text, int setting);

std::string ReferenceClean(std::string_view field, std::int32_t lineFeed, std::int32_t space,
                           std::int32_t tab);

}  // namespace quor::fuzz
