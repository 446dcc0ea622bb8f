#pragma once

// The byte streams a page request talks through. A request sends its bytes and reads the reply
// until the peer closes; it never blocks for longer than one polling slice, so it notices both
// the application shutting down and a peer that stopped making progress.
//
// TcpStream is plain TCP; TlsStream (tls_stream.h) runs TLS over one behind the same interface.

#include <chrono>
#include <cstddef>
#include <functional>
#include <memory>
#include <string>
#include <string_view>

namespace quor::fetch {

// How long an operation may go without progress, and the question asked between slices.
struct IoLimits {
    std::chrono::milliseconds noProgress{120'000};
    // However slowly the peer keeps sending, nothing waits past this moment.
    std::chrono::steady_clock::time_point deadline = std::chrono::steady_clock::time_point::max();
    std::chrono::milliseconds slice{100};
    std::function<bool()> cancelled = [] { return false; };
};

enum class IoStatus {
    kOk,
    kClosed,     // the peer closed the connection (receive only)
    kTimedOut,   // no progress within the limit
    kCancelled,  // the application is shutting down
    kFailed,     // the system refused
};

struct IoResult {
    IoStatus status = IoStatus::kOk;
    std::size_t bytes = 0;
    int error = 0;  // errno when kFailed
};

class ByteStream {
public:
    virtual ~ByteStream() = default;
    // Sends every byte, however many calls that takes.
    virtual IoResult SendAll(std::string_view bytes) = 0;
    // Receives what is there (at least one byte) or reports why not.
    virtual IoResult Receive(char* buffer, std::size_t size) = 0;
};

enum class ConnectStatus { kOk, kResolveFailed, kConnectFailed, kTimedOut, kCancelled };

class TcpStream final : public ByteStream {
public:
    ~TcpStream() override;
    TcpStream(const TcpStream&) = delete;
    TcpStream& operator=(const TcpStream&) = delete;

    struct Opened;
    // Resolves the host (dotted address or name, IPv4) and connects to its first address.
    static Opened Connect(const std::string& host, int port, const IoLimits& limits);

    IoResult SendAll(std::string_view bytes) override;
    IoResult Receive(char* buffer, std::size_t size) override;

    // For a stream layered on this one: the socket (still owned here) and a wait for it to
    // become ready for the poll events, in slices, under this stream's limits; kOk when it is.
    int Fd() const { return fd_; }
    IoStatus WaitReady(short events) const;

private:
    TcpStream(int fd, IoLimits limits) : fd_(fd), limits_(std::move(limits)) {}

    int fd_;
    IoLimits limits_;
};

struct TcpStream::Opened {
    ConnectStatus status = ConnectStatus::kConnectFailed;
    std::unique_ptr<TcpStream> stream;
};

}  // namespace quor::fetch
