#include "convert/character_reference.h"

#include <algorithm>

#include "convert/named_entities.h"

namespace quor::convert {

namespace {

constexpr std::size_t kMaxDigits = 8;

int DigitValue(char byte, bool hex) {
    if (byte >= '0' && byte <= '9')
        return byte - '0';
    if (!hex)
        return -1;
    const char lower = static_cast<char>(byte | 0x20);
    return lower >= 'a' && lower <= 'f' ? lower - 'a' + 10 : -1;
}

bool IsNameByte(char byte) {
    const char lower = static_cast<char>(byte | 0x20);
    return (lower >= 'a' && lower <= 'z') || (byte >= '0' && byte <= '9');
}

bool IsUnicodeScalar(char32_t codePoint) {
    return codePoint != 0 && codePoint <= 0x10FFFF && (codePoint < 0xD800 || codePoint > 0xDFFF);
}

// text[at] is "&" and text[at + 1] is "#".
std::optional<CharacterReference> ReadNumeric(std::string_view text, std::size_t at) {
    std::size_t pos = at + 2;
    const bool hex = pos < text.size() && (text[pos] == 'x' || text[pos] == 'X');
    if (hex)
        ++pos;
    const int base = hex ? 16 : 10;
    const std::size_t first = pos;
    char32_t codePoint = 0;
    for (int digit = 0; pos < text.size() && (digit = DigitValue(text[pos], hex)) >= 0; ++pos) {
        if (pos - first == kMaxDigits)
            return std::nullopt;  // longer than any code point; left as the page wrote it
        codePoint = codePoint * base + static_cast<char32_t>(digit);
    }
    if (pos == first)
        return std::nullopt;
    if (pos < text.size() && text[pos] == ';')
        ++pos;
    return CharacterReference{IsUnicodeScalar(codePoint) ? codePoint : kReplacementCharacter,
                              pos - at};
}

std::optional<CharacterReference> ReadNamed(std::string_view text, std::size_t at) {
    const std::size_t first = at + 1;
    const std::size_t limit = std::min(text.size(), first + LongestEntityName());
    std::size_t pos = first;
    while (pos < limit && IsNameByte(text[pos]))
        ++pos;
    if (pos == first || pos >= text.size() || text[pos] != ';')
        return std::nullopt;
    const auto codePoint = LookupNamedEntity(text.substr(first, pos - first));
    if (!codePoint)
        return std::nullopt;
    return CharacterReference{*codePoint, pos + 1 - at};
}

}  // namespace

std::optional<CharacterReference> ReadCharacterReference(std::string_view text, std::size_t at) {
    if (at >= text.size() || text[at] != '&' || at + 1 >= text.size())
        return std::nullopt;
    return text[at + 1] == '#' ? ReadNumeric(text, at) : ReadNamed(text, at);
}

std::optional<CharacterReference> ReadAnyReference(std::string_view text, std::size_t at) {
    if (at + 2 < text.size() && text[at] == '&' && text[at + 2] == 't' &&
        (text[at + 1] == 'g' || text[at + 1] == 'l')) {
        const bool semicolon = at + 3 < text.size() && text[at + 3] == ';';
        return CharacterReference{text[at + 1] == 'g' ? U'>' : U'<',
                                  semicolon ? std::size_t{4} : std::size_t{3}};
    }
    return ReadCharacterReference(text, at);
}

}  // namespace quor::convert
