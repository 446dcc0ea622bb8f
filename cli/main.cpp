// quorcli: the engine's commands, scriptable, on the same settings store and output directory as
// the desktop program. Commands run in the order given, e.g. `quorcli fetch-all posts 1`.
//
// Exit status: 0 success, 1 a command failed (with the reason on stderr), 2 a usage error.

#include <csignal>
#include <cstdio>
#include <string>
#include <vector>

#include "cli/cli_command.h"
#include "settings/qsettings_store.h"

namespace {

using quor::cli::CliCommandTable;

CliCommandTable BuildTable() {
    CliCommandTable table;
    quor::cli::RegisterCoreCommands(table);
    quor::cli::RegisterConvertCommands(table);
    quor::cli::RegisterStorageCommands(table);
    quor::cli::RegisterFetchCommands(table);
    return table;
}

void PrintUsage(const CliCommandTable& table) {
    std::fputs("usage: quorcli COMMAND [ARGS] [COMMAND [ARGS]]...\ncommands:\n", stderr);
    for (const auto& command : table) {
        std::string line = "  " + std::string(command.name);
        for (const auto argument : command.arguments) {
            line += ' ';
            line += argument;
        }
        std::fprintf(stderr, "%s\n", line.c_str());
    }
}

const quor::cli::CliCommand* Find(const CliCommandTable& table, const std::string& name) {
    for (const auto& command : table) {
        if (command.name == name)
            return &command;
    }
    return nullptr;
}

}  // namespace

int main(int argc, char** argv) {
    const CliCommandTable table = BuildTable();
    const std::vector<std::string> args(argv + 1, argv + argc);
    if (args.empty() || args[0] == "--help" || args[0] == "-h") {
        PrintUsage(table);
        return args.empty() ? 2 : 0;
    }

    // Check the whole command line before running anything, so a typo at the end does not leave
    // half a script done.
    for (std::size_t i = 0; i < args.size();) {
        const auto* command = Find(table, args[i]);
        if (!command) {
            std::fprintf(stderr, "quorcli: unknown command '%s'\n", args[i].c_str());
            PrintUsage(table);
            return 2;
        }
        if (i + 1 + command->arguments.size() > args.size()) {
            std::fprintf(stderr, "quorcli: %s: missing arguments\n", args[i].c_str());
            PrintUsage(table);
            return 2;
        }
        i += 1 + command->arguments.size();
    }

    quor::core::QSettingsStore store;
    quor::cli::StderrFrontend frontend;
    quor::core::CQuorApp app(store, frontend);
    quor::cli::CliContext context{app, frontend};

    for (std::size_t i = 0; i < args.size();) {
        const auto* command = Find(table, args[i]);
        const std::span<const std::string> commandArgs(args.data() + i + 1,
                                                       command->arguments.size());
        const auto result = command->run(context, commandArgs);
        if (!result.ok) {
            std::fprintf(stderr, "quorcli: %s: %s\n", args[i].c_str(), result.error.c_str());
            return result.usage ? 2 : 1;
        }
        i += 1 + command->arguments.size();
    }
    return 0;
}
