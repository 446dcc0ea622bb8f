#include "convert/utf8_page.h"

#include <gtest/gtest.h>

#include "convert/named_entities.h"
#include "core/cp932.h"
#include "core/unicode_cp932.h"

namespace quor::convert {
namespace {

TEST(Utf8PageTest, DetectsOnlyValidMultiByteUtf8WithoutEscape) {
    EXPECT_TRUE(LooksLikeUtf8("<b>投稿者：</b>"));
    EXPECT_FALSE(LooksLikeUtf8("plain ascii"));               // no multi-byte sequence
    EXPECT_FALSE(LooksLikeUtf8(core::FromUtf8("投稿者：")));  // Shift-JIS
    EXPECT_FALSE(LooksLikeUtf8("\xc5\xea\xb9\xc6"));          // EUC 投稿
    EXPECT_FALSE(LooksLikeUtf8("\x1b$B1>\x1b(B あ"));         // JIS, even with UTF-8 after
    EXPECT_FALSE(LooksLikeUtf8("\xc0\xaf"));                  // overlong
    EXPECT_FALSE(LooksLikeUtf8("\xed\xa0\x80"));              // surrogate
    EXPECT_FALSE(LooksLikeUtf8("\xe3\x81"));                  // cut at the end
    EXPECT_TRUE(LooksLikeUtf8("\xf0\x9f\x98\x80"));           // outside the BMP is UTF-8
}

TEST(Utf8PageTest, ConvertsInPlaceAndNeverGrows) {
    struct Case {
        std::string utf8Input;
        std::string expectedUtf8;  // the CP932 result, read back as UTF-8
    };
    const Case cases[] = {
        {"abc", "abc"},
        {"投稿者：さん【】", "投稿者：さん【】"},
        {"①～髙ｱｲ", "①～髙ｱｲ"},
        {"x😀y", "x〓y"},             // no CP932 form
        {"한국", "〓〓"},            // Hangul is not in CP932
        {"a\xffz", "a?z"},           // a stray byte
        {"a\xff\xfe\x80z", "a〓z"},  // a run of bad bytes
        {"", ""},
    };
    for (const auto& c : cases) {
        std::string text = c.utf8Input;
        const std::size_t before = text.size();
        ConvertUtf8ToCp932(text);
        EXPECT_LE(text.size(), before) << c.utf8Input;
        EXPECT_EQ(core::ToUtf8(text), c.expectedUtf8) << c.utf8Input;
    }
    // The encoder agrees with the project's one crossing for every character it knows.
    std::string kanji = "髙﨑①";
    ConvertUtf8ToCp932(kanji);
    EXPECT_EQ(kanji, core::FromUtf8("髙﨑①"));
}

TEST(UnicodeCp932Test, EncodesLikeIconv) {
    char bytes[2];
    ASSERT_EQ(core::EncodeCp932(U'A', bytes), 1u);
    EXPECT_EQ(bytes[0], 'A');
    ASSERT_EQ(core::EncodeCp932(U'ｱ', bytes), 1u);
    EXPECT_EQ(static_cast<unsigned char>(bytes[0]), 0xb1);
    ASSERT_EQ(core::EncodeCp932(U'あ', bytes), 2u);
    EXPECT_EQ(std::string(bytes, 2), "\x82\xa0");
    ASSERT_EQ(core::EncodeCp932(U'〓', bytes), 2u);
    EXPECT_EQ(std::string(bytes, 2), core::kGetaCp932);
    EXPECT_EQ(core::EncodeCp932(U'😀', bytes), 0u);
    EXPECT_EQ(core::EncodeCp932(0xac00, bytes), 0u);
}

// Every character of the Basic Multilingual Plane encodes as the project's iconv crossing
// encodes it, the wave dash and the other characters only its encoder knows included.
TEST(UnicodeCp932Test, AgreesWithFromUtf8OverTheWholePlane) {
    const auto utf8 = [](char32_t c) {
        std::string s;
        if (c < 0x80) {
            s += static_cast<char>(c);
        } else if (c < 0x800) {
            s += static_cast<char>(0xc0 | (c >> 6));
            s += static_cast<char>(0x80 | (c & 0x3f));
        } else {
            s += static_cast<char>(0xe0 | (c >> 12));
            s += static_cast<char>(0x80 | ((c >> 6) & 0x3f));
            s += static_cast<char>(0x80 | (c & 0x3f));
        }
        return s;
    };
    int differing = 0;
    for (char32_t c = 1; c < 0x10000; ++c) {
        if (c >= 0xd800 && c <= 0xdfff)
            continue;
        char bytes[2];
        const std::size_t length = core::EncodeCp932(c, bytes);
        const std::string ours =
            length ? std::string(bytes, length) : std::string(core::kGetaCp932);
        const std::string expected = core::FromUtf8(utf8(c));
        if (ours != expected && ++differing <= 10)
            ADD_FAILURE() << "U+" << std::hex << static_cast<unsigned>(c);
    }
    EXPECT_EQ(differing, 0);
    std::string waveDash = "〜−";
    ConvertUtf8ToCp932(waveDash);
    EXPECT_EQ(waveDash, "\x81\x60\x81\x7c");
}

TEST(NamedEntitiesTest, KnowsTheHtml4Entities) {
    EXPECT_EQ(LookupNamedEntity("nbsp"), U'\u00a0');
    EXPECT_EQ(LookupNamedEntity("copy"), U'©');
    EXPECT_EQ(LookupNamedEntity("hellip"), U'…');
    EXPECT_EQ(LookupNamedEntity("Alpha"), U'Α');
    EXPECT_EQ(LookupNamedEntity("alpha"), U'α');
    EXPECT_EQ(LookupNamedEntity("zwnj"), U'\u200c');
    EXPECT_FALSE(LookupNamedEntity("COPY"));
    EXPECT_FALSE(LookupNamedEntity("nbs"));
    EXPECT_FALSE(LookupNamedEntity(""));
    EXPECT_EQ(LongestEntityName(), 8u);  // "thetasym"
}

}  // namespace
}  // namespace quor::convert
