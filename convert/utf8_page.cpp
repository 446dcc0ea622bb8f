#include "convert/utf8_page.h"

#include <cstdint>
#include <cstring>

#include "core/cp932.h"
#include "core/unicode_cp932.h"

namespace quor::convert {

namespace {

constexpr unsigned char kEscape = 0x1b;

// Decodes the sequence at text[pos]; returns its length, or 0 when it is not valid UTF-8
// (overlong forms, surrogates and code points past U+10FFFF included).
std::size_t DecodeUtf8(std::string_view text, std::size_t pos, char32_t& codePoint) {
    const auto byte = [&](std::size_t i) { return static_cast<unsigned char>(text[pos + i]); };
    const unsigned char lead = byte(0);
    std::size_t length = 0;
    char32_t minimum = 0;
    if (lead < 0x80) {
        codePoint = lead;
        return 1;
    }
    if (lead >= 0xc2 && lead <= 0xdf) {
        length = 2;
        codePoint = lead & 0x1fu;
        minimum = 0x80;
    } else if (lead >= 0xe0 && lead <= 0xef) {
        length = 3;
        codePoint = lead & 0x0fu;
        minimum = 0x800;
    } else if (lead >= 0xf0 && lead <= 0xf4) {
        length = 4;
        codePoint = lead & 0x07u;
        minimum = 0x10000;
    } else {
        return 0;
    }
    if (pos + length > text.size())
        return 0;
    for (std::size_t i = 1; i < length; ++i) {
        if ((byte(i) & 0xc0) != 0x80)
            return 0;
        codePoint = codePoint << 6 | (byte(i) & 0x3fu);
    }
    if (codePoint < minimum || codePoint > 0x10ffff || (codePoint >= 0xd800 && codePoint <= 0xdfff))
        return 0;
    return length;
}

// Skips plain ASCII (no high bit, no ESC) eight bytes at a time: most of a page is markup, and
// automatic detection asks this question of every page first.
std::size_t SkipPlainAscii(std::string_view text, std::size_t pos) {
    constexpr std::uint64_t kOnes = 0x0101010101010101ull;
    constexpr std::uint64_t kHigh = 0x8080808080808080ull;
    while (pos + 8 <= text.size()) {
        std::uint64_t word = 0;
        std::memcpy(&word, text.data() + pos, 8);
        const std::uint64_t esc = word ^ (kOnes * kEscape);
        if (((word | ((esc - kOnes) & ~esc)) & kHigh) != 0)
            break;
        pos += 8;
    }
    return pos;
}

}  // namespace

std::size_t PlainAsciiPrefix(std::string_view text) {
    std::size_t pos = SkipPlainAscii(text, 0);
    while (pos < text.size() && static_cast<unsigned char>(text[pos]) < 0x80 &&
           static_cast<unsigned char>(text[pos]) != kEscape)
        ++pos;
    return pos;
}

bool LooksLikeUtf8(std::string_view text) {
    bool multiByte = false;
    for (std::size_t pos = SkipPlainAscii(text, 0); pos < text.size();
         pos = SkipPlainAscii(text, pos)) {
        if (static_cast<unsigned char>(text[pos]) == kEscape)
            return false;
        char32_t codePoint = 0;
        const std::size_t length = DecodeUtf8(text, pos, codePoint);
        if (length == 0)
            return false;
        multiByte = multiByte || length > 1;
        pos += length;
    }
    return multiByte;
}

void ConvertUtf8ToCp932(std::string& text) {
    text.resize(ConvertUtf8ToCp932(text.data(), text.size()));
}

std::size_t ConvertUtf8ToCp932(char* data, std::size_t size) {
    const std::string_view text(data, size);
    std::size_t write = 0;
    for (std::size_t read = 0; read < text.size();) {
        char32_t codePoint = 0;
        const std::size_t length = DecodeUtf8(text, read, codePoint);
        if (length == 0) {
            std::size_t run = 1;
            while (read + run < text.size() && DecodeUtf8(text, read + run, codePoint) == 0)
                ++run;
            if (run == 1) {
                data[write++] = '?';
            } else {
                data[write++] = core::kGetaCp932[0];
                data[write++] = core::kGetaCp932[1];
            }
            read += run;
            continue;
        }
        char bytes[2];
        std::size_t produced = core::EncodeCp932(codePoint, bytes);
        if (produced == 0) {
            bytes[0] = core::kGetaCp932[0];
            bytes[1] = core::kGetaCp932[1];
            produced = 2;
        }
        // A multi-byte sequence is at least as long as any CP932 form, so writing never
        // overtakes reading.
        read += length;
        for (std::size_t i = 0; i < produced; ++i)
            data[write++] = bytes[i];
    }
    return write;
}

}  // namespace quor::convert
