#include "ui/engine_calls.h"

#include <mutex>

#if __has_include("core/app_commands.h")
#include "core/app_commands.h"
#define QUOR_HAVE_APP_COMMANDS 1
#endif
#if __has_include("fetch/fetch_scheduler.h")
#include "fetch/fetch_scheduler.h"
#define QUOR_HAVE_SCHEDULER 1
#endif
#if __has_include("convert/post_extraction.h")
#include "convert/post_extraction.h"
#define QUOR_HAVE_CONVERSION 1
#endif
#if __has_include("storage/board_commands.h")
#include "storage/board_commands.h"
#define QUOR_HAVE_BOARD_COMMANDS 1
#endif

namespace quor::ui {

void StartBoardFetch([[maybe_unused]] core::CQuorApp& app, [[maybe_unused]] int slot) {
#ifdef QUOR_HAVE_SCHEDULER
    fetch::StartSingleBoardRun(app, slot);
#endif
}

void ConvertBoardFromBuffer(core::CQuorApp& app, int slot) {
    {
        auto& workspace = app.Workspace(slot);
        const std::lock_guard lock(workspace.mutex);
        workspace.ClearBoard();
    }
#ifdef QUOR_HAVE_CONVERSION
    convert::ConvertBoard(app, slot);
#endif
}

bool RunAppCommand([[maybe_unused]] core::CQuorApp& app, [[maybe_unused]] int commandId) {
#ifdef QUOR_HAVE_APP_COMMANDS
    return core::OnAppCommand(app, commandId);
#else
    return false;
#endif
}

void RunExitWrites([[maybe_unused]] core::CQuorApp& app) {
#ifdef QUOR_HAVE_BOARD_COMMANDS
    storage::RunExitWrites(app);
#endif
}

}  // namespace quor::ui
