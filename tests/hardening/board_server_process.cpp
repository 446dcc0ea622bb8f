#include "hardening/board_server_process.h"

#include <sstream>

#include "core/cp932.h"

namespace quor::test {

BoardServerProcess::BoardServerProcess(const std::string& configJson,
                                       std::vector<std::string> extra) {
    const std::string config = (dir_.Path() / "boards.json").string();
    TempDir::WriteFile(config, configJson);
    std::vector<std::string> argv = {
        "python3",         std::string(QUOR_SOURCE_DIR) + "/tests/support/board_server.py",
        "--config",        config,
        "--settings-file", (dir_.Path() / "settings.tsv").string()};
    argv.insert(argv.end(), extra.begin(), extra.end());
    process_ = std::make_unique<ChildProcess>(argv);
    const auto line = process_->ReadLine(std::chrono::seconds(20));
    if (line && line->starts_with("PORT "))
        port_ = std::stoi(line->substr(5));
}

void BoardServerProcess::WriteSettings(core::SettingsStore& store) const {
    std::istringstream rows(TempDir::ReadFile(dir_.Path() / "settings.tsv"));
    std::string row;
    while (std::getline(rows, row)) {
        const auto first = row.find('\t');
        const auto second = row.find('\t', first + 1);
        if (first == std::string::npos || second == std::string::npos)
            continue;
        store.WriteString(core::FromUtf8(row.substr(0, first)),
                          core::FromUtf8(row.substr(first + 1, second - first - 1)),
                          core::FromUtf8(row.substr(second + 1)));
    }
}

}  // namespace quor::test
