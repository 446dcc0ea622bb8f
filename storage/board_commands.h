#pragma once

// The commands that move every board's data between memory and the output directory, and the
// writes the application makes on its way out. Each visits board slots 0 to Count - 1 (Count read
// once at its start) and does its work through the per-board operations of board_files.h and
// read_state.h; a board that fails is reported on the status line and the others go on.
//
// Save and load show the frontend's progress display: range 0 to Count, position 0, the text,
// then after each board that board's slot (0 after the first, Count - 1 after the last).

#include "core/quor_app.h"
#include "storage/board_location.h"

namespace quor::storage {

// Writes every board's post index.
BoardsResult OnSaveBoards(core::CQuorApp& app);

// Reads every board's post index (boards without one keep their posts), then refreshes the post
// list.
BoardsResult OnLoadBoards(core::CQuorApp& app);

// Empties every board's page text and posts, then rebuilds each board from the first page of its
// archive, then refreshes the post list. The current board stays.
BoardsResult OnRestore(core::CQuorApp& app);

// Deletes every board's page archive; indexes, read states and memory stay.
BoardsResult OnClear(core::CQuorApp& app);

// At exit: with AUTOSAVE = 1 every board's read state, then with AUTOSAVEDATA = 1 every board's
// post index. Any other value switches its write off.
BoardsResult RunExitWrites(core::CQuorApp& app);

}  // namespace quor::storage
