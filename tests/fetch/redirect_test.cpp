// Page requests that meet redirects, against a server of the tests' own on 127.0.0.1.

#include <gtest/gtest.h>

#include "core/cp932.h"
#include "core/memory_settings_store.h"
#include "core/settings_keys.h"
#include "fetch/page_request.h"
#include "support/recording_frontend.h"
#include "support/routed_server.h"

namespace quor::fetch {
namespace {

using core::BoardKey;
using core::kSectionGlobal;
using core::kSectionTree;
using test::RoutedServer;

const std::string kAgent = "User-Agent: Vantor/0.62(Win95/98/NT)\n";

std::string Page(const std::string& body) {
    return "HTTP/1.0 200 OK\r\nContent-Length: " + std::to_string(body.size()) + "\r\n\r\n" + body;
}

class RedirectTest : public ::testing::Test {
protected:
    void SetBoard(const std::string& url) {
        store.WriteString(kSectionTree, BoardKey("Url", 1), url);
        store.WriteString(kSectionTree, BoardKey("Data", 1), "News");
    }
    std::string Host() const { return "127.0.0.1:" + std::to_string(server.Port()); }
    static std::string Cp932(const std::string& utf8) { return core::FromUtf8(utf8); }
    std::string Hop(int hop, const std::string& address) const {
        return Cp932("News(Page1)転送(" + std::to_string(hop) + "/5): ") + address;
    }

    core::MemorySettingsStore store;
    test::RecordingFrontend ui;
    core::CQuorApp app{store, ui};
    RoutedServer server;
};

// Every form of location in one chain; each hop carries the board's referer and cookie and is
// shown on the status line, and the page is the last response.
TEST_F(RedirectTest, RelativeLocationsAreResolvedAndEveryHopShown) {
    server.Route("/bbs/dir/start.cgi", RoutedServer::Redirect(301, "next.cgi?a=1"));
    server.Route("/bbs/dir/next.cgi?a=1", RoutedServer::Redirect(302, "/top/../abs.cgi"));
    server.Route("/abs.cgi", RoutedServer::Redirect(307, "//" + Host() + "/scheme-relative"));
    server.Route("/scheme-relative",
                 RoutedServer::Redirect(308, "http://" + Host() + "/whole#fragment"));
    server.Route("/whole", Page("<html>the board</html>"));
    SetBoard("http://" + Host() + "/bbs/dir/start.cgi");
    store.WriteString(kSectionTree, "Ref1", "http://ref.example/");
    store.WriteString(kSectionTree, "Cokkie1", "sid=42");

    FetchPage(app, 0, std::nullopt);

    EXPECT_EQ(app.PageTextCopy(0), Page("<html>the board</html>"));
    EXPECT_EQ(app.FetchStateOf(0).load(), core::kPageArrived);
    const auto requests = server.Requests();
    const std::vector<std::string> targets = {"/bbs/dir/start.cgi", "/bbs/dir/next.cgi?a=1",
                                              "/abs.cgi", "/scheme-relative", "/whole"};
    ASSERT_EQ(requests.size(), targets.size());
    for (std::size_t i = 0; i < targets.size(); ++i) {
        SCOPED_TRACE(targets[i]);
        EXPECT_EQ(requests[i].bytes, "GET " + targets[i] + " HTTP/1.0\nHost: " + Host() + "\n" +
                                         kAgent +
                                         "Referer: http://ref.example/\nCookie: sid=42\n\n");
    }
    const std::string base = "http://" + Host();
    EXPECT_EQ(ui.StatusTexts(),
              (std::vector<std::string>{
                  Cp932("News(Page1)取得開始"), Hop(1, base + "/bbs/dir/next.cgi?a=1"),
                  Hop(2, base + "/abs.cgi"), Hop(3, base + "/scheme-relative"),
                  Hop(4, base + "/whole"), Cp932("News(Page1)取得終了")}));
}

// A page turn by POST answered with 301, 302 or 303 goes on as a GET without a body; 307 and 308
// send the same POST with its body to the new address.
TEST_F(RedirectTest, PostTurnsIntoGetOrKeepsItsBodyByStatus) {
    const std::string get = "GET /to HTTP/1.0\nHost: " + Host() + "\n" + kAgent + "\n";
    const std::string post =
        "POST /to HTTP/1.0\nHost: " + Host() + "\n" + kAgent + "Content-length: 9\n\npg_line=2\n\n";
    const std::pair<int, std::string> rows[] = {
        {301, get}, {302, get}, {303, get}, {307, post}, {308, post}};
    SetBoard("http://" + Host() + "/from");
    server.Route("/to", Page("page two"));
    std::size_t seen = 0;
    for (const auto& [code, expected] : rows) {
        SCOPED_TRACE(code);
        server.Route("/from", RoutedServer::Redirect(code, "/to"));
        FetchPage(app, 0, std::string("pg_line=2"));
        const auto requests = server.Requests();
        ASSERT_EQ(requests.size(), seen + 2);
        EXPECT_EQ(requests[seen].method, "POST");
        EXPECT_EQ(requests[seen + 1].bytes, expected);
        EXPECT_EQ(app.PageTextCopy(0), Page("page two"));
        seen = requests.size();
    }

    // A POST answered by 303 with its own address is the usual post-then-get, not a loop.
    server.Route("/from", RoutedServer::Redirect(303, "/from?done"));
    server.Route("/from?done", Page("posted"));
    FetchPage(app, 0, std::string("pg_line=2"));
    EXPECT_EQ(app.PageTextCopy(0), Page("posted"));

    // A GET page turn's query belongs to the address it was sent to, not to the next one.
    server.Route("/from?page=2", RoutedServer::Redirect(302, "/to"));
    FetchPageWithQuery(app, 0, std::string("page=2"));
    EXPECT_EQ(server.Requests().back().bytes, get);
}

// Redirects that end the exchange as a failed one: nothing of them is left in the page text.
TEST_F(RedirectTest, LoopsSixthHopsAndUnusableLocationsFail) {
    for (int i = 1; i <= 6; ++i)
        server.Route("/hop" + std::to_string(i),
                     RoutedServer::Redirect(302, "/hop" + std::to_string(i + 1)));
    server.Route("/hop7", Page("too far"));
    server.Route("/five1", RoutedServer::Redirect(301, "/hop3"));  // five hops: /hop3 .. /hop7
    server.Route("/a", RoutedServer::Redirect(302, "/b"));
    server.Route("/b", RoutedServer::Redirect(307, "/a"));
    server.Route("/self", RoutedServer::Redirect(301, ""));
    server.Route("/ftp", RoutedServer::Redirect(302, "ftp://" + Host() + "/file"));
    server.Route("/long", RoutedServer::Redirect(302, "/" + std::string(1100, 'x')));
    struct Row {
        std::string path;
        std::size_t requests;  // made in this exchange
        std::string failure;   // empty: the exchange ends well
    };
    const Row rows[] = {
        {"/five1", 6, ""},
        {"/hop1", 6, "転送が5回を超えました"},
        {"/a", 2, "転送先が循環しています"},
        {"/self", 1, "転送先が循環しています"},
        {"/ftp", 1,
         "転送先のアドレスを取得できません(http://かhttps://で始まらないアドレスは取得できません)"},
        {"/long", 1, "転送先のアドレスを取得できません(アドレスが長すぎます(1024バイト以上))"},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.path);
        ui.Clear();
        SetBoard("http://" + Host() + row.path);
        app.SetPageText(0, "stale");
        const std::size_t before = server.Requests().size();
        FetchPage(app, 0, std::nullopt);
        EXPECT_EQ(server.Requests().size() - before, row.requests);
        EXPECT_EQ(app.FetchStateOf(0).load(), core::kPageArrived);
        if (row.failure.empty()) {
            EXPECT_EQ(app.PageTextCopy(0), Page("too far"));
            EXPECT_EQ(ui.StatusTexts().back(), Cp932("News(Page1)取得終了"));
        } else {
            EXPECT_EQ(app.PageTextCopy(0), "");
            EXPECT_EQ(ui.StatusTexts().back(), Cp932("News(Page1)取得失敗: " + row.failure));
        }
    }

