#pragma once

// Searching the text buffer for markers and keywords. Every search of the conversion goes
// through these, so a different way of matching (ignoring case, say) is one change here.

#include <cstddef>
#include <string>
#include <string_view>

namespace quor::convert {

inline constexpr std::size_t kNotFound = std::string_view::npos;

// The first occurrence of the keyword that begins at or after `start` (positions count bytes
// from the start of the text), or kNotFound. An empty keyword is found at `start`.
std::size_t FindFrom(std::string_view text, std::string_view keyword, std::size_t start);

// A post marker, sought from `from` on: an empty marker matches right there.
inline std::size_t FindMarker(std::string_view text, std::string_view marker, std::size_t from) {
    return FindFrom(text, marker, from);
}

// ASCII capitals become small letters; every other byte stays. Shift-JIS characters stay whole:
// their trail byte may lie in A-Z (0x41-0x5A) and is not a letter.
std::string LowerAscii(std::string_view text);

// How one conversion seeks its markers in the text buffer: exactly, or for a board that ignores
// case in a copy of the text with its ASCII capitals made small, the markers folded the same
// way. Folding keeps every byte in its place, so a position found in the copy is the same
// position in the text, and the fields are still cut from the text as the page wrote it.
class MarkerSearch final {
public:
    MarkerSearch(std::string_view text, bool ignoreCase);

    // Where markers are sought: the text itself, or its folded copy.
    std::string_view In(std::string_view text) const {
        return ignoreCase_ ? std::string_view(folded_) : text;
    }
    // A marker or keyword as it is sought.
    std::string Key(std::string_view marker) const {
        return ignoreCase_ ? LowerAscii(marker) : std::string(marker);
    }
    // The text lost its first `length` bytes; the copy follows it.
    void DropPrefix(std::size_t length);

private:
    bool ignoreCase_;
    std::string folded_;
};

}  // namespace quor::convert
