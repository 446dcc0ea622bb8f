#pragma once

// The built-in BBS script types: for each, the markers that stand right before and after the
// title, name, date and message of every post, and the skip marker that ends the page's
// preamble (core/parse_rules.h).
//
// Type (the board's Type setting): 0 Custom (no template), 1 HyperBBS, 2 VertexBBS, 3 SMBBS,
// 4 FSBBS, 5 MiniBBS, 6 LightBoard, 7 TCUPBBS, 8 PersonalBBS, 9 TCUPMiniBBS (the TCUPBBS
// template). Any other value has no template, like Custom.

#include "core/parse_rules.h"

namespace quor::convert {

struct BbsTemplate {
    core::Markers markers;
    // FSBBS pages show the date before the name.
    bool dateBeforeName = false;
};

// The template of a BBS type, or nothing for Custom and unknown types.
const BbsTemplate* TemplateForType(int type);

// Sets all nine markers; a date-before-name template also sets the field order to title, date,
// name, message. Other templates leave the field order alone.
void ApplyTemplate(const BbsTemplate& bbs, core::ParseRules& rules);

}  // namespace quor::convert
