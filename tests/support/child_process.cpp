#include "support/child_process.h"

#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <poll.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <string_view>
#include <thread>

extern char** environ;

namespace quor::test {

namespace {

using Clock = std::chrono::steady_clock;

int StatusOf(int raw) {
    if (WIFEXITED(raw))
        return WEXITSTATUS(raw);
    if (WIFSIGNALED(raw))
        return 128 + WTERMSIG(raw);
    return -1;
}

// The test's environment with the given variables set over it, as "NAME=value" entries.
std::vector<std::string> ChildEnvironment(
    const std::vector<std::pair<std::string, std::string>>& variables) {
    std::vector<std::string> entries;
    for (char** entry = environ; *entry != nullptr; ++entry) {
        const std::string_view text(*entry);
        const std::string_view name = text.substr(0, text.find('='));
        const bool replaced =
            std::any_of(variables.begin(), variables.end(),
                        [&](const auto& variable) { return variable.first == name; });
        if (!replaced)
            entries.emplace_back(text);
    }
    for (const auto& [name, value] : variables)
        entries.push_back(name + "=" + value);
    return entries;
}

std::vector<char*> Pointers(std::vector<std::string>& strings) {
    std::vector<char*> pointers;
    for (auto& text : strings)
        pointers.push_back(text.data());
    pointers.push_back(nullptr);
    return pointers;
}

// Reads what the pipe holds without blocking; closes it at its end.
void Drain(int& fd, std::string& into) {
    char buffer[65536];
    // Bounded, so a child that writes without pause cannot keep the test here.
    for (int round = 0; fd >= 0 && round < 64; ++round) {
        const ssize_t got = ::read(fd, buffer, sizeof buffer);
        if (got > 0) {
            into.append(buffer, static_cast<std::size_t>(got));
            continue;
        }
        if (got < 0 && errno == EINTR)
            continue;
        if (got < 0 && errno == EAGAIN)
            return;
        ::close(fd);
        fd = -1;
    }
}

}  // namespace

ChildProcess::ChildProcess(std::vector<std::string> argv, const ChildOptions& options) {
    int outPipe[2] = {-1, -1};
    int errPipe[2] = {-1, -1};
    if (::pipe2(outPipe, O_CLOEXEC) != 0)
        return;
    if (options.captureErrors && ::pipe2(errPipe, O_CLOEXEC) != 0) {
        ::close(outPipe[0]);
        ::close(outPipe[1]);
        return;
    }
    // Everything the child needs is made before the fork: in a process with threads, the child
    // may only make async-signal-safe calls (no allocation, no setenv) until it execs.
    std::vector<std::string> environment = ChildEnvironment(options.environment);
    const std::vector<char*> args = Pointers(argv);
    const std::vector<char*> envp = Pointers(environment);
    const char* directory =
        options.workingDirectory.empty() ? nullptr : options.workingDirectory.c_str();
    pid_ = ::fork();
    if (pid_ == 0) {
        ::dup2(outPipe[1], STDOUT_FILENO);
        if (errPipe[1] >= 0)
            ::dup2(errPipe[1], STDERR_FILENO);
        if (directory != nullptr && ::chdir(directory) != 0)
            ::_exit(127);
        if (options.fileSizeLimit) {
            ::signal(SIGXFSZ, SIG_IGN);
            const rlimit limit{static_cast<rlim_t>(*options.fileSizeLimit),
                               static_cast<rlim_t>(*options.fileSizeLimit)};
            ::setrlimit(RLIMIT_FSIZE, &limit);
        }
        ::execvpe(args[0], args.data(), envp.data());
        ::_exit(127);
    }
    for (const int fd : {outPipe[1], errPipe[1]}) {
        if (fd >= 0)
            ::close(fd);
    }
    if (pid_ < 0) {
        for (const int fd : {outPipe[0], errPipe[0]}) {
            if (fd >= 0)
                ::close(fd);
        }
        return;
    }
    out_ = outPipe[0];
    err_ = errPipe[0];
    for (const int fd : {out_, err_}) {
        if (fd >= 0)
            ::fcntl(fd, F_SETFL, O_NONBLOCK);
    }
}

ChildProcess::~ChildProcess() {
    if (pid_ > 0 && !status_) {
        Signal(SIGTERM);
        if (!Wait(std::chrono::seconds(5))) {
            Signal(SIGKILL);
            Wait(std::chrono::seconds(5));
        }
    }
    if (out_ >= 0)
        ::close(out_);
    if (err_ >= 0)
        ::close(err_);
}

void ChildProcess::Collect(int timeoutMs) {
    pollfd entries[2];
    nfds_t count = 0;
    for (const int fd : {out_, err_}) {
        if (fd >= 0)
            entries[count++] = {fd, POLLIN, 0};
    }
    if (count == 0) {
        std::this_thread::sleep_for(std::chrono::milliseconds(timeoutMs));
        return;
    }
    if (::poll(entries, count, timeoutMs) <= 0)
        return;
    Drain(out_, output_);
    Drain(err_, errors_);
}

std::optional<std::string> ChildProcess::ReadLine(std::chrono::milliseconds limit) {
    const auto deadline = Clock::now() + limit;
    for (;;) {
        const auto newline = output_.find('\n', given_);
        if (newline != std::string::npos) {
            std::string line = output_.substr(given_, newline - given_);
            given_ = newline + 1;
            return line;
        }
        const auto left =
            std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now());
        if (out_ < 0 || left.count() <= 0)
            return std::nullopt;
        Collect(static_cast<int>(left.count()));
    }
}

std::string ChildProcess::ReadAll(std::chrono::milliseconds limit) {
    std::string all;
    while (auto line = ReadLine(limit))
        all += *line + "\n";
    all += output_.substr(given_);
    given_ = output_.size();
    return all;
}

void ChildProcess::Signal(int signal) const {
    if (pid_ > 0 && !status_)
        ::kill(pid_, signal);
}

std::optional<int> ChildProcess::Wait(std::chrono::milliseconds limit) {
    if (status_ || pid_ <= 0)
        return status_;
    const auto deadline = Clock::now() + limit;
    for (;;) {
        int raw = 0;
        if (::waitpid(pid_, &raw, WNOHANG) == pid_) {
            // What it wrote before it ended is in the pipes; a process it left behind may still
            // hold them open, so this takes only what is there.
            Drain(out_, output_);
            Drain(err_, errors_);
            status_ = StatusOf(raw);
            return status_;
        }
        const auto left =
            std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now());
        if (left.count() <= 0)
            return std::nullopt;
        Collect(static_cast<int>(std::min<long long>(left.count(), 10)));
    }
}

int FreeLoopbackPort() {
    const int fd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t length = sizeof address;
    int port = 0;
    if (::bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0 &&
        ::getsockname(fd, reinterpret_cast<sockaddr*>(&address), &length) == 0)
        port = ntohs(address.sin_port);
    ::close(fd);
    return port;
}

}  // namespace quor::test
