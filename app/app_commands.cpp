#include "app/app_commands.h"

#include "app/command_ids.h"
#include "core/quor_app.h"
#include "fetch/fetch_scheduler.h"
#include "storage/board_commands.h"
#include "storage/read_state.h"

namespace quor::app {

bool OnAppCommand(core::CQuorApp& app, int commandId) {
    switch (commandId) {
        case command::kFetchAll:
        case command::kFetchAllMenu:
            fetch::StartFetchAll(app);
            return true;
        case command::kFetchSelected:
            // The root (0) and a selection the tree cannot name (-1) start nothing.
            if (const int number = app.Ui().SelectedEntryNumber(); number >= 1)
                fetch::StartSingleBoardRun(app, number - 1);
            return true;
        case command::kStopFetching:
            fetch::StopFetching(app);
            return true;
        case command::kRestore:
            storage::OnRestore(app);
            return true;
        case command::kSave:
            storage::OnSaveBoards(app);
            return true;
        case command::kClear:
            storage::OnClear(app);
            return true;
        case command::kLoad:
            storage::OnLoadBoards(app);
            return true;
        case command::kUnreadCheck:
            storage::OnUnreadCheck(app);
            return true;
        case command::kWriteReadState:
            storage::OnWriteReadState(app);
            return true;
        default:
            return false;
    }
}

}  // namespace quor::app
