// quorcli's storage commands: save, load, restore, clear, check-unread, write-read-state, read.

#include "app/command_ids.h"
#include "cli/cli_command.h"
#include "storage/read_state.h"

namespace quor::cli {

namespace {

// A command over every board fails when any board failed; the status line already named each.
template <int kCommand>
CliResult RunOverBoards(CliContext& context, std::span<const std::string>) {
    return RunTableCommand(context, kCommand);
}

CliResult Read(CliContext& context, std::span<const std::string> args) {
    const auto board = ParseBoardNumber(args[0]);
    if (!board)
        return CliResult::Usage("board number must be 1 to 64, not '" + args[0] + "'");
    const auto index = ParseIndex(args[1]);
    if (!index)
        return CliResult::Usage("post index must be a number from 0, not '" + args[1] + "'");
    if (!storage::MarkPostRead(context.app, *board - 1, static_cast<std::size_t>(*index)))
        return CliResult::Fail("board " + args[0] + " has no post " + args[1]);
    return CliResult::Ok();
}

}  // namespace

void RegisterStorageCommands(CliCommandTable& table) {
    namespace cmd = app::command;
    table.push_back({"save", {}, RunOverBoards<cmd::kSave>});
    table.push_back({"load", {}, RunOverBoards<cmd::kLoad>});
    table.push_back({"restore", {}, RunOverBoards<cmd::kRestore>});
    table.push_back({"clear", {}, RunOverBoards<cmd::kClear>});
    table.push_back({"check-unread", {}, RunOverBoards<cmd::kUnreadCheck>});
    table.push_back({"write-read-state", {}, RunOverBoards<cmd::kWriteReadState>});
    table.push_back({"read", {"N", "I"}, Read});
}

}  // namespace quor::cli
