#pragma once

// Plain byte-by-byte versions of the kanji code conversion and the text cleaner, written from the
// documented rules with nothing fast about them. The fuzzers compare the engine's vectorised and
// run-skipping code with these on every input.

#include <cstdint>
#include <string>
#include <string_view>
#include <utility>

namespace quor::fuzz {

// Shift-JIS bytes of a JIS X 0208 pair (high bits dropped); the geta mark for a row or cell
// outside 0x21..0x7E.
std::string ReferencePair(unsigned char first, unsigned char second);

std::string ReferenceFromEuc(std::string_view text);
std::string ReferenceFromJis(std::string_view text);
// The length of the well-formed UTF-8 sequence at text[at] (the table of the Unicode standard),
// 0 when there is none.
std::size_t ReferenceUtf8Length(std::string_view text, std::size_t at);
// Valid UTF-8 with a multi-byte sequence and no ESC.
bool ReferenceLooksLikeUtf8(std::string_view text);
// Each character as iconv's CP932 encoder writes it (〓 when it has none); a byte that starts no
// sequence becomes "?", a run of two or more such bytes one 〓.
std::string ReferenceFromUtf8(std::string_view text);
// The conversion a setting names: 0 UTF-8 when the text looks like it, else by detection; 1 EUC,
// 2 JIS, 4 UTF-8, anything else none.
std::string ReferenceConvert(std::string_view text, int setting);

std::string ReferenceClean(std::string_view field, std::int32_t lineFeed, std::int32_t space,
                           std::int32_t tab);

// The field renderer's rules (convert/field_renderer.h), one byte at a time: the field becomes a
// list of text bytes, foldable blanks, line breaks and block edges, which is then laid out in
// lines.
std::string ReferenceRender(std::string_view field);

// Where a marker with "{*}" wildcards occurs from `from` on, as {begin, end}; begin is npos when
// it does not. Tries every start and grows each wildcard's run one byte at a time.
std::pair<std::size_t, std::size_t> ReferenceFindMarker(std::string_view marker,
                                                        std::string_view text, std::size_t from);

}  // namespace quor::fuzz
