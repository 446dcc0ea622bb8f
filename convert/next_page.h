#pragma once

// The next-page analysis: after a page's posts are extracted it looks at the rest of the page
// for the board's next-page search text and, by the board's method, derives the page number to
// POST or the query to GET next. It also enforces the board's page limit.
//
// Methods (NextAna): 0 the first "value=" after the search text, 1 the last "value=" before it,
// 2 the query of the last "a href=" before it, 3 (a form block) and others: no page turn.
// Keywords are matched in ASCII-lowered text; a keyword at the very start of the searched text
// does not count.

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string_view>

#include "convert/text_search.h"

namespace quor::core {
class BoardWorkspace;
}

namespace quor::convert {

enum NextPageMethod : std::int32_t {
    kNextAfterSearch = 0,
    kNextBeforeSearch = 1,
    kNextLink = 2,
    kNextFormBlock = 3,
};

// Sets the workspace's next-page flag and number (and, for a link, its query) from the text
// buffer after `cursor`, the position where extraction stopped. A cursor past the end of the
// text is taken as the end.
// The search text is sought as the board's case switch says.
void AnalyseNextPage(core::BoardWorkspace& workspace, std::size_t cursor);
// The same with the search of a conversion under way, whose folded copy (if any) follows the
// text buffer.
void AnalyseNextPage(core::BoardWorkspace& workspace, std::size_t cursor,
                     const MarkerSearch& markers);

// Reads a page number from at most the first 20 bytes of `text`: non-digits before the first
// digit are passed over, the first non-digit after a digit ends it, no digit gives 0. A number
// past the 32-bit range gives nothing: no page can have it, so no page turn follows.
std::optional<std::int32_t> ReadPageNumber(std::string_view text);

}  // namespace quor::convert
