// Boards set up by hand as a user would, on pages written the way real board scripts write
// them: the browser-like display (Render), field orders as letters (Fields), wildcard markers,
// and the texts that say where a board's rules failed.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "board_fixture.h"
#include "convert/post_extraction.h"
#include "core/cp932.h"
#include "core/settings_keys.h"
#include "support/child_process.h"
#include "support/temp_dir.h"

namespace quor::convert {
namespace {

using testing::BoardFixture;
using Fields = BoardFixture::Fields;
namespace key = core::key;

// A message board script of about 2001: the message stored with bare CR line breaks inside
// <pre>, the name as a mailto link or in nested font tags, an unescaped "<".
const std::string kPrePage =
    "<html><body><h1>伝言板</h1><form>投稿者：<input name=name></form><hr>\n"
    "<font size=\"+1\" color=\"#ff0000\"><b>表計算</b></font>\n"
    "投稿者：<a href=\"mailto:taro@example.jp\">太郎</a>\n"
    "<small>投稿日：2026/12/09(Wed) 01:00</small><br>\n"
    "<pre>\n表計算ソフトの能力は十分か予想します。\r三行目\r四行目</pre>\n<hr>\n"
    "<font size=\"+1\" color=\"#ff0000\"><b>Re: 表計算</b></font>\n"
    "投稿者：<font color=\"#008000\"><b><font size=\"2\">花子</font></b></font>\n"
    "<small>投稿日：2026/12/09(Wed) 08:30</small><br>\n"
    "<PRE>A < B & C > D\r&gt; 引用&nbsp;&nbsp;です</PRE>\n<hr>\n"
    "</body></html>";

void SetPreMarkers(BoardFixture& board) {
    board.SetInt(key::kType, 0);
    board.SetString(key::kSkipMarker, "</form>");
    board.SetString(key::kTitleStart, "color=\"#ff0000\"><b>");
    board.SetString(key::kTitleEnd, "</b>");
    board.SetString(key::kNameStart, "投稿者：");
    board.SetString(key::kNameEnd, "<small>");
    board.SetString(key::kDateStart, "投稿日：");
    board.SetString(key::kDateEnd, "</small>");
    board.SetString(key::kMessageStart, "<br>");
    board.SetString(key::kMessageEnd, "<hr>");
}

TEST(RealBoardsTest, PreScriptBeforeAndAfterRender) {
    BoardFixture board;
    SetPreMarkers(board);
    board.SetPageUtf8(kPrePage);
    board.Convert();
    // The cleaner's rules: no line break survives, blanks go, an unescaped "<" eats text.
    const auto before = board.Posts();
    ASSERT_EQ(before.size(), 2u);
    EXPECT_EQ(before[0].message, "表計算ソフトの能力は十分か予想します。三行目四行目");
    EXPECT_EQ(before[0].date, "2026/12/09(Wed)01:00");
    EXPECT_EQ(before[1].message, "AD>引用&nbsp;&nbsp;です");

    board.SetInt(key::kRender, 1);
    board.With([](core::BoardWorkspace& w) { w.ClearBoard(); });
    board.Convert();
    EXPECT_EQ(board.Posts(),
              (std::vector<Fields>{
                  {"表計算", "太郎", "2026/12/09(Wed) 01:00",
                   "表計算ソフトの能力は十分か予想します。\r\n三行目\r\n四行目"},
                  {"Re: 表計算", "花子", "2026/12/09(Wed) 08:30", "A < B & C > D\r\n> 引用  です"},
              }));
}

// A 2ch-style thread: blanks around every <br>, no titles, a name in a mailto link.
const std::string kThreadPage =
    "<html><body><h1>スレッド</h1><dl class=\"thread\">\n"
    "<dt>1 ：<font color=\"green\"><b>名無しさん</b></font>：2026/12/09(Wed) 01:00 ID:abc<dd> "
    "一行目 <br> 二行目 <br>  <br> &gt;&gt;1 三行目 <br><br>\n"
    "<dt>2 ：<a href=\"mailto:sage\"><b>名無しさん</b></a>：2026/12/09(Wed) 01:05 ID:def<dd> "
    "Hello from post 2. <br><br>\n"
    "</dl><hr><b>新着レスの表示</b></body></html>";

void SetThreadMarkers(BoardFixture& board) {
    board.SetInt(key::kType, 0);
    board.SetString(key::kSkipMarker, "<dl class=\"thread\">");
    board.SetString(key::kFields, "NDM");
    board.SetString(key::kNameStart, "<b>");
    board.SetString(key::kNameEnd, "</b>");
    board.SetString(key::kDateStart, "：");
    board.SetString(key::kDateEnd, " ID:");
    board.SetString(key::kMessageStart, "<dd>");
    board.SetString(key::kMessageEnd, "<br><br>");
}

TEST(RealBoardsTest, ThreadWithoutTitlesRendersItsBlanksAsABrowserDoes) {
    const std::vector<Fields> shown = {
        {"", "名無しさん", "2026/12/09(Wed) 01:00", "一行目\r\n二行目\r\n\r\n>>1 三行目"},
        {"", "名無しさん", "2026/12/09(Wed) 01:05", "Hello from post 2."},
    };
    // Render 1 whatever the three switches say.
    for (const int switches : {0, 1}) {
        BoardFixture board;
        SetThreadMarkers(board);
        board.SetInt(key::kRender, 1);
        board.SetInt(key::kLineFeedSwitch, switches);
        board.SetInt(key::kSpaceSwitch, switches);
        board.SetInt(key::kTabSwitch, switches);
        board.SetString(key::kName, "スレ");
        board.SetPageUtf8(kThreadPage);
        board.Convert();
        EXPECT_EQ(board.Posts(), shown) << "switches " << switches;
        EXPECT_EQ(core::ToUtf8(board.frontend.StatusTexts().back()), "スレ変換終了");
    }
    // The cleaner's rules, with the space switch off and on.
    BoardFixture board;
    SetThreadMarkers(board);
    board.SetPageUtf8(kThreadPage);
    board.Convert();
    EXPECT_EQ(board.Posts()[1].message, "Hellofrompost2.");
    board.SetInt(key::kSpaceSwitch, 1);
    board.With([](core::BoardWorkspace& w) { w.ClearBoard(); });
    board.Convert();
    EXPECT_EQ(board.Posts()[0].message, " 一行目 \r\n 二行目 \r\n  \r\n >>1 三行目 ");
}

// A board that writes the message right after the title, each in a colour the poster chose.
std::string ColourPage(int posts) {
    const char* colours[] = {"#800000", "#008000", "navy"};
    std::string page = "<html><body><table>\n";
    for (int i = 1; i <= posts; ++i) {
        const std::string n = std::to_string(i);
        page += "<tr><td class=\"title\">件名" + n +
                "</td></tr>\n<tr><td><span style=\"color:" + colours[(i - 1) % 3] + "\">本文" + n +
                "<br>二行目</span></td></tr>\n" + "<tr><td class=\"name\">投稿者" + n +
                "</td><td class=\"date\">12/0" + n + "</td></tr>\n";
    }
    return page + "</table></body></html>";
}

void SetColourMarkers(BoardFixture& board) {
    board.SetInt(key::kType, 0);
    board.SetString(key::kTitleStart, "<td class=\"title\">");
    board.SetString(key::kTitleEnd, "</td>");
    board.SetString(key::kMessageStart, "<span style=\"color:{*}\">");
    board.SetString(key::kMessageEnd, "</span>");
    board.SetString(key::kNameStart, "<td class=\"name\">");
    board.SetString(key::kNameEnd, "</td>");
    board.SetString(key::kDateStart, "<td class=\"date\">");
    board.SetString(key::kDateEnd, "</td>");
}

TEST(RealBoardsTest, WildcardMarkersAndTheMessageBeforeTheName) {
    BoardFixture board;
    SetColourMarkers(board);
    board.SetString(key::kFields, "TMND");
    board.SetPageUtf8(ColourPage(3));
    board.Convert();
    EXPECT_EQ(board.Posts(), (std::vector<Fields>{
                                 {"件名1", "投稿者1", "12/01", "本文1\r\n二行目"},
                                 {"件名2", "投稿者2", "12/02", "本文2\r\n二行目"},
                                 {"件名3", "投稿者3", "12/03", "本文3\r\n二行目"},
                             }));

    // Letters that give no order leave the Order rules: with the message sought last, the
    // posts come out of step and the board says so.
    for (const char* invalid : {"TTMND", "TND", "TXMND"}) {
        BoardFixture fallback;
        SetColourMarkers(fallback);
        fallback.SetString(key::kFields, invalid);
        fallback.SetString(key::kName, "色");
        fallback.SetPageUtf8(ColourPage(3));
        fallback.Convert();
        EXPECT_NE(fallback.Posts(), board.Posts()) << invalid;
    }
    // The wildcard in the skip marker too, and in capitals with NoCase.
    BoardFixture skipped;
    SetColourMarkers(skipped);
    skipped.SetString(key::kFields, "TMND");
    skipped.SetString(key::kSkipMarker, "<td CLASS=\"DATE\">{*}</TD>");
    skipped.SetInt(key::kNoCase, 1);
    skipped.SetPageUtf8(ColourPage(3));
    skipped.Convert();
    ASSERT_EQ(skipped.Posts().size(), 2u);
    EXPECT_EQ(skipped.Posts()[0].title, "件名2");
}

TEST(RealBoardsTest, BoardWithoutMarkersYieldsNoPostAndSaysSo) {
    std::string page = "<html><body>";
    while (page.size() < 12 * 1024)
        page += "<p>本文 &amp; <b>text</b></p>\n";
    for (const int type : {0, 12, -3}) {
        BoardFixture board;
        board.SetInt(key::kType, type);
        board.SetString(key::kName, "新板");
        board.SetString(key::kPageSearchText, "text");
        board.SetInt(key::kPageCount, 5);
        board.SetPageUtf8(page);
        board.Convert();
        EXPECT_TRUE(board.Posts().empty()) << type;
        EXPECT_EQ(board.NextPage().flag, 0);
        ASSERT_EQ(board.frontend.StatusTexts().size(), 2u);
        EXPECT_EQ(core::ToUtf8(board.frontend.StatusTexts()[1]),
                  "新板: マーカーが設定されていません");
    }
    // Only the skip marker set: still nothing to cut posts with.
    BoardFixture board;
    board.SetInt(key::kType, 0);
    board.SetString(key::kSkipMarker, "<body>");
    board.SetPageUtf8(page);
    board.Convert();
    EXPECT_TRUE(board.Posts().empty());
}

// A TCUPBBS page whose posts from the fourth on write their date otherwise.
std::string TcupPage(int posts, int changedFrom) {
    std::string page = "<html><body><form>投稿フォーム</form><hr>\n";
    for (int i = 1; i <= posts; ++i) {
        const std::string n = std::to_string(i);
        page += "<font size=4 color=\"#ff0000\"><b>題" + n + "</b></font>　投稿者：<b>名" + n +
                "</b>　" + (i >= changedFrom ? "日付：" : "投稿日：") + "12/0" + n +
                "</font><blockquote>本文" + n + "</blockquote><hr>\n";
    }
    return page + "<b>管理者</b> <form><input type=submit value=\"次\"></form></body></html>";
}

TEST(RealBoardsTest, RulesThatFailSayWhichMarkerAndAfterWhichPost) {
    // The date marker fails after the third post while posts follow.
    BoardFixture board;
    board.SetInt(key::kType, 7);
    board.SetString(key::kName, "雑談");
    board.SetPageUtf8(TcupPage(6, 4));
    board.Convert();
    EXPECT_EQ(board.Posts().size(), 3u);
    EXPECT_EQ(core::ToUtf8(board.frontend.StatusTexts().back()),
              "雑談: 日付の開始マーカー \"投稿日：\" が3件目の後に見つかりません");

    // A whole page of posts ends at a marker too, in the page's footer: that is no fault.
    BoardFixture whole;
    whole.SetInt(key::kType, 7);
    whole.SetString(key::kName, "雑談");
    whole.SetPageUtf8(TcupPage(6, 99));
    whole.Convert();
    EXPECT_EQ(whole.Posts().size(), 6u);
    EXPECT_EQ(core::ToUtf8(whole.frontend.StatusTexts().back()), "雑談変換終了");

    // No post at all: the first marker that failed.
    BoardFixture none;
    none.SetInt(key::kType, 7);
    none.SetString(key::kName, "雑談");
    none.SetString(key::kNameStart, "投稿者：<b>");
    none.SetPageUtf8(TcupPage(3, 99));
    none.Convert();
    EXPECT_EQ(none.Posts().size(), 3u);
    none.SetString(key::kNameStart, "投稿者 <b>");
    none.With([](core::BoardWorkspace& w) { w.ClearBoard(); });
    none.Convert();
    EXPECT_TRUE(none.Posts().empty());
    EXPECT_EQ(core::ToUtf8(none.frontend.StatusTexts().back()),
              "雑談: 名前の開始マーカー \"投稿者 <b>\" が見つかりません");

    // An end marker that fails.
    BoardFixture end;
    SetColourMarkers(end);
    end.SetString(key::kFields, "TMND");
    end.SetString(key::kMessageEnd, "</SPAN>");
    end.SetString(key::kName, "色");
    end.SetPageUtf8(ColourPage(2));
    end.Convert();
    EXPECT_TRUE(end.Posts().empty());
    EXPECT_EQ(core::ToUtf8(end.frontend.StatusTexts().back()),
              "色: 本文の終了マーカー \"</SPAN>\" が見つかりません");
}

TEST(RealBoardsTest, QuorcliConvertPrintsTheFailureOnStandardError) {
    test::TempDir config;
    test::TempDir pages;
    const auto page = pages.Path() / "page.html";
    test::TempDir::WriteFile(page, "HTTP/1.0 200 OK\r\n\r\n" + core::FromUtf8(TcupPage(6, 4)));
    const std::string command = "XDG_CONFIG_HOME='" + config.Path().string() + "' '" +
                                QUORCLI_PATH + "' set Tree Type2 7 set Tree Data2 " +
                                "'\xe9\x9b\x91\xe8\xab\x87' import 2 '" + page.string() +
                                "' convert 2 2>&1 >/dev/null";
    test::ChildProcess cli({"sh", "-c", command});
    ASSERT_TRUE(cli.Started());
    const std::string err = cli.ReadAll(std::chrono::seconds(20));
    EXPECT_EQ(cli.Wait(std::chrono::seconds(20)), 0);
    EXPECT_NE(err.find("雑談: 日付の開始マーカー \"投稿日：\" が3件目の後に見つかりません\n"),
              std::string::npos)
        << err;
}

}  // namespace
}  // namespace quor::convert
