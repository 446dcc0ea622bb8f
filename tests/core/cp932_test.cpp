#include "core/cp932.h"

#include <gtest/gtest.h>

namespace quor::core {
namespace {

TEST(Cp932Test, RoundTripsEveryValidCharacter) {
    // Walk the whole double-byte space: every pair that decodes must encode back to a pair that
    // decodes to the same character (the NEC-selected IBM rows encode to the IBM rows).
    int checked = 0;
    for (int lead = 0x81; lead <= 0xfc; ++lead) {
        if (lead > 0x9f && lead < 0xe0)
            continue;
        for (int trail = 0x40; trail <= 0xfc; ++trail) {
            if (trail == 0x7f)
                continue;
            const std::string pair{static_cast<char>(lead), static_cast<char>(trail)};
            const std::string utf8 = ToUtf8(pair);
            if (utf8 == kGetaUtf8 && pair != kGetaCp932)
                continue;  // not a CP932 character
            const std::string back = FromUtf8(utf8);
            ASSERT_EQ(ToUtf8(back), utf8) << std::hex << lead << " " << trail;
            ++checked;
        }
    }
    EXPECT_GT(checked, 7000);
    for (int byte = 0x00; byte <= 0x7f; ++byte) {
        const std::string single(1, static_cast<char>(byte));
        EXPECT_EQ(FromUtf8(ToUtf8(single)), single);
    }
    EXPECT_EQ(FromUtf8("ﾃｽﾄ①～髙"), "\xc3\xbd\xc4\x87\x40\x81\x60\xfb\xfc");
}

TEST(Cp932Test, LeadBytesAreTheTwoDoubleByteRanges) {
    struct Row {
        unsigned char byte;
        bool lead;
    };
    // Each range's edges and the bytes just outside them; 0xA1 to 0xDF are half-width katakana.
    constexpr Row kRows[] = {{0x00, false}, {0x7f, false}, {0x80, false}, {0x81, true},
                             {0x88, true},  {0x9f, true},  {0xa0, false}, {0xa1, false},
                             {0xdf, false}, {0xe0, true},  {0xea, true},  {0xfc, true},
                             {0xfd, false}, {0xff, false}};
    for (const Row& row : kRows)
        EXPECT_EQ(IsLeadByte(row.byte), row.lead) << std::hex << int{row.byte};
    // Every lead byte with a valid trail byte is one character: it comes back as one UTF-8
    // character, never as two.
    int leads = 0;
    for (int byte = 0; byte < 256; ++byte) {
        if (!IsLeadByte(static_cast<unsigned char>(byte)))
            continue;
        ++leads;
        const std::string pair{static_cast<char>(byte), '\x40'};
        const std::string utf8 = ToUtf8(pair);
        EXPECT_TRUE(utf8 == kGetaUtf8 || (utf8.size() >= 2 && utf8.size() <= 3 &&
                                          static_cast<unsigned char>(utf8[0]) >= 0xc2))
            << std::hex << byte;
    }
    EXPECT_EQ(leads, 31 + 29);
}

TEST(Cp932Test, ReplacesWhatCannotBeConverted) {
    EXPECT_EQ(FromUtf8("a😀b"), std::string("a") + std::string(kGetaCp932) + "b");
    EXPECT_EQ(FromUtf8("a\xffz"), std::string("a") + std::string(kGetaCp932) + "z");
    EXPECT_EQ(FromUtf8("cut\xe3\x81"), std::string("cut") + std::string(kGetaCp932));
    EXPECT_EQ(ToUtf8("x\x81"), std::string("x") + std::string(kGetaUtf8));
    EXPECT_EQ(ToUtf8("\xa0z"), std::string(kGetaUtf8) + "z");
    EXPECT_EQ(ToUtf8(""), "");
    // Long input grows the output buffer more than once.
    const std::string many(100000, '\xa0');
    EXPECT_EQ(ToUtf8(many).size(), 100000 * kGetaUtf8.size());
}

}  // namespace
}  // namespace quor::core
