#pragma once

// The listening socket of the tests' own servers: 127.0.0.1 on a port the system picks.

namespace quor::test {

struct LoopbackListener {
    int fd = -1;
    int port = 0;
};

// Binds and listens with the given backlog; throws std::runtime_error naming `server` when it
// cannot.
LoopbackListener ListenOnLoopback(int backlog, const char* server);

}  // namespace quor::test
