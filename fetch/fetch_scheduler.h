#pragma once

// The fetch scheduler turns fetch all, fetch selected and stop into page requests and drives
// each board through its pages. A run is one driver thread that polls the boards' fetch states
// every 100 ms, converts every page as soon as it has arrived, appends it to the board's page
// archive and, when the next-page analysis found another page, starts its request at once.
//
// A fetch-all run takes every board 1 to Count whose Enable is 0, in number order, keeps at most
// THREADCOUNT of them in flight (below 1 counts as 1) and gives up when one of its waits reaches
// TIMEOUT x 10 ticks: inside the inner loop it ends at once, in the outer loop it still runs the
// end step (remaining conversions, archives and post indexes, "変換終了", the post list of board
// 1, the unread check when AUTOCHECK is 1). A single-board run fetches one board with all its
// pages, refreshes the list once at its end and writes no index.
//
// Only one run at a time: a start while a run is active is refused with a status text, and a run
// stays active until the requests it started have ended, after a stop or a timeout too. The run,
// its flags and its result belong to the application (core/fetch_run.h); the driver gives the
// result how the run ended, and a board whose request could not start is reported failed. Boards
// after the 64th are left out (the tables have 64 slots), and the status line says so once a run.
// Every wait polls the application's shutdown, so quitting during a run neither hangs nor
// crashes: the driver ends within one polling period and request threads are cut off.

#include <optional>
#include <string>

#include "core/quor_app.h"

namespace quor::fetch {

enum class StartOutcome {
    kStarted,
    kRefusedRunActive,  // another run is in progress
    kRefusedSlot,       // the slot lies beyond the tables
    kNoThread,          // the system refused a thread, or the application is shutting down
};

// Commands, called on the user-interface thread; they return at once.
StartOutcome StartFetchAll(core::CQuorApp& app);
StartOutcome StartSingleBoardRun(core::CQuorApp& app, int slot);
void StopFetching(core::CQuorApp& app);

// The driver functions; they run on the driver thread the commands start and say how the run
// ended.
core::RunEnd FetchAll(core::CQuorApp& app);
core::RunEnd FetchOne(core::CQuorApp& app, int slot);

enum class RequestType { kPage, kPageWithQuery };

// Starts a request thread for the slot once the last launch was taken: marks the launch pending
// and the board in flight (state 1). The thread gets its own copy of the text.
bool StartRequest(core::CQuorApp& app, RequestType type, int slot, std::optional<std::string> text);

// A board whose page has arrived (state 2): convert, append the archive, then either start the
// next page (true) or finish the board (state 3, false).
bool ProcessFetchedBoard(core::CQuorApp& app, int slot);

}  // namespace quor::fetch
