#include "app/app_commands.h"

#include <algorithm>
#include <array>

#include "app/command_ids.h"
#include "convert/post_extraction.h"
#include "core/quor_app.h"
#include "fetch/fetch_scheduler.h"
#include "storage/board_commands.h"
#include "storage/read_state.h"

namespace quor::app {

namespace {

CommandResult FromStart(fetch::StartOutcome outcome) {
    switch (outcome) {
        case fetch::StartOutcome::kStarted:
            return CommandResult::Done();
        case fetch::StartOutcome::kRefusedRunActive:
            return CommandResult::Failed("a fetch is already running");
        case fetch::StartOutcome::kRefusedSlot:
            return CommandResult::Failed("board is beyond the 64 the tables hold");
        case fetch::StartOutcome::kNoThread:
            return CommandResult::Failed("cannot start the fetch thread");
    }
    return CommandResult::Failed("unknown start outcome");
}

// A command over every board fails when any board failed; the status line already named each.
CommandResult FromBoards(const storage::BoardsResult& result) {
    if (result.Ok())
        return CommandResult::Done();
    return CommandResult::Failed(std::to_string(result.failed) + " board(s) failed, first " +
                                 result.firstError);
}

// The slot of the call's board, or nothing for the root, no selection or a board past the
// tables (a hand-edited Count may name one).
std::optional<int> SlotOf(const CommandCall& call) {
    const int slot = call.Board() - 1;
    return core::IsValidSlot(slot) ? std::optional(slot) : std::nullopt;
}

CommandResult NoBoard(const CommandCall& call) {
    return CommandResult::Unchanged("no board " + std::to_string(call.Board()) +
                                    " in the tables (1 to 64)");
}

CommandResult FetchAll(const CommandCall& call) {
    return FromStart(fetch::StartFetchAll(call.app));
}

CommandResult FetchSelected(const CommandCall& call) {
    // The root (0) and a selection the tree cannot name (-1) start nothing; a board past the
    // tables is refused by the scheduler, which says so on the status line.
    const int number = call.Board();
    if (number < 1)
        return NoBoard(call);
    return FromStart(fetch::StartSingleBoardRun(call.app, number - 1));
}

CommandResult StopFetching(const CommandCall& call) {
    fetch::StopFetching(call.app);
    return CommandResult::Done();
}

template <storage::BoardsResult (*Command)(core::CQuorApp&)>
CommandResult OverBoards(const CommandCall& call) {
    return FromBoards(Command(call.app));
}

// Cuts the board's page text into posts again, from an empty table, and shows them. A board
// never fetched has no page text; converting it would only empty its table, so nothing changes.
CommandResult ConvertFromBuffer(const CommandCall& call) {
    const auto slot = SlotOf(call);
    if (!slot)
        return NoBoard(call);
    core::CQuorApp& app = call.app;
    if (app.WithPageText(*slot, [](const std::string& text) { return text.empty(); })) {
        return CommandResult::Unchanged("board " + std::to_string(*slot + 1) +
                                        " has no page text; nothing converted");
    }
    app.WithWorkspace(*slot, [](core::BoardWorkspace& workspace) { workspace.ClearBoard(); });
    convert::ConvertBoard(app, *slot);
    app.currentBoard.store(*slot);
    app.RefreshPostList();
    return CommandResult::Done();
}

// The board's page text as it arrived, unconverted.
CommandResult BufferPreview(const CommandCall& call) {
    const auto slot = SlotOf(call);
    if (!slot)
        return NoBoard(call);
    CommandResult result;
    result.text = call.app.PageTextCopy(*slot);
    return result;
}

namespace cmd = command;
using enum CommandScope;

constexpr std::array kTable{
    AppCommand{cmd::kFetchAll, kApplication, FetchAll},
    AppCommand{cmd::kFetchAllMenu, kApplication, FetchAll},
    AppCommand{cmd::kFetchSelected, kApplication, FetchSelected},
    AppCommand{cmd::kStopFetching, kApplication, StopFetching},
    AppCommand{cmd::kConvertFromBuffer, kBoard, ConvertFromBuffer},
    AppCommand{cmd::kBufferPreview, kBoard, BufferPreview},
    AppCommand{cmd::kRestore, kApplication, OverBoards<storage::OnRestore>},
    AppCommand{cmd::kSave, kApplication, OverBoards<storage::OnSaveBoards>},
    AppCommand{cmd::kClear, kApplication, OverBoards<storage::OnClear>},
    AppCommand{cmd::kLoad, kApplication, OverBoards<storage::OnLoadBoards>},
    AppCommand{cmd::kUnreadCheck, kApplication, OverBoards<storage::OnUnreadCheck>},
    AppCommand{cmd::kWriteReadState, kApplication, OverBoards<storage::OnWriteReadState>},
};

}  // namespace

int CommandCall::Board() const {
    return board ? *board : app.Ui().SelectedEntryNumber();
}

std::span<const AppCommand> AppCommandTable() {
    return kTable;
}

const AppCommand* FindAppCommand(int id) {
    const auto* found = std::find_if(kTable.begin(), kTable.end(),
                                     [id](const AppCommand& row) { return row.id == id; });
    return found == kTable.end() ? nullptr : found;
}

std::optional<CommandResult> RunAppCommand(core::CQuorApp& app, int id, std::optional<int> board) {
    const AppCommand* command = FindAppCommand(id);
    if (command == nullptr)
        return std::nullopt;
    return command->run(CommandCall{app, board});
}

bool OnAppCommand(core::CQuorApp& app, int id) {
    return RunAppCommand(app, id).has_value();
}

void RunExitWrites(core::CQuorApp& app) {
    storage::RunExitWrites(app);
}

}  // namespace quor::app
