#pragma once

// The engine operations the widgets start. The widgets never reach into the scheduler, the
// conversion or the storage code other than through these.

#include "core/quor_app.h"

namespace quor::ui {

// Starts a single-board run on the slot (the tree's "Webから取得", the fetch-selected command).
void StartBoardFetch(core::CQuorApp& app, int slot);

// Empties the slot's post table and cuts its page text into posts again.
void ConvertBoardFromBuffer(core::CQuorApp& app, int slot);

// The application's global commands (fetch, stop, restore, save, clear, load, unread check,
// write read state); false when the engine does not handle the id.
bool RunAppCommand(core::CQuorApp& app, int commandId);

// The writes that run when the program ends.
void RunExitWrites(core::CQuorApp& app);

}  // namespace quor::ui
