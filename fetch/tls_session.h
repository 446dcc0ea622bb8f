#pragma once

// TLS on a connected TCP socket, for https:// boards: SNI, certificate verification against the
// system's store (OpenSSL's default paths, so SSL_CERT_FILE and SSL_CERT_DIR work), host name
// checking. Every wait is cut into 100 ms slices so that a stop request or shutdown ends it, and
// gives up after the idle limit without progress.

#include <chrono>
#include <cstddef>
#include <functional>
#include <memory>
#include <string>
#include <string_view>

namespace quor::fetch {

class TlsSession final {
public:
    struct Limits {
        std::chrono::milliseconds idle{120000};   // without progress
        std::function<bool()> cancelled;          // polled between slices; may be empty
    };

    ~TlsSession();
    TlsSession(const TlsSession&) = delete;
    TlsSession& operator=(const TlsSession&) = delete;

    // Shakes hands on the connected socket fd (which stays owned by the caller and is made
    // non-blocking). On failure returns nothing and says why in error (UTF-8/ASCII).
    static std::unique_ptr<TlsSession> Handshake(int fd, const std::string& host, Limits limits,
                                                 std::string& error);

    // Sends every byte; false with the reason on failure.
    bool SendAll(std::string_view data, std::string& error);

    // Receives at most size bytes: the count, 0 at the end of the stream, -1 on failure.
    long Receive(char* buffer, std::size_t size, std::string& error);

private:
    struct Impl;
    explicit TlsSession(std::unique_ptr<Impl> impl);
    std::unique_ptr<Impl> impl_;
};

}  // namespace quor::fetch
