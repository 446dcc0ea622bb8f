#pragma once

// A program the tests start and stop: started with its arguments, its standard output read
// through a pipe, ended with SIGTERM (then SIGKILL) and reaped when the object goes.

#include <sys/types.h>

#include <chrono>
#include <optional>
#include <string>
#include <vector>

namespace quor::test {

class ChildProcess final {
public:
    // argv[0] is looked up on PATH. Standard error stays the test's.
    explicit ChildProcess(std::vector<std::string> argv);
    ~ChildProcess();
    ChildProcess(const ChildProcess&) = delete;
    ChildProcess& operator=(const ChildProcess&) = delete;

    bool Started() const { return pid_ > 0; }
    pid_t Pid() const { return pid_; }

    // The next line of standard output without its line feed, or nothing when the program
    // closed its output or the time ran out.
    std::optional<std::string> ReadLine(std::chrono::milliseconds limit);
    // Everything up to the end of its output.
    std::string ReadAll(std::chrono::milliseconds limit);

    void Signal(int signal) const;
    // Waits for the end; the exit status, 128 + signal, or nothing when the time ran out.
    std::optional<int> Wait(std::chrono::milliseconds limit);

private:
    pid_t pid_ = -1;
    int out_ = -1;
    std::string pending_;
    std::optional<int> status_;
};

// A TCP port on 127.0.0.1 that nobody listened on a moment ago.
int FreeLoopbackPort();

}  // namespace quor::test
