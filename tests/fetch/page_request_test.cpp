#include "fetch/page_request.h"

#include <gtest/gtest.h>

#include <thread>

#include "core/cp932.h"
#include "core/memory_settings_store.h"
#include "core/settings_keys.h"
#include "support/child_process.h"
#include "support/recording_frontend.h"
#include "support/scripted_server.h"

namespace quor::fetch {
namespace {

using namespace std::chrono_literals;
using core::BoardKey;
using core::kSectionGlobal;
using core::kSectionTree;
using test::ScriptedServer;

class PageRequestTest : public ::testing::Test {
protected:
    void SetBoard(int number, const std::string& url, const std::string& referer = "",
                  const std::string& cookie = "") {
        store.WriteString(kSectionTree, BoardKey("Url", number), url);
        store.WriteString(kSectionTree, BoardKey("Data", number), "News");
        if (!referer.empty())
            store.WriteString(kSectionTree, BoardKey("Ref", number), referer);
        if (!cookie.empty())
            store.WriteString(kSectionTree, BoardKey("Cokkie", number), cookie);
    }
    std::string Local(const std::string& path) const {
        return "127.0.0.1:" + std::to_string(server.Port()) + path;
    }
    static std::string Cp932(const char* utf8) { return core::FromUtf8(utf8); }

    core::MemorySettingsStore store;
    test::RecordingFrontend ui;
    core::CQuorApp app{store, ui};
    ScriptedServer server;
};

// Every request shape, as the bytes that reach the server.
TEST_F(PageRequestTest, SendsExactlyTheRequestBytes) {
    const std::string agent = "User-Agent: Vantor/0.62(Win95/98/NT)\n";
    const std::string host = "Host: " + Local("") + "\n";
    struct Row {
        const char* name;
        bool withQuery;
        std::optional<std::string> text;
        std::string referer, cookie;
        std::string expected;
    };
    const Row rows[] = {
        {"get", false, std::nullopt, "", "", "GET /dir/page.cgi HTTP/1.0\n" + host + agent + "\n"},
        {"get, empty body", false, std::string(), "", "",
         "GET /dir/page.cgi HTTP/1.0\n" + host + agent + "\n"},
        {"post of 9 bytes", false, std::string("pg_line=2"), "", "",
         "POST /dir/page.cgi HTTP/1.0\n" + host + agent + "Content-length: 9\n\npg_line=2\n\n"},
        {"referer and cookie", false, std::nullopt, "http://ref/x", "sid=1; a=b",
         "GET /dir/page.cgi HTTP/1.0\n" + host + agent +
             "Referer: http://ref/x\nCookie: sid=1; a=b\n\n"},
        {"post with referer", false, std::string("dummy=20"), "http://r/", "",
         "POST /dir/page.cgi HTTP/1.0\n" + host + agent +
             "Referer: http://r/\nContent-length: 8\n\ndummy=20\n\n"},
        {"query", true, std::string("page=2&b=x"), "", "",
         "GET /dir/page.cgi?page=2&b=x HTTP/1.0\n" + host + agent + "\n"},
        {"empty query", true, std::string(), "", "",
         "GET /dir/page.cgi? HTTP/1.0\n" + host + agent + "\n"},
        {"absent query", true, std::nullopt, "", "c=1",
         "GET /dir/page.cgi HTTP/1.0\n" + host + agent + "Cookie: c=1\n\n"},
    };
    std::size_t sent = 0;
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        store.RemoveKey(kSectionTree, "Ref1");
        store.RemoveKey(kSectionTree, "Cokkie1");
        SetBoard(1, "http://" + Local("/dir/page.cgi"), row.referer, row.cookie);
        if (row.withQuery)
            FetchPageWithQuery(app, 0, row.text);
        else
            FetchPage(app, 0, row.text);
        ASSERT_TRUE(server.WaitForRequests(++sent, 5s));
        EXPECT_EQ(server.Requests().back(), row.expected);
        EXPECT_EQ(app.FetchStateOf(0).load(), core::kPageArrived);
        EXPECT_EQ(app.PageTextCopy(0), ScriptedServer::Reply{}.bytes);
    }
}

TEST_F(PageRequestTest, ProxySettingsDecideWhereTheRequestGoes) {
    // The board's host does not exist; only the proxy (our server) can answer.
    SetBoard(1, "http://board.invalid:8080/dir/page.cgi");
    store.WriteInt(kSectionGlobal, "PROXYENABLE", 1);
    store.WriteString(kSectionGlobal, "PROXYSV", "127.0.0.1");
    store.WriteInt(kSectionGlobal, "PROXYPORT", server.Port());
    LoadProxySettings(app);
    FetchPage(app, 0, std::nullopt);
    ASSERT_TRUE(server.WaitForRequests(1, 5s));
    EXPECT_EQ(server.Requests()[0],
              "GET http://board.invalid:8080/dir/page.cgi HTTP/1.0\nHost: board.invalid:8080\n"
              "User-Agent: Vantor/0.62(Win95/98/NT)\n\n");

    // Stored as 2, the proxy is off: the request goes to the board's own host and port.
    store.WriteInt(kSectionGlobal, "PROXYENABLE", 2);
    LoadProxySettings(app);
    EXPECT_EQ(app.Proxy().enabled, 0);
    SetBoard(1, "http://" + Local("/x"));
    FetchPage(app, 0, std::string("a=1"));
    ASSERT_TRUE(server.WaitForRequests(2, 5s));
    EXPECT_EQ(server.Requests()[1].substr(0, 22), "POST /x HTTP/1.0\nHost:");

    // Never written, the proxy's port is 8000 and its host the placeholder.
    store.RemoveKey(kSectionGlobal, "PROXYPORT");
    store.RemoveKey(kSectionGlobal, "PROXYSV");
    store.WriteInt(kSectionGlobal, "PROXYENABLE", 1);
    LoadProxySettings(app);
    EXPECT_EQ(app.Proxy().port, 8000);
    EXPECT_EQ(app.Proxy().server, "proxy");
    // Switching the proxy off leaves server and port as they were.
    store.WriteInt(kSectionGlobal, "PROXYENABLE", 0);
    LoadProxySettings(app);
    EXPECT_EQ(app.Proxy().enabled, 0);
    EXPECT_EQ(app.Proxy().port, 8000);
}

TEST_F(PageRequestTest, StatusTextsNameTheBoardAndThePage) {
    SetBoard(1, "http://" + Local("/"));
    app.WithWorkspace(0, [](core::BoardWorkspace& workspace) { workspace.pageCounter = 2; });
    FetchPage(app, 0, std::nullopt);
    EXPECT_EQ(ui.StatusTexts(), (std::vector<std::string>{Cp932("News(Page2)取得開始"),
                                                          Cp932("News(Page2)取得終了")}));
}

TEST_F(PageRequestTest, BoardsThatCannotBeRequestedAreFinishedWithoutSending) {
    struct Row {
        std::string url;
        std::string status;  // empty: nothing is shown
    };
    const Row rows[] = {
        {"", ""},
        {"ftp://" + Local("/files"),
         "News(Page1)取得せず: http://かhttps://で始まらないアドレスは取得できません"},
        {"http://" + Local("/") + std::string(1100, 'a'),
         "News(Page1)取得せず: アドレスが長すぎます(1024バイト以上)"},
        {"http:///nohost", "News(Page1)取得せず: アドレスにホスト名がありません"},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.url.substr(0, 40));
        ui.Clear();
        SetBoard(1, row.url);
        app.SetPageText(0, "stale page");
        app.FetchStateOf(0).store(core::kRequestInFlight);
        app.Run().SetLaunchPending(true);
        FetchPage(app, 0, std::nullopt);
        EXPECT_EQ(app.FetchStateOf(0).load(), core::kFinished);
        EXPECT_FALSE(app.Run().LaunchPending());
        if (row.status.empty()) {
            EXPECT_TRUE(ui.StatusTexts().empty());
        } else {
            EXPECT_EQ(ui.StatusTexts(), std::vector<std::string>{Cp932(row.status.c_str())});
            EXPECT_EQ(app.PageTextCopy(0), "");
        }
    }
    EXPECT_EQ(server.Connections(), 0);

