#include "convert/utf8_page.h"

#include <cstdint>
#include <cstring>

#include "core/cp932.h"
#include "core/unicode_cp932.h"

namespace quor::convert {

namespace {

constexpr unsigned char kEscape = 0x1b;

bool IsContinuation(unsigned char byte) {
    return (byte & 0xc0) == 0x80;
}

// Decodes the sequence at text[pos]; returns its length, or 0 when it is not valid UTF-8
// (overlong forms, surrogates and code points past U+10FFFF included). Japanese text is mostly
// three-byte sequences, so they are tested first after ASCII.
std::size_t DecodeUtf8(std::string_view text, std::size_t pos, char32_t& codePoint) {
    const auto* p = reinterpret_cast<const unsigned char*>(text.data()) + pos;
    const std::size_t left = text.size() - pos;
    const unsigned lead = p[0];
    if (lead < 0x80) {
        codePoint = lead;
        return 1;
    }
    if (lead >= 0xe0 && lead <= 0xef) {
        if (left < 3 || !IsContinuation(p[1]) || !IsContinuation(p[2]))
            return 0;
        codePoint = (lead & 0x0fu) << 12 | (p[1] & 0x3fu) << 6 | (p[2] & 0x3fu);
        return codePoint >= 0x800 && (codePoint < 0xd800 || codePoint > 0xdfff) ? 3 : 0;
    }
    if (lead >= 0xc2 && lead <= 0xdf) {
        if (left < 2 || !IsContinuation(p[1]))
            return 0;
        codePoint = (lead & 0x1fu) << 6 | (p[1] & 0x3fu);
        return 2;
    }
    if (lead >= 0xf0 && lead <= 0xf4) {
        if (left < 4 || !IsContinuation(p[1]) || !IsContinuation(p[2]) || !IsContinuation(p[3]))
            return 0;
        codePoint =
            (lead & 0x07u) << 18 | (p[1] & 0x3fu) << 12 | (p[2] & 0x3fu) << 6 | (p[3] & 0x3fu);
        return codePoint >= 0x10000 && codePoint <= 0x10ffff ? 4 : 0;
    }
    return 0;
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
    for (std::size_t pos = SkipPlainAscii(text, 0); pos < text.size();) {
        const auto byte = static_cast<unsigned char>(text[pos]);
        if (byte < 0x80) {
            if (byte == kEscape)
                return false;
            pos = SkipPlainAscii(text, pos + 1);
            continue;
        }
        char32_t codePoint = 0;
        const std::size_t length = DecodeUtf8(text, pos, codePoint);
        if (length == 0)
            return false;
        multiByte = true;
        pos += length;
    }
    return multiByte;
}

void ConvertUtf8ToCp932(std::string& text) {
    text.resize(ConvertUtf8ToCp932(text.data(), text.size()));
}

namespace {

// Moves the ASCII run at data[read] down to data[write], eight bytes at a time while it lasts.
void CopyAsciiRun(char* data, std::size_t size, std::size_t& read, std::size_t& write) {
    constexpr std::uint64_t kHigh = 0x8080808080808080ull;
    while (read + 8 <= size) {
        std::uint64_t word = 0;
        std::memcpy(&word, data + read, 8);
        if ((word & kHigh) != 0)
            break;
        std::memcpy(data + write, &word, 8);
        read += 8;
        write += 8;
    }
    while (read < size && static_cast<unsigned char>(data[read]) < 0x80)
        data[write++] = data[read++];
}

}  // namespace

std::size_t ConvertUtf8ToCp932(char* data, std::size_t size) {
    const std::string_view text(data, size);
    std::size_t write = 0;
    for (std::size_t read = 0; read < size;) {
        if (static_cast<unsigned char>(data[read]) < 0x80) {
            CopyAsciiRun(data, size, read, write);
            continue;
        }
        char32_t codePoint = 0;
        const std::size_t length = DecodeUtf8(text, read, codePoint);
        if (length == 0) {
            std::size_t run = 1;
            while (read + run < size && DecodeUtf8(text, read + run, codePoint) == 0)
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
