// https:// boards through a real proxy: tinyproxy's CONNECT tunnel to the tests' TLS front.

#include <chrono>

#include "fetch/page_request.h"
#include "fetch/tls_fixture.h"
#include "support/routed_server.h"
#include "support/tinyproxy_process.h"
#include "support/tls_front_process.h"

namespace quor::fetch {
namespace {

using namespace std::chrono_literals;
using Server = test::TestCertificates::Server;
using test::RoutedServer;

class TlsProxyTest : public TlsTest {
protected:
    void UseProxy(int port) {
        store.WriteInt(core::kSectionGlobal, "PROXYENABLE", 1);
        store.WriteString(core::kSectionGlobal, "PROXYSV", "127.0.0.1");
        store.WriteInt(core::kSectionGlobal, "PROXYPORT", port);
        LoadProxySettings(app);
    }

    RoutedServer backend;
    test::TlsFrontProcess front{backend.Port(), Certificates().CertificateFile(Server::kTrusted),
                                Certificates().KeyFile(Server::kTrusted)};
};

// tinyproxy opens the tunnel to the port its ConnectPort allows; inside it the request is the
// direct one, and an http:// board that moved to https:// goes through the tunnel as well.
TEST_F(TlsProxyTest, HttpsBoardsGoThroughTheTunnel) {
    ASSERT_TRUE(front.Running());
    test::TinyproxyProcess proxy("ConnectPort " + std::to_string(front.Port()) + "\n");
    ASSERT_TRUE(proxy.Running()) << proxy.Problem();
    UseProxy(proxy.Port());
    const std::string secure = "https://localhost:" + std::to_string(front.Port());
    backend.Route("/bbs/read.cgi", Page("<html>through the tunnel</html>"));

    SetBoard(secure + "/bbs/read.cgi");
    FetchPage(app, 0, std::string("pg_line=3"));
    EXPECT_EQ(app.PageTextCopy(0), Page("<html>through the tunnel</html>"));
    ASSERT_EQ(backend.Requests().size(), 1u) << proxy.Log();
    EXPECT_EQ(backend.Requests()[0].bytes,
              "POST /bbs/read.cgi HTTP/1.0\nHost: localhost:" + std::to_string(front.Port()) +
                  "\nUser-Agent: Vantor/0.62(Win95/98/NT)\nContent-length: 9\n\npg_line=3\n\n");
    EXPECT_TRUE(front.WaitForLog("sni localhost", 5s));
    EXPECT_NE(proxy.Log().find("CONNECT"), std::string::npos) << proxy.Log();

    // A plain board on the same machine redirects to the secure one.
    RoutedServer plain;
    plain.Route("/old", RoutedServer::Redirect(301, secure + "/bbs/read.cgi"));
    SetBoard(plain.Address("/old"));
    ui.Clear();
    FetchPage(app, 0, std::nullopt);
    EXPECT_EQ(app.PageTextCopy(0), Page("<html>through the tunnel</html>"));
    ASSERT_EQ(plain.Requests().size(), 1u);
    EXPECT_EQ(plain.Requests()[0].target, "/old");
    EXPECT_EQ(backend.Requests().size(), 2u);
    EXPECT_EQ(ui.StatusTexts().back(), Cp932("News(Page1)取得終了"));
}

// A proxy that will not open the tunnel: its answer is on the status line, the page is empty.
TEST_F(TlsProxyTest, RefusedTunnelShowsTheProxysAnswer) {
    ASSERT_TRUE(front.Running());
    test::TinyproxyProcess proxy("ConnectPort 443\n");
    ASSERT_TRUE(proxy.Running()) << proxy.Problem();
    UseProxy(proxy.Port());
    backend.Route("/", Page("must not be read"));
    SetBoard("https://localhost:" + std::to_string(front.Port()) + "/");
    app.SetPageText(0, "old page");

    FetchPage(app, 0, std::nullopt);

    EXPECT_EQ(app.PageTextCopy(0), "");
    EXPECT_EQ(app.FetchStateOf(0).load(), core::kPageArrived);
    const std::string refused = Cp932("News(Page1)取得失敗: プロキシが中継を断りました(HTTP/1.");
    const std::string status = ui.StatusTexts().back();
    EXPECT_EQ(status.substr(0, refused.size()), refused) << status;
    EXPECT_NE(status.find(" 403 "), std::string::npos) << status;
    EXPECT_TRUE(backend.Requests().empty());
}

}  // namespace
}  // namespace quor::fetch
