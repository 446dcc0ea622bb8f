#include "hardening/quorcli_process.h"

#include <signal.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>

namespace quor::test {

namespace {

ChildOptions ChildOptionsFor(const QuorcliOptions& options) {
    ChildOptions child;
    child.environment.emplace_back("XDG_CONFIG_HOME", options.configHome);
    // In a sanitizer build a report must not pass for quorcli's own exit status 1.
    for (const char* name : {"ASAN_OPTIONS", "UBSAN_OPTIONS"}) {
        const char* given = std::getenv(name);
        child.environment.emplace_back(name, std::string(given ? given : "") +
                                                 ":exitcode=" + std::to_string(kSanitizerExitCode));
    }
    child.workingDirectory = options.workingDirectory;
    child.fileSizeLimit = options.fileSizeLimit;
    child.captureErrors = true;
    return child;
}

}  // namespace

QuorcliProcess::QuorcliProcess(const std::vector<std::string>& args, const QuorcliOptions& options)
    : child_(
          [&] {
              std::vector<std::string> argv = {QUORCLI_PATH};
              argv.insert(argv.end(), args.begin(), args.end());
              return argv;
          }(),
          ChildOptionsFor(options)) {}

QuorcliProcess::~QuorcliProcess() {
    child_.Signal(SIGKILL);
}

std::optional<int> QuorcliProcess::Wait(std::chrono::milliseconds limit) {
    if (timedOut_)
        return std::nullopt;
    const auto status = child_.Wait(limit);
    if (!status) {
        timedOut_ = true;
        child_.Signal(SIGKILL);
        child_.Wait(std::chrono::seconds(10));
    }
    return status;
}

std::optional<int> RunQuorcli(const std::vector<std::string>& args, const QuorcliOptions& options,
                              std::chrono::milliseconds limit, std::string* errors) {
    QuorcliProcess process(args, options);
    const auto status = process.Wait(limit);
    if (errors)
        *errors = process.Errors();
    return status;
}

void WriteStoreFile(const std::string& configHome, const std::vector<IniEntry>& entries) {
    std::map<std::string, std::vector<const IniEntry*>> sections;
    for (const auto& entry : entries)
        sections[entry.section].push_back(&entry);
    const std::filesystem::path dir = std::filesystem::path(configHome) / "QUORSYS";
    std::filesystem::create_directories(dir);
    std::ofstream file(dir / "quor.ini", std::ios::binary | std::ios::trunc);
    for (const auto& [section, list] : sections) {
        file << "[" << section << "]\n";
        for (const IniEntry* entry : list)
            file << entry->key << "=" << entry->value << "\n";
    }
}

}  // namespace quor::test
