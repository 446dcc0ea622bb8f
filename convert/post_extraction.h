#pragma once

// Post extraction: a board's page cut into posts by the markers of its BBS type (or its own).
//
// ConvertBoard is the conversion of one page: the page text is copied into the board's
// workspace, its HTTP header dropped, the text brought to Shift-JIS, the board's parsing settings
// loaded from the store into the workspace, the posts cut out and appended, and the next-page
// analysis run. Posts already in the table stay; callers empty it when a run starts.
//
// Extraction walks the text once, never back: for each field in the workspace's field order it
// seeks the start marker from the cursor and the end marker after it, cleans the text between,
// and moves the cursor one byte past the first byte of the end marker. A post is appended when
// its message is found; the first marker not found ends the extraction.

#include <cstddef>

namespace quor::core {
class BoardWorkspace;
class CQuorApp;
}  // namespace quor::core

namespace quor::convert {

// Converts the page text of a board slot (0 to 63; other slots are ignored). Holds the
// workspace's lock while it rewrites the workspace, never while it shows the status texts
// "<name>変換中" and "<name>変換終了".
void ConvertBoard(core::CQuorApp& app, int slot);

// Appends the posts found in the workspace's text buffer, then runs the next-page analysis from
// where extraction stopped. An empty or missing text adds nothing and clears the next-page flag
// and number.
void ExtractPosts(core::BoardWorkspace& workspace);

}  // namespace quor::convert
