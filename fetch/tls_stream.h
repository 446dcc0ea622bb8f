#pragma once

// TLS over a connected TCP stream, for https:// boards: SNI with the board's host name,
// verification of the server's certificate against the system's store (OpenSSL's default
// paths, so SSL_CERT_FILE and SSL_CERT_DIR work) and of the host name or IP address it names.
// Every wait is the TCP stream's, in slices that notice a shutdown, under its progress and
// whole-request limits.
//
// The trust store is read once a process, when the first TLS stream is opened; a process that
// changes SSL_CERT_FILE afterwards keeps the store it read.

#include <cstddef>
#include <memory>
#include <string>
#include <string_view>

#include "fetch/byte_stream.h"

struct ssl_st;

namespace quor::fetch {

enum class TlsStatus {
    kOk,
    kNotTrusted,  // the certificate does not verify or does not name the host
    kFailed,      // the handshake failed otherwise (no common protocol, the server closed, ...)
    kTimedOut,
    kCancelled,
};

class TlsStream final : public ByteStream {
public:
    struct Opened;
    // Shakes hands over the connected stream; host is the name (or address) the certificate
    // must carry.
    static Opened Handshake(std::unique_ptr<TcpStream> tcp, const std::string& host);

    ~TlsStream() override;
    TlsStream(const TlsStream&) = delete;
    TlsStream& operator=(const TlsStream&) = delete;

    IoResult SendAll(std::string_view bytes) override;
    // A server that closes the connection without a closing TLS message has still ended its
    // response: boards end responses by closing, and many servers skip that message.
    IoResult Receive(char* buffer, std::size_t size) override;

private:
    TlsStream(std::unique_ptr<TcpStream> tcp, ssl_st* ssl);
    // Waits for the socket to be ready for what OpenSSL asked for.
    IoStatus WaitFor(int sslError) const;
    // After a read or write that did not complete: kOk once the socket is ready to try again,
    // else the status that ends the call.
    IoStatus AfterIncomplete(int sslError) const;

    std::unique_ptr<TcpStream> tcp_;
    ssl_st* ssl_;
};

struct TlsStream::Opened {
    TlsStatus status = TlsStatus::kFailed;
    std::string reason;  // OpenSSL's words (ASCII) when the handshake failed
    std::unique_ptr<TlsStream> stream;
};

}  // namespace quor::fetch
