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
        {"https://host/x", AddressError::kUnsupportedScheme, "", "", 80, "", ""},
        {"ftp://host/x", AddressError::kUnsupportedScheme, "", "", 80, "", ""},
        {"http:///path", AddressError::kNoHost, "", "", 80, "/path", ""},
        {"http://", AddressError::kNoHost, "", "", 80, "/", ""},
        {"/only/path", AddressError::kNoHost, "", "", 80, "/only/path", ""},
        {"http://host:/x", AddressError::kBadPort, "host:", "", 80, "/x", ""},
        {"http://host:99999/x", AddressError::kBadPort, "host:99999", "", 80, "/x", ""},
        {"http://host:8a/x", AddressError::kBadPort, "host:8a", "", 80, "/x", ""},
        {"http://h/" + longPath.substr(1), AddressError::kNone, "h", "h", 80,
         "/" + longPath.substr(1), "http://h/" + longPath.substr(1)},
        {"http://h/" + longPath, AddressError::kTooLong, "", "", 80, "", ""},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.address.substr(0, 60));
        const AddressParts parts = SplitAddress(row.address);
        EXPECT_EQ(parts.error, row.error);
        if (row.error == AddressError::kTooLong || row.error == AddressError::kUnsupportedScheme)
            continue;
        EXPECT_EQ(parts.hostHeader, row.hostHeader);
        EXPECT_EQ(parts.path, row.path);
        if (row.error != AddressError::kNone)
            continue;
        EXPECT_EQ(parts.hostName, row.hostName);
        EXPECT_EQ(parts.port, row.port);
        EXPECT_EQ(parts.absoluteAddress, row.absolute);
    }
}

TEST(BuildRequestTest, ConnectsToTheProxyWithTheWholeAddress) {
    RequestSpec spec;
    spec.address = "http://host:8080/dir/page.cgi";
    spec.proxy = {1, "proxy.example", 8000};
    BuiltRequest built = BuildRequest(spec);
    ASSERT_TRUE(built.Ok());
    EXPECT_EQ(built.connectHost, "proxy.example");
    EXPECT_EQ(built.connectPort, 8000);
    EXPECT_EQ(built.text,
              "GET http://host:8080/dir/page.cgi HTTP/1.0\nHost: host:8080\n"
              "User-Agent: Vantor/0.62(Win95/98/NT)\n\n");

    spec.proxy.enabled = 2;  // anything but 1 is a direct connection
    built = BuildRequest(spec);
    EXPECT_EQ(built.connectHost, "host");
    EXPECT_EQ(built.connectPort, 8080);
    EXPECT_EQ(built.text.substr(0, built.text.find('\n')), "GET /dir/page.cgi HTTP/1.0");

    spec.address = "https://host/";
    spec.proxy.enabled = 1;
    EXPECT_EQ(BuildRequest(spec).error, AddressError::kUnsupportedScheme);
    EXPECT_TRUE(BuildRequest(spec).text.empty());
}

}  // namespace
}  // namespace quor::fetch