    // A slot outside the table only gives the launch back.
    app.Run().SetLaunchPending(true);
    FetchPage(app, 64, std::nullopt);
    FetchPageWithQuery(app, -1, std::string("q"));
    EXPECT_FALSE(app.Run().LaunchPending());
}

TEST_F(PageRequestTest, FailedConnectEmptiesThePageAndSaysSo) {
    SetBoard(1, "http://127.0.0.1:" + std::to_string(test::FreeLoopbackPort()) + "/");
    app.SetPageText(0, "HTTP/1.0 200 OK\r\n\r\nold posts");
    FetchPage(app, 0, std::nullopt);
    EXPECT_EQ(app.PageTextCopy(0), "");
    EXPECT_EQ(app.FetchStateOf(0).load(), core::kPageArrived);
    ASSERT_EQ(ui.StatusTexts().size(), 2u);
    EXPECT_EQ(ui.StatusTexts()[1], Cp932("News(Page1)取得失敗: 接続できません"));
}

TEST_F(PageRequestTest, ResponsesArriveWhateverTheServerDoes) {
    SetBoard(1, "http://" + Local("/"));
    const std::string body = "<html>" + std::string(20000, 'x') + "</html>";
    const std::string whole = ScriptedServer::Response(body);

    // In small pieces, a zero byte among them: the zero byte goes, nothing after it is lost.
    std::string withZero = whole;
    withZero.insert(whole.size() - 100, 1, '\0');
    server.SetReply({ScriptedServer::Behaviour::kAnswer, withZero, 1000, 1ms});
    FetchPage(app, 0, std::nullopt);
    EXPECT_EQ(app.PageTextCopy(0), whole);

    // Closed in the middle of the body: what arrived is the page, and the request has ended.
    server.SetReply({ScriptedServer::Behaviour::kCloseMidBody, whole, 0, 0ms});
    FetchPage(app, 0, std::nullopt);
    const std::string half = app.PageTextCopy(0);
    EXPECT_GT(half.size(), whole.size() / 2 - 1000);
    EXPECT_LT(half.size(), whole.size());
    EXPECT_EQ(whole.compare(0, half.size(), half), 0);
    EXPECT_EQ(app.FetchStateOf(0).load(), core::kPageArrived);

    // Closed before anything was answered: an empty page.
    server.SetReply({ScriptedServer::Behaviour::kCloseAtOnce, whole, 0, 0ms});
    app.SetPageText(0, "old");
    FetchPage(app, 0, std::nullopt);
    EXPECT_EQ(app.PageTextCopy(0), "");
    EXPECT_EQ(app.FetchStateOf(0).load(), core::kPageArrived);
}

