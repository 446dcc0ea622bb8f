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
