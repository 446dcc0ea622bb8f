#include "support/tls_front_process.h"

#include <chrono>
#include <filesystem>
#include <sstream>
#include <thread>

namespace quor::test {

TlsFrontProcess::TlsFrontProcess(int backendPort, const std::string& certificateFile,
                                 const std::string& keyFile, Options options) {
    std::vector<std::string> argv{
        "python3",
        (std::filesystem::path(QUOR_SOURCE_DIR) / "tests/support/tls_front.py").string(),
        "--cert",
        certificateFile,
        "--key",
        keyFile,
        "--backend",
        std::to_string(backendPort),
        "--log",
        (dir_.Path() / "front.log").string()};
    if (!options.closeNotify)
        argv.emplace_back("--no-close-notify");
    process_ = std::make_unique<ChildProcess>(std::move(argv));
    const auto line = process_->ReadLine(std::chrono::seconds(20));
    if (line && line->rfind("PORT ", 0) == 0)
        port_ = std::stoi(line->substr(5));
}

std::vector<std::string> TlsFrontProcess::Log() const {
    std::vector<std::string> lines;
    std::error_code error;
    const auto path = dir_.Path() / "front.log";
    if (!std::filesystem::exists(path, error))
        return lines;
    std::istringstream text(TempDir::ReadFile(path));
    for (std::string line; std::getline(text, line);)
        lines.push_back(line);
    return lines;
}

bool TlsFrontProcess::WaitForLog(const std::string& start, std::chrono::milliseconds limit) const {
    const auto deadline = std::chrono::steady_clock::now() + limit;
    for (;;) {
        for (const auto& line : Log()) {
            if (line.rfind(start, 0) == 0)
                return true;
        }
        if (std::chrono::steady_clock::now() >= deadline)
            return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
}

}  // namespace quor::test
