#include "convert/post_extraction.h"

#include <array>
#include <string>
#include <string_view>
#include <utility>

#include "convert/board_settings.h"
#include "convert/kanji_code.h"
#include "convert/next_page.h"
#include "convert/text_cleaner.h"
#include "convert/text_search.h"
#include "core/board_workspace.h"
#include "core/quor_app.h"
#include "core/settings_keys.h"
#include "core/status_texts.h"

namespace quor::convert {

namespace {

struct MarkerPair {
    std::string start;
    std::string end;
};

// The marker pairs of the four field kinds, as the search seeks them, indexed by kind.
std::array<MarkerPair, 4> SoughtMarkers(const core::Markers& markers, const MarkerSearch& search) {
    const auto pair = [&](const std::string& start, const std::string& end) {
        return MarkerPair{search.Key(start), search.Key(end)};
    };
    std::array<MarkerPair, 4> pairs;
    pairs[core::kFieldTitle] = pair(markers.titleStart, markers.titleEnd);
    pairs[core::kFieldName] = pair(markers.nameStart, markers.nameEnd);
    pairs[core::kFieldDate] = pair(markers.dateStart, markers.dateEnd);
    pairs[core::kFieldMessage] = pair(markers.messageStart, markers.messageEnd);
    return pairs;
}

bool IsFieldKind(std::int32_t kind) {
    return kind >= core::kFieldTitle && kind <= core::kFieldMessage;
}

// Drops the preamble: everything up to and including the first occurrence of the skip marker.
void SkipPreamble(core::BoardWorkspace& workspace, MarkerSearch& search) {
    std::string& text = workspace.Text();
    const std::string& skip = workspace.rules.markers.skip;
    if (skip.empty())
        return;
    const std::string marker = search.Key(skip);
    const std::size_t at = FindFrom(search.In(text), marker, 0);
    if (at == kNotFound)
        return;
    text.erase(0, at + marker.size());
    search.DropPrefix(at + marker.size());
}

// Cuts posts out of the text from its start; returns the cursor where it stopped.
std::size_t CutPosts(core::BoardWorkspace& workspace, const MarkerSearch& search) {
    const std::string_view text = workspace.Text();
    const std::string_view sought = search.In(text);
    const core::FieldOrder& order = workspace.rules.fieldOrder;
    const std::array<MarkerPair, 4> pairs = SoughtMarkers(workspace.rules.markers, search);
    TextCleaner cleaner(workspace.rules.switches);
    std::array<std::string, 3> pending;  // title, name, date of the post being read
    std::size_t cursor = 0;
    std::size_t step = 0;
    for (;;) {
        const std::int32_t kind = order[step];
        if (!IsFieldKind(kind))
            break;
        const MarkerPair& markers = pairs[kind];
        const std::size_t start = FindMarker(sought, markers.start, cursor);
        if (start == kNotFound)
            break;
        const std::size_t fieldBegin = start + markers.start.size();
        const std::size_t cut = FindMarker(sought, markers.end, fieldBegin);
        if (cut == kNotFound)
            break;
        const std::string_view field =
            cleaner.CleanField(text.substr(fieldBegin, cut - fieldBegin));
        // The rest of the end marker, after its first byte, is open to the next search.
        cursor = cut + 1;
        if (kind == core::kFieldMessage) {
            workspace.posts.Append({pending[0], pending[1], pending[2], std::string(field), 0});
            step = 0;
        } else {
            pending[kind].assign(field);
            // An order without the message never completes a post, and never runs off its end.
            step = (step + 1) % order.size();
        }
        if (cut >= text.size())
            break;
    }
    return cursor;
}

}  // namespace

void ExtractPosts(core::BoardWorkspace& workspace) {
    if (!workspace.HasText() || workspace.Text().empty()) {
        workspace.nextPage.flag = 0;
        workspace.nextPage.number = 0;
        return;
    }
    MarkerSearch search(workspace.Text(), workspace.rules.switches.noCase == 1);
    SkipPreamble(workspace, search);
    const std::size_t cursor = CutPosts(workspace, search);
    // A cut at the very end of the text leaves the cursor one past it; the analysis takes that
    // as the end.
    AnalyseNextPage(workspace, cursor, search);
}

void ConvertBoard(core::CQuorApp& app, int slot) {
    if (!core::IsValidSlot(slot))
        return;
    const int boardNumber = slot + 1;
    const core::SettingsStore& store = app.Store();
    // A copy rather than a nested lock: the page text and the workspace are never locked together.
    const std::string page = app.PageTextCopy(slot);
    const int kanjiCode =
        store.ReadInt(core::kSectionTree, core::BoardKey(core::key::kKanjiCode, boardNumber),
                      core::defaults::kKanjiCode);
    const std::string name =
        store.ReadString(core::kSectionTree, core::BoardKey(core::key::kName, boardNumber), "");

    app.WithWorkspace(slot, [&](core::BoardWorkspace& workspace) {
        workspace.SetText(page);
        workspace.StripHeader();
        ConvertKanjiCode(workspace, kanjiCode);
        LoadParseRules(store, boardNumber, workspace.rules);
    });
    app.SetStatusText(name + core::ConvertingText());
    app.WithWorkspace(slot, ExtractPosts);
    app.SetStatusText(name + core::ConversionFinishedText());
}

}  // namespace quor::convert
