#pragma once

// Post extraction: a board's page cut into posts by the markers of its BBS type (or its own).
//
// ConvertBoard is the conversion of one page: the page text is copied into the board's
// workspace, its HTTP header dropped, the text brought to Shift-JIS, the board's parsing settings
// loaded from the store into the workspace, the posts cut out and appended, and the next-page
// analysis run. Posts already in the table stay; callers empty it when a run starts.
//
// Extraction walks the text once, never back: for each field in the workspace's field order it
// seeks the start marker from the cursor and the end marker after it, cleans the text between
// (or, with Render 1, renders it as a browser shows it), and moves the cursor one byte past the
// first byte of the end marker. A post is appended when its last field is found (the message, but
// for a board whose Fields letters put another field last); the first marker not found ends the
// extraction. Markers may hold "{*}" wildcards (convert/marker_pattern.h).
//
// A board whose markers are all empty has nothing to seek: it yields no post and no page turn,
// rather than an empty post at every byte of the page.

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>

namespace quor::core {
class BoardWorkspace;
class CQuorApp;
}  // namespace quor::core

namespace quor::convert {

// A marker that was not found where the page's posts were still to come.
struct MissingMarker {
    std::int32_t kind;   // the field (core::FieldKind)
    bool start;          // the start marker, or the end marker
    std::string marker;  // as the board stores it
};

// How an extraction ended.
struct ExtractionOutcome {
    std::size_t posts = 0;   // appended from this page
    bool noMarkers = false;  // every marker of the fields sought is empty: nothing was sought
    // Set when the marker that ended the extraction cut the posts short: the page gave no post at
    // all, or another message start marker follows where the missing marker was sought. The
    // marker after the last post, which every page runs out of, is not a fault.
    std::optional<MissingMarker> missing;
};

// Converts the page text of a board slot (0 to 63; other slots are ignored). Holds the
// workspace's lock while it rewrites the workspace, never while it shows the status texts
// "<name>変換中" and then "<name>変換終了" or, when the board's rules failed, the text that says
// how (ExtractionFailureText).
void ConvertBoard(core::CQuorApp& app, int slot);

// Appends the posts found in the workspace's text buffer, then runs the next-page analysis from
// where extraction stopped. An empty or missing text adds nothing and clears the next-page flag
// and number, and so does a board whose markers are all empty.
ExtractionOutcome ExtractPosts(core::BoardWorkspace& workspace);

// The status text of a failed extraction of board `name`, or nothing when it did not fail:
// "<name>: マーカーが設定されていません", or "<name>: 名前の開始マーカー "投稿者：<b>"
// が3件目の後に 見つかりません" (after the third post of the page; without a post,
// "が見つかりません").
std::optional<std::string> ExtractionFailureText(const std::string& name,
                                                 const ExtractionOutcome& outcome);

}  // namespace quor::convert
