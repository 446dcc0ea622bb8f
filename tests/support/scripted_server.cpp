#include "support/scripted_server.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <cstring>
#include <stdexcept>

#include "support/loopback_listener.h"

namespace quor::test {

namespace {

using namespace std::chrono_literals;

bool WaitReadable(int fd, std::chrono::milliseconds limit) {
    pollfd entry{fd, POLLIN, 0};
    return ::poll(&entry, 1, static_cast<int>(limit.count())) > 0;
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

// The end of the header, after its blank line (either line end), or npos.
std::size_t HeaderEnd(const std::string& bytes) {
    const auto lf = bytes.find("\n\n");
    const auto crlf = bytes.find("\r\n\r\n");
    if (crlf != std::string::npos && (lf == std::string::npos || crlf < lf))
        return crlf + 4;
    return lf == std::string::npos ? lf : lf + 2;
}

std::size_t ContentLength(const std::string& header) {
    std::string lower = header;
    std::transform(lower.begin(), lower.end(), lower.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    const auto at = lower.find("\ncontent-length:");
    if (at == std::string::npos)
        return 0;
    return static_cast<std::size_t>(std::strtoul(lower.c_str() + at + 16, nullptr, 10));
}

}  // namespace

ScriptedServer::ScriptedServer() {
    const LoopbackListener listener = ListenOnLoopback(128, "the test server");
    listenFd_ = listener.fd;
    port_ = listener.port;
    acceptor_ = std::thread([this] { AcceptLoop(); });
}

ScriptedServer::~ScriptedServer() {
    stopping_.store(true);
    acceptor_.join();
    for (auto& handler : handlers_)
        handler.join();
    ::close(listenFd_);
}

void ScriptedServer::SetReply(Reply reply) {
    const std::lock_guard lock(mutex_);
    reply_ = std::move(reply);
}

std::vector<std::string> ScriptedServer::Requests() const {
    const std::lock_guard lock(mutex_);
    return requests_;
}

bool ScriptedServer::WaitForRequests(std::size_t count, std::chrono::milliseconds limit) const {
    std::unique_lock lock(mutex_);
    return received_.wait_for(lock, limit, [&] { return requests_.size() >= count; });
}

std::string ScriptedServer::Response(const std::string& body) {
    return "HTTP/1.0 200 OK\r\nContent-Type: text/html\r\nContent-Length: " +
           std::to_string(body.size()) + "\r\n\r\n" + body;
}

void ScriptedServer::AcceptLoop() {
    while (!stopping_.load()) {
        if (!WaitReadable(listenFd_, 20ms))
            continue;
        const int fd = ::accept4(listenFd_, nullptr, nullptr, SOCK_CLOEXEC);
        if (fd < 0)
            continue;
        connections_.fetch_add(1);
        Reply reply;
        {
            const std::lock_guard lock(mutex_);
            reply = reply_;
        }
        handlers_.emplace_back([this, fd, reply] { Serve(fd, reply); });
    }
}

std::string ScriptedServer::ReadRequest(int fd) const {
    std::string bytes;
    char buffer[4096];
    // Read until the header and its announced body are in, then linger briefly for whatever the
    // client sends after them (a POST's closing line feeds).
    // The header is looked for only until it is found, so long bodies cost no more than reading.
    std::size_t need = std::string::npos;
    auto complete = [&] {
        if (need == std::string::npos) {
            const auto end = HeaderEnd(bytes);
            if (end != std::string::npos)
                need = end + ContentLength(bytes.substr(0, end));
        }
        return need != std::string::npos && bytes.size() >= need;
    };
    const auto giveUp = std::chrono::steady_clock::now() + 10s;
    while (!stopping_.load() && std::chrono::steady_clock::now() < giveUp) {
        const bool done = complete();
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

void ScriptedServer::Serve(int fd, Reply reply) {
    if (reply.behaviour == Behaviour::kCloseAtOnce) {
        ::close(fd);
        return;
    }
    std::string request = ReadRequest(fd);
    {
        const std::lock_guard lock(mutex_);
        requests_.push_back(std::move(request));
    }
    received_.notify_all();

    std::string bytes = reply.bytes;
    switch (reply.behaviour) {
        case Behaviour::kStall:
            while (!stopping_.load())
                std::this_thread::sleep_for(10ms);
            bytes.clear();
            break;
        case Behaviour::kCloseMidBody: {
            const auto end = HeaderEnd(bytes);
            const auto bodyStart = end == std::string::npos ? 0 : end;
            bytes.resize(bodyStart + (bytes.size() - bodyStart) / 2);
            break;
        }
        case Behaviour::kAnswer:
        case Behaviour::kCloseAtOnce:
            break;
    }
    const std::size_t piece = reply.pieceSize == 0 ? bytes.size() : reply.pieceSize;
    for (std::size_t at = 0; at < bytes.size(); at += piece) {
        SendAll(fd, bytes.data() + at, std::min(piece, bytes.size() - at));
        if (reply.pieceSize != 0)
            std::this_thread::sleep_for(reply.pause);
    }
    ::shutdown(fd, SHUT_WR);
    ::close(fd);
}

}  // namespace quor::test
