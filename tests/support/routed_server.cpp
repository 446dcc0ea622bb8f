#include "support/routed_server.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <stdexcept>

#include "fetch/response_header.h"
#include "support/loopback_listener.h"

namespace quor::test {

namespace {

using namespace std::chrono_literals;

bool WaitReadable(int fd, std::chrono::milliseconds limit) {
    pollfd entry{fd, POLLIN, 0};
    return ::poll(&entry, 1, static_cast<int>(limit.count())) > 0;
}

// The header, its announced body, and whatever the client sends right after (a POST's closing
// line feeds): left unread, those would make the close a reset that can eat the answer.
std::string ReadRequest(int fd, const std::atomic<bool>& stopping) {
    std::string bytes;
    char buffer[4096];
    std::size_t need = std::string::npos;
    const auto giveUp = std::chrono::steady_clock::now() + 10s;
    while (!stopping.load() && std::chrono::steady_clock::now() < giveUp) {
        if (need == std::string::npos) {
            const std::size_t end = fetch::HeaderEnd(bytes);
            if (end != std::string::npos)
                need = end + fetch::AnnouncedBodyLength(bytes).value_or(0);
        }
        const bool done = need != std::string::npos && bytes.size() >= need;
        if (!WaitReadable(fd, done ? 50ms : 20ms)) {
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

RoutedServer::Request ParseRequestLine(std::string bytes) {
    RoutedServer::Request request;
    const std::string line = bytes.substr(0, bytes.find('\n'));
    const std::size_t first = line.find(' ');
    const std::size_t second = line.find(' ', first + 1);
    if (first != std::string::npos && second != std::string::npos) {
        request.method = line.substr(0, first);
        request.target = line.substr(first + 1, second - first - 1);
    }
    request.bytes = std::move(bytes);
    return request;
}

}  // namespace

RoutedServer::RoutedServer() {
    const LoopbackListener listener = ListenOnLoopback(64, "the routed test server");
    listenFd_ = listener.fd;
    port_ = listener.port;
    acceptor_ = std::thread([this] { AcceptLoop(); });
}

RoutedServer::~RoutedServer() {
    stopping_.store(true);
    acceptor_.join();
    for (auto& handler : handlers_)
        handler.join();
    ::close(listenFd_);
}

std::string RoutedServer::Address(const std::string& path) const {
    return "http://127.0.0.1:" + std::to_string(port_) + path;
}

void RoutedServer::Route(const std::string& target, std::string response) {
    const std::lock_guard lock(mutex_);
    routes_[target] = std::move(response);
}

std::vector<RoutedServer::Request> RoutedServer::Requests() const {
    const std::lock_guard lock(mutex_);
    return requests_;
}

std::string RoutedServer::Redirect(int code, const std::string& location) {
    const std::string body = "<a href=\"" + location + "\">moved</a>";
    return "HTTP/1.1 " + std::to_string(code) + " Moved\r\nLocation: " + location +
           "\r\nContent-Length: " + std::to_string(body.size()) + "\r\n\r\n" + body;
}

void RoutedServer::AcceptLoop() {
    while (!stopping_.load()) {
        if (!WaitReadable(listenFd_, 20ms))
            continue;
        const int fd = ::accept4(listenFd_, nullptr, nullptr, SOCK_CLOEXEC);
        if (fd >= 0)
            handlers_.emplace_back([this, fd] { Serve(fd); });
    }
}

void RoutedServer::Serve(int fd) {
    Request request = ParseRequestLine(ReadRequest(fd, stopping_));
    std::string response = "HTTP/1.0 404 Not Found\r\nContent-Length: 0\r\n\r\n";
    {
        const std::lock_guard lock(mutex_);
        const auto route = routes_.find(request.target);
        if (route != routes_.end())
            response = route->second;
        requests_.push_back(std::move(request));
    }
    for (std::size_t at = 0; at < response.size();) {
        const ssize_t sent = ::send(fd, response.data() + at, response.size() - at, MSG_NOSIGNAL);
        if (sent <= 0)
            break;
        at += static_cast<std::size_t>(sent);
    }
    ::shutdown(fd, SHUT_WR);
    ::close(fd);
}

}  // namespace quor::test