    // A redirect status without a Location is an answer like any other.
    server.Route("/nowhere", "HTTP/1.0 302 Found\r\n\r\nno location");
    SetBoard("http://" + Host() + "/nowhere");
    FetchPage(app, 0, std::nullopt);
    EXPECT_EQ(app.PageTextCopy(0), "HTTP/1.0 302 Found\r\n\r\nno location");
    EXPECT_EQ(ui.StatusTexts().back(), Cp932("News(Page1)取得終了"));
}

// With the proxy on, every hop goes to the proxy, a redirect to another host too, with the
// whole address in the request line. The routed server plays the proxy; the boards' hosts do
// not exist, so only the proxy can have answered.
TEST_F(RedirectTest, EveryHopGoesThroughTheProxy) {
    server.Route("http://board.invalid/old",
                 RoutedServer::Redirect(301, "http://moved.invalid/new"));
    server.Route("http://moved.invalid/new", Page("moved board"));
    SetBoard("http://board.invalid/old");
    store.WriteInt(kSectionGlobal, "PROXYENABLE", 1);
    store.WriteString(kSectionGlobal, "PROXYSV", "127.0.0.1");
    store.WriteInt(kSectionGlobal, "PROXYPORT", server.Port());
    LoadProxySettings(app);

    FetchPage(app, 0, std::nullopt);

    EXPECT_EQ(app.PageTextCopy(0), Page("moved board"));
    const auto requests = server.Requests();
    ASSERT_EQ(requests.size(), 2u);
    EXPECT_EQ(requests[1].bytes,
              "GET http://moved.invalid/new HTTP/1.0\nHost: moved.invalid\n" + kAgent + "\n");
}

}  // namespace
}  // namespace quor::fetch