TEST_F(PageRequestTest, StalledServerEndsTheRequestAfterTimeout) {
    store.WriteInt(kSectionGlobal, "TIMEOUT", 1);
    SetBoard(1, "http://" + Local("/"));
    server.SetReply({ScriptedServer::Behaviour::kStall, "", 0, 0ms});
    const auto start = std::chrono::steady_clock::now();
    FetchPage(app, 0, std::nullopt);
    const auto took = std::chrono::steady_clock::now() - start;
    EXPECT_GE(took, 900ms);
    EXPECT_LT(took, 3s);
    EXPECT_EQ(app.FetchStateOf(0).load(), core::kPageArrived);
    EXPECT_EQ(ui.StatusTexts().back(), Cp932("News(Page1)取得失敗: 受信がタイムアウトしました"));
}

TEST_F(PageRequestTest, ShutdownCutsOffARunningRequest) {
    SetBoard(1, "http://" + Local("/"));
    server.SetReply({ScriptedServer::Behaviour::kStall, "", 0, 0ms});
    std::atomic<bool> done{false};
    std::thread request([&] {
        FetchPage(app, 0, std::nullopt);
        done.store(true);
    });
    ASSERT_TRUE(server.WaitForRequests(1, 5s));
    EXPECT_FALSE(done.load());
    const auto start = std::chrono::steady_clock::now();
    app.Workers().RequestShutdown();
    request.join();
    EXPECT_LT(std::chrono::steady_clock::now() - start, 1s);
    // A request cut off by the shutdown reports nothing more.
    EXPECT_EQ(ui.StatusTexts().size(), 1u);
}

TEST_F(PageRequestTest, LongBodiesAreSentWholeAndLongResponsesCut) {
    SetBoard(1, "http://" + Local("/post"));
    const std::string body(8 * 1024 * 1024, 'b');  // far more than one send() takes
    FetchPage(app, 0, body);
    ASSERT_TRUE(server.WaitForRequests(1, 10s));
    const std::string request = server.Requests()[0];
    ASSERT_GE(request.size(), body.size() + 4);
    EXPECT_EQ(request.substr(request.size() - body.size() - 4), "\n\n" + body + "\n\n");
    EXPECT_NE(request.find("Content-length: 8388608\n\n"), std::string::npos);

    // Past 64 MiB the rest is not read, and the status line says so.
    ui.Clear();
    server.SetReply(
        {ScriptedServer::Behaviour::kAnswer, std::string(kMaxResponseBytes + 10, 'x'), 0, 0ms});
    FetchPage(app, 0, std::nullopt);
    EXPECT_EQ(app.PageTextCopy(0).size(), kMaxResponseBytes);
    EXPECT_EQ(ui.StatusTexts().back(),
              Cp932("News(Page1)取得終了(64MBを超えた分は切り捨てました)"));

    // A zero byte exactly at the limit does not count towards it.
    std::string zeros(999, 'r');
    zeros += std::string(3, '\0') + "rrrr";
    server.SetReply({ScriptedServer::Behaviour::kAnswer, zeros, 0, 0ms});
    EXPECT_EQ(
        Transfer(app, "127.0.0.1", server.Port(), "GET / HTTP/1.0\n\n", 0, IoLimits{}, 1000).status,
        TransferStatus::kTruncated);
    EXPECT_EQ(app.PageTextCopy(0), std::string(1000, 'r'));
    EXPECT_EQ(
        Transfer(app, "127.0.0.1", server.Port(), "GET / HTTP/1.0\n\n", 0, IoLimits{}, 1003).status,
        TransferStatus::kOk);
    EXPECT_EQ(app.PageTextCopy(0), std::string(1003, 'r'));

    server.SetReply({ScriptedServer::Behaviour::kAnswer, std::string(5000, 'r'), 0, 0ms});
    IoLimits limits;
    const auto result =
        Transfer(app, "127.0.0.1", server.Port(), "GET / HTTP/1.0\n\n", 0, limits, 1000);
    EXPECT_EQ(result.status, TransferStatus::kTruncated);
    EXPECT_EQ(app.PageTextCopy(0), std::string(1000, 'r'));
}

}  // namespace
}  // namespace quor::fetch
