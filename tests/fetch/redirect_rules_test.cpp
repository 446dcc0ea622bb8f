// The redirect rules without the network: which responses redirect, how a location resolves.

#include <gtest/gtest.h>

#include "fetch/redirect.h"
#include "fetch/response_header.h"

namespace quor::fetch {
namespace {

TEST(RedirectRulesTest, OnlyRedirectStatusesWithALocationRedirect) {
    struct Row {
        std::string response;
        int code;  // 0: no redirect
        std::string location;
    };
    const Row rows[] = {
        {"HTTP/1.1 301 Moved\r\nLocation: /a\r\n\r\n", 301, "/a"},
        {"HTTP/1.0 302 Found\r\nlocation:http://h/b\r\n\r\nbody", 302, "http://h/b"},
        {"HTTP/1.1 303 See Other\nLOCATION: \t x?y=1 \t\n\n", 303, "x?y=1"},
        {"HTTP/1.1 307 Temporary\r\nServer: s\r\nLocation: //h/c\r\n\r\n", 307, "//h/c"},
        {"HTTP/1.1 308 Permanent\r\nLocation: /d\r\nLocation: /e\r\n\r\n", 308, "/d"},
        {"HTTP/1.1 308\r\nLocation: /bare\r\n\r\n", 308, "/bare"},
        {"HTTP/1.1 200 OK\r\nLocation: /a\r\n\r\n", 0, ""},
        {"HTTP/1.1 300 Multiple\r\nLocation: /a\r\n\r\n", 0, ""},
        {"HTTP/1.1 304 Not Modified\r\nLocation: /a\r\n\r\n", 0, ""},
        {"HTTP/1.1 302 Found\r\nContent-Length: 0\r\n\r\n", 0, ""},  // no Location
        {"HTTP/1.1 302 Found\r\nLocation: /a\r\n", 0, ""},           // header not ended
        {"HTTP/1.1 302 Found\r\n\r\nLocation: /a\r\n\r\n", 0, ""},   // in the body
        {"HTTP/1.1 302 Found\r\nX-Location: /a\r\n\r\n", 0, ""},     // another field
        {"HTTP/1.1 3022 Found\r\nLocation: /a\r\n\r\n", 0, ""},      // not a status
        {"<html>302 Location: /a\n\n", 0, ""},                       // no status line
        {"HTTP/1.1 3x2 Found\r\nLocation: /a\r\n\r\n", 0, ""},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.response);
        const auto order = RedirectOf(row.response);
        ASSERT_EQ(order.has_value(), row.code != 0);
        if (order) {
            EXPECT_EQ(order->code, row.code);
            EXPECT_EQ(order->location, row.location);
        }
    }
    EXPECT_TRUE(TurnsIntoGet(301) && TurnsIntoGet(302) && TurnsIntoGet(303));
    EXPECT_FALSE(TurnsIntoGet(307) || TurnsIntoGet(308));
}

TEST(RedirectRulesTest, LocationsResolveAgainstTheAddressAskedFor) {
    const std::string base = "http://h:8080/bbs/dir/read.cgi?page=2";
    struct Row {
        std::string location;
        AddressError error;
        std::string address;
    };
    const Row rows[] = {
        {"https://other/x?y", AddressError::kNone, "https://other/x?y"},
        {"HTTP://Other:81/x", AddressError::kNone, "HTTP://Other:81/x"},
        {"//other/x", AddressError::kNone, "http://other/x"},
        {"/x", AddressError::kNone, "http://h:8080/x"},
        {"/x/../y/./z", AddressError::kNone, "http://h:8080/y/z"},
        {"x", AddressError::kNone, "http://h:8080/bbs/dir/x"},
        {"x?q=1", AddressError::kNone, "http://h:8080/bbs/dir/x?q=1"},
        {"../up.cgi", AddressError::kNone, "http://h:8080/bbs/up.cgi"},
        {"../../../../top", AddressError::kNone, "http://h:8080/top"},
        {"./", AddressError::kNone, "http://h:8080/bbs/dir/"},
        {"?page=3", AddressError::kNone, "http://h:8080/bbs/dir/read.cgi?page=3"},
        {"", AddressError::kNone, "http://h:8080/bbs/dir/read.cgi?page=2"},
        {"#top", AddressError::kNone, "http://h:8080/bbs/dir/read.cgi?page=2"},
        {"/x#frag", AddressError::kNone, "http://h:8080/x"},
        {"a b.cgi", AddressError::kNone, "http://h:8080/bbs/dir/a%20b.cgi"},
        {"ftp://h/file", AddressError::kUnsupportedScheme, ""},
        {"javascript:alert(1)", AddressError::kUnsupportedScheme, ""},
        {"http:no-slashes", AddressError::kNoHost, ""},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.location);
        const ResolvedLocation resolved = ResolveLocation(base, row.location);
        EXPECT_EQ(resolved.error, row.error);
        if (row.error == AddressError::kNone) {
            EXPECT_EQ(resolved.address, row.address);
        }
    }
    // A scheme-relative location keeps the scheme it was met under.
    EXPECT_EQ(ResolveLocation("https://h/a", "//m/b").address, "https://m/b");
    EXPECT_EQ(ResolveLocation("https://h", "b").address, "https://h/b");
}

TEST(RedirectRulesTest, DotSegmentsAreTakenOut) {
    const std::pair<const char*, const char*> rows[] = {
        {"/a/b/c/./../../g", "/a/g"},
        {"mid/content=5/../6", "mid/6"},
        {"/a/..", "/"},
        {"/a/.", "/a/"},
        {"/../a", "/a"},
        {"/a//b/../c", "/a//c"},
        {"/.hidden/x", "/.hidden/x"},
        {"/a/..b/c", "/a/..b/c"},
        {"", ""},
    };
    for (const auto& [path, expected] : rows)
        EXPECT_EQ(RemoveDotSegments(path), expected) << path;
}

TEST(RedirectRulesTest, StatusCodesAreReadFromTheStatusLineOnly) {
    EXPECT_EQ(StatusCode("HTTP/1.0 200 OK\r\n"), 200);
    EXPECT_EQ(StatusCode("HTTP/1.1 404\r\n\r\n"), 404);
    EXPECT_EQ(StatusCode("HTTP/1.0 200"), 200);
    EXPECT_EQ(StatusCode("HTTP/1.0 20 OK\r\n"), 0);
    EXPECT_EQ(StatusCode("HTTP/1.0  200 OK\r\n"), 0);
    EXPECT_EQ(StatusCode("http/1.0 200 OK\r\n"), 0);
    EXPECT_EQ(StatusCode(""), 0);
    EXPECT_EQ(HeaderField("HTTP/1.0 200 OK\nA: 1\nB : two \n\n", "b"), "two");
    EXPECT_EQ(HeaderField("HTTP/1.0 200 OK\nA: 1\n\n", "HTTP/1.0 200 OK"), std::nullopt);
}

}  // namespace
}  // namespace quor::fetch
