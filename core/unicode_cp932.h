#pragma once

// Unicode code points to code page 932, character by character, for the converters that read
// UTF-8 pages and character references. The mapping is iconv's CP932 encoder (the same bytes
// FromUtf8 gives), read once into a table at first use.

#include <cstddef>

namespace quor::core {

// Writes the CP932 bytes of the code point into out and returns how many (1 or 2); 0 when the
// code point has no CP932 form.
std::size_t EncodeCp932(char32_t codePoint, char out[2]);

}  // namespace quor::core
