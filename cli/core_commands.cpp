// quorcli's commands on the settings store and the page texts: get, set, tree, import, page (the
// buffer preview); and the helpers every command file shares.

#include <charconv>
#include <cstdio>
#include <fstream>
#include <iterator>

#include "app/command_ids.h"
#include "cli/cli_command.h"
#include "core/cp932.h"
#include "core/settings_keys.h"

namespace quor::cli {

namespace {

using core::BoardKey;
namespace key = core::key;

CliResult Get(CliContext& context, std::span<const std::string> args) {
    const auto value =
        context.app.Store().ReadRaw(core::FromUtf8(args[0]), core::FromUtf8(args[1]));
    std::printf("%s\n", value ? core::ToUtf8(*value).c_str() : "");
    return CliResult::Ok();
}

CliResult Set(CliContext& context, std::span<const std::string> args) {
    context.app.Store().WriteString(core::FromUtf8(args[0]), core::FromUtf8(args[1]),
                                    core::FromUtf8(args[2]));
    return CliResult::Ok();
}

CliResult Tree(CliContext& context, std::span<const std::string>) {
    const auto& store = context.app.Store();
    // A hand-edited Count of two billion must not mean two billion lines: no board past the
    // tables' 64 slots is fetched, stored or shown anywhere.
    const int count = core::BoardCount(store);
    if (const int stored = core::StoredBoardCount(store); stored > count)
        std::fprintf(stderr, "quorcli: tree: Count is %d; only the first %d boards are shown\n",
                     stored, count);
    for (int n = 1; n <= count; ++n) {
        const int parent =
            store.ReadInt(core::kSectionTree, BoardKey(key::kParent, n), core::defaults::kParent);
        const auto name = store.ReadString(core::kSectionTree, BoardKey(key::kName, n), "");
        const auto url = store.ReadString(core::kSectionTree, BoardKey(key::kUrl, n), "");
        std::printf("%d\t%d\t%s\t%s\n", n, parent, core::ToUtf8(name).c_str(),
                    core::ToUtf8(url).c_str());
    }
    return CliResult::Ok();
}

CliResult Import(CliContext& context, std::span<const std::string> args) {
    const auto board = ParseBoardNumber(args[0]);
    if (!board)
        return CliResult::Usage("board number must be 1 to 64, not '" + args[0] + "'");
    std::ifstream file(args[1], std::ios::binary);
    if (!file)
        return CliResult::Fail("cannot open '" + args[1] + "'");
    std::string bytes((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
    if (file.bad())
        return CliResult::Fail("cannot read '" + args[1] + "'");
    context.app.SetPageText(*board - 1, std::move(bytes));
    return CliResult::Ok();
}

CliResult Page(CliContext& context, std::span<const std::string> args) {
    const auto board = ParseBoardNumber(args[0]);
    if (!board)
        return CliResult::Usage("board number must be 1 to 64, not '" + args[0] + "'");
    const auto preview = app::RunAppCommand(context.app, app::command::kBufferPreview, *board);
    const std::string& text = preview->text;
    std::fwrite(text.data(), 1, text.size(), stdout);
    std::fflush(stdout);
    return CliResult::Ok();
}

}  // namespace

std::optional<int> ParseBoardNumber(std::string_view text) {
    int value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (error != std::errc{} || end != text.data() + text.size() || value < 1 ||
        value > core::kSlotCount)
        return std::nullopt;
    return value;
}

CliResult RunTableCommand(CliContext& context, int id, int board) {
    const auto result = app::RunAppCommand(context.app, id, board);
    if (!result)
        return CliResult::Fail("no such application command " + std::to_string(id));
    switch (result->status) {
        case app::CommandResult::kDone:
            break;
        case app::CommandResult::kUnchanged:
            std::fprintf(stderr, "quorcli: %s\n", result->reason.c_str());
            break;
        case app::CommandResult::kFailed:
            return CliResult::Fail(result->reason);
    }
    return CliResult::Ok();
}

std::optional<long long> ParseIndex(std::string_view text) {
    long long value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (error != std::errc{} || end != text.data() + text.size() || value < 0)
        return std::nullopt;
    return value;
}

void RegisterCoreCommands(CliCommandTable& table) {
    table.push_back({"get", {"SECTION", "KEY"}, Get});
    table.push_back({"set", {"SECTION", "KEY", "VALUE"}, Set});
    table.push_back({"tree", {}, Tree});
    table.push_back({"import", {"N", "FILE"}, Import});
    table.push_back({"page", {"N"}, Page});
}

}  // namespace quor::cli
