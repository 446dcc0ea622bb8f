#pragma once

// The far end of a page request inside the fuzzer: a server of the tests on 127.0.0.1 that
// answers the one connection it is armed for with given bytes, in pieces of a given size, and
// then closes; a connection it is not armed for (a redirect's next hop) is closed at once. It
// reads the request first and waits for the client to close after it, so the client always
// receives everything sent (a close with unread bytes would reset the connection instead).

#include <chrono>
#include <condition_variable>
#include <cstddef>
#include <mutex>
#include <string>

#include "support/loopback_server.h"

namespace quor::fuzz {

class LoopbackPeer final {
public:
    LoopbackPeer();
    LoopbackPeer(const LoopbackPeer&) = delete;
    LoopbackPeer& operator=(const LoopbackPeer&) = delete;

    int Port() const { return server_.Port(); }
    // The next connection is answered with `bytes`, sent `piece` bytes at a time (0: at once).
    void Arm(std::string bytes, std::size_t piece);
    // Waits until the armed connection is over; false when the limit passed first.
    bool WaitServed(std::chrono::milliseconds limit);
    // The request bytes of the last connection served.
    std::string LastRequest();

private:
    void Serve(int fd);

    std::mutex mutex_;
    std::condition_variable changed_;
    bool armed_ = false;
    bool served_ = false;
    std::string bytes_;
    std::size_t piece_ = 0;
    std::string request_;
    test::LoopbackServer server_;  // last: its connection ends before the members above go
};

}  // namespace quor::fuzz
