#include "support/tinyproxy_process.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <chrono>
#include <thread>

namespace quor::test {

namespace {

bool Accepts(int port) {
    const int fd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_port = htons(static_cast<std::uint16_t>(port));
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    const bool ok = ::connect(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0;
    ::close(fd);
    return ok;
}

}  // namespace

TinyproxyProcess::TinyproxyProcess(const std::string& extraConfig) {
    port_ = FreeLoopbackPort();
    const auto config = dir_.Path() / "tinyproxy.conf";
    TempDir::WriteFile(config, "Port " + std::to_string(port_) +
                                   "\n"
                                   "Listen 127.0.0.1\n"
                                   "Timeout 30\n"
                                   "MaxClients 16\n"
                                   "Allow 127.0.0.1\n"
                                   "LogLevel Info\n"
                                   "LogFile \"" +
                                   (dir_.Path() / "tinyproxy.log").string() +
                                   "\"\n"
                                   "PidFile \"" +
                                   (dir_.Path() / "tinyproxy.pid").string() + "\"\n" + extraConfig);
    process_ = std::make_unique<ChildProcess>(
        std::vector<std::string>{"tinyproxy", "-d", "-c", config.string()});
    if (!process_->Started()) {
        problem_ = "tinyproxy cannot be started";
        return;
    }
    for (int attempt = 0; attempt < 100; ++attempt) {
        if (Accepts(port_)) {
            running_ = true;
            return;
        }
        if (process_->Wait(std::chrono::milliseconds(50))) {
            problem_ = "tinyproxy ended at start-up: " + Log();
            return;
        }
    }
    problem_ = "tinyproxy did not listen on port " + std::to_string(port_);
}

std::string TinyproxyProcess::Log() const {
    std::error_code error;
    if (!std::filesystem::exists(dir_.Path() / "tinyproxy.log", error))
        return {};
    return TempDir::ReadFile(dir_.Path() / "tinyproxy.log");
}

}  // namespace quor::test
