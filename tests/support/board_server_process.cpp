#include "support/board_server_process.h"

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <sstream>

#include "core/cp932.h"

namespace quor::test {

namespace {

// The value after "key": in one line of the log, which json.dumps wrote: a number or a string.
std::string JsonValue(const std::string& line, const std::string& key) {
    const std::string marker = "\"" + key + "\": ";
    const auto at = line.find(marker);
    if (at == std::string::npos)
        return {};
    std::size_t i = at + marker.size();
    if (i >= line.size() || line[i] != '"') {
        const auto end = line.find_first_of(",}", i);
        return line.substr(i, end - i);
    }
    std::string value;
    for (++i; i < line.size() && line[i] != '"'; ++i) {
        if (line[i] != '\\' || i + 1 >= line.size()) {
            value += line[i];
            continue;
        }
        const char escaped = line[++i];
        if (escaped == 'n')
            value += '\n';
        else if (escaped == 'r')
            value += '\r';
        else if (escaped == 't')
            value += '\t';
        else if (escaped == 'u' && i + 4 < line.size()) {
            value += static_cast<char>(std::stoi(line.substr(i + 1, 4), nullptr, 16));
            i += 4;
        } else
            value += escaped;
    }
    return value;
}

double ToDouble(const std::string& text) {
    return text.empty() ? 0.0 : std::stod(text);
}
int ToInt(const std::string& text) {
    return text.empty() || text == "null" ? 0 : std::stoi(text);
}

}  // namespace

std::string BoardServerProcess::ScriptPath() {
    // A path join rather than string + literal: GCC 12 reports a false -Warray-bounds on the
    // latter at -O2 for some lengths of the checkout's path (GCC bug 105329).
    return (std::filesystem::path(QUOR_SOURCE_DIR) / "tests/support/board_server.py").string();
}

BoardServerProcess::BoardServerProcess(const std::string& configJson,
                                       std::vector<std::string> extraArgs) {
    TempDir::WriteFile(dir_.Path() / "boards.json", configJson);
    std::vector<std::string> argv{"python3",         ScriptPath(),
                                  "--port",          "0",
                                  "--config",        (dir_.Path() / "boards.json").string(),
                                  "--settings-file", (dir_.Path() / "settings.tsv").string(),
                                  "--log",           (dir_.Path() / "requests.jsonl").string()};
    argv.insert(argv.end(), extraArgs.begin(), extraArgs.end());
    process_ = std::make_unique<ChildProcess>(std::move(argv));
    const auto line = process_->ReadLine(std::chrono::seconds(20));
    if (line && line->rfind("PORT ", 0) == 0)
        port_ = std::stoi(line->substr(5));
}

void BoardServerProcess::LoadSettings(core::SettingsStore& store) const {
    std::istringstream lines(TempDir::ReadFile(dir_.Path() / "settings.tsv"));
    std::string line;
    while (std::getline(lines, line)) {
        const auto first = line.find('\t');
        const auto second = line.find('\t', first + 1);
        if (first == std::string::npos || second == std::string::npos)
            continue;
        store.WriteString(core::FromUtf8(line.substr(0, first)),
                          core::FromUtf8(line.substr(first + 1, second - first - 1)),
                          core::FromUtf8(line.substr(second + 1)));
    }
}

std::vector<BoardServerProcess::LoggedRequest> BoardServerProcess::Log() const {
    std::vector<LoggedRequest> log;
    std::error_code error;
    if (!std::filesystem::exists(dir_.Path() / "requests.jsonl", error))
        return log;
    std::istringstream lines(TempDir::ReadFile(dir_.Path() / "requests.jsonl"));
    std::string line;
    while (std::getline(lines, line)) {
        LoggedRequest entry;
        entry.board = ToInt(JsonValue(line, "board"));
        entry.page = ToInt(JsonValue(line, "page"));
        entry.method = JsonValue(line, "method");
        entry.target = JsonValue(line, "target");
        entry.body = JsonValue(line, "body");
        entry.bytes = ToInt(JsonValue(line, "bytes"));
        entry.start = ToDouble(JsonValue(line, "start"));
        entry.end = ToDouble(JsonValue(line, "end"));
        log.push_back(std::move(entry));
    }
    return log;
}

int BoardServerProcess::MostAtOnce(const std::vector<LoggedRequest>& log) {
    std::vector<std::pair<double, int>> events;
    for (const auto& entry : log) {
        events.emplace_back(entry.start, 1);
        events.emplace_back(entry.end, -1);
    }
    // An end and a start at the same moment do not overlap.
    std::sort(events.begin(), events.end());
    int now = 0;
    int most = 0;
    for (const auto& [time, change] : events) {
        now += change;
        most = std::max(most, now);
    }
    return most;
}

}  // namespace quor::test
