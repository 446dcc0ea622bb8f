#include "convert/post_extraction.h"

#include <array>
#include <string>
#include <string_view>
#include <utility>

#include "convert/board_settings.h"
#include "convert/field_letters.h"
#include "convert/field_renderer.h"
#include "convert/kanji_code.h"
#include "convert/marker_pattern.h"
#include "convert/next_page.h"
#include "convert/text_cleaner.h"
#include "convert/text_search.h"
#include "core/board_workspace.h"
#include "core/cp932.h"
#include "core/quor_app.h"
#include "core/settings_keys.h"
#include "core/status_texts.h"

namespace quor::convert {

namespace {

// A field's two markers as the board stores them and as the search seeks them.
struct MarkerPair {
    const std::string* storedStart;
    const std::string* storedEnd;
    MarkerPattern start;
    MarkerPattern end;
};

// The marker pairs of the four field kinds, indexed by kind.
std::array<MarkerPair, 4> SoughtMarkers(const core::BoardWorkspace& workspace,
                                        const MarkerSearch& search) {
    const auto pair = [&](const std::string& start, const std::string& end) {
        return MarkerPair{&start, &end, MarkerPattern(search.Key(start)),
                          MarkerPattern(search.Key(end))};
    };
    return {pair(workspace.rules.markers.titleStart, workspace.rules.markers.titleEnd),
            pair(workspace.rules.markers.nameStart, workspace.rules.markers.nameEnd),
            pair(workspace.rules.markers.dateStart, workspace.rules.markers.dateEnd),
            pair(workspace.rules.markers.messageStart, workspace.rules.markers.messageEnd)};
}

bool IsFieldKind(std::int32_t kind) {
    return kind >= core::kFieldTitle && kind <= core::kFieldMessage;
}

// The fields in the order the page writes them: the Fields letters when they give one, else the
// workspace's field order.
struct SoughtOrder {
    FieldLetters fields;
    // With letters a post ends with its last letter, wherever the message stands. The field
    // order ends a post at each message, and an order without one never ends a post.
    bool fromLetters;
};

SoughtOrder OrderOf(const core::BoardWorkspace& workspace) {
    if (const auto letters = ParseFieldLetters(workspace.rules.fieldLetters))
        return {*letters, true};
    return {FieldLetters{workspace.rules.fieldOrder, workspace.rules.fieldOrder.size()}, false};
}

bool AllMarkersEmpty(const std::array<MarkerPair, 4>& pairs, const FieldLetters& order) {
    for (std::size_t step = 0; step < order.count; ++step) {
        const std::int32_t kind = order.kinds[step];
        if (IsFieldKind(kind) &&
            (!pairs[kind].storedStart->empty() || !pairs[kind].storedEnd->empty()))
            return false;
    }
    return true;
}

// Drops the preamble: everything up to and including the first occurrence of the skip marker.
void SkipPreamble(core::BoardWorkspace& workspace, MarkerSearch& search) {
    std::string& text = workspace.Text();
    if (workspace.rules.markers.skip.empty())
        return;
    MarkerPattern marker(search.Key(workspace.rules.markers.skip));
    const MarkerMatch match = marker.Find(search.In(text), 0);
    if (!match.Found())
        return;
    text.erase(0, match.end);
    search.DropPrefix(match.end);
}

// One field's text: cleaned by the byte rules and the switches, or as a browser shows it.
class FieldText {
public:
    explicit FieldText(const core::BoardWorkspace& workspace)
        : render_(workspace.rules.switches.render == 1), cleaner_(workspace.rules.switches) {}

