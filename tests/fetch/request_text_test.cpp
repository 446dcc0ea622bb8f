#include "fetch/request_text.h"

#include <gtest/gtest.h>

namespace quor::fetch {
namespace {

TEST(SplitAddressTest, SplitsHostPortAndPath) {
    struct Row {
        std::string address;
        AddressError error;
        std::string hostHeader, hostName;
        int port;
        std::string path, absolute;
    };
    const std::string longPath(1024 - std::string("http://h/").size(), 'x');
    const Row rows[] = {
        {"http://host/dir/page.cgi", AddressError::kNone, "host", "host", 80, "/dir/page.cgi",
         "http://host/dir/page.cgi"},
        {"http://host:8080/bbs?x=1", AddressError::kNone, "host:8080", "host", 8080, "/bbs?x=1",
         "http://host:8080/bbs?x=1"},
        {"http://host", AddressError::kNone, "host", "host", 80, "/", "http://host"},
        {"HTTP://Host/a", AddressError::kNone, "Host", "Host", 80, "/a", "HTTP://Host/a"},
        {"host/dir/x.cgi", AddressError::kNone, "host", "host", 80, "/dir/x.cgi",
         "http://host/dir/x.cgi"},
        {"host:81", AddressError::kNone, "host:81", "host", 81, "/", "http://host:81/"},
        {"https://host/x", AddressError::kNone, "host", "host", 443, "/x", "https://host/x"},
        {"HTTPS://Host:8443", AddressError::kNone, "Host:8443", "Host", 8443, "/",
         "HTTPS://Host:8443"},
        {"https://host:0/x", AddressError::kBadPort, "host:0", "", 443, "/x", ""},
        {"https:///x", AddressError::kNoHost, "", "", 443, "/x", ""},
        {"ftp://host/x", AddressError::kUnsupportedScheme, "", "", 80, "", ""},
        {"http:///path", AddressError::kNoHost, "", "", 80, "/path", ""},
        {"http://", AddressError::kNoHost, "", "", 80, "/", ""},
        {"/only/path", AddressError::kNoHost, "", "", 80, "/only/path", ""},
        {"http://host:/x", AddressError::kBadPort, "host:", "", 80, "/x", ""},
        {"http://host:99999/x", AddressError::kBadPort, "host:99999", "", 80, "/x", ""},
        {"http://host:8a/x", AddressError::kBadPort, "host:8a", "", 80, "/x", ""},
        {"http://h/" + longPath.substr(1), AddressError::kNone, "h", "h", 80,
         '/' + longPath.substr(1), "http://h/" + longPath.substr(1)},
        {"http://h/" + longPath, AddressError::kTooLong, "", "", 80, "", ""},
        {"https://h/" + longPath.substr(2), AddressError::kNone, "h", "h", 443,
         '/' + longPath.substr(2), "https://h/" + longPath.substr(2)},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.address.substr(0, 60));
        const AddressParts parts = SplitAddress(row.address);
        EXPECT_EQ(parts.error, row.error);
        if (row.error == AddressError::kTooLong || row.error == AddressError::kUnsupportedScheme)
            continue;
        EXPECT_EQ(parts.hostHeader, row.hostHeader);
        EXPECT_EQ(parts.path, row.path);
        const std::string scheme = row.address.substr(0, 6);
        EXPECT_EQ(parts.secure, scheme == "https:" || scheme == "HTTPS:");
        if (row.error != AddressError::kNone)
            continue;
        EXPECT_EQ(parts.hostName, row.hostName);
        EXPECT_EQ(parts.port, row.port);
        EXPECT_EQ(parts.absoluteAddress, row.absolute);
    }
}

TEST(BuildRequestTest, ConnectsToTheProxyWithTheWholeAddress) {
    RequestParams params;
    params.address = "http://host:8080/dir/page.cgi";
    params.proxy = {1, "proxy.example", 8000};
    BuiltRequest built = BuildRequest(params);
    ASSERT_TRUE(built.Ok());
    EXPECT_EQ(built.connectHost, "proxy.example");
    EXPECT_EQ(built.connectPort, 8000);
    EXPECT_EQ(built.text,
              "GET http://host:8080/dir/page.cgi HTTP/1.0\nHost: host:8080\n"
              "User-Agent: Vantor/0.62(Win95/98/NT)\n\n");

    params.proxy.enabled = 2;  // anything but 1 is a direct connection
    built = BuildRequest(params);
    EXPECT_EQ(built.connectHost, "host");
    EXPECT_EQ(built.connectPort, 8080);
    EXPECT_EQ(built.text.substr(0, built.text.find('\n')), "GET /dir/page.cgi HTTP/1.0");

    params.address = "gopher://host/";
    params.proxy.enabled = 1;
    EXPECT_EQ(BuildRequest(params).error, AddressError::kUnsupportedScheme);
    EXPECT_TRUE(BuildRequest(params).text.empty());
}

// An https:// board: the request inside TLS is always the direct one (path in the request line),
// and through the proxy a CONNECT to the host and port comes first.
TEST(BuildRequestTest, SecureBoardsAskForATunnelAndSendTheDirectRequest) {
    const std::string agent = "User-Agent: Vantor/0.62(Win95/98/NT)\n";
    struct Row {
        const char* name;
        std::string address;
        bool viaProxy;
        std::optional<std::string> body;
        std::string connectHost;
        int connectPort;
        std::string tunnel;
        std::string text;
        std::string requested;
    };
    const Row rows[] = {
        {"direct, default port", "https://bbs.example/cgi/read.cgi", false, std::nullopt,
         "bbs.example", 443, "", "GET /cgi/read.cgi HTTP/1.0\nHost: bbs.example\n" + agent + "\n",
         "https://bbs.example/cgi/read.cgi"},
        {"direct, port written", "https://bbs.example:8443/x?a=1", false, std::nullopt,
         "bbs.example", 8443, "", "GET /x?a=1 HTTP/1.0\nHost: bbs.example:8443\n" + agent + "\n",
         "https://bbs.example:8443/x?a=1"},
        {"proxy, POST", "https://bbs.example/b", true, std::string("pg_line=2"), "proxy.example",
         8080, "CONNECT bbs.example:443 HTTP/1.0\nHost: bbs.example:443\n" + agent + "\n",
         "POST /b HTTP/1.0\nHost: bbs.example\n" + agent + "Content-length: 9\n\npg_line=2\n\n",
         "https://bbs.example/b"},
        {"proxy, port written", "HTTPS://Bbs.Example:9443", true, std::nullopt, "proxy.example",
         8080, "CONNECT Bbs.Example:9443 HTTP/1.0\nHost: Bbs.Example:9443\n" + agent + "\n",
         "GET / HTTP/1.0\nHost: Bbs.Example:9443\n" + agent + "\n", "https://Bbs.Example:9443/"},
        {"plain http through the proxy needs no tunnel", "http://bbs.example/b", true, std::nullopt,
         "proxy.example", 8080, "",
         "GET http://bbs.example/b HTTP/1.0\nHost: bbs.example\n" + agent + "\n",
         "http://bbs.example/b"},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        RequestParams params;
        params.address = row.address;
        params.text = row.body;
        params.proxy = {row.viaProxy ? 1 : 0, "proxy.example", 8080};
        const BuiltRequest built = BuildRequest(params);
        ASSERT_TRUE(built.Ok());
        EXPECT_EQ(built.connectHost, row.connectHost);
        EXPECT_EQ(built.connectPort, row.connectPort);
        EXPECT_EQ(built.tunnelRequest, row.tunnel);
        EXPECT_EQ(built.text, row.text);
        EXPECT_EQ(built.secure, row.address[4] == 's' || row.address[4] == 'S');
        EXPECT_EQ(built.requestedAddress, row.requested);
        EXPECT_EQ(built.method, row.body ? "POST" : "GET");
    }
    RequestParams query;
    query.kind = RequestKind::kPageWithQuery;
    query.text = "page=3";
    query.address = "https://h/b";
    EXPECT_EQ(BuildRequest(query).requestedAddress, "https://h/b?page=3");
    EXPECT_EQ(BuildRequest(query).tlsHost, "h");
}

}  // namespace
}  // namespace quor::fetch
