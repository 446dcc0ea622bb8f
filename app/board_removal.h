#pragma once

// Removing a board from the store and the application's tables while keeping both consistent:
// the board's sub-boards go with it, every per-board key of each later board moves down to the
// board's new number, parent numbers follow, and the later boards' page texts, workspaces and
// fetch states move with them. Board number n stays slot n - 1 throughout.
//
// Must not run while a fetch run is in progress: the workers address boards by slot.

#include <vector>

#include "core/quor_app.h"

namespace quor::app {

struct BoardRemoval {
    int oldCount = 0;
    int newCount = 0;
    // Indexed by old board number (0 = the root): the new number, or -1 for a removed board.
    std::vector<int> newNumber;
};

// The parent of board n as the tree uses it: a stored parent that names no earlier board hangs
// the board below the root (0).
int EffectiveParent(const core::SettingsStore& store, int boardNumber);

// Removes the board and everything below it. A number outside 1 to Count removes nothing.
BoardRemoval RemoveBoardAndDescendants(core::CQuorApp& app, int boardNumber);

}  // namespace quor::app