    std::string_view Of(std::string_view raw) {
        return render_ ? renderer_.RenderField(raw) : cleaner_.CleanField(raw);
    }

private:
    bool render_;
    TextCleaner cleaner_;
    FieldRenderer renderer_;
};

struct CutResult {
    std::size_t cursor = 0;
    std::size_t posts = 0;
    // The marker not found, and where it was sought from.
    const std::string* missingMarker = nullptr;
    std::int32_t missingKind = 0;
    bool missingStart = true;
    std::size_t soughtFrom = 0;
};

// Cuts posts out of the text from its start.
CutResult CutPosts(core::BoardWorkspace& workspace, const MarkerSearch& search,
                   std::array<MarkerPair, 4>& pairs, const SoughtOrder& sought) {
    const FieldLetters& order = sought.fields;
    const std::string_view text = workspace.Text();
    const std::string_view searched = search.In(text);
    FieldText fieldText(workspace);
    std::array<std::string, 4> pending;  // the fields of the post being read, by kind
    CutResult result;
    std::size_t& cursor = result.cursor;
    std::size_t step = 0;
    for (;;) {
        const std::int32_t kind = order.kinds[step];
        if (!IsFieldKind(kind))
            break;
        MarkerPair& markers = pairs[kind];
        const MarkerMatch start = markers.start.Find(searched, cursor);
        if (!start.Found()) {
            result.missingMarker = markers.storedStart;
            result.missingKind = kind;
            result.soughtFrom = cursor;
            break;
        }
        const std::size_t fieldBegin = start.end;
        const std::size_t cut = markers.end.Find(searched, fieldBegin).begin;
        if (cut == kNotFound) {
            result.missingMarker = markers.storedEnd;
            result.missingKind = kind;
            result.missingStart = false;
            result.soughtFrom = fieldBegin;
            break;
        }
        const std::string_view field = fieldText.Of(text.substr(fieldBegin, cut - fieldBegin));
        // The rest of the end marker, after its first byte, is open to the next search.
        cursor = cut + 1;
        pending[kind].assign(field);
        if (sought.fromLetters ? step + 1 == order.count : kind == core::kFieldMessage) {
            workspace.posts.Append({pending[core::kFieldTitle], pending[core::kFieldName],
                                    pending[core::kFieldDate], pending[core::kFieldMessage], 0});
            ++result.posts;
            step = 0;
        } else {
            // An order without the message never completes a post, and never runs off its end.
            step = (step + 1) % order.count;
        }
        if (cut >= text.size())
            break;
    }
    return result;
}

}  // namespace

ExtractionOutcome ExtractPosts(core::BoardWorkspace& workspace) {
    ExtractionOutcome outcome;
    if (!workspace.HasText() || workspace.Text().empty()) {
        workspace.nextPage.flag = 0;
        workspace.nextPage.number = 0;
        return outcome;
    }
    MarkerSearch search(workspace.Text(), workspace.rules.switches.noCase == 1);
    std::array<MarkerPair, 4> pairs = SoughtMarkers(workspace, search);
    const SoughtOrder order = OrderOf(workspace);
    if (AllMarkersEmpty(pairs, order.fields)) {
        workspace.nextPage.flag = 0;
        workspace.nextPage.number = 0;
        outcome.noMarkers = true;
        return outcome;
    }
    SkipPreamble(workspace, search);
    const CutResult cut = CutPosts(workspace, search, pairs, order);
    outcome.posts = cut.posts;
    if (cut.missingMarker != nullptr &&
        (cut.posts == 0 || pairs[core::kFieldMessage]
                               .start.Find(search.In(workspace.Text()), cut.soughtFrom)
                               .Found()))
        outcome.missing = MissingMarker{cut.missingKind, cut.missingStart, *cut.missingMarker};
    // A cut at the very end of the text leaves the cursor one past it; the analysis takes that
    // as the end.
    AnalyseNextPage(workspace, cut.cursor, search);
    return outcome;
}

std::optional<std::string> ExtractionFailureText(const std::string& name,
                                                 const ExtractionOutcome& outcome) {
    if (outcome.noMarkers)
        return name + core::FromUtf8(": マーカーが設定されていません");
    if (!outcome.missing)
        return std::nullopt;
    static constexpr std::array<std::string_view, 4> kFieldNames = {"タイトル", "名前", "日付",
                                                                    "本文"};
    const MissingMarker& missing = *outcome.missing;
    std::string text = name + ": ";
    text += core::FromUtf8(kFieldNames[static_cast<std::size_t>(missing.kind)]);
    text += core::FromUtf8(missing.start ? "の開始マーカー \"" : "の終了マーカー \"");
    text += missing.marker;
    text += core::FromUtf8("\" が");
    if (outcome.posts > 0)
        text += std::to_string(outcome.posts) + core::FromUtf8("件目の後に");
    text += core::FromUtf8("見つかりません");
    return text;
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
    const ExtractionOutcome outcome = app.WithWorkspace(slot, ExtractPosts);
    app.SetStatusText(
        ExtractionFailureText(name, outcome).value_or(name + core::ConversionFinishedText()));
}

}  // namespace quor::convert
