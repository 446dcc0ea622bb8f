#pragma once

// The text cleaner turns the HTML of one post field (title, name, date or message) into plain
// text: tags are dropped, line-break and list-item tags become line breaks, four character
// entities are decoded, and the line feeds, spaces and tabs of the page source are kept or dropped
// by the board's three switches. Every byte of 0x80 and above is copied, so Shift-JIS text passes
// through (its trail bytes are never below 0x40, so none is taken for markup or whitespace).
//
// A board that asks for it (the character-reference switch) also has numeric references
// ("&#12354;", "&#x3042;") and the named entities of HTML 4 decoded to code page 932, 〓 for a
// character without a CP932 form. A decoded space, no-break space, tab or line feed obeys its
// switch as the same character in the source would; other control characters are dropped.
//
// Lookahead after "&" and "<" never goes past the end of the field: a test that would need a byte
// beyond it fails. A field holds no zero byte; one that does anyway has it dropped like the other
// control bytes.

#include <cstdint>
#include <string_view>
#include <vector>

namespace quor::core {
struct Switches;
}

namespace quor::convert {

class TextCleaner final {
public:
    // Switch values of 1 keep (or, for line feeds, turn into CR LF) what they name.
    TextCleaner(std::int32_t lineFeedSwitch, std::int32_t spaceSwitch, std::int32_t tabSwitch,
                std::int32_t charRefSwitch = 0);
    // With a board's line-feed, space, tab and character-reference switches.
    explicit TextCleaner(const core::Switches& switches);

    // The cleaned text of the field, valid until the next call. An empty field gives an empty
    // result and leaves the previous one in place.
    std::string_view CleanField(std::string_view field);

    // The result of the last call that had a field to clean.
    std::string_view Result() const { return {buffer_.data(), length_}; }

    // A list-item tag becomes a separator line; always on.
    const std::int32_t listItemRule = 1;
    const std::int32_t lineFeedSwitch;
    const std::int32_t spaceSwitch;
    const std::int32_t tabSwitch;
    const std::int32_t charRefSwitch;

private:
    class Writer;
    // Appends the bytes an "&" at field[at] stands for; returns the position after them.
    std::size_t DecodeEntity(std::string_view field, std::size_t at, Writer& out) const;
    // Appends a character of the source text or of a reference, whitespace by its switch.
    void PutWhitespace(char byte, Writer& out) const;
    // Appends a referenced character in CP932.
    void PutCharacter(char32_t codePoint, Writer& out) const;
    // Appends what a "<" at field[at] turns into; the tag itself is skipped by the caller.
    void OpenTag(std::string_view field, std::size_t at, Writer& out) const;

    std::vector<char> buffer_;  // grows, never shrinks: one cleaner serves a whole page
    std::size_t length_ = 0;
};

}  // namespace quor::convert
