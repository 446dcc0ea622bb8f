// Wildcard markers and the field order written as letters.

#include "convert/marker_pattern.h"

#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "convert/field_letters.h"
#include "convert/text_search.h"
#include "core/board_workspace.h"
#include "fuzz/reference_rules.h"

namespace quor::convert {
namespace {

MarkerMatch Find(std::string_view marker, std::string_view text, std::size_t from = 0) {
    MarkerPattern pattern(marker);
    return pattern.Find(text, from);
}

TEST(MarkerPatternTest, WildcardFindsEveryPostsOwnAttribute) {
    const std::string page =
        "<span style=\"color:#800000\">一通目</span><br>"
        "<span style=\"color:#008000\">二通目</span><br>"
        "<span style=\"color:navy\">三通目</span>";
    MarkerPattern pattern("<span style=\"color:{*}\">");
    std::vector<std::string> found;
    for (MarkerMatch m = pattern.Find(page, 0); m.Found(); m = pattern.Find(page, m.end)) {
        const std::size_t close = page.find("</span>", m.end);
        found.push_back(page.substr(m.end, close - m.end));
    }
    EXPECT_EQ(found, (std::vector<std::string>{"一通目", "二通目", "三通目"}));
}

TEST(MarkerPatternTest, RunIsTheShortestWithoutAngleBrackets) {
    // The shortest run: the first "\">" after the start, not the last.
    const std::string fonts = "<font color=\"red\">a</font><font color=\"blue\">b";
    EXPECT_EQ(Find("<font color=\"{*}\">", fonts).begin, 0u);
    EXPECT_EQ(Find("<font color=\"{*}\">", fonts).end, 18u);
    EXPECT_EQ(Find("<font color=\"{*}\">", fonts, 1).begin, 26u);
    // The run never holds "<" or ">", so the match moves on to a post where it fits; the next
    // piece may begin at the bracket itself.
    const std::string bold = "<b>a<i>b</i></b><b>c</b>";
    EXPECT_EQ(Find("<b>{*}</b>", bold).begin, 16u);
    EXPECT_EQ(Find("<b>{*}</b>", bold).end, 24u);
    EXPECT_EQ(Find("<b>{*}<", bold).end, 5u);
    EXPECT_FALSE(Find("a{*}c", "ab>c").Found());
    EXPECT_EQ(Find("a{*}c", "ab>c a c").begin, 5u);
    // Two wildcards, and an empty run.
    EXPECT_EQ(Find("<td class={*} id={*}>", "<td class=x id=7>").end, 17u);
    EXPECT_EQ(Find("no{*}.{*}:", "no.:").end, 4u);
}

TEST(MarkerPatternTest, WithoutWildcardEverySearchIsThePlainOne) {
    const std::string text = "abc<b>abc</b>{*}{ *}";
    const std::string markers[] = {"", "a", "bc", "<b>", "</b>", "x", "{", "{ *}", "{*", "*}"};
    for (const std::string& marker : markers) {
        for (std::size_t from = 0; from <= text.size() + 1; ++from) {
            const MarkerMatch m = Find(marker, text, from);
            EXPECT_EQ(m.begin, FindFrom(text, marker, from)) << marker << " from " << from;
            if (m.Found()) {
                EXPECT_EQ(m.end, m.begin + marker.size());
            }
        }
    }
    // Wildcards at the ends or side by side take the empty run; only wildcards is empty.
    EXPECT_EQ(Find("{*}bc{*}", text, 1).begin, 1u);
    EXPECT_EQ(Find("{*}bc{*}", text, 1).end, 3u);
    EXPECT_EQ(Find("a{*}{*}c", "a-c").end, 3u);
    EXPECT_EQ(Find("{*}{*}", text, 4).begin, 4u);
    EXPECT_EQ(Find("{*}{*}", text, 4).end, 4u);
    EXPECT_FALSE(Find("{*}", text, text.size() + 1).Found());
    EXPECT_FALSE(MarkerPattern("{*}x").HasWildcard());
    EXPECT_TRUE(MarkerPattern("x{*}x").HasWildcard());
}

TEST(MarkerPatternTest, CaseIsFoldedAroundTheWildcard) {
    const std::string page = "<P><SPAN STYLE=\"COLOR:RED\">x</SPAN>";
    const MarkerSearch search(page, true);
    MarkerPattern pattern(search.Key("<span style=\"color:{*}\">"));
    const MarkerMatch m = pattern.Find(search.In(page), 0);
    EXPECT_EQ(m.begin, 3u);
    EXPECT_EQ(page.substr(m.end, 1), "x");
}

TEST(MarkerPatternTest, AgreesWithTheRulesOnRandomTexts) {
    std::mt19937 random(7);
    const std::string alphabet = "ab<>\"=";
    const std::vector<std::vector<std::string>> markers = {
        {"a", "b"},      {"<a", "\">"},         {"a", "a", "b"},      {"=\"", "\""},
        {"<", ">"},      {"b", "<a"},           {"a>", "b"},          {"a", "b", "a"},
        {"a", "b", "b"}, {"ab", "a", "=", "b"}, {"a", "b", "<", "b"}, {"a", "b", ">a", "b"},
        {"b", "a>", "a"}};
    for (int round = 0; round < 20000; ++round) {
        std::string text;
        const int length = std::uniform_int_distribution<int>(0, 30)(random);
        for (int i = 0; i < length; ++i)
            text += alphabet[std::uniform_int_distribution<std::size_t>(
                0, alphabet.size() - 1)(random)];
        const auto& pieces = markers[static_cast<std::size_t>(round) % markers.size()];
        std::string marker = pieces[0];
        for (std::size_t k = 1; k < pieces.size(); ++k)
            marker += "{*}" + pieces[k];
        MarkerPattern pattern(marker);
        // One pattern for several searches, as the extraction uses it.
        for (std::size_t from = 0; from <= text.size(); ++from) {
            // The fuzzer's byte-by-byte statement of the rules: each start in turn, each run
            // grown one byte at a time.
            const auto [expectedBegin, expectedEnd] = fuzz::ReferenceFindMarker(marker, text, from);
            const MarkerMatch m = pattern.Find(text, from);
            ASSERT_EQ(m.begin, expectedBegin) << marker << " in '" << text << "' from " << from;
            ASSERT_EQ(m.end, expectedEnd) << marker << " in '" << text << "' from " << from;
        }
    }
}

TEST(MarkerPatternTest, LongRunsWithoutBracketsCostOnePass) {
    // Every byte starts a candidate and no candidate ends: a search that rescanned the run for
    // each would take hours on these.
    const std::string as(2u << 20, 'a');
    EXPECT_FALSE(Find("a{*}b", as).Found());
    EXPECT_FALSE(Find("a{*}a{*}b", as).Found());
    std::string pairs;
    while (pairs.size() < (2u << 20))
        pairs += "ax";
    EXPECT_FALSE(Find("a{*}x{*}z", pairs).Found());
    EXPECT_EQ(Find("a{*}x{*}z", pairs + "z").begin, 0u);
}

TEST(FieldLettersTest, ValidOrdersAndTheRest) {
    using core::kFieldDate;
    using core::kFieldMessage;
    using core::kFieldName;
    using core::kFieldTitle;
    EXPECT_EQ(ParseFieldLetters("TMND"),
              (FieldLetters{{kFieldTitle, kFieldMessage, kFieldName, kFieldDate}, 4}));
    EXPECT_EQ(ParseFieldLetters("NDM"), (FieldLetters{{kFieldName, kFieldDate, kFieldMessage}, 3}));
    EXPECT_EQ(ParseFieldLetters("dtm"),
              (FieldLetters{{kFieldDate, kFieldTitle, kFieldMessage}, 3}));
    EXPECT_EQ(ParseFieldLetters("M"), (FieldLetters{{kFieldMessage}, 1}));
    for (const char* invalid : {"", "TND", "TTM", "MM", "TXM", "TMNDM", " TM", "T M", "TNDMX"})
        EXPECT_FALSE(ParseFieldLetters(invalid).has_value()) << invalid;
}

}  // namespace
}  // namespace quor::convert
