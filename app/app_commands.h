#pragma once

// The application's commands, in one table: fetch all, fetch selected, stop, restore, save,
// clear, load, unread check, write read state, convert from buffer and buffer preview. Each row
// pairs a command id (command_ids.h) with the engine function that carries it out. The desktop
// program's command route and its board tree run these commands through the table, and so does
// quorcli, so each rule of a command is written once: an empty page text converts to nothing,
// a board outside the 64 slots is left alone, a refused fetch says why.
//
// Fetch commands return at once; the run goes on on its own thread. The widgets reach the
// engine's subsystems through this header only.

#include <optional>
#include <span>
#include <string>

namespace quor::core {
class CQuorApp;
}

namespace quor::app {

// One run of a command: the application, and the board it acts on when the caller names one.
struct CommandCall {
    core::CQuorApp& app;
    // The board number (1 to 64) given by the caller. None: the board selected in the tree, as
    // the frontend reports it (0 for the root, -1 when nothing is selected).
    std::optional<int> board;

    int Board() const;
};

struct CommandResult {
    enum Status {
        kDone,       // the command did its work; for a fetch: the run started
        kUnchanged,  // nothing to do and nothing changed: no board, or an empty page text
        kFailed,     // refused, or a board failed; `reason` says why
    } status = kDone;
    std::string reason;  // UTF-8; set for kUnchanged and kFailed
    std::string text;    // buffer preview: the board's page text, code page 932

    static CommandResult Done() { return {}; }
    static CommandResult Unchanged(std::string why) { return {kUnchanged, std::move(why), {}}; }
    static CommandResult Failed(std::string why) { return {kFailed, std::move(why), {}}; }
};

enum class CommandScope {
    kApplication,  // a menu or toolbar command, routed to the application
    kBoard,        // a command of one board, given on the board tree's context menu
};

struct AppCommand {
    int id = 0;
    CommandScope scope = CommandScope::kApplication;
    CommandResult (*run)(const CommandCall& call) = nullptr;
};

// Every row of the table, in the order of the ids.
std::span<const AppCommand> AppCommandTable();

// The row of a command id; nullptr for an id the table does not hold.
const AppCommand* FindAppCommand(int id);

// Runs a command of the table; nothing for an id the table does not hold.
std::optional<CommandResult> RunAppCommand(core::CQuorApp& app, int id,
                                           std::optional<int> board = std::nullopt);

// The desktop program's command route: runs the command on the board selected in the tree;
// false for an id the table does not hold.
bool OnAppCommand(core::CQuorApp& app, int id);

// The writes the application makes when the program ends (not a command of the table): with
// AUTOSAVE = 1 every board's read state, then with AUTOSAVEDATA = 1 every board's post index.
void RunExitWrites(core::CQuorApp& app);

}  // namespace quor::app
