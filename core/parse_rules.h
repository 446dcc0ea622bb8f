#pragma once

// The rules that cut a board's page into posts, as values: the nine markers, the field order, the
// switches, the next-page rule and the page limit. A conversion loads them from the store into the
// board's workspace (convert/board_settings.h); the built-in BBS types carry their markers in the
// same struct (convert/bbs_templates.h), so a template and a board's rules compare directly.
//
// Markers are code page 932 bytes compared byte by byte; leading blanks are part of them. The
// switches hold the stored values as they are: 1 switches on, anything else off.

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

#include "core/settings_keys.h"

namespace quor::core {

enum FieldKind : std::int32_t {
    kFieldTitle = 0,
    kFieldName = 1,
    kFieldDate = 2,
    kFieldMessage = 3
};

// The order in which the fields of a post stand on the page.
using FieldOrder = std::array<std::int32_t, 4>;
inline constexpr FieldOrder kDefaultFieldOrder{kFieldTitle, kFieldName, kFieldDate, kFieldMessage};

// The skip marker ends the page's preamble; each field lies between its start and end marker.
struct Markers {
    std::string skip;
    std::string titleStart, titleEnd;
    std::string nameStart, nameEnd;
    std::string dateStart, dateEnd;
    std::string messageStart, messageEnd;

    friend bool operator==(const Markers&, const Markers&) = default;
};

// Each marker with the per-board key stem it is stored under, in the order a conversion reads
// them.
struct MarkerKey {
    std::string_view stem;
    std::string Markers::*member;
};
inline constexpr std::array<MarkerKey, 9> kMarkerKeys{{
    {key::kSkipMarker, &Markers::skip},
    {key::kTitleStart, &Markers::titleStart},
    {key::kTitleEnd, &Markers::titleEnd},
    {key::kNameStart, &Markers::nameStart},
    {key::kNameEnd, &Markers::nameEnd},
    {key::kDateStart, &Markers::dateStart},
    {key::kDateEnd, &Markers::dateEnd},
    {key::kMessageStart, &Markers::messageStart},
    {key::kMessageEnd, &Markers::messageEnd},
}};

struct Switches {
    std::int32_t lineFeed = 0;  // LFCV: a line feed of the source becomes CR LF
    std::int32_t space = 0;     // SPCV: spaces are kept
    std::int32_t tab = 0;       // TGCV: tabs are kept
    std::int32_t noCase = 0;    // NoCase: markers and search text match letters in either case
    std::int32_t charRef = 0;   // CharRef: character references are decoded
    // Render: each field becomes the text a browser shows; lineFeed, space and tab do not apply
    // to it, and every character reference is decoded.
    std::int32_t render = 0;

    friend bool operator==(const Switches&, const Switches&) = default;
};

// How the next page is found: the text sought after the posts, and the method (NextAna) that
// derives the page number or query from around it.
struct NextPageRule {
    std::string searchText;
    std::int32_t method = 0;

    friend bool operator==(const NextPageRule&, const NextPageRule&) = default;
};

struct ParseRules {
    Markers markers;
    FieldOrder fieldOrder = kDefaultFieldOrder;
    // Fields: the order of the fields as letters ("TMND"); when valid it overrides fieldOrder
    // (convert/field_letters.h).
    std::string fieldLetters;
    Switches switches;
    NextPageRule nextPage;
    std::int32_t pageLimit = 0;  // PageCt: no page turn once the page counter reaches it

    friend bool operator==(const ParseRules&, const ParseRules&) = default;
};

}  // namespace quor::core
