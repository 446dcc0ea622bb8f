#include "hardening/quorcli_process.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <map>
#include <thread>

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

// Reads what is there without blocking; false at the end of the stream.
bool Drain(int& fd, std::string& into) {
    if (fd < 0)
        return false;
    char buffer[65536];
    const ssize_t got = ::read(fd, buffer, sizeof buffer);
    if (got > 0) {
        into.append(buffer, static_cast<std::size_t>(got));
        return true;
    }
    if (got < 0 && (errno == EAGAIN || errno == EINTR))
        return true;
    ::close(fd);
    fd = -1;
    return false;
}

}  // namespace

QuorcliProcess::QuorcliProcess(const std::vector<std::string>& args,
                               const QuorcliOptions& options) {
    int outPipe[2];
    int errPipe[2];
    if (::pipe2(outPipe, O_CLOEXEC) != 0 || ::pipe2(errPipe, O_CLOEXEC) != 0)
        return;
    std::vector<std::string> argv = {QUORCLI_PATH};
    argv.insert(argv.end(), args.begin(), args.end());
    std::vector<char*> raw;
    for (auto& arg : argv)
        raw.push_back(arg.data());
    raw.push_back(nullptr);
    const std::string home = "XDG_CONFIG_HOME=" + options.configHome;
    pid_ = ::fork();
    if (pid_ == 0) {
        ::dup2(outPipe[1], STDOUT_FILENO);
        ::dup2(errPipe[1], STDERR_FILENO);
        ::setenv("XDG_CONFIG_HOME", options.configHome.c_str(), 1);
        if (!options.workingDirectory.empty() && ::chdir(options.workingDirectory.c_str()) != 0)
            ::_exit(127);
        // In a sanitizer build a report must not pass for quorcli's own exit status 1.
        for (const char* name : {"ASAN_OPTIONS", "UBSAN_OPTIONS"}) {
            const char* given = ::getenv(name);
            const std::string value =
                std::string(given ? given : "") + ":exitcode=" + std::to_string(kSanitizerExitCode);
            ::setenv(name, value.c_str(), 1);
        }
        if (options.fileSizeLimit) {
            ::signal(SIGXFSZ, SIG_IGN);
            const rlimit limit{static_cast<rlim_t>(*options.fileSizeLimit),
                               static_cast<rlim_t>(*options.fileSizeLimit)};
            ::setrlimit(RLIMIT_FSIZE, &limit);
        }
        ::execv(raw[0], raw.data());
        ::_exit(127);
    }
    ::close(outPipe[1]);
    ::close(errPipe[1]);
    out_ = outPipe[0];
    err_ = errPipe[0];
    ::fcntl(out_, F_SETFL, O_NONBLOCK);
    ::fcntl(err_, F_SETFL, O_NONBLOCK);
}

QuorcliProcess::~QuorcliProcess() {
    if (pid_ > 0 && !status_) {
        ::kill(pid_, SIGKILL);
        Wait(std::chrono::seconds(10));
    }
    if (out_ >= 0)
        ::close(out_);
    if (err_ >= 0)
        ::close(err_);
}

void QuorcliProcess::Kill(int signal) const {
    if (pid_ > 0 && !status_)
        ::kill(pid_, signal);
}

void QuorcliProcess::Collect(int timeoutMs) {
    pollfd entries[2] = {{out_, POLLIN, 0}, {err_, POLLIN, 0}};
    if (::poll(entries, 2, timeoutMs) > 0) {
        Drain(out_, output_);
        Drain(err_, errors_);
    }
}

std::optional<int> QuorcliProcess::Wait(std::chrono::milliseconds limit) {
    if (status_ || pid_ <= 0)
        return status_;
    const auto deadline = Clock::now() + limit;
    for (;;) {
        Collect(5);
        int raw = 0;
        if (::waitpid(pid_, &raw, WNOHANG) == pid_) {
            for (int round = 0; round < 10000 && (out_ >= 0 || err_ >= 0); ++round) {
                Drain(out_, output_);
                Drain(err_, errors_);
            }
            status_ = StatusOf(raw);
            return status_;
        }
        if (Clock::now() >= deadline) {
            ::kill(pid_, SIGKILL);
            ::waitpid(pid_, &raw, 0);
            status_ = -1;
            return std::nullopt;
        }
    }
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
