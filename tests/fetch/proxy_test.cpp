// A page request through a real HTTP proxy (tinyproxy) to the tests' own server.

#include <gtest/gtest.h>

#include "core/memory_settings_store.h"
#include "core/settings_keys.h"
#include "fetch/page_request.h"
#include "support/recording_frontend.h"
#include "support/scripted_server.h"
#include "support/tinyproxy_process.h"

namespace quor::fetch {
namespace {

using namespace std::chrono_literals;

TEST(ProxyTest, PageComesBackWholeThroughTinyproxy) {
    test::TinyproxyProcess proxy;
    ASSERT_TRUE(proxy.Running()) << proxy.Problem();
    test::ScriptedServer server;
    std::string body;
    for (int i = 0; i < 3000; ++i)
        body += "<b>post " + std::to_string(i) + "</b><br>\n";
    server.SetReply(
        {test::ScriptedServer::Behaviour::kAnswer, test::ScriptedServer::Response(body), 0, 0ms});

    core::MemorySettingsStore store;
    test::RecordingFrontend ui;
    core::CQuorApp app(store, ui);
    const std::string address =
        "http://127.0.0.1:" + std::to_string(server.Port()) + "/bbs/board.cgi";
    store.WriteString(core::kSectionTree, "Url1", address);
    store.WriteString(core::kSectionTree, "Data1", "Proxied");
    store.WriteInt(core::kSectionGlobal, "PROXYENABLE", 1);
    store.WriteString(core::kSectionGlobal, "PROXYSV", "127.0.0.1");
    store.WriteInt(core::kSectionGlobal, "PROXYPORT", proxy.Port());
    LoadProxySettings(app);

    FetchPage(app, 0, std::string("dummy=2"));

    ASSERT_TRUE(server.WaitForRequests(1, 5s)) << proxy.Log();
    const std::string forwarded = server.Requests()[0];
    // The proxy understood the absolute address and asked our server for its path.
    EXPECT_EQ(forwarded.substr(0, forwarded.find('\n')).substr(0, 20), "POST /bbs/board.cgi ")
        << forwarded;
    EXPECT_NE(forwarded.find("dummy=2"), std::string::npos) << forwarded;
    const std::string page = app.PageTextCopy(0);
    const auto blank = page.find("\r\n\r\n");
    ASSERT_NE(blank, std::string::npos) << page.substr(0, 200);
    EXPECT_EQ(page.substr(0, 12), "HTTP/1.0 200");
    EXPECT_EQ(page.substr(blank + 4), body);
    EXPECT_EQ(app.FetchStateOf(0).load(), core::kPageArrived);
}

}  // namespace
}  // namespace quor::fetch
