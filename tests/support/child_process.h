#pragma once

// The one way the tests run a program: started with its arguments (and, if asked, variables of
// its environment, a working directory, a file-size limit), its standard output, and standard
// error if asked, read through pipes, ended with SIGTERM (then SIGKILL) and reaped when the
// object goes.

#include <sys/types.h>

#include <chrono>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace quor::test {

struct ChildOptions {
    // Variables set in the child's environment, over the test's own.
    std::vector<std::pair<std::string, std::string>> environment;
    // The child's working directory; the test's own when empty.
    std::string workingDirectory;
    // RLIMIT_FSIZE in bytes, with SIGXFSZ ignored, so a write past it fails with EFBIG as on a
    // full disk.
    std::optional<long> fileSizeLimit;
    // Standard error through a pipe as well (Errors()); otherwise it stays the test's.
    bool captureErrors = false;
};

class ChildProcess final {
public:
    // argv[0] is looked up on PATH.
    explicit ChildProcess(std::vector<std::string> argv, const ChildOptions& options = {});
    ~ChildProcess();
    ChildProcess(const ChildProcess&) = delete;
    ChildProcess& operator=(const ChildProcess&) = delete;

    bool Started() const { return pid_ > 0; }
    pid_t Pid() const { return pid_; }

    // The next line of standard output without its line feed, or nothing when the program
    // closed its output or the time ran out.
    std::optional<std::string> ReadLine(std::chrono::milliseconds limit);
    // Everything up to the end of its output that ReadLine has not given yet.
    std::string ReadAll(std::chrono::milliseconds limit);

    void Signal(int signal) const;
    // Waits for the end, reading its output meanwhile (so a full pipe never holds it up); the
    // exit status, 128 + signal, or nothing when the time ran out.
    std::optional<int> Wait(std::chrono::milliseconds limit);

    // All it wrote to standard output / standard error (when captured) so far.
    const std::string& Output() const { return output_; }
    const std::string& Errors() const { return errors_; }

private:
    // Reads whatever the pipes hold, waiting up to the timeout for the first bytes.
    void Collect(int timeoutMs);

    pid_t pid_ = -1;
    int out_ = -1;
    int err_ = -1;
    std::string output_;
    std::size_t given_ = 0;  // bytes of output_ that ReadLine handed out
    std::string errors_;
    std::optional<int> status_;
};

// A TCP port on 127.0.0.1 that nobody listened on a moment ago.
int FreeLoopbackPort();

}  // namespace quor::test
