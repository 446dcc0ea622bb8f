#include "fetch/request_text.h"

#include <charconv>

namespace quor::fetch {

namespace {

constexpr std::string_view kScheme = "http://";
constexpr std::string_view kSecureScheme = "https://";
constexpr std::string_view kSchemeSeparator = "://";
constexpr std::string_view kAgentLine = "User-Agent: Vantor/0.62(Win95/98/NT)\n";

bool StartsWithScheme(std::string_view address, std::string_view scheme) {
    if (address.size() < scheme.size())
        return false;
    for (std::size_t i = 0; i < scheme.size(); ++i) {
        char c = address[i];
        if (c >= 'A' && c <= 'Z')
            c = static_cast<char>(c - 'A' + 'a');
        if (c != scheme[i])
            return false;
    }
    return true;
}

// A scheme is letters, digits, "+", "-" or "." before "://" and before any "/".
bool HasOtherScheme(std::string_view address) {
    const auto separator = address.find(kSchemeSeparator);
    if (separator == std::string_view::npos || separator == 0)
        return false;
    for (const char c : address.substr(0, separator)) {
        const bool letter = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
        const bool digit = c >= '0' && c <= '9';
        if (!letter && !digit && c != '+' && c != '-' && c != '.')
            return false;
    }
    return true;
}

// Splits "host[:port]" into name and port; the port must be 1 to 65535.
bool SplitPort(std::string_view hostHeader, int defaultPort, std::string& hostName, int& port) {
    const auto colon = hostHeader.rfind(':');
    if (colon == std::string_view::npos) {
        hostName = std::string(hostHeader);
        port = defaultPort;
        return true;
    }
    const std::string_view digits = hostHeader.substr(colon + 1);
    int value = 0;
    const auto [end, error] = std::from_chars(digits.data(), digits.data() + digits.size(), value);
    if (digits.empty() || error != std::errc{} || end != digits.data() + digits.size() ||
        value < 1 || value > 65535)
        return false;
    hostName = std::string(hostHeader.substr(0, colon));
    port = value;
    return true;
}

bool HasControlByte(std::string_view text) {
    for (const char c : text) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte < 0x20 || byte == 0x7F)
            return true;
    }
    return false;
}

// The target with the query of a GET page turn.
std::string TargetWithQuery(const RequestParams& params, const std::string& target) {
    if (params.kind == RequestKind::kPageWithQuery && params.text)
        return target + "?" + *params.text;
    return target;
}

bool IsPost(const RequestParams& params) {
    return params.kind == RequestKind::kPage && params.text && !params.text->empty();
}

std::string TunnelRequest(const AddressParts& parts) {
    const std::string authority = parts.hostName + ":" + std::to_string(parts.port);
    return "CONNECT " + authority + " HTTP/1.0\nHost: " + authority + "\n" +
           std::string(kAgentLine) + "\n";
}

}  // namespace

AddressParts SplitAddress(std::string_view address) {
    AddressParts parts;
    if (address.size() > kMaxAddressLength) {
        parts.error = AddressError::kTooLong;
        return parts;
    }
    if (HasControlByte(address)) {
        parts.error = AddressError::kControlBytes;
        return parts;
    }
    std::string_view rest = address;
    parts.secure = StartsWithScheme(address, kSecureScheme);
    const bool schemeWritten = parts.secure || StartsWithScheme(address, kScheme);
    if (schemeWritten) {
        rest = address.substr(parts.secure ? kSecureScheme.size() : kScheme.size());
    } else if (HasOtherScheme(address)) {
        parts.error = AddressError::kUnsupportedScheme;
        return parts;
    }

    const auto slash = rest.find('/');
    parts.hostHeader = std::string(rest.substr(0, slash));
    parts.path = slash == std::string_view::npos ? "/" : std::string(rest.substr(slash));
    // A proxy gets the address as stored; one written without a scheme is completed, since a
    // proxy cannot serve "host/path".
    parts.absoluteAddress =
        schemeWritten ? std::string(address) : std::string(kScheme) + parts.hostHeader + parts.path;
    const int defaultPort = parts.secure ? kDefaultHttpsPort : kDefaultHttpPort;
    if (!SplitPort(parts.hostHeader, defaultPort, parts.hostName, parts.port)) {
        parts.error = AddressError::kBadPort;
        return parts;
    }
    if (parts.hostName.empty())
        parts.error = AddressError::kNoHost;
    return parts;
}

BuiltRequest BuildRequest(const RequestParams& params) {
    BuiltRequest built;
    const AddressParts parts = SplitAddress(params.address);
    if (!parts.Ok()) {
        built.error = parts.error;
        return built;
    }
    if (HasControlByte(params.referer) || HasControlByte(params.cookie)) {
        built.error = AddressError::kControlBytes;
        return built;
    }
    const bool viaProxy = params.proxy.enabled == 1;
    if (viaProxy && (params.proxy.port < 1 || params.proxy.port > 65535)) {
        built.error = AddressError::kBadProxyPort;
        return built;
    }
    if (viaProxy) {
        built.connectHost = params.proxy.server;
        built.connectPort = params.proxy.port;
    } else {
        built.connectHost = parts.hostName;
        built.connectPort = parts.port;
    }
    built.secure = parts.secure;
    built.tlsHost = parts.hostName;
    // A secure board goes through the proxy in a tunnel, and the request inside it is the one
    // a direct connection would send.
    if (viaProxy && parts.secure)
        built.tunnelRequest = TunnelRequest(parts);
    const bool post = IsPost(params);
    built.method = post ? "POST" : "GET";
    built.requestedAddress = std::string(parts.secure ? kSecureScheme : kScheme) +
                             parts.hostHeader + TargetWithQuery(params, parts.path);

    const bool absoluteTarget = viaProxy && !parts.secure;
    std::string& text = built.text;
    text = built.method + " " +
           TargetWithQuery(params, absoluteTarget ? parts.absoluteAddress : parts.path) +
           " HTTP/1.0\n";
    text += "Host: " + parts.hostHeader + "\n";
    text += kAgentLine;
    if (!params.referer.empty())
        text += "Referer: " + params.referer + "\n";
    if (!params.cookie.empty())
        text += "Cookie: " + params.cookie + "\n";

    if (post) {
        text += "Content-length: " + std::to_string(params.text->size()) + "\n\n";
        text += *params.text;
        text += "\n\n";
    } else {
        text += "\n";
    }
    return built;
}

}  // namespace quor::fetch
