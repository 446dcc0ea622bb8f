#include "convert/next_page.h"

#include <limits>
#include <string>

#include "core/board_workspace.h"

namespace quor::convert {

namespace {

constexpr std::string_view kValueKeyword = "value=";
constexpr std::string_view kLinkKeyword = "a href=";
constexpr std::size_t kNumberWindow = 20;

// The last occurrence of the keyword, found by searching on from one byte past each one.
std::size_t FindLast(std::string_view text, std::string_view keyword) {
    std::size_t last = kNotFound;
    for (std::size_t at = FindFrom(text, keyword, 0); at != kNotFound;
         at = FindFrom(text, keyword, at + 1))
        last = at;
    return last;
}

// A found keyword at position 0 does not count.
bool Counts(std::size_t position) {
    return position != kNotFound && position > 0;
}

void TurnToNumber(core::BoardWorkspace& workspace, std::string_view afterKeyword) {
    const auto number = ReadPageNumber(afterKeyword);
    if (!number)
        return;
    workspace.nextPage.flag = 1;
    workspace.nextPage.number = *number;
}

// The query of a link: strictly between the first "?" after the link's start and the next ">",
// without one trailing double quote. Without them the previous query stays.
void TakeLinkQuery(core::BoardWorkspace& workspace, std::string_view lowered, std::size_t link) {
    const std::size_t question = FindFrom(lowered, "?", link + 1);
    if (question == kNotFound)
        return;
    const std::size_t close = FindFrom(lowered, ">", question + 1);
    if (close == kNotFound)
        return;
    std::string_view query = lowered.substr(question + 1, close - question - 1);
    if (!query.empty() && query.back() == '"')
        query.remove_suffix(1);
    workspace.nextPage.query = std::string(query);
}

void AnalyseAfter(core::BoardWorkspace& workspace, std::string_view fromSearch) {
    const std::string lowered = LowerAscii(fromSearch);
    const std::size_t keyword = FindFrom(lowered, kValueKeyword, 0);
    if (Counts(keyword))
        TurnToNumber(workspace, std::string_view(lowered).substr(keyword + kValueKeyword.size()));
}

// `beforeSearch` ends where the search text begins: nothing after it is looked at.
void AnalyseBefore(core::BoardWorkspace& workspace, std::string_view beforeSearch) {
    const std::string lowered = LowerAscii(beforeSearch);
    const std::size_t keyword = FindLast(lowered, kValueKeyword);
    if (Counts(keyword))
        TurnToNumber(workspace, std::string_view(lowered).substr(keyword + kValueKeyword.size()));
}

void AnalyseLink(core::BoardWorkspace& workspace, std::string_view beforeSearch) {
    const std::string lowered = LowerAscii(beforeSearch);
    const std::size_t link = FindLast(lowered, kLinkKeyword);
    if (!Counts(link))
        return;
    workspace.nextPage.flag = 1;
    TakeLinkQuery(workspace, lowered, link);
}

}  // namespace

std::optional<std::int32_t> ReadPageNumber(std::string_view text) {
    constexpr std::int32_t kMax = std::numeric_limits<std::int32_t>::max();
    text = text.substr(0, kNumberWindow);
    std::int32_t number = 0;
    bool inDigits = false;
    for (const char byte : text) {
        if (byte < '0' || byte > '9') {
            if (inDigits)
                break;
            continue;
        }
        inDigits = true;
        const int digit = byte - '0';
        if (number > (kMax - digit) / 10)
            return std::nullopt;
        number = number * 10 + digit;
    }
    return number;
}

void AnalyseNextPage(core::BoardWorkspace& workspace, std::size_t cursor) {
    AnalyseNextPage(workspace, cursor,
                    MarkerSearch(workspace.Text(), workspace.rules.switches.noCase == 1));
}

void AnalyseNextPage(core::BoardWorkspace& workspace, std::size_t cursor,
                     const MarkerSearch& markers) {
    workspace.nextPage.flag = 0;
    workspace.nextPage.number = 0;
    const core::ParseRules& rules = workspace.rules;
    if (workspace.pageCounter >= rules.pageLimit)
        return;
    if (rules.nextPage.searchText.empty())
        return;
    const std::string_view text = workspace.Text();
    cursor = std::min(cursor, text.size());
    const std::size_t search =
        FindFrom(markers.In(text), markers.Key(rules.nextPage.searchText), cursor);
    if (search == kNotFound)
        return;
    switch (rules.nextPage.method) {
        case kNextAfterSearch:
            AnalyseAfter(workspace, text.substr(search));
            break;
        case kNextBeforeSearch:
            AnalyseBefore(workspace, text.substr(cursor, search - cursor));
            break;
        case kNextLink:
            AnalyseLink(workspace, text.substr(cursor, search - cursor));
            break;
        default:
            break;
    }
}

}  // namespace quor::convert
