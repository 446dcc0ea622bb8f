#include "storage/hex_field.h"

#include <array>
#include <cstdint>

namespace quor::storage {

namespace {

// Two output characters per byte, looked up at once.
constexpr std::array<std::array<char, 2>, 256> MakeEncodeTable() {
    constexpr char kDigits[] = "0123456789abcdef";
    std::array<std::array<char, 2>, 256> table{};
    for (int b = 0; b < 256; ++b)
        table[b] = {kDigits[b >> 4], kDigits[b & 15]};
    return table;
}

constexpr auto kEncode = MakeEncodeTable();

constexpr int kNotHex = -1;

constexpr std::array<std::int8_t, 256> MakeDecodeTable() {
    std::array<std::int8_t, 256> table{};
    for (auto& value : table)
        value = kNotHex;
    for (int c = '0'; c <= '9'; ++c)
        table[c] = static_cast<std::int8_t>(c - '0');
    for (int c = 'a'; c <= 'f'; ++c)
        table[c] = static_cast<std::int8_t>(c - 'a' + 10);
    for (int c = 'A'; c <= 'F'; ++c)
        table[c] = static_cast<std::int8_t>(c - 'A' + 10);
    return table;
}

constexpr auto kDecode = MakeDecodeTable();

}  // namespace

void AppendHexField(std::string& out, std::string_view text) {
    const std::size_t start = out.size();
    out.resize(start + 2 * text.size());
    char* cursor = out.data() + start;
    for (const char c : text) {
        const auto& pair = kEncode[static_cast<unsigned char>(c)];
        cursor[0] = pair[0];
        cursor[1] = pair[1];
        cursor += 2;
    }
}

std::string HexEncodeField(std::string_view text) {
    std::string out;
    AppendHexField(out, text);
    return out;
}

std::string HexDecodeField(std::string_view field) {
    std::string out;
    out.resize(field.size() / 2);
    std::size_t length = 0;
    for (std::size_t i = 0; i + 1 < field.size(); i += 2) {
        const int high = kDecode[static_cast<unsigned char>(field[i])];
        const int low = kDecode[static_cast<unsigned char>(field[i + 1])];
        if (high == kNotHex || low == kNotHex)
            break;
        out[length++] = static_cast<char>(high * 16 + low);
    }
    out.resize(length);
    return out;
}

}  // namespace quor::storage
