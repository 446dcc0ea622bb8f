#pragma once

// The one crossing between code page 932 (the engine's text) and UTF-8 (the rest of the
// platform: widgets, the settings file, quorcli's output, file names).
//
// Both directions go through iconv's CP932, so every tool of the project encodes alike; Qt's and
// Python's encoders differ from it for the characters CP932 holds twice. Round trips keep every
// valid CP932 character (NEC and IBM extensions included). What cannot be converted becomes the
// geta mark 〓: a UTF-8 character with no CP932 form, invalid UTF-8, or invalid CP932 bytes.

#include <string>
#include <string_view>

namespace quor::core {

inline constexpr std::string_view kGetaCp932 = "\x81\xac";
inline constexpr std::string_view kGetaUtf8 = "\xe3\x80\x93";

// Whether the byte starts a double-byte character of code page 932 (0x81 to 0x9F and 0xE0 to
// 0xFC); the byte after it belongs to the same character. Half-width katakana (0xA1 to 0xDF) are
// single bytes.
constexpr bool IsLeadByte(unsigned char byte) {
    return (byte >= 0x81 && byte <= 0x9f) || (byte >= 0xe0 && byte <= 0xfc);
}

std::string ToUtf8(std::string_view cp932);
std::string FromUtf8(std::string_view utf8);

}  // namespace quor::core
