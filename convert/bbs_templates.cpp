#include "convert/bbs_templates.h"

#include <array>

#include "core/cp932.h"

namespace quor::convert {

namespace {

using core::FromUtf8;

std::array<BbsTemplate, 8> BuildTemplates() {
    const std::string poster = FromUtf8("投稿者：");
    const std::string postedOn = FromUtf8("投稿日：");
    const std::string honorific = FromUtf8("さん");
    return {{
        // 1 HyperBBS: the title start ends with a full-width space.
        {{"</td></tr></table><p>", FromUtf8("<small>　"), "</b></font>", poster, honorific,
          FromUtf8("【"), FromUtf8("】"), "<div>", "</blockquote>"}},
        // 2 VertexBBS
        {{"<br><br><center>", "<b>", "</b>", poster, "</b>", postedOn, "</font>", "<blockquote>",
          "</blockquote>"}},
        // 3 SMBBS: the skip marker and the message end start with two blanks.
        {{"  <table>", "<td><font size=\"5\" color=\"#ff0000\">", "</font>",
          "<td><font size=\"4\" color=\"#0000ff\">", "</font>",
          "<font size=\"3\" color=\"#ff0000\">", "</font>", "<td colspan=\"6\">",
          "  <td><br></td>"}},
        // 4 FSBBS
        {{"</small></p>", "<td width=50% rowspan=2><b>", "</b>",
          "<td width=50% bgcolor=\"#e0f0ff\"><b>", honorific, "<br>", "</td>",
          "<td colspan=2 id=\"kiji\">", "</blockquote>"},
         true},
        // 5 MiniBBS
        {{"<hr>", "<hr>", "</b>", poster, "</b>", postedOn, "<p>", "<blockquote>",
          "</blockquote>"}},
        // 6 LightBoard
        {{"</blockquote>", "<b>", "</b>", poster, "<small>", postedOn, "</small>", "<blockquote>",
          "</blockquote>"}},
        // 7 TCUPBBS, also 9 TCUPMiniBBS
        {{"<hr>", "<b>", "</b>", poster, "</b>", postedOn, "</font>", "<blockquote>",
          "</blockquote>"}},
        // 8 PersonalBBS
        {{"<hr>", "<b>", "</b>", "<font size=4>", honorific, "<font size=-1>", "<br>",
          "<blockquote>", "</blockquote>"}},
    }};
}

}  // namespace

const BbsTemplate* TemplateForType(int type) {
    static const std::array<BbsTemplate, 8> templates = BuildTemplates();
    if (type >= 1 && type <= 8)
        return &templates[type - 1];
    if (type == 9)
        return &templates[7 - 1];
    return nullptr;
}

void ApplyTemplate(const BbsTemplate& bbs, core::ParseRules& rules) {
    rules.markers = bbs.markers;
    if (bbs.dateBeforeName)
        rules.fieldOrder = {core::kFieldTitle, core::kFieldDate, core::kFieldName,
                            core::kFieldMessage};
}

}  // namespace quor::convert
