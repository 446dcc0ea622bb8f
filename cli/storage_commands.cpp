// quorcli's storage commands: save, load, restore, clear, check-unread, write-read-state, read.

#include "cli/cli_command.h"
#include "storage/board_commands.h"
#include "storage/read_state.h"

namespace quor::cli {

namespace {

// A command over every board fails when any board failed; the status line already named each.
CliResult FromBoards(const storage::BoardsResult& result) {
    if (result.Ok())
        return CliResult::Ok();
    return CliResult::Fail(std::to_string(result.failed) + " board(s) failed, first " +
                           result.firstError);
}

template <storage::BoardsResult (*Command)(core::CQuorApp&)>
CliResult RunOverBoards(CliContext& context, std::span<const std::string>) {
    return FromBoards(Command(context.app));
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
    table.push_back({"save", {}, RunOverBoards<storage::OnSaveBoards>});
    table.push_back({"load", {}, RunOverBoards<storage::OnLoadBoards>});
    table.push_back({"restore", {}, RunOverBoards<storage::OnRestore>});
    table.push_back({"clear", {}, RunOverBoards<storage::OnClear>});
    table.push_back({"check-unread", {}, RunOverBoards<storage::OnUnreadCheck>});
    table.push_back({"write-read-state", {}, RunOverBoards<storage::OnWriteReadState>});
    table.push_back({"read", {"N", "I"}, Read});
}

}  // namespace quor::cli
