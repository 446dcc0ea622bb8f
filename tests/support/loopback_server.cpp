#include "support/loopback_server.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <cstdlib>
#include <stdexcept>

namespace quor::test {

namespace {

using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;

// The value of the request's Content-Length header (any case), 0 when it has none.
std::size_t ContentLength(std::string_view header) {
    std::string lower(header);
    std::transform(lower.begin(), lower.end(), lower.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    const auto at = lower.find("\ncontent-length:");
    if (at == std::string::npos)
        return 0;
    return static_cast<std::size_t>(std::strtoul(lower.c_str() + at + 16, nullptr, 10));
}

}  // namespace

LoopbackServer::LoopbackServer(const char* name, Handler handler, Connections connections)
    : handler_(std::move(handler)), connections_(connections) {
    listenFd_ = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    const int on = 1;
    ::setsockopt(listenFd_, SOL_SOCKET, SO_REUSEADDR, &on, sizeof on);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t length = sizeof address;
    if (listenFd_ < 0 ||
        ::bind(listenFd_, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0 ||
        ::listen(listenFd_, 128) != 0 ||
        ::getsockname(listenFd_, reinterpret_cast<sockaddr*>(&address), &length) != 0) {
        if (listenFd_ >= 0)
            ::close(listenFd_);
        throw std::runtime_error(std::string(name) + " cannot listen on 127.0.0.1");
    }
    port_ = ntohs(address.sin_port);
    acceptor_ = std::thread([this] { AcceptLoop(); });
}

LoopbackServer::~LoopbackServer() {
    stopping_.store(true);
    acceptor_.join();
    for (auto& worker : workers_)
        worker.thread.join();
    ::close(listenFd_);
}

std::string LoopbackServer::Address(const std::string& path) const {
    return "http://127.0.0.1:" + std::to_string(port_) + path;
}

void LoopbackServer::AcceptLoop() {
    while (!stopping_.load()) {
        JoinFinished();
        if (!WaitReadable(listenFd_, 20ms))
            continue;
        const int fd = ::accept4(listenFd_, nullptr, nullptr, SOCK_CLOEXEC);
        if (fd < 0)
            continue;
        accepted_.fetch_add(1);
        if (connections_ == Connections::kOneAtATime) {
            handler_(fd);
            continue;
        }
        auto done = std::make_shared<std::atomic<bool>>(false);
        workers_.push_back({std::thread([this, fd, done] {
                                handler_(fd);
                                done->store(true);
                            }),
                            done});
    }
}

// A long-lived server does not keep a thread object for every connection it ever served.
void LoopbackServer::JoinFinished() {
    for (auto worker = workers_.begin(); worker != workers_.end();) {
        if (!worker->done->load()) {
            ++worker;
            continue;
        }
        worker->thread.join();
        worker = workers_.erase(worker);
    }
}

bool WaitReadable(int fd, std::chrono::milliseconds limit) {
    pollfd entry{fd, POLLIN, 0};
    return ::poll(&entry, 1, static_cast<int>(limit.count())) > 0;
}

bool SendAll(int fd, std::string_view bytes) {
    while (!bytes.empty()) {
        const ssize_t sent = ::send(fd, bytes.data(), bytes.size(), MSG_NOSIGNAL);
        if (sent <= 0)
            return false;
        bytes.remove_prefix(static_cast<std::size_t>(sent));
    }
    return true;
}

std::size_t HeaderEnd(std::string_view bytes) {
    const auto lf = bytes.find("\n\n");
    const auto crlf = bytes.find("\r\n\r\n");
    if (crlf != std::string::npos && (lf == std::string::npos || crlf < lf))
        return crlf + 4;
    return lf == std::string::npos ? lf : lf + 2;
}

std::string ReadRequest(int fd, const std::atomic<bool>& stopping, std::chrono::milliseconds linger,
                        std::chrono::milliseconds limit) {
    std::string bytes;
    char buffer[4096];
    // The header is looked for only until it is found, so long bodies cost no more than reading.
    std::size_t need = std::string::npos;
    auto complete = [&] {
        if (need == std::string::npos) {
            const auto end = HeaderEnd(bytes);
            if (end != std::string::npos)
                need = end + ContentLength(std::string_view(bytes).substr(0, end));
        }
        return need != std::string::npos && bytes.size() >= need;
    };
    const auto giveUp = Clock::now() + limit;
    while (!stopping.load() && Clock::now() < giveUp) {
        const bool done = complete();
        if (!WaitReadable(fd, done ? linger : 20ms)) {
            if (done)
                break;
            continue;
        }
        const ssize_t received = ::recv(fd, buffer, sizeof buffer, 0);
        if (received <= 0)
            break;
        bytes.append(buffer, static_cast<std::size_t>(received));
    }
    return bytes;
}

void CloseGently(int fd, std::chrono::milliseconds limit) {
    ::shutdown(fd, SHUT_WR);
    const auto giveUp = Clock::now() + limit;
    char buffer[4096];
    while (Clock::now() < giveUp) {
        if (WaitReadable(fd, 20ms) && ::recv(fd, buffer, sizeof buffer, 0) <= 0)
            break;
    }
    ::close(fd);
}

}  // namespace quor::test
