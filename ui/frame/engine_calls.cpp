#include "ui/frame/engine_calls.h"

#include "app/app_commands.h"
#include "convert/post_extraction.h"
#include "fetch/fetch_scheduler.h"
#include "storage/board_commands.h"

namespace quor::ui {

void StartBoardFetch(core::CQuorApp& app, int slot) {
    fetch::StartSingleBoardRun(app, slot);
}

void ConvertBoardFromBuffer(core::CQuorApp& app, int slot) {
    app.WithWorkspace(slot, [](core::BoardWorkspace& workspace) { workspace.ClearBoard(); });
    convert::ConvertBoard(app, slot);
}

bool RunAppCommand(core::CQuorApp& app, int commandId) {
    return app::OnAppCommand(app, commandId);
}

void RunExitWrites(core::CQuorApp& app) {
    storage::RunExitWrites(app);
}

}  // namespace quor::ui
