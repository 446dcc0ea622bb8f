#include "convert/next_page.h"

#include <gtest/gtest.h>

#include <string>

#include "board_fixture.h"
#include "core/board_workspace.h"
#include "core/settings_keys.h"

namespace quor::convert {
namespace {

struct Case {
    const char* what;
    std::string text;
    std::string search;
    int method;
    int flag;
    int number = 0;
    std::string query = "previous";  // the query before the analysis, unless the case sets it
    std::size_t cursor = 0;
    int counter = 1;
    int limit = 5;
};

void ExpectAnalysis(const Case& c) {
    core::BoardWorkspace workspace(c.text);
    workspace.pageCounter = c.counter;
    workspace.rules.pageLimit = c.limit;
    workspace.rules.nextPage.searchText = c.search;
    workspace.rules.nextPage.method = c.method;
    workspace.nextPage.query = "previous";
    workspace.nextPage.flag = 7;
    workspace.nextPage.number = 7;
    AnalyseNextPage(workspace, c.cursor);
    EXPECT_EQ(workspace.nextPage.flag, c.flag) << c.what;
    EXPECT_EQ(workspace.nextPage.number, c.number) << c.what;
    EXPECT_EQ(workspace.nextPage.query, c.query) << c.what;
}

TEST(NextPageTest, LimitSearchTextAndMethodGateTheAnalysis) {
    const std::string form = "<input name=page value=\"2\"><input type=submit name=Next>";
    const Case cases[] = {
        {"last page to read", form, "Next", 1, 0, 0, "previous", 0, 1, 1},
        {"past the limit", form, "Next", 1, 0, 0, "previous", 0, 4, 3},
        {"below the limit", form, "Next", 1, 1, 2, "previous", 0, 2, 3},
        {"empty search text", form, "", 1, 0},
        {"search text missing", form, "Weiter", 1, 0},
        {"search text is case-sensitive", form, "NEXT", 1, 0},
        {"search text before the cursor", form, "page", 1, 0, 0, "previous", 20},
        {"cursor past the end", form, "Next", 1, 0, 0, "previous", 9999},
        {"form block", form, "Next", 3, 0},
        {"unknown method", form, "Next", 9, 0},
        {"negative method", form, "Next", -1, 0},
    };
    for (const Case& c : cases)
        ExpectAnalysis(c);
}

TEST(NextPageTest, ValueAfterAndBeforeTheSearchText) {
    const Case cases[] = {
        {"after: first value", "<b>Next</b> value=3 value=4", "Next", 0, 1, 3},
        {"after: capitals lowered", "Next VALUE=\"12\">", "Next", 0, 1, 12},
        {"after: quoted with >", "Next value=\"12\">", "Next", 0, 1, 12},
        {"after: keyword at position 0", "value=5 value=6", "value=", 0, 0},
        {"after: keyword missing", "Next page", "Next", 0, 0},
        {"after: no digits within 20 bytes", "Next value=\"abcdefghijklmnopqrstuvwxyz9\"", "Next",
         0, 1, 0},
        {"after: digits end at the first non-digit", "Next value= 12a34", "Next", 0, 1, 12},
        {"after: value before the search text ignored", "value=8 Next", "Next", 0, 0},
        {"before: last value", "value=2 value=3 value=4 Next value=9", "Next", 1, 1, 4},
        {"before: stops at the search text", "x value=45Next", "5Next", 1, 1, 4},
        {"before: keyword at the cursor", "value=4Next", "Next", 1, 0},
        {"before: keyword after the cursor", "value=1 value=4 Next", "Next", 1, 1, 4, "previous",
         1},
        {"before: keyword before the cursor", "a value=1 b Next", "Next", 1, 0, 0, "previous", 5},
        {"before: no digit", "x value=\"\">Next", "Next", 1, 1, 0},
        {"before: nine digits", "x value=999999999 Next", "Next", 1, 1, 999999999},
        {"before: largest number", "x value=2147483647 Next", "Next", 1, 1, 2147483647},
        {"before: too large for 32 bits", "x value=2147483648 Next", "Next", 1, 0},
        {"after: twenty digits", "Next value=99999999999999999999", "Next", 0, 0},
    };
    for (const Case& c : cases)
        ExpectAnalysis(c);
}

TEST(NextPageTest, LinkQueryOfTheLastAnchorBeforeTheSearchText) {
    const Case cases[] = {
        {"plain", "x <a href=\"bbs.cgi?page=2\">Next</a>", "Next", 2, 1, 0, "page=2"},
        {"lowered", "x <A HREF=\"BBS.CGI?Page=2&Mode=A\">Next</a>", "Next", 2, 1, 0,
         "page=2&mode=a"},
        {"last anchor", "x <a href=\"?p=1\">1</a> <a href=\"?p=2\">Next</a>", "Next", 2, 1, 0,
         "p=2"},
        {"further attribute kept", "x <a href=\"?p=3\" target=\"_top\">Next</a>", "Next", 2, 1, 0,
         "p=3\" target=\"_top"},
        {"unquoted", "x <a href=bbs.cgi?p=4>Next</a>", "Next", 2, 1, 0, "p=4"},
        {"no question mark keeps the previous query", "x <a href=\"bbs.cgi\">Next</a>", "Next", 2,
         1, 0, "previous"},
        {"no > before the search text", "x <a href=\"?p=5Next", "Next", 2, 1, 0, "previous"},
        {"anchor at the cursor", "a href=\"?p=6\">Next</a>", "Next", 2, 0},
        {"tag before the anchor at the cursor", "<a href=\"?p=6\">Next", "Next", 2, 1, 0, "p=6"},
        {"no anchor", "x ?p=7>Next", "Next", 2, 0},
        {"anchor after the search text", "x Next <a href=\"?p=8\">", "Next", 2, 0},
        {"empty query", "x <a href=\"?\">Next", "Next", 2, 1, 0, ""},
    };
    for (const Case& c : cases)
        ExpectAnalysis(c);
}

TEST(NextPageTest, ShiftJisCharactersSurviveLowering) {
    // ア is 0x83 0x41: its trail byte is "A" and must not become "a".
    core::BoardWorkspace workspace("x <a href=\"?q=\x83\x41X\">Next");
    workspace.rules.pageLimit = 2;
    workspace.rules.nextPage.searchText = "Next";
    workspace.rules.nextPage.method = kNextLink;
    AnalyseNextPage(workspace, 0);
    EXPECT_EQ(workspace.nextPage.flag, 1);
    EXPECT_EQ(workspace.nextPage.query, "q=\x83\x41x");
    EXPECT_EQ(LowerAscii("AbC\x83\x41Z\x82\xa0Q"), "abc\x83\x41z\x82\xa0q");
    EXPECT_EQ(LowerAscii("trail\x83"), "trail\x83");
}

TEST(NextPageTest, FindFromCountsFromTheStartOfTheText) {
    EXPECT_EQ(FindFrom("abcabc", "bc", 0), 1u);
    EXPECT_EQ(FindFrom("abcabc", "bc", 1), 1u);
    EXPECT_EQ(FindFrom("abcabc", "bc", 2), 4u);
    EXPECT_EQ(FindFrom("abcabc", "bc", 5), kNotFound);
    EXPECT_EQ(FindFrom("abc", "", 3), 3u);
    EXPECT_EQ(FindFrom("abc", "a", 4), kNotFound);
    EXPECT_EQ(FindFrom("abc", "", 4), kNotFound);
}

TEST(NextPageTest, PageNumberReading) {
    const struct {
        std::string text;
        std::optional<std::int32_t> expected;
    } cases[] = {
        {"\"12\">", 12},
        {"", 0},
        {"abc", 0},
        {"  7 8", 7},
        {"0042x", 42},
        // Only the first twenty bytes count.
        {std::string(19, ' ') + '5', 5},
        {std::string(20, ' ') + '5', 0},
        {std::string(18, ' ').append("123"), 12},
        {"2147483647", 2147483647},
        {"2147483648", std::nullopt},
        {"99999999999999999999", std::nullopt},
        {"00000000002147483647", 2147483647},
    };
    for (const auto& c : cases)
        EXPECT_EQ(ReadPageNumber(c.text), c.expected) << "'" << c.text << "'";
}

TEST(NextPageTest, ThreePagesThenTheLimitStopsTheRun) {
    // The scheduler raises the page counter before each page turn; with PageCt 3 the analysis
    // of the third page stops at the limit although the page has a next-page control.
    testing::BoardFixture board;
    board.SetInt(core::key::kType, 0);
    board.SetString(core::key::kMessageStart, "<m>");
    board.SetString(core::key::kMessageEnd, "</m>");
    board.SetInt(core::key::kPageCount, 3);
    board.SetInt(core::key::kNextPageMethod, 0);
    board.SetString(core::key::kPageSearchText, "name=\"page\"");
    std::vector<int> flags;
    for (int page = 1; page <= 3; ++page) {
        board.With([page](core::BoardWorkspace& workspace) { workspace.pageCounter = page; });
        board.SetPageUtf8("<m>post</m><input type=hidden name=\"page\" value=\"" +
                          std::to_string(page + 1) + "\">");
        board.Convert();
        flags.push_back(board.NextPage().flag);
        if (page < 3) {
            EXPECT_EQ(board.NextPage().number, page + 1);
        }
    }
    EXPECT_EQ(flags, (std::vector<int>{1, 1, 0}));
    EXPECT_EQ(board.Posts().size(), 3u);
}

}  // namespace
}  // namespace quor::convert
