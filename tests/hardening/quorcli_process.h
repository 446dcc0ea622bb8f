#pragma once

// quorcli as a child process of a test, on a settings store of its own: every child gets
// XDG_CONFIG_HOME pointing into the test's directory, so it starts from the store the test wrote
// and never touches the user's. Optional limits for the child: a file-size limit (with SIGXFSZ
// ignored, so a write past it fails with EFBIG as on a full disk).

#include <sys/types.h>

#include <chrono>
#include <optional>
#include <string>
#include <vector>

#include "support/child_process.h"

namespace quor::test {

// The exit status of a child that a sanitizer stopped.
inline constexpr int kSanitizerExitCode = 99;

struct QuorcliOptions {
    std::string configHome;             // XDG_CONFIG_HOME of the child
    std::optional<long> fileSizeLimit;  // RLIMIT_FSIZE in bytes
    // The child's working directory (the test's own when empty): an output directory that is
    // not one ends up as a relative path, and its files must not land in the checkout.
    std::string workingDirectory;
};

// A ChildProcess running quorcli with the options above and standard error captured.
class QuorcliProcess final {
public:
    QuorcliProcess(const std::vector<std::string>& args, const QuorcliOptions& options);
    ~QuorcliProcess();
    QuorcliProcess(const QuorcliProcess&) = delete;
    QuorcliProcess& operator=(const QuorcliProcess&) = delete;

    pid_t Pid() const { return child_.Pid(); }
    void Kill(int signal) const { child_.Signal(signal); }
    // Exit status, 128 + signal, or nothing when it did not end within the limit (it is then
    // killed). Standard output and standard error are collected meanwhile.
    std::optional<int> Wait(std::chrono::milliseconds limit);
    const std::string& Output() const { return child_.Output(); }
    const std::string& Errors() const { return child_.Errors(); }

private:
    ChildProcess child_;
    bool timedOut_ = false;
};

// Runs quorcli to its end (or the limit) and returns the exit status, as Wait does.
std::optional<int> RunQuorcli(const std::vector<std::string>& args, const QuorcliOptions& options,
                              std::chrono::milliseconds limit, std::string* errors = nullptr);

// The INI file of a store under `configHome`, written whole: one "[Section]" per section and
// "key=value" lines, values as they are given (UTF-8 or any bytes the test wants to try).
struct IniEntry {
    std::string section;
    std::string key;
    std::string value;
};
void WriteStoreFile(const std::string& configHome, const std::vector<IniEntry>& entries);

}  // namespace quor::test
