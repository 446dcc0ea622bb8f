#pragma once

// What every server of the tests shares: a listening socket on 127.0.0.1 (a port the system
// picks), a thread that accepts, a handler per connection, a stop flag the handlers watch, and
// the socket steps such a server takes (wait for bytes, read a request, send everything, close
// gently). A server of the tests holds a LoopbackServer as its last member, so the connections
// end before the members their handlers use.

#include <atomic>
#include <chrono>
#include <functional>
#include <list>
#include <memory>
#include <string>
#include <string_view>
#include <thread>

namespace quor::test {

class LoopbackServer final {
public:
    // Called on a thread of its own for each accepted connection; the handler closes `fd`.
    using Handler = std::function<void(int fd)>;

    enum class Connections {
        kConcurrent,  // a thread per connection, all at once
        kOneAtATime,  // on the accepting thread, each to its end before the next is accepted
    };

    // Listens and starts accepting; throws std::runtime_error naming `name` when it cannot.
    LoopbackServer(const char* name, Handler handler, Connections connections = {});
    ~LoopbackServer();
    LoopbackServer(const LoopbackServer&) = delete;
    LoopbackServer& operator=(const LoopbackServer&) = delete;

    int Port() const { return port_; }
    // "http://127.0.0.1:<port>" and the path.
    std::string Address(const std::string& path) const;
    int Accepted() const { return accepted_.load(); }
    // Set when the server is going: handlers that stall or trickle end when they see it.
    bool Stopping() const { return stopping_.load(); }
    const std::atomic<bool>& StopFlag() const { return stopping_; }

private:
    struct Worker {
        std::thread thread;
        std::shared_ptr<std::atomic<bool>> done;
    };

    void AcceptLoop();
    void JoinFinished();

    Handler handler_;
    Connections connections_;
    int listenFd_ = -1;
    int port_ = 0;
    std::atomic<bool> stopping_{false};
    std::atomic<int> accepted_{0};
    std::list<Worker> workers_;  // touched by the accepting thread only, then by the destructor
    std::thread acceptor_;
};

// True when `fd` has bytes to read (or its end) within the limit.
bool WaitReadable(int fd, std::chrono::milliseconds limit);

// Sends everything unless the peer goes away; false then.
bool SendAll(int fd, std::string_view bytes);

// Reads an HTTP request: the header up to its blank line (either line end), the body its
// Content-Length announces, then whatever the client sends within `linger` after that (a POST's
// closing line feeds). Gives up at `limit` or when `stopping` is set, with what came so far.
std::string ReadRequest(int fd, const std::atomic<bool>& stopping, std::chrono::milliseconds linger,
                        std::chrono::milliseconds limit);

// Where the body of a response or request starts (after the header's blank line, either line
// end), or npos while the header is incomplete.
std::size_t HeaderEnd(std::string_view bytes);

// Closes after the client has seen our end and closed its own (or the limit passed), so no
// unread byte of the request turns the close into a reset that could swallow what was sent.
void CloseGently(int fd, std::chrono::milliseconds limit);

}  // namespace quor::test
