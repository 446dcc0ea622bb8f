#pragma once

// The command table of quorcli. Each subsystem registers its commands; main runs the commands of
// the command line in the order given, in one process.

#include <functional>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "app/app_commands.h"
#include "cli/stderr_frontend.h"
#include "core/quor_app.h"

namespace quor::cli {

struct CliContext {
    core::CQuorApp& app;
    StderrFrontend& frontend;
};

// What a command gives back: success, or the reason it failed.
struct CliResult {
    bool ok = true;
    bool usage = false;  // the arguments were wrong rather than the work
    std::string error;   // UTF-8, shown as "quorcli: <command>: <error>"

    static CliResult Ok() { return {}; }
    static CliResult Fail(std::string reason) { return {false, false, std::move(reason)}; }
    static CliResult Usage(std::string reason) { return {false, true, std::move(reason)}; }
};

struct CliCommand {
    std::string_view name;
    std::vector<std::string_view> arguments;  // argument names, for the usage text
    std::function<CliResult(CliContext&, std::span<const std::string>)> run;
};

using CliCommandTable = std::vector<CliCommand>;

// Runs a command of the application's table (app/app_commands.h), as the desktop program runs
// it, on board `board` for the commands that act on one (quorcli has no tree selection). A refusal
// or a failed board fails the command; a command that had nothing to do succeeds and says why on
// stderr.
CliResult RunTableCommand(CliContext& context, int id, int board = 0);

// Reads a board number argument (1 to 64) or a post index; nothing when it is not one.
std::optional<int> ParseBoardNumber(std::string_view text);
std::optional<long long> ParseIndex(std::string_view text);

void RegisterCoreCommands(CliCommandTable& table);
void RegisterConvertCommands(CliCommandTable& table);
void RegisterStorageCommands(CliCommandTable& table);
void RegisterFetchCommands(CliCommandTable& table);

}  // namespace quor::cli
