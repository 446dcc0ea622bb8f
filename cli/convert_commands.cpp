// quorcli's convert commands: convert (as the tree's convert-from-buffer) and posts.

#include <cstdio>
#include <string>

#include "app/command_ids.h"
#include "cli/cli_command.h"
#include "core/cp932.h"

namespace quor::cli {

namespace {

// A JSON string of UTF-8 text: quotes, backslashes and every control byte escaped.
void AppendJsonString(std::string& out, std::string_view utf8) {
    static constexpr char kHex[] = "0123456789abcdef";
    out += '"';
    for (const char c : utf8) {
        const auto byte = static_cast<unsigned char>(c);
        switch (c) {
            case '"':
                out += "\\\"";
                break;
            case '\\':
                out += "\\\\";
                break;
            case '\n':
                out += "\\n";
                break;
            case '\r':
                out += "\\r";
                break;
            case '\t':
                out += "\\t";
                break;
            default:
                if (byte < 0x20 || byte == 0x7F) {
                    out += "\\u00";
                    out += kHex[byte >> 4];
                    out += kHex[byte & 0xF];
                } else {
                    out += c;
                }
        }
    }
    out += '"';
}

void AppendField(std::string& out, std::string_view name, const std::string& cp932) {
    out += ",\"";
    out += name;
    out += "\":";
    AppendJsonString(out, core::ToUtf8(cp932));
}

std::string PostLine(std::size_t index, const core::Post& post) {
    std::string line = "{\"index\":" + std::to_string(index);
    AppendField(line, "title", post.title);
    AppendField(line, "name", post.name);
    AppendField(line, "date", post.date);
    AppendField(line, "message", post.message);
    line += ",\"unread\":" + std::to_string(post.unread == 1 ? 1 : 0) + "}\n";
    return line;
}

CliResult Convert(CliContext& context, std::span<const std::string> args) {
    const auto board = ParseBoardNumber(args[0]);
    if (!board)
        return CliResult::Usage("board number must be 1 to 64, not '" + args[0] + "'");
    return RunTableCommand(context, app::command::kConvertFromBuffer, *board);
}

CliResult Posts(CliContext& context, std::span<const std::string> args) {
    const auto board = ParseBoardNumber(args[0]);
    if (!board)
        return CliResult::Usage("board number must be 1 to 64, not '" + args[0] + "'");
    const std::string out =
        context.app.WithWorkspace(*board - 1, [](const core::BoardWorkspace& workspace) {
            std::string lines;
            std::size_t index = 0;
            for (const core::Post& post : workspace.posts)
                lines += PostLine(index++, post);
            return lines;
        });
    std::fwrite(out.data(), 1, out.size(), stdout);
    std::fflush(stdout);
    return CliResult::Ok();
}

}  // namespace

void RegisterConvertCommands(CliCommandTable& table) {
    table.push_back({"convert", {"N"}, Convert});
    table.push_back({"posts", {"N"}, Posts});
}

}  // namespace quor::cli
