#include "convert/post_extraction.h"

#include <gtest/gtest.h>

#include <chrono>
#include <future>
#include <map>
#include <string>
#include <thread>

#include "board_fixture.h"
#include "convert/bbs_templates.h"
#include "core/cp932.h"
#include "core/settings_keys.h"

namespace quor::convert {
namespace {

using testing::BoardFixture;
using Fields = BoardFixture::Fields;
namespace key = core::key;

// Custom markers that are easy to lay out in any order.
void UseBracketMarkers(BoardFixture& board, int type = 0) {
    board.SetInt(key::kType, type);
    board.SetString(key::kTitleStart, "[t]");
    board.SetString(key::kTitleEnd, "[/t]");
    board.SetString(key::kNameStart, "[n]");
    board.SetString(key::kNameEnd, "[/n]");
    board.SetString(key::kDateStart, "[d]");
    board.SetString(key::kDateEnd, "[/d]");
    board.SetString(key::kMessageStart, "[m]");
    board.SetString(key::kMessageEnd, "[/m]");
}

std::string Block(const std::string& title, const std::string& name, const std::string& date,
                  const std::string& message) {
    return "[t]" + title + "[/t][n]" + name + "[/n][d]" + date + "[/d][m]" + message + "[/m]\n";
}

TEST(PostExtractionTest, StatusTextsFollowTheBoardNameAroundTheExtraction) {
    BoardFixture board;
    UseBracketMarkers(board);
    board.SetString(key::kName, "雑談板");
    board.SetPageUtf8(Block("a", "b", "c", "d"));
    board.Convert();
    ASSERT_EQ(board.frontend.StatusTexts().size(), 2u);
    EXPECT_EQ(core::ToUtf8(board.frontend.StatusTexts()[0]), "雑談板変換中");
    EXPECT_EQ(core::ToUtf8(board.frontend.StatusTexts()[1]), "雑談板変換終了");
    EXPECT_EQ(board.Posts(), (std::vector<Fields>{{"a", "b", "c", "d"}}));
}

// Checks, from inside the frontend, that the workspace is not locked while a status text is
// shown: a driver thread that held it would block the user interface's readers. Another thread
// reads the workspace; while the caller holds the lock, that read only ends after the caller
// returns, long after the wait here gives up.
class LockProbe final : public core::Frontend {
public:
    LockProbe(core::CQuorApp& app, int slot) : app_(app), slot_(slot) {}
    void SetStatusText(const std::string&) override {
        std::promise<void> read;
        std::future<void> done = read.get_future();
        readers_.emplace_back([this, read = std::move(read)]() mutable {
            app_.WithWorkspace(slot_, [](const core::BoardWorkspace&) {});
            read.set_value();
        });
        calls += 1;
        const bool unlocked = done.wait_for(std::chrono::seconds(5)) == std::future_status::ready;
        unlockedCalls += unlocked ? 1 : 0;
    }
    void RefreshPostList() override {}
    void ShowWarning(const std::string&, const std::string&) override {}
    std::unique_ptr<core::ProgressDisplay> OpenProgress() override { return nullptr; }
    int SelectedEntryNumber() override { return -1; }
    int calls = 0;
    int unlockedCalls = 0;

private:
    core::CQuorApp& app_;
    const int slot_;
    std::vector<std::jthread> readers_;
};

TEST(PostExtractionTest, FrontendIsCalledWithoutTheWorkspaceLock) {
    BoardFixture board;
    LockProbe probe(board.app, 0);
    board.app.SetFrontend(probe);
    UseBracketMarkers(board);
    board.SetPageUtf8(Block("a", "b", "c", "d"));
    board.Convert();
    EXPECT_EQ(probe.calls, 2);
    EXPECT_EQ(probe.unlockedCalls, 2);
}

TEST(PostExtractionTest, InvalidSlotsAreIgnored) {
    BoardFixture board;
    ConvertBoard(board.app, -1);
    ConvertBoard(board.app, core::kSlotCount);
    EXPECT_TRUE(board.frontend.StatusTexts().empty());
}

TEST(PostExtractionTest, StoredMarkersOverrideTheTemplateOnlyWhenNotEmpty) {
    BoardFixture board;
    board.SetInt(key::kType, 7);
    board.SetString(key::kTitleStart, "<i>");
    board.SetString(key::kTitleEnd, "</i>");
    board.SetString(key::kNameStart, "");
    board.SetPageUtf8(
        "<hr><i>題</i> 投稿者：<b>名</b> 投稿日：日付</font><blockquote>本文</blockquote>");
    board.Convert();
    EXPECT_EQ(board.Posts(), (std::vector<Fields>{{"題", "名", "日付", "本文"}}));
    const BbsTemplate* tcup = TemplateForType(7);
    ASSERT_NE(tcup, nullptr);
    EXPECT_EQ(board.Rules().markers.titleStart, "<i>");
    EXPECT_EQ(board.Rules().markers.nameStart, tcup->markers.nameStart);
    EXPECT_EQ(board.Rules().markers.skip, "<hr>");
}

TEST(PostExtractionTest, TemplatesHoldTheirExactBytes) {
    const BbsTemplate* hyper = TemplateForType(1);
    ASSERT_NE(hyper, nullptr);
    EXPECT_EQ(hyper->markers.titleStart, "<small>\x81\x40");
    // 投稿者： and さん in code page 932.
    EXPECT_EQ(hyper->markers.nameStart, "\x93\x8a\x8d\x65\x8e\xd2\x81\x46");
    EXPECT_EQ(hyper->markers.nameEnd, "\x82\xb3\x82\xf1");
    EXPECT_EQ(TemplateForType(3)->markers.skip, "  <table>");
    EXPECT_EQ(TemplateForType(3)->markers.messageEnd, "  <td><br></td>");
    EXPECT_EQ(TemplateForType(9), TemplateForType(7));
    for (const int none : {0, -1, 10, 12})
        EXPECT_EQ(TemplateForType(none), nullptr) << none;
    for (int type = 1; type <= 9; ++type)
        EXPECT_EQ(TemplateForType(type)->dateBeforeName, type == 4) << type;
}

TEST(PostExtractionTest, UnknownTypesAreCustomAndKeepThePreviousMarkers) {
    BoardFixture board;
    UseBracketMarkers(board, 12);
    board.SetPageUtf8(Block("a", "b", "c", "d"));
    board.Convert();
    EXPECT_EQ(board.Posts(), (std::vector<Fields>{{"a", "b", "c", "d"}}));
    EXPECT_TRUE(board.Rules().markers.skip.empty());

    // A board that was TCUPBBS and becomes Custom keeps the markers it had.
    BoardFixture changed;
    changed.SetInt(key::kType, 7);
    const std::string tcupPage =
        "<hr><b>題</b> 投稿者：<b>名</b> 投稿日：日付</font><blockquote>本文</blockquote>";
    changed.SetPageUtf8(tcupPage);
    changed.Convert();
    changed.SetInt(key::kType, 0);
    changed.With([](core::BoardWorkspace& workspace) { workspace.posts.Clear(); });
    changed.Convert();
    EXPECT_EQ(changed.Posts(), (std::vector<Fields>{{"題", "名", "日付", "本文"}}));
}

TEST(PostExtractionTest, FsbbsSeeksTheDateBeforeTheName) {
    const std::string dateFirst =
        "</small></p><td width=50% rowspan=2><b>題</b><br>日付</td>"
        "<td width=50% bgcolor=\"#e0f0ff\"><b>名</b>さん<td colspan=2 "
        "id=\"kiji\">本文</blockquote>";
    const std::string nameFirst =
        "</small></p><td width=50% rowspan=2><b>題</b>"
        "<td width=50% bgcolor=\"#e0f0ff\"><b>名</b>さん<br>日付</td><td colspan=2 "
        "id=\"kiji\">本文</blockquote>";
    BoardFixture board;
    board.SetInt(key::kType, 4);
    board.SetPageUtf8(dateFirst);
    board.Convert();
    EXPECT_EQ(board.Posts(), (std::vector<Fields>{{"題", "名", "日付", "本文"}}));
    EXPECT_EQ(board.Rules().fieldOrder, (std::array<std::int32_t, 4>{0, 2, 1, 3}));

    board.With([](core::BoardWorkspace& workspace) { workspace.posts.Clear(); });
    board.SetPageUtf8(nameFirst);
    board.Convert();
    EXPECT_TRUE(board.Posts().empty());
}

TEST(PostExtractionTest, OrderValuesGiveTheOrderTheirListEntryNames) {
    // Entry v of the order list, as the three fields appear on the page.
    const std::vector<std::string> orders[] = {
        {"t", "n", "d"}, {"t", "d", "n"}, {"n", "t", "d"},
        {"n", "d", "t"}, {"d", "t", "n"}, {"d", "n", "t"},
    };
    const std::map<std::string, std::string> values{{"t", "T"}, {"n", "N"}, {"d", "D"}};
    for (int v = 1; v <= 6; ++v) {
        std::string page;
        for (const std::string& field : orders[v - 1])
            page += "[" + field + "]" + values.at(field) + "[/" + field + "]";
        page += "[m]M[/m]";
        for (int order = 1; order <= 6; ++order) {
            BoardFixture board;
            UseBracketMarkers(board);
            board.SetInt(key::kOrder, order);
            board.SetPageUtf8(page);
            board.Convert();
            if (order == v) {
                EXPECT_EQ(board.Posts(), (std::vector<Fields>{{"T", "N", "D", "M"}})) << v;
            } else {
                // A field sought out of place is passed by and never found again.
                EXPECT_TRUE(board.Posts().empty()) << "page " << v << " order " << order;
            }
        }
    }
}

TEST(PostExtractionTest, OrderZeroAndUnknownValuesKeepTheWorkspaceOrder) {
    for (const int order : {0, 7, -1, 100}) {
        BoardFixture board;
        board.SetInt(key::kType, 4);
        board.SetInt(key::kOrder, order);
        board.SetPageUtf8("");
        board.Convert();
        EXPECT_EQ(board.Rules().fieldOrder, (std::array<std::int32_t, 4>{0, 2, 1, 3})) << order;
    }
    // An order set by an earlier conversion stays when the value goes back to 0.
    BoardFixture board;
    board.SetInt(key::kType, 0);
    board.SetInt(key::kOrder, 6);
    board.Convert();
    board.SetInt(key::kOrder, 0);
    board.Convert();
    EXPECT_EQ(board.Rules().fieldOrder, (std::array<std::int32_t, 4>{2, 1, 0, 3}));
}

TEST(PostExtractionTest, LastPostWithoutItsMessageEndIsDropped) {
    BoardFixture board;
    UseBracketMarkers(board);
    board.SetPageUtf8(Block("1", "a", "x", "one") + Block("2", "b", "y", "two") +
                      "[t]3[/t][n]c[/n][d]z[/d][m]three, cut off");
    board.Convert();
    EXPECT_EQ(board.Posts(), (std::vector<Fields>{{"1", "a", "x", "one"}, {"2", "b", "y", "two"}}));
}

TEST(PostExtractionTest, TwoPagesOfARunAppendInOrder) {
    BoardFixture board;
    UseBracketMarkers(board);
    board.SetPageUtf8(Block("1", "a", "x", "one") + Block("2", "b", "y", "two"));
    board.Convert();
    board.SetPageUtf8(Block("3", "c", "z", "three"));
    board.Convert();
    EXPECT_EQ(board.Posts(),
              (std::vector<Fields>{
                  {"1", "a", "x", "one"}, {"2", "b", "y", "two"}, {"3", "c", "z", "three"}}));
}

TEST(PostExtractionTest, EndMarkerIsCutAtItsFirstByteAndTheRestSearchedAgain) {
    // The message end "x]" shares its second byte with the next title start "]t": after the cut
    // at "x" the next search starts at "]".
    BoardFixture board;
    board.SetInt(key::kType, 0);
    board.SetString(key::kTitleStart, "]t");
    board.SetString(key::kTitleEnd, "</t>");
    board.SetString(key::kNameStart, "<n>");
    board.SetString(key::kNameEnd, "</n>");
    board.SetString(key::kDateStart, "<d>");
    board.SetString(key::kDateEnd, "</d>");
    board.SetString(key::kMessageStart, "<m>");
    board.SetString(key::kMessageEnd, "x]");
    board.SetPageUtf8("]tA</t><n>B</n><d>C</d><m>Dx]tE</t><n>F</n><d>G</d><m>Hx]");
    board.Convert();
    EXPECT_EQ(board.Posts(), (std::vector<Fields>{{"A", "B", "C", "D"}, {"E", "F", "G", "H"}}));
}

TEST(PostExtractionTest, SkipMarkerAndHeaderHandling) {
    BoardFixture board;
    UseBracketMarkers(board);
    board.SetString(key::kSkipMarker, "<!--posts-->");
    board.SetPageUtf8(Block("fake", "f", "f", "f") + "<!--posts-->" + Block("1", "a", "x", "one") +
                      "<!--posts-->" + Block("2", "b", "y", "two"));
    board.Convert();
    EXPECT_EQ(board.Posts(), (std::vector<Fields>{{"1", "a", "x", "one"}, {"2", "b", "y", "two"}}));

    // Without the marker on the page, the whole page is searched; without a blank line the
    // header is searched too.
    BoardFixture whole;
    UseBracketMarkers(whole);
    whole.SetString(key::kSkipMarker, "<!--absent-->");
    whole.SetPage("HTTP/1.0 200 OK\r\nX-Note: [t]h[/t][n]h[/n][d]h[/d][m]h[/m]\r\n" +
                  core::FromUtf8(Block("1", "a", "x", "one")));
    whole.Convert();
    EXPECT_EQ(whole.Posts(), (std::vector<Fields>{{"h", "h", "h", "h"}, {"1", "a", "x", "one"}}));
}

TEST(PostExtractionTest, EmptyPageAddsNothingAndTurnsNoPage) {
    BoardFixture board;
    UseBracketMarkers(board);
    board.With([](core::BoardWorkspace& workspace) { workspace.nextPage = {1, 7, {}}; });
    board.SetPage("");
    board.Convert();
    EXPECT_TRUE(board.Posts().empty());
    EXPECT_EQ(board.NextPage().flag, 0);
    EXPECT_EQ(board.NextPage().number, 0);

    core::BoardWorkspace none;
    none.nextPage.flag = 1;
    ExtractPosts(none);
    EXPECT_EQ(none.nextPage.flag, 0);
    EXPECT_TRUE(none.posts.Empty());
}

TEST(PostExtractionTest, EmptyMarkersMatchInPlaceAndACutAtTheEndStops) {
    // Every marker empty: nothing to seek, so no post (not an empty one at every byte) and no
    // page turn, even where the search text follows.
    core::BoardWorkspace workspace("abcdefgx value=2");
    workspace.rules.pageLimit = 9;
    workspace.rules.nextPage.searchText = "x";
    EXPECT_TRUE(ExtractPosts(workspace).noMarkers);
    EXPECT_TRUE(workspace.posts.Empty());
    EXPECT_EQ(workspace.nextPage.flag, 0);
    EXPECT_EQ(workspace.nextPage.number, 0);

    // An empty end marker matches right after its start marker; a start marker at the very end
    // of the text gives one last, empty message there.
    core::BoardWorkspace last("[m]x[m]");
    last.rules.markers.messageStart = "[m]";
    last.rules.fieldOrder = {core::kFieldMessage, core::kFieldMessage, core::kFieldMessage,
                             core::kFieldMessage};
    last.rules.pageLimit = 9;
    last.rules.nextPage.searchText = "[m]";
    ExtractPosts(last);
    EXPECT_EQ(last.posts.Count(), 2u);
    EXPECT_EQ(last.nextPage.flag, 0);
}

TEST(PostExtractionTest, FieldOrderWithoutMessageOrWithBadKindsStaysInBounds) {
    core::BoardWorkspace titles("[t]a[/t][t]b[/t]");
    titles.rules.markers.titleStart = "[t]";
    titles.rules.markers.titleEnd = "[/t]";
    titles.rules.fieldOrder = {core::kFieldTitle, core::kFieldTitle, core::kFieldTitle,
                               core::kFieldTitle};
    ExtractPosts(titles);
    EXPECT_TRUE(titles.posts.Empty());

    core::BoardWorkspace bad("anything");
    bad.rules.fieldOrder = {7, -1, 0, 3};
    ExtractPosts(bad);
    EXPECT_TRUE(bad.posts.Empty());
}

TEST(PostExtractionTest, SwitchesReachTheCleaner) {
    BoardFixture board;
    UseBracketMarkers(board);
    board.SetInt(key::kLineFeedSwitch, 1);
    board.SetInt(key::kSpaceSwitch, 1);
    board.SetInt(key::kTabSwitch, 1);
    board.SetPageUtf8(Block("a b", "n\tm", "d", "one\ntwo<Li>x"));
    board.Convert();
    const auto posts = board.Posts();
    ASSERT_EQ(posts.size(), 1u);
    EXPECT_EQ(posts[0].title, "a b");
    EXPECT_EQ(posts[0].name, "n\tm");
    EXPECT_EQ(posts[0].message, "one\r\ntwo\r\n\r\n" + std::string(40, '-') + "\r\nx");
}

TEST(PostExtractionTest, SettingsAreCopiedIntoTheWorkspace) {
    BoardFixture board;
    board.SetInt(key::kType, 0);
    board.SetString(key::kPageSearchText, "次へ");
    board.SetInt(key::kPageCount, 4);
    board.SetInt(key::kNextPageMethod, 2);
    board.SetInt(key::kLineFeedSwitch, 1);
    board.SetInt(key::kSpaceSwitch, 1);
    board.SetInt(key::kTabSwitch, 1);
    board.SetPageUtf8("x");
    board.Convert();
    const core::ParseRules rules = board.Rules();
    EXPECT_EQ(rules.nextPage.searchText, core::FromUtf8("次へ"));
    EXPECT_EQ(rules.pageLimit, 4);
    EXPECT_EQ(rules.nextPage.method, 2);
    EXPECT_EQ(rules.switches.lineFeed, 1);
    EXPECT_EQ(rules.switches.space, 1);
    EXPECT_EQ(rules.switches.tab, 1);

    // Unset keys take their defaults: one page, method 0, switches off, an empty search text.
    BoardFixture defaults;
    defaults.With([](core::BoardWorkspace& workspace) {
        workspace.rules.nextPage.searchText = "old";
        workspace.rules.pageLimit = 9;
    });
    defaults.Convert();
    EXPECT_EQ(defaults.Rules().nextPage.searchText, "");
    EXPECT_EQ(defaults.Rules().pageLimit, 1);
    EXPECT_EQ(defaults.Rules().nextPage.method, 0);
    EXPECT_EQ(defaults.Rules().switches.lineFeed, 0);
    // Type defaults to HyperBBS.
    EXPECT_EQ(defaults.Rules().markers.skip, "</td></tr></table><p>");
}

}  // namespace
}  // namespace quor::convert
