#pragma once

// A web server on 127.0.0.1 that misbehaves in one chosen way on every connection: it never
// answers, answers a header and stalls, closes in the middle of the body, floods, or sends given
// bytes (zero and control bytes included). Everything it does is bounded: it stops stalling and
// flooding when it is destroyed or the client goes away.

#include <atomic>
#include <cstddef>
#include <string>

#include "support/loopback_server.h"

namespace quor::test {

class HostileServer final {
public:
    enum class Mode {
        kSilent,           // reads the request, then neither answers nor closes
        kHeaderThenStall,  // sends a header announcing a body, then nothing more
        kCloseMidBody,     // sends the header and half of `bytes`' body, then closes
        kFlood,            // sends a header and then `floodBytes` bytes of filler
        kBytes,            // sends `bytes` as they are, then closes
        kTrickle,          // sends a header, then one byte every 200 ms for as long as it can
    };

    struct Script {
        Mode mode = Mode::kBytes;
        std::string bytes;
        std::size_t floodBytes = 0;
    };

    explicit HostileServer(Script script);
    HostileServer(const HostileServer&) = delete;
    HostileServer& operator=(const HostileServer&) = delete;

    int Port() const { return server_.Port(); }
    int Connections() const { return server_.Accepted(); }
    // Bytes the flood got out before the client stopped reading or closed.
    std::size_t FloodSent() const { return floodSent_.load(); }

private:
    void Serve(int fd);
    void WaitUntilStopped() const;
    void Flood(int fd);

    Script script_;
    std::atomic<std::size_t> floodSent_{0};
    LoopbackServer server_;  // last: its connections end before the members above go
};

}  // namespace quor::test
