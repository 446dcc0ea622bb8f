#pragma once

// The bytes of one page request, built without touching the network so they can be checked.
//
// A request is HTTP/1.0 with single line feeds (no carriage return anywhere):
//
//   GET <target> HTTP/1.0\n            or  GET <target>?<query> HTTP/1.0\n
//                                      or  POST <target> HTTP/1.0\n
//   Host: <host as written in the address, port included>\n
//   User-Agent: Vantor/0.62(Win95/98/NT)\n
//   Referer: <referer>\n               (only when the board has one)
//   Cookie: <cookie>\n                 (only when the board has one)
//   \n                                 for GET, or for POST:
//   Content-length: <body bytes>\n\n<body>\n\n
//
// The target is the path of the address for a direct connection and the whole address for a
// proxy. A direct connection goes to the host at port 80, or at the port written after the host.
// A request whose address, referer or cookie holds a control byte (0x00-0x1F, 0x7F), or whose
// proxy port lies outside 1 to 65535, is not built.
//
// An https:// address is fetched over TLS, at port 443 unless another is written, with exactly
// the bytes of a direct request (the path in the request line) inside the encrypted stream.
// Through the proxy it first asks for a tunnel, with the same line ends:
//
//   CONNECT <host>:<port> HTTP/1.0\n
//   Host: <host>:<port>\n
//   User-Agent: Vantor/0.62(Win95/98/NT)\n
//   \n

#include <optional>
#include <string>
#include <string_view>

#include "core/quor_app.h"

namespace quor::fetch {

// The longest address a request accepts; longer ones never reach the network.
inline constexpr std::size_t kMaxAddressLength = 1023;
inline constexpr int kDefaultHttpPort = 80;
inline constexpr int kDefaultHttpsPort = 443;

enum class AddressError {
    kNone,
    kTooLong,
    kNoHost,
    kUnsupportedScheme,  // neither http:// nor https://
    kBadPort,
    // The address, referer or cookie holds a control byte (a line break, say): sent as it is, it
    // would break the request line or add header lines of its own.
    kControlBytes,
    kBadProxyPort,  // outside 1 to 65535: the connection would go to another port than set
};

struct AddressParts {
    AddressError error = AddressError::kNone;
    bool secure = false;     // https://: TLS to the host
    std::string hostHeader;  // the host as written, ":port" included
    std::string hostName;    // the host without the port, for the resolver
    int port = kDefaultHttpPort;
    std::string path;             // starts with "/"
    std::string absoluteAddress;  // what a proxy is asked for

    bool Ok() const { return error == AddressError::kNone; }
};

// Splits "http://host[:port]/path" or "https://host[:port]/path" (the scheme in any case).
// "http://host" requests "/"; an address without a scheme is read as host and path over http.
AddressParts SplitAddress(std::string_view address);

enum class RequestKind {
    kPage,           // GET, or POST when the text (the body) is not empty
    kPageWithQuery,  // always GET; a present text, even an empty one, follows "?"
};

struct RequestParams {
    RequestKind kind = RequestKind::kPage;
    std::optional<std::string> text;  // POST body or query
    std::string address;
    std::string referer;
    std::string cookie;
    core::ProxySettings proxy;
};

struct BuiltRequest {
    AddressError error = AddressError::kNone;
    std::string connectHost;
    int connectPort = kDefaultHttpPort;
    std::string text;
    // Where the request goes once connected: a CONNECT for a tunnel through the proxy (empty:
    // none), then TLS with the board's host name (secure), whose certificate must name it.
    std::string tunnelRequest;
    bool secure = false;
    std::string tlsHost;
    // What was asked for, for the redirects: the method and the whole address, scheme, host as
    // written and target, query included.
    std::string method;
    std::string requestedAddress;

    bool Ok() const { return error == AddressError::kNone; }
};

BuiltRequest BuildRequest(const RequestParams& params);

}  // namespace quor::fetch
