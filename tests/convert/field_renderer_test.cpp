// The field renderer on fields the way real board scripts write them, and its rules one by one.

#include "convert/field_renderer.h"

#include <gtest/gtest.h>

#include <string>

#include "core/cp932.h"

namespace quor::convert {
namespace {

struct Case {
    std::string input;     // UTF-8, brought to Shift-JIS before rendering
    std::string expected;  // UTF-8
};

// Renders each case with one renderer, as the fields of a page are. A case that starts with "x"
// is rendered again after text bytes that join its first line and move it against the
// sixteen-byte blocks of the copy.
template <std::size_t N>
void ExpectRendered(const Case (&cases)[N]) {
    FieldRenderer renderer;
    const std::string text = core::FromUtf8("あいうえおかきくけこ");
    for (const Case& c : cases) {
        const std::string input = core::FromUtf8(c.input);
        EXPECT_EQ(core::ToUtf8(renderer.RenderField(input)), c.expected)
            << "input '" << c.input << "'";
        if (c.input.empty() || c.input[0] != 'x')
            continue;
        for (std::size_t lead = 1; lead <= text.size(); ++lead) {
            const std::string prefix =
                text.substr(0, lead & ~std::size_t{1}) + std::string(lead & 1u, 'x');
            ASSERT_EQ(core::ToUtf8(renderer.RenderField(prefix + input)),
                      core::ToUtf8(prefix) + c.expected)
                << "input '" << c.input << "' after " << lead << " bytes";
        }
    }
}

TEST(FieldRendererTest, LineBreaksOfRealScripts) {
    const Case cases[] = {
        // Scripts of 1999-2003 store the message with bare CR line breaks inside <pre>.
        {"<pre>表計算ソフトの能力は十分か予想します。\r三行目\r四行目</pre>",
         "表計算ソフトの能力は十分か予想します。\r\n三行目\r\n四行目"},
        {"x<pre>a\r\rb\r\n\nc</pre>", "x\r\na\r\n\r\nb\r\n\r\nc"},
        // A line feed right after <PRE> is not shown; blanks and tabs inside stay.
        {"<PRE>\n  字下げ\n\t表\n</PRE>", "  字下げ\r\n\t表"},
        {"<pre>\r\n\r\n二行目</pre>", "二行目"},
        // 2ch-style blanks around every <br>.
        {" 一行目 <br> 二行目 <br>  <br> 三行目 ", "一行目\r\n二行目\r\n\r\n三行目"},
        {"x a<BR>b<br/>c<br clear=\"all\">d</br>e", "x a\r\nb\r\nc\r\nd\r\ne"},
        // Line feeds of the source are blanks, once per run.
        {"xHello\nfrom   post\t\r\n 2.", "xHello from post 2."},
        {"2026/12/09(Wed) 01:00", "2026/12/09(Wed) 01:00"},
        // Block elements start a new line, never an empty one.
        {"<p>一</p><p>二</p><div>三</div><ul><li>a<li>b</ul><hr>c",
         "一\r\n二\r\n三\r\na\r\nb\r\nc"},
        {"x<blockquote> 引用 </blockquote>後<h3>題</h3><dl><dt>語<dd>意味</dl>",
         "x\r\n引用\r\n後\r\n題\r\n語\r\n意味"},
        {"<table><tr><td>a</td><td>b</td></tr><tr><td>c</td></tr></table>", "ab\r\nc"},
        // Empty lines at the start and the end go, those between stay.
        {"\r\n <br><br> 本文 <br><br> 続き <br><br>\r\n", "本文\r\n\r\n続き"},
        {"<br><br>", ""},
        {" \r\n\t ", ""},
        {"<pre>  \n a \n  </pre>", " a "},
    };
    ExpectRendered(cases);
}

TEST(FieldRendererTest, TextAndTagsAsABrowserTellsThemApart) {
    const Case cases[] = {
        // A "<" before a blank or a digit is text, and so is a ">" anywhere.
        {"xA < B & C > D", "xA < B & C > D"},
        {"x1<2 and 3<=4, <", "x1<2 and 3<=4, <"},
        {"x<あ<\"", "x<あ<\""},
        // A ">" inside a quoted attribute value does not end the tag.
        {"<a href=\"mailto:taro@example.jp\" title='a>b'>太郎</a>", "太郎"},
        {"<a href=x>y\">名前</a>", "y\">名前"},
        {"<span title = \"1>2\">値</span>", "値"},
        // Nested font tags around a name.
        {"<font color=\"#008000\"><b><font size=\"2\">名無しさん</font></b></font>", "名無しさん"},
        // A name written by a script, with the fallback for those who run none.
        {"<script type=\"text/javascript\">address('taro','example.jp')</script>"
         "<noscript>taro at example.jp</noscript>",
         "taro at example.jp"},
        {"x<SCRIPT>\n<!--\ndocument.write(\"<a href='mailto:a'>a</a>\");\n// -->\n</SCRIPT >y",
         "xy"},
        {"x<script>a</scriptx>b</script>c<style>p > b { }</STYLE>d", "xcd"},
        {"x<scripts>a</scripts>b", "xab"},
        // Comments end at "-->", not at their first ">".
        {"x前<!-- if (a > b) { c(); } // -->後", "x前後"},
        {"x<!---->a<!-- -- > -->b", "xab"},
        {"x<!DOCTYPE html><?xml version=\"1.0\"?></ x>y", "xy"},
        // What never ends drops the rest of the field.
        {"xa<b", "xa"},
        {"xa<span title=\"b>c", "xa"},
        {"xa<!-- b", "xa"},
        {"xa<script>b", "xa"},
        // Control bytes other than whitespace are dropped and do not break a run of blanks.
        {"xa \x01 b\x1f", "xa b"},
        {std::string("xa\0b", 4), "xab"},
    };
    ExpectRendered(cases);
}

TEST(FieldRendererTest, EveryCharacterReferenceIsDecoded) {
    const Case cases[] = {
        {"x&lt;b&gt; &amp;lt; &quot;", "x<b> &lt; \""},
        {"x&ltb&gt", "x<b>"},
        {"x&#12354;&#x3044;&#X3046;&hellip;&times;", "xあいう…×"},
        // Without a CP932 form: the geta mark.
        {"x&#x1F600;", "x〓"},
        {"x&copy &foo; & ; &#;", "x&copy &foo; & ; &#;"},
        // A no-break space is a blank that stays; a run of them keeps its length.
        {"x&nbsp;&nbsp;字下げ", "x  字下げ"},
        {"&nbsp;&nbsp;AA&nbsp; &nbsp;x", "  AA   x"},
        // Whitespace references count as the source's whitespace.
        {"xa&#32;&#32; &#9;b&#10;c", "xa b c"},
        {"x<pre>a&#10;b&#32;&#32;c</pre>", "x\r\na\r\nb  c"},
        {"xa&#1;b", "xab"},
    };
    ExpectRendered(cases);
}

TEST(FieldRendererTest, EmptyFieldLeavesTheLastResult) {
    FieldRenderer renderer;
    EXPECT_EQ(renderer.RenderField("a <b>b</b>"), "a b");
    EXPECT_EQ(renderer.RenderField(""), "");
    EXPECT_EQ(renderer.Result(), "a b");
    EXPECT_EQ(renderer.RenderField("<br>"), "");
    EXPECT_EQ(renderer.Result(), "");
    // A long field after a short one, and a short one after it.
    const std::string line(100000, 'x');
    EXPECT_EQ(renderer.RenderField(line + "\r" + line), line + " " + line);
    EXPECT_EQ(renderer.RenderField("<pre>\r\r\r</pre>"), "");
    EXPECT_EQ(renderer.RenderField("<pre>\r\r\r\r</pre>"), "");
    EXPECT_EQ(renderer.RenderField("<pre>\ra\r\r</pre>"), "a");
}

}  // namespace
}  // namespace quor::convert
