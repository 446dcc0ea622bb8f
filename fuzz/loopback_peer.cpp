#include "loopback_peer.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cstdlib>

namespace quor::fuzz {

namespace {

using Clock = std::chrono::steady_clock;

bool Readable(int fd, int milliseconds) {
    pollfd entry{fd, POLLIN, 0};
    return ::poll(&entry, 1, milliseconds) > 0;
}

// Reads until the request's blank line (or its end, or two seconds), as a server would.
std::string ReadRequest(int fd) {
    std::string request;
    const auto giveUp = Clock::now() + std::chrono::seconds(2);
    char buffer[4096];
    while (request.find("\n\n") == std::string::npos && Clock::now() < giveUp) {
        if (!Readable(fd, 50))
            continue;
        const ssize_t got = ::recv(fd, buffer, sizeof buffer, 0);
        if (got <= 0)
            break;
        request.append(buffer, static_cast<std::size_t>(got));
    }
    return request;
}

void SendAll(int fd, const char* data, std::size_t size) {
    while (size > 0) {
        const ssize_t sent = ::send(fd, data, size, MSG_NOSIGNAL);
        if (sent <= 0)
            return;
        data += sent;
        size -= static_cast<std::size_t>(sent);
    }
}

// After our FIN, waits for the client's, so the client has read everything.
void DrainUntilClosed(int fd) {
    const auto giveUp = Clock::now() + std::chrono::seconds(5);
    char buffer[4096];
    while (Clock::now() < giveUp) {
        if (!Readable(fd, 50))
            continue;
        if (::recv(fd, buffer, sizeof buffer, 0) <= 0)
            return;
    }
}

}  // namespace

LoopbackPeer::LoopbackPeer() {
    listenFd_ = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t length = sizeof address;
    if (listenFd_ < 0 ||
        ::bind(listenFd_, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0 ||
        ::listen(listenFd_, 16) != 0 ||
        ::getsockname(listenFd_, reinterpret_cast<sockaddr*>(&address), &length) != 0)
        std::abort();
    port_ = ntohs(address.sin_port);
    thread_ = std::thread([this] { Run(); });
}

LoopbackPeer::~LoopbackPeer() {
    {
        const std::lock_guard lock(mutex_);
        stopping_ = true;
    }
    changed_.notify_all();
    thread_.join();
    ::close(listenFd_);
}

void LoopbackPeer::Arm(std::string bytes, std::size_t piece) {
    {
        const std::lock_guard lock(mutex_);
        bytes_ = std::move(bytes);
        piece_ = piece;
        armed_ = true;
        served_ = false;
    }
    changed_.notify_all();
}

bool LoopbackPeer::WaitServed(std::chrono::milliseconds limit) {
    std::unique_lock lock(mutex_);
    return changed_.wait_for(lock, limit, [this] { return served_; });
}

std::string LoopbackPeer::LastRequest() {
    const std::lock_guard lock(mutex_);
    return request_;
}

void LoopbackPeer::Run() {
    for (;;) {
        std::string bytes;
        std::size_t piece = 0;
        {
            std::unique_lock lock(mutex_);
            changed_.wait(lock, [this] { return armed_ || stopping_; });
            if (stopping_)
                return;
            bytes = bytes_;
            piece = piece_;
        }
        int fd = -1;
        while (fd < 0) {
            if (Readable(listenFd_, 50))
                fd = ::accept4(listenFd_, nullptr, nullptr, SOCK_CLOEXEC);
            const std::lock_guard lock(mutex_);
            if (stopping_) {
                if (fd >= 0)
                    ::close(fd);
                return;
            }
        }
        Serve(fd, bytes, piece);
        {
            const std::lock_guard lock(mutex_);
            armed_ = false;
            served_ = true;
        }
        changed_.notify_all();
    }
}

void LoopbackPeer::Serve(int fd, const std::string& bytes, std::size_t piece) {
    const int on = 1;
    ::setsockopt(fd, IPPROTO_TCP, TCP_NODELAY, &on, sizeof on);
    std::string request = ReadRequest(fd);
    {
        const std::lock_guard lock(mutex_);
        request_ = std::move(request);
    }
    const std::size_t step = piece == 0 ? bytes.size() : piece;
    for (std::size_t at = 0; at < bytes.size(); at += step)
        SendAll(fd, bytes.data() + at, std::min(step, bytes.size() - at));
    ::shutdown(fd, SHUT_WR);
    DrainUntilClosed(fd);
    ::close(fd);
}

}  // namespace quor::fuzz
