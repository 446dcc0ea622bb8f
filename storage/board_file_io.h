#pragma once

// The step every per-board storage operation shares: locate the board's file, leave a board
// without a name alone, refuse a name that cannot be a file name, read, write or remove the file,
// and report a failure on the status line. The operations of board_files.h and read_state.h are
// this step plus what their format needs.
//
// Which file a kind names, and how it is written, is decided here once: the page archive only
// grows (appended to, rolled back when the append fails), the post index and the read state are
// replaced whole through a temporary file (atomic_file.h).
//
// The step holds no lock of its own. The callbacks take the locks they need and let go before
// they return; the step reports to the frontend only outside them.

#include <functional>
#include <optional>
#include <string>
#include <string_view>

#include "core/quor_app.h"
#include "storage/atomic_file.h"
#include "storage/board_location.h"

namespace quor::storage {

enum class BoardFileKind {
    kArchive,    // <name>.txt, appended to
    kIndex,      // <name>.idx, replaced
    kReadState,  // <name>.hcc, replaced
};

std::string_view ExtensionOf(BoardFileKind kind);

// Gives the bytes to write, or nothing when the board has nothing to write: the step then leaves
// the file as it is and reports kSkipped.
using BoardFileProducer = std::function<std::optional<std::string>()>;

// What a file written from the board's posts holds: `format` of the post table, or nothing for
// an empty table, so an empty board never replaces a file that holds its posts.
BoardFileProducer FormattedPosts(core::CQuorApp& app, int slot,
                                 std::string (*format)(const core::PostTable&));

// Takes the bytes read.
using BoardFileConsumer = std::function<void(std::string bytes)>;

// Writes what `produce` gives to the board's file of that kind. kDone once written.
StorageResult WriteBoardFile(core::CQuorApp& app, int slot, BoardFileKind kind,
                             const BoardFileProducer& produce);

// Reads the board's file of that kind, whole or, with `stopAt`, up to where it says, and hands
// the bytes to `consume`. A file that cannot be opened is kSkipped and nothing is consumed.
StorageResult ReadBoardFile(core::CQuorApp& app, int slot, BoardFileKind kind,
                            const BoardFileConsumer& consume, StopFinder stopAt = nullptr);

// Deletes the board's file of that kind; kSkipped when there was none.
StorageResult RemoveBoardFile(core::CQuorApp& app, int slot, BoardFileKind kind);

}  // namespace quor::storage
