#include "fetch/byte_stream.h"

#include <arpa/inet.h>
#include <fcntl.h>
#include <netdb.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>

namespace quor::fetch {

namespace {

using Clock = std::chrono::steady_clock;

// getaddrinfo is safe on any thread, unlike the resolver calls that keep static answers.
bool Resolve(const std::string& host, int port, sockaddr_in& address) {
    std::memset(&address, 0, sizeof address);
    address.sin_family = AF_INET;
    address.sin_port = htons(static_cast<std::uint16_t>(port));
    if (inet_pton(AF_INET, host.c_str(), &address.sin_addr) == 1)
        return true;
    addrinfo hints{};
    hints.ai_family = AF_INET;
    hints.ai_socktype = SOCK_STREAM;
    addrinfo* answer = nullptr;
    if (getaddrinfo(host.c_str(), nullptr, &hints, &answer) != 0 || answer == nullptr)
        return false;
    address.sin_addr = reinterpret_cast<const sockaddr_in*>(answer->ai_addr)->sin_addr;
    freeaddrinfo(answer);
    return true;
}

int PollOnce(int fd, short events, std::chrono::milliseconds slice) {
    pollfd entry{fd, events, 0};
    const int ready = ::poll(&entry, 1, static_cast<int>(slice.count()));
    if (ready > 0 && (entry.revents & (events | POLLERR | POLLHUP | POLLNVAL)) == 0)
        return 0;
    return ready;
}

}  // namespace

TcpStream::~TcpStream() {
    ::close(fd_);
}

IoStatus TcpStream::WaitReady(short events) const {
    const auto deadline = std::min(Clock::now() + limits_.noProgress, limits_.deadline);
    for (;;) {
        if (limits_.cancelled())
            return IoStatus::kCancelled;
        const int ready = PollOnce(fd_, events, limits_.slice);
        if (ready > 0)
            return IoStatus::kOk;
        if (ready < 0 && errno != EINTR)
            return IoStatus::kFailed;
        if (Clock::now() >= deadline)
            return IoStatus::kTimedOut;
    }
}

TcpStream::Opened TcpStream::Connect(const std::string& host, int port, const IoLimits& limits) {
    Opened opened;
    sockaddr_in address{};
    if (!Resolve(host, port, address)) {
        opened.status = ConnectStatus::kResolveFailed;
        return opened;
    }
    const int fd = ::socket(AF_INET, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
    if (fd < 0)
        return opened;
    std::unique_ptr<TcpStream> stream(new TcpStream(fd, limits));
    if (::connect(fd, reinterpret_cast<const sockaddr*>(&address), sizeof address) != 0) {
        if (errno != EINPROGRESS)
            return opened;
        const IoStatus ready = stream->WaitReady(POLLOUT);
        if (ready == IoStatus::kTimedOut || ready == IoStatus::kCancelled) {
            opened.status =
                ready == IoStatus::kTimedOut ? ConnectStatus::kTimedOut : ConnectStatus::kCancelled;
            return opened;
        }
        int error = 0;
        socklen_t length = sizeof error;
        if (ready != IoStatus::kOk ||
            ::getsockopt(fd, SOL_SOCKET, SO_ERROR, &error, &length) != 0 || error != 0)
            return opened;
    }
    opened.status = ConnectStatus::kOk;
    opened.stream = std::move(stream);
    return opened;
}

IoResult TcpStream::SendAll(std::string_view bytes) {
    IoResult result;
    while (result.bytes < bytes.size()) {
        const IoStatus ready = WaitReady(POLLOUT);
        if (ready != IoStatus::kOk) {
            result.status = ready;
            result.error = ready == IoStatus::kFailed ? errno : 0;
            return result;
        }
        const ssize_t sent =
            ::send(fd_, bytes.data() + result.bytes, bytes.size() - result.bytes, MSG_NOSIGNAL);
        if (sent < 0) {
            if (errno == EAGAIN || errno == EWOULDBLOCK || errno == EINTR)
                continue;
            result.status = IoStatus::kFailed;
            result.error = errno;
            return result;
        }
        result.bytes += static_cast<std::size_t>(sent);
    }
    return result;
}

IoResult TcpStream::Receive(char* buffer, std::size_t size) {
    IoResult result;
    for (;;) {
        const IoStatus ready = WaitReady(POLLIN);
        if (ready != IoStatus::kOk) {
            result.status = ready;
            result.error = ready == IoStatus::kFailed ? errno : 0;
            return result;
        }
        const ssize_t received = ::recv(fd_, buffer, size, 0);
        if (received > 0) {
            result.bytes = static_cast<std::size_t>(received);
            return result;
        }
        if (received == 0) {
            result.status = IoStatus::kClosed;
            return result;
        }
        if (errno == EAGAIN || errno == EWOULDBLOCK || errno == EINTR)
            continue;
        result.status = IoStatus::kFailed;
        result.error = errno;
        return result;
    }
}

}  // namespace quor::fetch
