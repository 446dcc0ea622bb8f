#include "fetch/exchange.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <memory>
#include <utility>

#include "fetch/response_header.h"
#include "fetch/tls_stream.h"

namespace quor::fetch {

namespace {

// A proxy's answer to a CONNECT is a few lines; one that goes on is not a proxy.
constexpr std::size_t kMaxProxyAnswer = 16 * 1024;

TransferStatus FromConnect(ConnectStatus status) {
    switch (status) {
        case ConnectStatus::kOk:
            return TransferStatus::kOk;
        case ConnectStatus::kResolveFailed:
            return TransferStatus::kResolveFailed;
        case ConnectStatus::kConnectFailed:
            return TransferStatus::kConnectFailed;
        case ConnectStatus::kTimedOut:
            return TransferStatus::kConnectTimedOut;
        case ConnectStatus::kCancelled:
            return TransferStatus::kCancelled;
    }
    return TransferStatus::kConnectFailed;
}

TransferStatus FromTls(TlsStatus status) {
    switch (status) {
        case TlsStatus::kOk:
            return TransferStatus::kOk;
        case TlsStatus::kNotTrusted:
            return TransferStatus::kCertificateRejected;
        case TlsStatus::kFailed:
            return TransferStatus::kTlsFailed;
        case TlsStatus::kTimedOut:
            return TransferStatus::kConnectTimedOut;
        case TlsStatus::kCancelled:
            return TransferStatus::kCancelled;
    }
    return TransferStatus::kTlsFailed;
}

std::string Printable(std::string_view line) {
    std::string shown;
    for (const char c : line.substr(0, kMaxProxyAnswerShown)) {
        const auto byte = static_cast<unsigned char>(c);
        shown += byte >= 0x20 && byte < 0x7F ? c : '?';
    }
    return shown;
}

// Sends the CONNECT and reads the proxy's answer up to its blank line, one byte at a time: the
// bytes after it belong to the TLS stream. Only a 2xx answer opens the tunnel.
ExchangeResult OpenTunnel(TcpStream& proxy, const std::string& tunnelRequest) {
    ExchangeResult result;
    const IoResult sent = proxy.SendAll(tunnelRequest);
    if (sent.status != IoStatus::kOk) {
        result.status = sent.status == IoStatus::kTimedOut    ? TransferStatus::kConnectTimedOut
                        : sent.status == IoStatus::kCancelled ? TransferStatus::kCancelled
                                                              : TransferStatus::kTunnelRefused;
        return result;
    }
    std::string answer;
    while (HeaderEnd(answer) == std::string::npos && answer.size() < kMaxProxyAnswer) {
        char byte = 0;
        const IoResult received = proxy.Receive(&byte, 1);
        if (received.status == IoStatus::kTimedOut || received.status == IoStatus::kCancelled) {
            result.status = received.status == IoStatus::kTimedOut
                                ? TransferStatus::kConnectTimedOut
                                : TransferStatus::kCancelled;
            return result;
        }
        if (received.status != IoStatus::kOk)
            break;
        answer += byte;
    }
    const int code = StatusCode(answer);
    if (HeaderEnd(answer) == std::string::npos || code < 200 || code > 299) {
        result.status = TransferStatus::kTunnelRefused;
        result.detail = Printable(answer.substr(0, answer.find_first_of("\r\n")));
    }
    return result;
}

// Appends received bytes without their zero bytes and reports whether the limit was reached.
bool AppendChunk(std::string& page, const char* bytes, std::size_t size, std::size_t maxBytes,
                 std::size_t& zeroBytes) {
    const char* const end = bytes + size;
    while (bytes < end) {
        const auto* zero = static_cast<const char*>(std::memchr(bytes, '\0', end - bytes));
        const char* runEnd = zero ? zero : end;
        const std::size_t room = maxBytes - std::min(maxBytes, page.size());
        const auto run = static_cast<std::size_t>(runEnd - bytes);
        page.append(bytes, std::min(run, room));
        if (run > room)
            return true;
        if (zero)
            ++zeroBytes;
        bytes = zero ? zero + 1 : end;
    }
    return false;
}

// A response that ended normally may still be short of what its header promised. Zero bytes
// were dropped from the page text but did arrive, so they count towards the body.
TransferStatus CheckComplete(const std::string& page, std::size_t zeroBytes) {
    if (page.empty() && zeroBytes == 0)
        return TransferStatus::kEmptyResponse;
    const auto announced = AnnouncedBodyLength(page);
    const std::size_t end = HeaderEnd(page);
    if (announced && end != std::string::npos && page.size() - end + zeroBytes < *announced)
        return TransferStatus::kBodyCut;
    return TransferStatus::kOk;
}

void ReceiveResponse(ByteStream& stream, std::size_t maxBytes, ExchangeResult& result) {
    std::array<char, 16384> buffer{};
    for (;;) {
        const IoResult received = stream.Receive(buffer.data(), buffer.size());
        if (received.status == IoStatus::kClosed)
            break;
        if (received.status != IoStatus::kOk) {
            result.status =
                received.status == IoStatus::kTimedOut    ? TransferStatus::kReceiveTimedOut
                : received.status == IoStatus::kCancelled ? TransferStatus::kCancelled
                                                          : TransferStatus::kReceiveFailed;
            return;
        }
        if (AppendChunk(result.response, buffer.data(), received.bytes, maxBytes,
                        result.zeroBytes)) {
            result.status = TransferStatus::kTruncated;
            return;
        }
    }
    result.status = CheckComplete(result.response, result.zeroBytes);
}

}  // namespace

ExchangeResult Exchange(const BuiltRequest& request, const IoLimits& limits, std::size_t maxBytes) {
    ExchangeResult result;
    auto opened = TcpStream::Connect(request.connectHost, request.connectPort, limits);
    if (!opened.stream) {
        result.status = FromConnect(opened.status);
        if (result.status == TransferStatus::kOk)
            result.status = TransferStatus::kConnectFailed;
        return result;
    }
    if (!request.tunnelRequest.empty()) {
        result = OpenTunnel(*opened.stream, request.tunnelRequest);
        if (result.status != TransferStatus::kOk)
            return result;
    }
    std::unique_ptr<ByteStream> stream;
    if (request.secure) {
        auto tls = TlsStream::Handshake(std::move(opened.stream), request.tlsHost);
        if (!tls.stream) {
            result.status = FromTls(tls.status);
            if (result.status == TransferStatus::kOk)
                result.status = TransferStatus::kTlsFailed;
            result.detail = std::move(tls.reason);
            return result;
        }
        stream = std::move(tls.stream);
    } else {
        stream = std::move(opened.stream);
    }

    const IoResult sent = stream->SendAll(request.text);
    if (sent.status != IoStatus::kOk) {
        result.status = sent.status == IoStatus::kTimedOut    ? TransferStatus::kSendTimedOut
                        : sent.status == IoStatus::kCancelled ? TransferStatus::kCancelled
                                                              : TransferStatus::kSendFailed;
        return result;
    }
    ReceiveResponse(*stream, maxBytes, result);
    return result;
}

}  // namespace quor::fetch
