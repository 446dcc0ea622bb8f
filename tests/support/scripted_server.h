#pragma once

// A server on 127.0.0.1 that records the bytes of every request it receives and answers each
// connection as told: with a reply, by stalling, by closing in the middle of the body or at
// once. For the tests of the request bytes and of a request's limits.

#include <chrono>
#include <condition_variable>
#include <cstddef>
#include <mutex>
#include <string>
#include <vector>

#include "support/loopback_server.h"

namespace quor::test {

class ScriptedServer final {
public:
    enum class Behaviour {
        kAnswer,        // send the reply, then close
        kStall,         // read the request, then neither answer nor close until destroyed
        kCloseMidBody,  // send the reply up to half of its body, then close
        kCloseAtOnce,   // close without reading or answering
    };

    struct Reply {
        Behaviour behaviour = Behaviour::kAnswer;
        std::string bytes = "HTTP/1.0 200 OK\r\nContent-Type: text/html\r\n\r\nok";
        // Sent in pieces of this size with a pause between them; 0 sends it whole.
        std::size_t pieceSize = 0;
        std::chrono::milliseconds pause{5};
    };

    ScriptedServer();
    ScriptedServer(const ScriptedServer&) = delete;
    ScriptedServer& operator=(const ScriptedServer&) = delete;

    int Port() const { return server_.Port(); }
    // The reply of every connection accepted from now on.
    void SetReply(Reply reply);

    // The bytes of each request received so far, one entry per connection, in order.
    std::vector<std::string> Requests() const;
    bool WaitForRequests(std::size_t count, std::chrono::milliseconds limit) const;
    int Connections() const { return server_.Accepted(); }

    // A response with the given body and a plain header.
    static std::string Response(const std::string& body);

private:
    void Serve(int fd);

    mutable std::mutex mutex_;
    mutable std::condition_variable received_;
    Reply reply_;
    std::vector<std::string> requests_;
    LoopbackServer server_;  // last: its connections end before the members above go
};

}  // namespace quor::test
