#include "convert/text_cleaner.h"

#include <gtest/gtest.h>

#include <string>

#include "core/parse_rules.h"

namespace quor::convert {
namespace {

const std::string kRule = "\r\n\r\n" + std::string(40, '-') + "\r\n";

struct Case {
    std::string input;
    std::string expected;
    int lineFeed = 0;
    int space = 0;
    int tab = 0;
};

void ExpectCleaned(const Case& c) {
    TextCleaner cleaner(c.lineFeed, c.space, c.tab);
    EXPECT_EQ(std::string(cleaner.CleanField(c.input)), c.expected)
        << "input '" << c.input << "' switches " << c.lineFeed << c.space << c.tab;
    // Plain bytes before the case move it against the sixteen-byte blocks of the copy.
    const std::string plain = "0123456789abcdefghijklmnopqrstuvwxyz\x82\xa0";
    for (std::size_t lead = 1; lead <= plain.size(); ++lead) {
        const std::string prefix = plain.substr(0, lead);
        ASSERT_EQ(std::string(cleaner.CleanField(prefix + c.input)), prefix + c.expected)
            << "input '" << c.input << "' after " << lead << " plain bytes";
    }
}

TEST(TextCleanerTest, SwitchesKeepOrDropWhitespace) {
    const Case cases[] = {
        {"<b>one</b> \ntwo", "onetwo"},
        {"<b>one</b> \ntwo", "one two", 0, 1, 0},
        {"<b>one</b> \ntwo", "one\r\ntwo", 1, 0, 0},
        {"<b>one</b> \ntwo", "one \r\ntwo", 1, 1, 0},
        {"a\tb", "ab"},
        {"a\tb", "a\tb", 0, 0, 1},
        // Only the value 1 switches a rule on.
        {"a b\tc\nd", "abcd", 2, 2, 2},
        // Carriage returns and other control bytes go whatever the switches say.
        {"a\r\nb\x01\x1f", "a\r\nb", 1, 1, 1},
        {"a\r\nb", "ab"},
        {std::string("a\0b", 3), "ab"},
        {"\x93\xfa\x96\x7b \x8c\xea", "\x93\xfa\x96\x7b\x8c\xea"},
        // Shift-JIS trail bytes of 0x40 and above are copied, "@" and "[" included.
        {"\x81\x40\x83\x5b", "\x81\x40\x83\x5b"},
    };
    for (const Case& c : cases)
        ExpectCleaned(c);
}

TEST(TextCleanerTest, FourEntitiesAreDecodedAndOthersCopied) {
    const Case cases[] = {
        {"a&gt;b", "a>b"},
        {"a&gtb", "a>b"},
        {"a&lt;b", "a<b"},
        {"a&ltb", "a<b"},
        {"&quot;q&quot;", "\"q\""},
        {"&amp;", "&"},
        {"&amp;lt;", "&lt;"},
        {"&nbsp;", "&nbsp;"},
        {"&#39;", "&#39;"},
        {"&st", "&st"},
        {"&quot", "&quot"},
        {"&amp", "&amp"},
        {"&GT;", "&GT;"},
        {"x&", "x&"},
        {"&g", "&g"},
        {"&gt", ">"},
        {"&&gt;", "&>"},
        {"a > b", "a>b"},
    };
    for (const Case& c : cases)
        ExpectCleaned(c);
}

TEST(TextCleanerTest, LineBreakAndListItemTagsInEitherCase) {
    const Case cases[] = {
        {"a<BR>b", "a\r\nb"},
        {"a<br>b", "a\r\nb"},
        {"a<bR clear=all>b", "a\r\nb"},
        {"a<br/>b", "a\r\nb"},
        {"a<Li>b", "a" + kRule + "b"},
        {"<li>x<LI>y", kRule + "x" + kRule + "y"},
        {"</li>x", "x"},
        {"<b>bold</b><blockquote>q</blockquote>", "boldq"},
        {"a<br", "a\r\n"},
        {"a<b", "a"},
        {"a<", "a"},
        {"a<l", "a"},
        {"<>x", "x"},
    };
    for (const Case& c : cases)
        ExpectCleaned(c);
}

TEST(TextCleanerTest, UnterminatedTagDropsTheRestAndTagsOnlyGiveEmpty) {
    const Case cases[] = {
        {"keep<a href=\"x\" text after", "keep"},
        {"<font color=red>", ""},
        {"<b></b> \n\t", ""},
        {"<b>x<br", "x\r\n"},
    };
    for (const Case& c : cases)
        ExpectCleaned(c);
}

TEST(TextCleanerTest, EmptyFieldLeavesThePreviousResult) {
    TextCleaner cleaner(0, 0, 0);
    EXPECT_EQ(cleaner.CleanField("first"), "first");
    EXPECT_TRUE(cleaner.CleanField("").empty());
    EXPECT_EQ(cleaner.Result(), "first");
    EXPECT_TRUE(cleaner.CleanField("<b>").empty());
    EXPECT_TRUE(cleaner.Result().empty());
}

TEST(TextCleanerTest, ResultGrowsPastTheInputAndIsReusable) {
    TextCleaner cleaner(1, 0, 0);
    std::string many;
    std::string expected;
    for (int i = 0; i < 500; ++i) {
        many += "<li>\n";
        expected += kRule + "\r\n";
    }
    EXPECT_EQ(cleaner.CleanField(many), expected);
    EXPECT_EQ(cleaner.CleanField("short\n"), "short\r\n");
    const std::string feeds(10000, '\n');
    std::string crlfs;
    for (int i = 0; i < 10000; ++i)
        crlfs += "\r\n";
    EXPECT_EQ(cleaner.CleanField(feeds), crlfs);
}

TEST(TextCleanerTest, TakesTheSwitchesOfTheRules) {
    core::Switches switches;
    switches.lineFeed = 1;
    switches.tab = 1;
    TextCleaner cleaner(switches);
    EXPECT_EQ(cleaner.lineFeedSwitch, 1);
    EXPECT_EQ(cleaner.spaceSwitch, 0);
    EXPECT_EQ(cleaner.CleanField("a \t\nb"), "a\t\r\nb");
}

}  // namespace
}  // namespace quor::convert
