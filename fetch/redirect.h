#pragma once

// The rules of a board's redirects. A response with status 301, 302, 303, 307 or 308 and a
// Location field sends the request on to the address it names, resolved against the address
// that was asked for: a whole address ("https://host/x"), one without a scheme ("//host/x",
// which keeps the current scheme), an absolute path ("/x"), a relative one ("x", "../x") or a
// query alone ("?x"); a fragment ("#x") is dropped, since it never goes to a server, and a
// blank in the location is sent as %20, since it would break the request line. 301, 302 and
// 303 after a POST continue as GET without a body; 307 and 308 keep the POST and its body.
//
// The page request follows at most kMaxRedirects of them; a sixth, a request repeated within
// the exchange, an https:// address sending on to http://, or a location that cannot be
// requested ends the exchange as a failed one.

#include <optional>
#include <string>
#include <string_view>

#include "fetch/request_text.h"

namespace quor::fetch {

inline constexpr int kMaxRedirects = 5;

struct RedirectOrder {
    int code = 0;
    std::string location;  // as the server wrote it
};

// The redirect a complete response asks for, or nothing: another status, or no Location.
std::optional<RedirectOrder> RedirectOf(std::string_view response);

// Whether the next hop is a GET without body, whatever the request was.
bool TurnsIntoGet(int code);

struct ResolvedLocation {
    AddressError error = AddressError::kNone;
    std::string address;

    bool Ok() const { return error == AddressError::kNone; }
};

// Resolves a location against the address asked for, written with its scheme.
ResolvedLocation ResolveLocation(std::string_view base, std::string_view location);

// Dot segments of a path taken out as a browser does ("/a/b/../c" is "/a/c").
std::string RemoveDotSegments(std::string_view path);

}  // namespace quor::fetch
