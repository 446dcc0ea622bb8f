// The two switches for boards of today: markers that match ASCII letters in either case
// (NoCase), and character references decoded by the cleaner (CharRef). With both at 0 a board
// reads as it always did.

#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "board_fixture.h"
#include "convert/character_reference.h"
#include "convert/text_cleaner.h"
#include "convert/text_search.h"
#include "core/cp932.h"
#include "core/settings_keys.h"

namespace quor::convert {
namespace {

using testing::BoardFixture;
using Fields = BoardFixture::Fields;
namespace key = core::key;

// A TCUPBBS page the way many scripts write it: every tag in capitals.
const std::string kCapitalsPage =
    "<HTML><BODY><FORM>投稿フォーム</FORM><HR>"
    "<FONT SIZE=4 COLOR=\"#FF0000\"><B>最初の題</B></FONT>　"
    "投稿者：<B>太郎</B>　投稿日：2001/01/01(月)12時00分</FONT>"
    "<BLOCKQUOTE>一行目<BR>二行目</BLOCKQUOTE><HR>"
    "<FONT SIZE=4 COLOR=\"#FF0000\"><B>二番目</B></FONT>　"
    "投稿者：<B>花子</B>　投稿日：2001/01/02(火)08時30分</FONT>"
    "<BLOCKQUOTE>返信です</BLOCKQUOTE><HR>"
    "<FORM METHOD=POST><INPUT TYPE=HIDDEN NAME=\"PAGE\" VALUE=\"2\">"
    "<INPUT TYPE=SUBMIT NAME=\"NEXT\" VALUE=\"次のページ\"></FORM></BODY></HTML>";

TEST(CaseInsensitiveMarkersTest, CapitalsPageReadsWithTheBuiltInTemplateOnlyWhenAskedTo) {
    for (const int noCase : {0, 1}) {
        BoardFixture board;
        board.SetInt(key::kType, 7);
        board.SetInt(key::kNoCase, noCase);
        board.SetInt(key::kPageCount, 5);
        board.SetInt(key::kNextPageMethod, 1);
        board.SetString(key::kPageSearchText, "name=\"next\"");
        board.SetPageUtf8(kCapitalsPage);
        board.Convert();
        if (noCase == 0) {
            EXPECT_TRUE(board.Posts().empty()) << "markers in small letters matched capitals";
            EXPECT_EQ(board.NextPage().flag, 0);
            continue;
        }
        const std::vector<Fields> expected = {
            {"最初の題", "太郎", "2001/01/01(月)12時00分", "一行目\r\n二行目"},
            {"二番目", "花子", "2001/01/02(火)08時30分", "返信です"},
        };
        EXPECT_EQ(board.Posts(), expected);
        // The search text also ignores case; the page number after it is read as before.
        EXPECT_EQ(board.NextPage().flag, 1);
        EXPECT_EQ(board.NextPage().number, 2);
        // The text keeps its capitals: only the search folds them.
        EXPECT_TRUE(board.With([](const core::BoardWorkspace& workspace) {
            return workspace.Text().find("</BODY>") != std::string::npos;
        }));
    }
    // Unset, the switch is off.
    BoardFixture unset;
    unset.SetInt(key::kType, 7);
    unset.SetPageUtf8(kCapitalsPage);
    unset.Convert();
    EXPECT_EQ(unset.Rules().switches.noCase, 0);
    EXPECT_TRUE(unset.Posts().empty());
}

TEST(CaseInsensitiveMarkersTest, ShiftJisCharactersCompareExactly) {
    // ア is 0x83 0x41 and ヂ is 0x83 0x61: their trail bytes are "A" and "a", and folding must
    // not make them one character, nor let a marker "a" match inside either.
    const std::string a = core::FromUtf8("ア");
    const std::string small = core::FromUtf8("ヂ");
    ASSERT_EQ(a, "\x83\x41");
    ASSERT_EQ(small, "\x83\x61");
    const MarkerSearch search(small + "x" + a + "<B>", true);
    const std::string text = small + "x" + a + "<B>";
    EXPECT_EQ(FindMarker(search.In(text), search.Key(a), 0), 3u);
    EXPECT_EQ(FindMarker(search.In(text), search.Key(small), 0), 0u);
    EXPECT_EQ(FindMarker(search.In(text), search.Key("<b>"), 0), 5u);
    // Past ヂ (whose trail byte is an "a" to any byte search), the "A" inside ア is no letter.
    EXPECT_EQ(FindMarker(search.In(text), search.Key("a"), 2), kNotFound);
    EXPECT_EQ(FindMarker(search.In(text), search.Key("X"), 0), 2u);

    // Through a board: a stored marker in Shift-JIS with a capital-letter trail byte.
    BoardFixture board;
    board.SetInt(key::kType, 0);
    board.SetInt(key::kNoCase, 1);
    board.SetString(key::kSkipMarker, "<HR>");
    board.SetString(key::kTitleStart, "<Title>");
    board.SetString(key::kTitleEnd, "ア");
    board.SetString(key::kNameStart, "[N]");
    board.SetString(key::kNameEnd, "[/N]");
    board.SetString(key::kDateStart, "[d]");
    board.SetString(key::kDateEnd, "[/D]");
    board.SetString(key::kMessageStart, "[m]");
    board.SetString(key::kMessageEnd, "[/m]");
    board.SetPageUtf8("<title>no</TITLE><hr><TITLE>題ヂ名ア[n]名[/n][D]日[/d][M]本文[/M]");
    board.Convert();
    const std::vector<Fields> expected = {{"題ヂ名", "名", "日", "本文"}};
    EXPECT_EQ(board.Posts(), expected);
}

struct ReferenceCase {
    std::string input;    // UTF-8
    std::string decoded;  // UTF-8, with the character-reference switch on
    int space = 0;
    int lineFeed = 0;
};

std::string Clean(const std::string& utf8, int charRef, int space, int lineFeed) {
    TextCleaner cleaner(lineFeed, space, 0, charRef);
    return core::ToUtf8(std::string(cleaner.CleanField(core::FromUtf8(utf8))));
}

TEST(CharacterReferenceTest, DecodedWithTheSwitchAndCopiedWithout) {
    const ReferenceCase cases[] = {
        {"&#12354;&#x3042;&#X3044;", "ああい"},
        {"&#12354", "あ"},  // the semicolon is optional for numbers
        {"&#x3042z", "あz"},
        {"&copy; &hellip;&rarr;", "〓 …→", 1},  // no CP932 form for ©,
        {"a&nbsp;b", "ab"},                     // a no-break space obeys the space switch
        {"a&nbsp;b", "a b", 1},
        {"a&#32;b&#9;c&#10;d&#13;e", "abcde"},
        {"a&#32;b&#10;c", "a b\r\nc", 1, 1},
        {"&#128512;&#x1F600;", "〓〓"},        // no CP932 form
        {"&#0;&#xD800;&#x110000;", "〓〓〓"},  // not characters
        {"&#123456789;", "&#123456789;"},      // too many digits: not a reference
        {"&#;&#x;&#xg;", "&#;&#x;&#xg;"},
        {"&unknown;&copy&Copy;", "&unknown;&copy&Copy;"},  // named ones need ";" and the case
        {"&#60;b&#62;", "<b>"},                            // decoded markup is text, not a tag
        {"&#38;amp;", "&amp;"},
        // The four entities keep their own rules.
        {"&gt&lt;&quot;&amp;", "><\"&"},
        {"&#x30A2;&#xFF71;", "アｱ"},
    };
    for (const ReferenceCase& c : cases)
        EXPECT_EQ(Clean(c.input, 1, c.space, c.lineFeed), c.decoded) << c.input;
    // With the switch at 0 only the four entities are decoded.
    EXPECT_EQ(Clean("&#12354;&#x3042;&copy;&hellip;", 0, 0, 0), "&#12354;&#x3042;&copy;&hellip;");
    EXPECT_EQ(Clean("a&nbsp;b&#32;c", 0, 1, 0), "a&nbsp;b&#32;c");
    EXPECT_EQ(Clean("&gt&lt;&quot;&amp;#60;", 0, 0, 0), "><\"&#60;");
}

TEST(CharacterReferenceTest, FieldsCutAnywhereInsideAReferenceStayInBounds) {
    // Each prefix of each reference in a buffer of exactly its size, so a read past the end is
    // caught by the sanitizers; the reader says how far it read and never more than is there.
    const std::string text = "&#x10FFFF;&#1234567;&hellip;&thetasym;&#";
    for (std::size_t length = 0; length <= text.size(); ++length) {
        const auto bytes = std::make_unique<char[]>(length);
        std::copy_n(text.data(), length, bytes.get());
        const std::string_view field(bytes.get(), length);
        for (std::size_t at = 0; at < length; ++at) {
            if (const auto reference = ReadCharacterReference(field, at)) {
                EXPECT_LE(at + reference->length, length);
            }
        }
        TextCleaner cleaner(1, 1, 1, 1);
        cleaner.CleanField(field);
    }
    const auto hellip = ReadCharacterReference("&hellip;", 0);
    ASSERT_TRUE(hellip);
    EXPECT_EQ(hellip->codePoint, U'…');
    EXPECT_EQ(hellip->length, 8u);
    EXPECT_FALSE(ReadCharacterReference("&hellip", 0));
}

TEST(CharacterReferenceTest, BoardSwitchReachesTheCleaner) {
    for (const int charRef : {0, 1}) {
        BoardFixture board;
        board.SetInt(key::kType, 7);
        board.SetInt(key::kCharRef, charRef);
        board.SetPageUtf8(
            "<hr><b>&copy;&#x2605;</b>投稿者：<b>&#21517;</b>投稿日：&hellip;</font>"
            "<blockquote>&lt;&#12354;&gt;</blockquote>");
        board.Convert();
        const auto posts = board.Posts();
        ASSERT_EQ(posts.size(), 1u);
        if (charRef == 1)
            EXPECT_EQ(posts[0], (Fields{"〓★", "名", "…", "<あ>"}));
        else
            EXPECT_EQ(posts[0], (Fields{"&copy;&#x2605;", "&#21517;", "&hellip;", "<&#12354;>"}));
    }
}

}  // namespace
}  // namespace quor::convert
