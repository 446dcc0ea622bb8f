// The byte rules of the post list's cells: the "Status" column's 32 bytes, the drawn cap, and
// sorting by code page 932 bytes rather than by Unicode.

#include <gtest/gtest.h>

#include <string>

#include "core/post.h"
#include "desktop_fixture.h"
#include "ui/views/post_cells.h"

namespace quor::ui {
namespace {

using test::Sjis;

struct PrefixCase {
    const char* what;
    std::string text;
    std::size_t maxBytes;
    std::size_t expected;
};

TEST(PostCells, WholeCharacterPrefixNeverEndsInAFirstByte) {
    const std::string a31(31, 'a');
    const PrefixCase cases[] = {
        {"short text is whole", "abc", 32, 3},
        {"ASCII is cut at the limit", std::string(40, 'x'), 32, 32},
        {"a double-byte character across the limit is left out",
         a31 + "\x82\xa0"
               "b",
         32, 31},
        {"a double-byte character ending at the limit stays", std::string(30, 'a') + "\x82\xa0", 32,
         32},
        // 0x82 0x82 is one character; a byte-wise look at the second byte would see a first byte.
        {"trail bytes in the first-byte range are not mistaken", "\x82\x82\x82\xa0", 3, 2},
        {"half-width katakana are single bytes", "\xb1\xb2\xb3", 2, 2},
        {"a first byte at the very end of the text counts as one byte", "ab\x82", 32, 3},
        {"nothing fits", "\x82\xa0", 1, 0},
    };
    for (const PrefixCase& c : cases)
        EXPECT_EQ(WholeCharacterPrefix(c.text, c.maxBytes), c.expected) << c.what;
}

TEST(PostCells, CellTextsAndTheStatusColumn) {
    core::Post post{"title", "name", "2024/05/01", std::string(40, 'm'), 1};
    EXPECT_EQ(CellText(post, 0), "title");
    EXPECT_EQ(CellText(post, 1), "name");
    EXPECT_EQ(CellText(post, 2), "2024/05/01");
    EXPECT_EQ(CellText(post, 3), std::string(32, 'm')) << "40 bytes show their first 32";
    EXPECT_EQ(CellText(post, 4), "");

    post.message = "0123456789";
    EXPECT_EQ(CellText(post, 3), "0123456789") << "10 bytes show all 10";

    // Sixteen hiragana are 32 bytes; with one ASCII byte in front the 16th falls across the
    // limit and is dropped whole.
    const std::string kana = Sjis("あいうえおかきくけこさしすせそた");
    post.message = 'x' + kana;
    EXPECT_EQ(CellText(post, 3), 'x' + kana.substr(0, 30));
    post.message = kana + "tail";
    EXPECT_EQ(CellText(post, 3), kana);
}

TEST(PostCells, DrawnTextIsCappedAt259Bytes) {
    EXPECT_EQ(DrawnText(std::string(300, 'z')).size(), 259u);
    const std::string wide = std::string(258, 'z') + "\x82\xa0";
    EXPECT_EQ(DrawnText(wide).size(), 258u);
    EXPECT_EQ(DrawnText("short"), "short");
}

struct OrderCase {
    const char* what;
    std::string smaller;
    std::string larger;
};

TEST(PostCells, ComparisonFollowsCodePage932Bytes) {
    const OrderCase cases[] = {
        {"a date beginning with 10 comes before one beginning with 9", "10/01", "9/30"},
        {"a prefix is smaller", "abc", "abcd"},
        {"bytes are unsigned: 0x82 sorts after ASCII", "z", Sjis("あ")},
        // Full-width Ａ is 0x82 0x60 and あ 0x82 0xA0, though U+FF21 is above U+3042.
        {"full-width letters before hiragana, unlike Unicode order", Sjis("Ａ"), Sjis("あ")},
        {"kanji (0x88..) before half-width katakana (0xB1)", Sjis("亜"), Sjis("ｱ")},
        {"the empty text is smallest", "", "a"},
    };
    for (const OrderCase& c : cases) {
        EXPECT_EQ(CompareCellBytes(c.smaller, c.larger), -1) << c.what;
        EXPECT_EQ(CompareCellBytes(c.larger, c.smaller), 1) << c.what;
    }
    EXPECT_EQ(CompareCellBytes(Sjis("同じ"), Sjis("同じ")), 0);
}

}  // namespace
}  // namespace quor::ui
