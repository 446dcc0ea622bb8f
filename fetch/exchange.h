#pragma once

// One request on the wire: connect to the server (or the proxy), ask the proxy for a tunnel
// when the request goes through one, shake hands when it is secure, send the request and
// receive the response until the server closes. It touches nothing of the application, so
// the redirects can run one exchange after the other and keep only the last response.
//
// A response is cut at the byte limit, and zero bytes are dropped from it: the page text is a
// text, and the bytes after a zero byte are kept.

#include <cstddef>
#include <string>

#include "fetch/byte_stream.h"
#include "fetch/page_request.h"
#include "fetch/request_text.h"

namespace quor::fetch {

struct ExchangeResult {
    TransferStatus status = TransferStatus::kOk;
    // Whose words explain a failure: the proxy's status line, OpenSSL's reason (ASCII).
    std::string detail;
    std::string response;       // as received, empty when nothing was sent or received
    std::size_t zeroBytes = 0;  // zero bytes received and dropped
};

ExchangeResult Exchange(const BuiltRequest& request, const IoLimits& limits, std::size_t maxBytes);

// The proxy's answer to a CONNECT: its status line with anything unprintable replaced, at most
// this long, so that it can stand on the status line.
inline constexpr std::size_t kMaxProxyAnswerShown = 200;

}  // namespace quor::fetch
