#include "hardening/hostile_server.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <chrono>
#include <stdexcept>

#include "support/loopback_listener.h"

namespace quor::test {

namespace {

using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;

bool Readable(int fd, std::chrono::milliseconds limit) {
    pollfd entry{fd, POLLIN, 0};
    return ::poll(&entry, 1, static_cast<int>(limit.count())) > 0;
}

// Sends everything unless the peer goes away; false then.
bool SendAll(int fd, const char* data, std::size_t size) {
    while (size > 0) {
        const ssize_t sent = ::send(fd, data, size, MSG_NOSIGNAL);
        if (sent <= 0)
            return false;
        data += sent;
        size -= static_cast<std::size_t>(sent);
    }
    return true;
}

void ReadRequest(int fd) {
    std::string request;
    char buffer[4096];
    const auto giveUp = Clock::now() + 2s;
    while (request.find("\n\n") == std::string::npos && Clock::now() < giveUp) {
        if (!Readable(fd, 20ms))
            continue;
        const ssize_t got = ::recv(fd, buffer, sizeof buffer, 0);
        if (got <= 0)
            return;
        request.append(buffer, static_cast<std::size_t>(got));
    }
}

// Closes after the client has seen our end, so no unread request byte turns the close into a
// reset that could swallow what was sent.
void CloseGently(int fd) {
    ::shutdown(fd, SHUT_WR);
    const auto giveUp = Clock::now() + 2s;
    char buffer[4096];
    while (Clock::now() < giveUp) {
        if (Readable(fd, 20ms) && ::recv(fd, buffer, sizeof buffer, 0) <= 0)
            break;
    }
    ::close(fd);
}

std::size_t BodyStart(const std::string& bytes) {
    const auto end = bytes.find("\r\n\r\n");
    return end == std::string::npos ? 0 : end + 4;
}

}  // namespace

HostileServer::HostileServer(Script script) : script_(std::move(script)) {
    const LoopbackListener listener = ListenOnLoopback(128, "the hostile server");
    listenFd_ = listener.fd;
    port_ = listener.port;
    acceptor_ = std::thread([this] { AcceptLoop(); });
}

HostileServer::~HostileServer() {
    stopping_.store(true);
    acceptor_.join();
    const std::lock_guard lock(mutex_);
    for (auto& handler : handlers_)
        handler.join();
    ::close(listenFd_);
}

void HostileServer::AcceptLoop() {
    while (!stopping_.load()) {
        if (!Readable(listenFd_, 20ms))
            continue;
        const int fd = ::accept4(listenFd_, nullptr, nullptr, SOCK_CLOEXEC);
        if (fd < 0)
            continue;
        connections_.fetch_add(1);
        const std::lock_guard lock(mutex_);
        handlers_.emplace_back([this, fd] { Serve(fd); });
    }
}

void HostileServer::WaitUntilStopped() const {
    while (!stopping_.load())
        std::this_thread::sleep_for(10ms);
}

void HostileServer::Flood(int fd) {
    static const std::string header = "HTTP/1.0 200 OK\r\nContent-Type: text/html\r\n\r\n";
    if (!SendAll(fd, header.data(), header.size()))
        return;
    const std::string filler(64 * 1024, 'x');
    std::size_t left = script_.floodBytes;
    while (left > 0 && !stopping_.load()) {
        const std::size_t piece = std::min(left, filler.size());
        if (!SendAll(fd, filler.data(), piece))
            return;
        floodSent_.fetch_add(piece);
        left -= piece;
    }
}

void HostileServer::Serve(int fd) {
    ReadRequest(fd);
    const std::string& bytes = script_.bytes;
    switch (script_.mode) {
        case Mode::kSilent:
            WaitUntilStopped();
            break;
        case Mode::kHeaderThenStall: {
            const std::string header =
                "HTTP/1.0 200 OK\r\nContent-Type: text/html\r\nContent-Length: 5000\r\n\r\n";
            SendAll(fd, header.data(), header.size());
            WaitUntilStopped();
            break;
        }
        case Mode::kCloseMidBody: {
            const std::size_t start = BodyStart(bytes);
            SendAll(fd, bytes.data(), start + (bytes.size() - start) / 2);
            break;
        }
        case Mode::kFlood:
            Flood(fd);
            break;
        case Mode::kBytes:
            SendAll(fd, bytes.data(), bytes.size());
            break;
        case Mode::kTrickle: {
            const std::string header = "HTTP/1.0 200 OK\r\nContent-Type: text/html\r\n\r\n";
            bool open = SendAll(fd, header.data(), header.size());
            while (open && !stopping_.load()) {
                std::this_thread::sleep_for(200ms);
                open = SendAll(fd, "x", 1);
            }
            break;
        }
    }
    CloseGently(fd);
}

}  // namespace quor::test
