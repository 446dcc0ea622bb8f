#pragma once

// One page request: one HTTP/1.0 exchange for one page of one board, on a request thread of its
// own. It reads the board's address, referer and cookie from the store, sends the request
// directly or through the proxy, and leaves the raw response (status line, header and body as
// received) in the board's page text. It reports back through the board's fetch state: 2 when
// the exchange has ended, 3 when the board has nothing that can be requested; a request that
// failed, or was not sent, also adds the board to the run's failed boards with the reason.
//
// An https:// board is fetched over TLS (tls_stream.h), through the proxy in a CONNECT tunnel
// (request_text.h). Redirects are followed as redirect.h says, every hop with the board's
// referer and cookie and, when the proxy is on, through the proxy, whatever host it names; the
// page text is the last response.
//
// Limits of its own: connect, send and receive each give up after TIMEOUT seconds without
// progress, the whole exchange, its redirects included, after kWholeRequestLimitFactor x
// TIMEOUT seconds, and a response is cut at kMaxResponseBytes. A failed resolve, connect,
// tunnel, handshake, send or redirect leaves the page text empty, so nothing stale is converted
// or archived again. A server that closes without answering, or before the body its header
// announced is complete, is reported as such; what did arrive is still the page text. Zero
// bytes in a response are dropped: the page text is a text, and the bytes after a zero byte are
// kept.
//
// Status texts: "<name>(Page<n>)" followed by "取得開始" when the request starts, by
// "転送(<hop>/5): <address>" for each redirect followed, and by "取得終了" when it ends, or
// by "取得失敗: " and the reason when it failed.

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

#include "core/quor_app.h"
#include "fetch/byte_stream.h"
#include "fetch/response_header.h"

namespace quor::fetch {

inline constexpr std::size_t kMaxResponseBytes = 64u * 1024u * 1024u;
// A whole request (connect, send, receive) ends after this many times TIMEOUT, however slowly
// the server keeps sending.
inline constexpr int kWholeRequestLimitFactor = 4;

// Fills the application's proxy settings from the store; called at the start of every run.
void LoadProxySettings(core::CQuorApp& app);

// GET, or POST when the body is present and not empty.
void FetchPage(core::CQuorApp& app, int slot, std::optional<std::string> body);
// GET; a present query, even an empty one, follows "?".
void FetchPageWithQuery(core::CQuorApp& app, int slot, std::optional<std::string> query);

enum class TransferStatus {
    kOk,
    kTruncated,  // the response reached kMaxResponseBytes and the rest was not read
    kResolveFailed,
    kConnectFailed,
    kConnectTimedOut,
    kSendFailed,
    kSendTimedOut,
    kReceiveTimedOut,      // what arrived until then is kept
    kReceiveFailed,        // likewise
    kEmptyResponse,        // the server closed without sending a byte
    kBodyCut,              // the server closed before the body its header announced was complete;
                           // what arrived is kept
    kCancelled,            // the application is shutting down
    kTunnelRefused,        // the proxy answered the CONNECT with anything but 2xx, or not at all
    kTlsFailed,            // the TLS handshake failed
    kCertificateRejected,  // the server's certificate does not verify or does not name it
    kRedirectLoop,         // a redirect asked for a request already made in this exchange
    kTooManyRedirects,     // a sixth redirect
    kRedirectToHttp,       // from https:// to http://, which would send the request in clear
    kBadRedirect,          // the location cannot be requested
};

struct TransferResult {
    TransferStatus status = TransferStatus::kOk;
    std::size_t bytes = 0;      // the page text's length
    std::size_t zeroBytes = 0;  // zero bytes received and dropped
    std::string detail;         // who said what about a failure (the proxy, OpenSSL)
};

// Connects to host:port over plain TCP, sends the request and receives the response into the
// slot's page text; no redirect is followed.
TransferResult Transfer(core::CQuorApp& app, const std::string& host, int port,
                        const std::string& request, int slot, const IoLimits& limits,
                        std::size_t maxBytes = kMaxResponseBytes);

// The reason shown after "取得失敗: ", code page 932; empty for kOk. A detail is shown after it
// in parentheses.
std::string TransferFailureText(TransferStatus status);

}  // namespace quor::fetch
