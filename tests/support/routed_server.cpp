#include "support/routed_server.h"

#include <sys/socket.h>
#include <unistd.h>

#include <chrono>

namespace quor::test {

namespace {

using namespace std::chrono_literals;

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

RoutedServer::RoutedServer() : server_("the routed test server", [this](int fd) { Serve(fd); }) {}

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

void RoutedServer::Serve(int fd) {
    // The linger reads what the client sends right after the body (a POST's closing line
    // feeds): left unread, those would make the close a reset that can eat the answer.
    Request request = ParseRequestLine(ReadRequest(fd, server_.StopFlag(), 50ms, 10s));
    std::string response = "HTTP/1.0 404 Not Found\r\nContent-Length: 0\r\n\r\n";
    {
        const std::lock_guard lock(mutex_);
        const auto route = routes_.find(request.target);
        if (route != routes_.end())
            response = route->second;
        requests_.push_back(std::move(request));
    }
    SendAll(fd, response);
    ::shutdown(fd, SHUT_WR);
    ::close(fd);
}

}  // namespace quor::test
