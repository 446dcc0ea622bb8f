#include "support/scripted_server.h"

#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <thread>

namespace quor::test {

using namespace std::chrono_literals;

ScriptedServer::ScriptedServer() : server_("the test server", [this](int fd) { Serve(fd); }) {}

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

void ScriptedServer::Serve(int fd) {
    Reply reply;
    {
        const std::lock_guard lock(mutex_);
        reply = reply_;
    }
    if (reply.behaviour == Behaviour::kCloseAtOnce) {
        ::close(fd);
        return;
    }
    // The linger catches whatever the client sends after the announced body, so the recorded
    // bytes show it.
    std::string request = ReadRequest(fd, server_.StopFlag(), 50ms, 10s);
    {
        const std::lock_guard lock(mutex_);
        requests_.push_back(std::move(request));
    }
    received_.notify_all();

    std::string bytes = reply.bytes;
    switch (reply.behaviour) {
        case Behaviour::kStall:
            while (!server_.Stopping())
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
        SendAll(fd, std::string_view(bytes).substr(at, piece));
        if (reply.pieceSize != 0)
            std::this_thread::sleep_for(reply.pause);
    }
    ::shutdown(fd, SHUT_WR);
    ::close(fd);
}

}  // namespace quor::test
