// Every built-in BBS type on a page in the shape its script writes: a header, a preamble that
// holds the type's own markers (so a skip marker that is not honoured yields a stray post),
// three posts and a next-page control, in Shift-JIS, EUC and JIS.

#include <gtest/gtest.h>
#include <iconv.h>

#include <functional>
#include <optional>
#include <string>

#include "board_fixture.h"
#include "convert/kanji_code.h"
#include "convert/utf8_page.h"
#include "core/cp932.h"
#include "core/settings_keys.h"

namespace quor::convert {
namespace {

using testing::BoardFixture;
namespace key = core::key;

std::optional<std::string> IconvFromUtf8(const char* to, const std::string& utf8) {
    iconv_t cd = iconv_open(to, "UTF-8");
    if (cd == reinterpret_cast<iconv_t>(-1))
        return std::nullopt;
    std::string output(utf8.size() * 2 + 16, '\0');
    char* in = const_cast<char*>(utf8.data());
    std::size_t inLeft = utf8.size();
    char* out = output.data();
    std::size_t outLeft = output.size();
    const bool ok = iconv(cd, &in, &inLeft, &out, &outLeft) != static_cast<std::size_t>(-1) &&
                    iconv(cd, nullptr, nullptr, &out, &outLeft) != static_cast<std::size_t>(-1);
    iconv_close(cd);
    if (!ok)
        return std::nullopt;
    output.resize(output.size() - outLeft);
    return output;
}

std::string Title(int k) {
    return "題名" + std::to_string(k);
}
std::string Name(int k) {
    return "名前" + std::to_string(k);
}
std::string Date(int k) {
    return "2001/0" + std::to_string(k) + "/01";
}
std::string Body(int k) {
    return "本文" + std::to_string(k) + "<br>二行目";
}

const std::string kPostForm =
    "<form method=POST action=\"./bbs.cgi\"><input type=hidden name=\"page\" value=\"2\">"
    "<input type=submit name=\"next\" value=\"次のページ\"></form>";
const std::string kNextLink = "<a href=\"./bbs.cgi?page=2&amp;Mode=List\">次のページ</a>";

struct PageShape {
    int type;
    std::string preamble;
    std::function<std::string(int)> post;
    bool link;  // the next page is a link rather than a form
};

std::vector<PageShape> Shapes() {
    return {
        {1,
         "<html><body><table><tr><td><small>　偽</b></font>投稿者：偽さん【偽】<div>偽"
         "</blockquote></td></tr></table><p>",
         [](int k) {
             return "<hr><font size=+1><b><small>　" + Title(k) +
                    "</small></b></font> 投稿者：<b>" + Name(k) + "</b>さん <small>【" + Date(k) +
                    "】</small>\n<blockquote><div>" + Body(k) + "</div></blockquote>\n";
         },
         false},
        {2,
         "<html><body><h1>Vertex</h1><b>偽</b>投稿者：偽</b>投稿日：偽</font><blockquote>偽"
         "</blockquote><br><br><center>",
         [](int k) {
             return "<p><b>" + Title(k) + "</b> 投稿者：<b>" + Name(k) +
                    "</b> <font size=-1>投稿日：" + Date(k) + "</font><blockquote>" + Body(k) +
                    "</blockquote>\n";
         },
         false},
        {3,
         "<html><body><table>\n<td><font size=\"5\" color=\"#ff0000\">偽</font><td><font "
         "size=\"4\" color=\"#0000ff\">偽</font><font size=\"3\" color=\"#ff0000\">偽</font><td "
         "colspan=\"6\">偽  <td><br></td>\n</table>\n  <table>\n",
         [](int k) {
             return "<tr><td><font size=\"5\" color=\"#ff0000\">" + Title(k) +
                    "</font></td>\n<td><font size=\"4\" color=\"#0000ff\">" + Name(k) +
                    "</font></td>\n<td><font size=\"3\" color=\"#ff0000\">" + Date(k) +
                    "</font></td></tr>\n<tr><td colspan=\"6\">" + Body(k) +
                    "</td></tr>\n<tr>\n  <td><br></td></tr>\n";
         },
         false},
        {4,
         "<html><body><td width=50% rowspan=2><b>偽</b><br>偽</td><td width=50% "
         "bgcolor=\"#e0f0ff\"><b>偽</b>さん<td colspan=2 id=\"kiji\">偽</blockquote>"
         "<p><small>FSBBS</small></p>",
         [](int k) {
             return "<table><tr><td width=50% rowspan=2><b>" + Title(k) + "</b><br>" + Date(k) +
                    "</td><td width=50% bgcolor=\"#e0f0ff\"><b>" + Name(k) +
                    "</b>さん</td></tr><tr><td colspan=2 id=\"kiji\"><blockquote>" + Body(k) +
                    "</blockquote></td></tr></table>\n";
         },
         true},
        {5, "<html><body><h1>MiniBBS</h1><form>投稿者：<input name=name></form><hr>",
         [](int k) {
             return "<hr><font size=+1><b>" + Title(k) + "</b></font> 投稿者：<b>" + Name(k) +
                    "</b> 投稿日：" + Date(k) + "<p><blockquote>" + Body(k) + "</blockquote>\n";
         },
         true},
        {6,
         "<html><body><b>偽</b>投稿者：偽<small>投稿日：偽</small><blockquote>使い方"
         "</blockquote>",
         [](int k) {
             return "<hr><b>" + Title(k) + "</b> 投稿者：" + Name(k) + " <small>投稿日：" +
                    Date(k) + "</small><blockquote>" + Body(k) + "</blockquote>\n";
         },
         false},
        {7, "<html><body><b>偽</b>投稿者：偽</b>投稿日：偽</font><blockquote>偽</blockquote><hr>",
         [](int k) {
             return "<font size=+1 color=\"#ff0000\"><b>" + Title(k) +
                    "</b></font> 投稿者：<font color=\"#008000\"><b>" + Name(k) +
                    "</b></font> <font size=-1>投稿日：" + Date(k) + "</font><blockquote>" +
                    Body(k) + "</blockquote><hr>\n";
         },
         true},
        {8,
         "<html><body><b>偽</b><font size=4>偽</font>さん<font size=-1>偽<br><blockquote>偽"
         "</blockquote><hr>",
         [](int k) {
             return "<b>" + Title(k) + "</b> <font size=4>" + Name(k) +
                    "</font>さん <font size=-1>" + Date(k) + "</font><br><blockquote>" + Body(k) +
                    "</blockquote><hr>\n";
         },
         false},
    };
}

std::string PageOf(const PageShape& shape) {
    std::string body = shape.preamble;
    for (int k = 1; k <= 3; ++k)
        body += shape.post(k);
    body += shape.link ? kNextLink : kPostForm;
    return body + "</body></html>\n";
}

std::vector<BoardFixture::Fields> ExpectedPosts() {
    std::vector<BoardFixture::Fields> posts;
    for (int k = 1; k <= 3; ++k)
        posts.push_back({Title(k), Name(k), Date(k), "本文" + std::to_string(k) + "\r\n二行目"});
    return posts;
}

struct Encoding {
    const char* iconvName;
    int setting;
};

void ConvertShape(const PageShape& shape, int type, const Encoding& encoding) {
    SCOPED_TRACE("type " + std::to_string(type) + " in " + encoding.iconvName + " setting " +
                 std::to_string(encoding.setting));
    const auto body = IconvFromUtf8(encoding.iconvName, PageOf(shape));
    ASSERT_TRUE(body);
    BoardFixture board;
    board.SetInt(key::kType, type);
    board.SetInt(key::kKanjiCode, encoding.setting);
    board.SetInt(key::kPageCount, 5);
    board.SetInt(key::kNextPageMethod, shape.link ? 2 : 1);
    board.SetString(key::kPageSearchText, shape.link ? "次のページ" : "name=\"next\"");
    board.SetPage(testing::HttpResponse(*body));
    board.Convert();

    EXPECT_EQ(board.Posts(), ExpectedPosts());
    const core::NextPageResult next = board.NextPage();
    EXPECT_EQ(next.flag, 1);
    if (shape.link) {
        EXPECT_EQ(next.query, "page=2&amp;mode=list");
    } else {
        EXPECT_EQ(next.number, 2);
    }
}

TEST(BbsPagesTest, EveryTypeYieldsItsPostsInEveryKanjiCode) {
    const Encoding encodings[] = {
        {"CP932", kKanjiSjis},  {"CP932", kKanjiAuto},      {"EUC-JP", kKanjiEuc},
        {"EUC-JP", kKanjiAuto}, {"ISO-2022-JP", kKanjiJis}, {"ISO-2022-JP", kKanjiAuto},
    };
    for (const PageShape& shape : Shapes()) {
        for (const Encoding& encoding : encodings)
            ConvertShape(shape, shape.type, encoding);
    }
}

TEST(BbsPagesTest, TcupMiniUsesTheTcupTemplate) {
    for (const PageShape& shape : Shapes()) {
        if (shape.type == 7)
            ConvertShape(shape, 9, {"CP932", kKanjiAuto});
    }
}

TEST(BbsPagesTest, EveryTypeRejectsThePagesOfTheOthers) {
    // A page of one script cut by another type's markers yields other posts or none: each
    // template is its own.
    const std::vector<PageShape> shapes = Shapes();
    for (const PageShape& page : shapes) {
        for (const PageShape& type : shapes) {
            if (page.type == type.type)
                continue;
            BoardFixture board;
            board.SetInt(key::kType, type.type);
            board.SetPageUtf8(PageOf(page));
            board.Convert();
            EXPECT_NE(board.Posts(), ExpectedPosts())
                << "page of type " << page.type << " cut as type " << type.type;
        }
    }
}

TEST(BbsPagesTest, Utf8PagesGiveThePostsOfTheirShiftJisTwins) {
    // The page as written (UTF-8) through the explicit setting and through detection.
    const Encoding encodings[] = {{"UTF-8", kKanjiUtf8}, {"UTF-8", kKanjiAuto}};
    for (const PageShape& shape : Shapes()) {
        for (const Encoding& encoding : encodings)
            ConvertShape(shape, shape.type, encoding);
    }
}

TEST(BbsPagesTest, LegacyPagesAreNeverTakenForUtf8) {
    // Automatic detection asks about UTF-8 first; the pages of the other codes must not answer.
    for (const PageShape& shape : Shapes()) {
        for (const char* code : {"CP932", "EUC-JP", "ISO-2022-JP"}) {
            const auto body = IconvFromUtf8(code, PageOf(shape));
            ASSERT_TRUE(body);
            EXPECT_FALSE(LooksLikeUtf8(*body)) << "type " << shape.type << " in " << code;
        }
        EXPECT_TRUE(LooksLikeUtf8(PageOf(shape))) << "type " << shape.type;
    }
}

}  // namespace
}  // namespace quor::convert
