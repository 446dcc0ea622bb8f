#pragma once

// The far end of a page request inside the fuzzer: a listener on 127.0.0.1 that answers each
// connection it is armed for with given bytes, in pieces of a given size, and then closes. It
// reads the request first and waits for the client to close after it, so the client always
// receives everything sent (a close with unread bytes would reset the connection instead).

#include <chrono>
#include <condition_variable>
#include <cstddef>
#include <mutex>
#include <string>
#include <thread>

namespace quor::fuzz {

class LoopbackPeer final {
public:
    LoopbackPeer();
    ~LoopbackPeer();
    LoopbackPeer(const LoopbackPeer&) = delete;
    LoopbackPeer& operator=(const LoopbackPeer&) = delete;

    int Port() const { return port_; }
    // The next connection is answered with `bytes`, sent `piece` bytes at a time (0: at once).
    void Arm(std::string bytes, std::size_t piece);
    // Waits until the armed connection is over; false when the limit passed first.
    bool WaitServed(std::chrono::milliseconds limit);
    // The request bytes of the last connection served.
    std::string LastRequest();

private:
    void Run();
    void Serve(int fd, const std::string& bytes, std::size_t piece);

    int listenFd_ = -1;
    int port_ = 0;
    std::mutex mutex_;
    std::condition_variable changed_;
    bool armed_ = false;
    bool served_ = false;
    bool stopping_ = false;
    std::string bytes_;
    std::size_t piece_ = 0;
    std::string request_;
    std::thread thread_;
};

}  // namespace quor::fuzz
