#pragma once

// Character references of HTML text: "&#12354;", "&#x3042;" and the named entities of HTML 4
// ("&copy;", "&hellip;", "&nbsp;" …), read where the text cleaner meets an "&".

#include <cstddef>
#include <optional>
#include <string_view>

namespace quor::convert {

struct CharacterReference {
    char32_t codePoint;
    std::size_t length;  // bytes from the "&" up to and including the last one read
};

// The code point U+FFFD stands for what a numeric reference cannot name.
inline constexpr char32_t kReplacementCharacter = 0xFFFD;

// The reference that the "&" at text[at] begins, or nothing. Numeric references take one to
// eight decimal digits after "&#" or hexadecimal digits after "&#x" / "&#X", and an optional
// ";"; one that names 0, a surrogate or a code point past U+10FFFF gives U+FFFD. A named
// reference must end with ";" and names are case-sensitive. Never reads past the end of the text
// nor more than a few bytes past the "&".
std::optional<CharacterReference> ReadCharacterReference(std::string_view text, std::size_t at);

// Every reference a board's page may hold, as the text cleaner reads them with character
// references on: "&gt" and "&lt" also without their ";" (old boards wrote them so, and the
// cleaner has always taken them), then what ReadCharacterReference reads.
std::optional<CharacterReference> ReadAnyReference(std::string_view text, std::size_t at);

}  // namespace quor::convert
