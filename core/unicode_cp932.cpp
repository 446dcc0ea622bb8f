#include "core/unicode_cp932.h"

#include <array>
#include <cstdint>
#include <memory>
#include <string>
#include <utility>

#include "core/cp932.h"

namespace quor::core {

namespace {

// CP932 holds only characters of the Basic Multilingual Plane: one entry per BMP code point,
// 0 for none, else the bytes (a single byte in the low half, or lead << 8 | trail).
using Table = std::array<std::uint16_t, 0x10000>;

void AddCharacter(Table& table, std::string_view cp932) {
    const std::string utf8 = ToUtf8(cp932);
    if (utf8.empty() || utf8 == kGetaUtf8)
        return;
    // Decode the single character iconv gave.
    const auto* bytes = reinterpret_cast<const unsigned char*>(utf8.data());
    char32_t codePoint = 0;
    if (bytes[0] < 0x80 && utf8.size() == 1)
        codePoint = bytes[0];
    else if ((bytes[0] & 0xe0) == 0xc0 && utf8.size() == 2)
        codePoint = (bytes[0] & 0x1fu) << 6 | (bytes[1] & 0x3fu);
    else if ((bytes[0] & 0xf0) == 0xe0 && utf8.size() == 3)
        codePoint = (bytes[0] & 0x0fu) << 12 | (bytes[1] & 0x3fu) << 6 | (bytes[2] & 0x3fu);
    else
        return;
    // The encoder decides which of two byte forms a doubly held character takes.
    const std::string encoded = FromUtf8(utf8);
    if (encoded.size() == 1)
        table[codePoint] = static_cast<unsigned char>(encoded[0]);
    else if (encoded.size() == 2)
        table[codePoint] = static_cast<std::uint16_t>(static_cast<unsigned char>(encoded[0]) << 8 |
                                                      static_cast<unsigned char>(encoded[1]));
}

std::unique_ptr<Table> BuildTable() {
    auto table = std::make_unique<Table>();
    table->fill(0);
    for (int byte = 0x01; byte <= 0xff; ++byte)
        AddCharacter(*table, std::string(1, static_cast<char>(byte)));
    for (int lead = 0x81; lead <= 0xfc; ++lead) {
        if (lead >= 0xa0 && lead <= 0xdf)
            continue;
        for (int trail = 0x40; trail <= 0xfc; ++trail) {
            if (trail != 0x7f)
                AddCharacter(*table,
                             std::string{static_cast<char>(lead), static_cast<char>(trail)});
        }
    }
    // The geta mark is also what ToUtf8 gives for a failure, so AddCharacter passes it over.
    (*table)[0x3013] = 0x81ac;
    // Characters iconv's encoder writes as a near one, though no CP932 byte decodes to them: the
    // wave dash and minus sign of text written elsewhere than Windows, the yen sign and others.
    constexpr std::pair<char16_t, std::uint16_t> kEncoderOnly[] = {
        {0x00a2, 0x8191}, {0x00a3, 0x8192}, {0x00a5, 0x005c}, {0x00ac, 0x81ca}, {0x2014, 0x815c},
        {0x2016, 0x8161}, {0x203e, 0x007e}, {0x2212, 0x817c}, {0x301c, 0x8160},
    };
    for (const auto& [codePoint, bytes] : kEncoderOnly)
        (*table)[codePoint] = bytes;
    return table;
}

const Table& GetTable() {
    static const std::unique_ptr<Table> table = BuildTable();
    return *table;
}

}  // namespace

std::size_t EncodeCp932(char32_t codePoint, char out[2]) {
    if (codePoint == 0)
        return (out[0] = '\0', 1);
    if (codePoint >= 0x10000)
        return 0;
    const std::uint16_t bytes = GetTable()[codePoint];
    if (bytes == 0)
        return 0;
    if (bytes < 0x100) {
        out[0] = static_cast<char>(bytes);
        return 1;
    }
    out[0] = static_cast<char>(bytes >> 8);
    out[1] = static_cast<char>(bytes & 0xff);
    return 2;
}

}  // namespace quor::core
