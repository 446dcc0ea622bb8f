// The request-side mends the fault tests called for, case by case: what a request refuses to
// send, how the end of a response is judged, and quorcli tree with an impossible Count.

#include <gtest/gtest.h>

#include "core/memory_settings_store.h"
#include "core/quor_app.h"
#include "fetch/page_request.h"
#include "fetch/request_text.h"
#include "hardening/quorcli_process.h"
#include "support/scripted_server.h"
#include "support/temp_dir.h"

namespace quor::test {
namespace {

using namespace std::chrono_literals;
using namespace std::string_literals;
using fetch::AddressError;

TEST(RequestMends, ControlBytesAndProxyPortsRefusedEverythingElseSent) {
    struct Case {
        std::string address, referer, cookie;
        int proxyEnabled;
        int proxyPort;
        AddressError expected;
    };
    const std::string ok = "http://host/bbs";
    const Case cases[] = {
        {ok, "", "", 0, 0, AddressError::kNone},
        {ok, "http://ref/ a b", "k=v; w=x", 0, 0, AddressError::kNone},  // blanks are text
        {"http://host/\x82\xa0", "", "", 0, 0, AddressError::kNone},     // Shift-JIS bytes
        {"http://host/a\nHost: evil", "", "", 0, 0, AddressError::kControlBytes},
        {"http://host/a\r", "", "", 0, 0, AddressError::kControlBytes},
        {"http://host/a\0b"s, "", "", 0, 0, AddressError::kControlBytes},
        {"http://host/\x1b", "", "", 0, 0, AddressError::kControlBytes},
        {"http://host/\x7f", "", "", 0, 0, AddressError::kControlBytes},
        {ok, "r\nX-Evil: 1", "", 0, 0, AddressError::kControlBytes},
        {ok, "", "a=b\r\n\r\nGET /", 0, 0, AddressError::kControlBytes},
        {ok, "", "\t", 0, 0, AddressError::kControlBytes},
        {ok, "", "", 1, 1, AddressError::kNone},
        {ok, "", "", 1, 8000, AddressError::kNone},
        {ok, "", "", 1, 65535, AddressError::kNone},
        {ok, "", "", 1, 0, AddressError::kBadProxyPort},
        {ok, "", "", 1, -1, AddressError::kBadProxyPort},
        {ok, "", "", 1, 65536, AddressError::kBadProxyPort},
        {ok, "", "", 1, 2147483647, AddressError::kBadProxyPort},
        {ok, "", "", 0, -1, AddressError::kNone},  // no proxy: its port does not matter
    };
    for (const Case& test : cases) {
        fetch::RequestParams params;
        params.address = test.address;
        params.referer = test.referer;
        params.cookie = test.cookie;
        params.proxy = {test.proxyEnabled, "127.0.0.1", test.proxyPort};
        const fetch::BuiltRequest built = fetch::BuildRequest(params);
        EXPECT_EQ(built.error, test.expected)
            << "address '" << test.address << "' referer '" << test.referer << "' cookie '"
            << test.cookie << "' proxy port " << test.proxyPort;
        if (built.Ok()) {
            EXPECT_EQ(built.text.find('\r'), std::string::npos);
            EXPECT_TRUE(built.text.ends_with("\n\n"));
        } else {
            EXPECT_TRUE(built.text.empty()) << "a refused request was built anyway";
        }
    }
}

TEST(RequestMends, AnnouncedBodyLength) {
    const struct {
        std::string response;
        std::optional<std::size_t> expected;
    } cases[] = {
        {"HTTP/1.0 200 OK\r\nContent-Length: 10\r\n\r\nbody", 10},
        {"HTTP/1.0 200 OK\r\ncontent-length:5\r\n\r\n", 5},
        {"HTTP/1.0 200 OK\nCONTENT-LENGTH: \t7\n\nbody", 7},
        {"HTTP/1.0 200 OK\r\nContent-Length: 0\r\n\r\n", 0},
        {"HTTP/1.0 200 OK\r\nContent-Length: 10\r\n", std::nullopt},  // header never ends
        {"HTTP/1.0 200 OK\r\nContent-Length: ten\r\n\r\n", std::nullopt},
        {"HTTP/1.0 200 OK\r\nContent-Length: 99999999999999999999999\r\n\r\n", std::nullopt},
        {"HTTP/1.0 200 OK\r\nX-Content-Length: 3\r\n\r\n", std::nullopt},
        {"HTTP/1.0 200 OK\r\n\r\nContent-Length: 3\r\n\r\n", std::nullopt},  // in the body
        {"", std::nullopt},
    };
    for (const auto& test : cases)
        EXPECT_EQ(fetch::AnnouncedBodyLength(test.response), test.expected) << test.response;
}

// How Transfer judges the end of a response: nothing at all, a body short of its length, and
// zero bytes that are dropped from the page but did arrive.
TEST(RequestMends, TransferSaysHowTheResponseEnded) {
    const std::string body = "0123456789";
    const struct {
        const char* what;
        std::string sent;
        fetch::TransferStatus expected;
        std::string page;
    } cases[] = {
        {"nothing", "", fetch::TransferStatus::kEmptyResponse, ""},
        {"whole", ScriptedServer::Response(body), fetch::TransferStatus::kOk,
         ScriptedServer::Response(body)},
        {"short", "HTTP/1.0 200 OK\r\nContent-Length: 20\r\n\r\n" + body,
         fetch::TransferStatus::kBodyCut, "HTTP/1.0 200 OK\r\nContent-Length: 20\r\n\r\n" + body},
        {"zero bytes count",
         "HTTP/1.0 200 OK\r\nContent-Length: 12\r\n\r\n01234\0\0"
         "56789"s,
         fetch::TransferStatus::kOk, "HTTP/1.0 200 OK\r\nContent-Length: 12\r\n\r\n" + body},
        {"no length", "HTTP/1.0 200 OK\r\n\r\n" + body, fetch::TransferStatus::kOk,
         "HTTP/1.0 200 OK\r\n\r\n" + body},
    };
    for (const auto& test : cases) {
        ScriptedServer server;
        ScriptedServer::Reply reply;
        reply.bytes = test.sent;
        server.SetReply(reply);
        core::MemorySettingsStore store;
        core::CQuorApp app(store);
        app.SetPageText(0, "stale");
        fetch::IoLimits limits;
        limits.noProgress = 5s;
        const auto result =
            fetch::Transfer(app, "127.0.0.1", server.Port(), "GET / HTTP/1.0\n\n", 0, limits);
        EXPECT_EQ(result.status, test.expected) << test.what;
        EXPECT_EQ(app.PageTextCopy(0), test.page) << test.what;
        EXPECT_FALSE(fetch::TransferFailureText(test.expected).empty() &&
                     test.expected != fetch::TransferStatus::kOk)
            << test.what;
    }
}

TEST(RequestMends, TreeWithAnImpossibleCountShowsTheTablesBoardsAndEnds) {
    TempDir dir;
    const std::string home = (dir.Path() / "config").string();
    WriteStoreFile(home, {{"Tree", "Count", "2147483647"}, {"Tree", "Data1", "one"}});
    QuorcliProcess child({"tree"}, {home, std::nullopt, {}});
    ASSERT_EQ(child.Wait(20s), 0) << child.Errors();
    const std::string& out = child.Output();
    EXPECT_EQ(std::count(out.begin(), out.end(), '\n'), 64);
    EXPECT_TRUE(out.starts_with("1\t0\tone\t\n"));
    EXPECT_NE(child.Errors().find("only the first 64"), std::string::npos);
}

}  // namespace
}  // namespace quor::test
