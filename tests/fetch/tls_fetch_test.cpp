// https:// boards fetched over TLS from a front of the tests' own on 127.0.0.1, whose
// certificate the test authority signed (or not).

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <chrono>
#include <thread>

#include "fetch/page_request.h"
#include "fetch/tls_fixture.h"
#include "support/routed_server.h"
#include "support/tls_front_process.h"

namespace quor::fetch {
namespace {

using namespace std::chrono_literals;
using Server = test::TestCertificates::Server;
using test::RoutedServer;
using test::TlsFrontProcess;

const std::string kAgent = "User-Agent: Vantor/0.62(Win95/98/NT)\n";

std::unique_ptr<TlsFrontProcess> FrontOf(int backendPort, Server server,
                                         TlsFrontProcess::Options options = {}) {
    auto front =
        std::make_unique<TlsFrontProcess>(backendPort, Certificates().CertificateFile(server),
                                          Certificates().KeyFile(server), options);
    EXPECT_TRUE(front->Running()) << "the TLS front did not start";
    return front;
}

// A plain HTTP server that answers the moment a connection comes, before reading anything, as
// one does to bytes it cannot read as a request. One connection, then it ends.
class AnswersAtOnce final {
public:
    AnswersAtOnce() {
        listen_ = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
        sockaddr_in address{};
        address.sin_family = AF_INET;
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        socklen_t length = sizeof address;
        ::bind(listen_, reinterpret_cast<sockaddr*>(&address), sizeof address);
        ::listen(listen_, 4);
        ::getsockname(listen_, reinterpret_cast<sockaddr*>(&address), &length);
        port_ = ntohs(address.sin_port);
        thread_ = std::thread([this] {
            pollfd entry{listen_, POLLIN, 0};
            if (::poll(&entry, 1, 10000) <= 0)
                return;
            const int fd = ::accept(listen_, nullptr, nullptr);
            const std::string answer = "HTTP/1.0 400 Bad Request\r\n\r\n";
            ::send(fd, answer.data(), answer.size(), MSG_NOSIGNAL);
            std::this_thread::sleep_for(std::chrono::milliseconds(200));
            ::close(fd);
        });
    }
    ~AnswersAtOnce() {
        thread_.join();
        ::close(listen_);
    }
    AnswersAtOnce(const AnswersAtOnce&) = delete;
    AnswersAtOnce& operator=(const AnswersAtOnce&) = delete;
    int Port() const { return port_; }

private:
    int listen_ = -1;
    int port_ = 0;
    std::thread thread_;
};

// Inside TLS the request is the direct one, byte for byte; the host name goes out as SNI and
// the certificate is checked against it, an address against the certificate's IP entry.
TEST_F(TlsTest, RequestInsideTlsIsTheDirectOneAndTheHostIsNamed) {
    RoutedServer backend;
    backend.Route("/bbs/read.cgi?no=1", Page("<html>secure board</html>"));
    const auto front = FrontOf(backend.Port(), Server::kTrusted);
    const std::string port = std::to_string(front->Port());
    store.WriteString(core::kSectionTree, "Ref1", "https://ref.example/");
    store.WriteString(core::kSectionTree, "Cokkie1", "sid=7");

    for (const std::string host : {"127.0.0.1", "localhost"}) {
        SCOPED_TRACE(host);
        ui.Clear();
        SetBoard("https://" + host + ":" + port + "/bbs/read.cgi?no=1");
        FetchPage(app, 0, std::string("pg_line=2"));
        ASSERT_FALSE(backend.Requests().empty());
        EXPECT_EQ(backend.Requests().back().bytes,
                  "POST /bbs/read.cgi?no=1 HTTP/1.0\nHost: " + host + ":" + port + "\n" + kAgent +
                      "Referer: https://ref.example/\nCookie: sid=7\n"
                      "Content-length: 9\n\npg_line=2\n\n");
        EXPECT_EQ(app.PageTextCopy(0), Page("<html>secure board</html>"));
        EXPECT_EQ(app.FetchStateOf(0).load(), core::kPageArrived);
        EXPECT_EQ(ui.StatusTexts(), (std::vector<std::string>{Cp932("News(Page1)取得開始"),
                                                              Cp932("News(Page1)取得終了")}));
    }
    EXPECT_TRUE(front->WaitForLog("sni localhost", 5s));
    for (const auto& line : front->Log())
        EXPECT_NE(line, "sni 127.0.0.1") << "an address is no server name";
}

// Whether the server closes with a closing TLS message or just closes, the page is whole; a
// long one arrives over many TLS records.
TEST_F(TlsTest, PagesArriveWholeWithOrWithoutAClosingMessage) {
    std::string body;
    for (int i = 0; i < 20000; ++i)
        body += "<b>post " + std::to_string(i) + "</b><br>\n";
    RoutedServer backend;
    backend.Route("/big", Page(body));
    for (const bool closeNotify : {true, false}) {
        SCOPED_TRACE(closeNotify ? "close notify" : "plain close");
        const auto front = FrontOf(backend.Port(), Server::kTrusted, {closeNotify});
        SetBoard("https://localhost:" + std::to_string(front->Port()) + "/big");
        ui.Clear();
        FetchPage(app, 0, std::nullopt);
        EXPECT_EQ(app.PageTextCopy(0), Page(body));
        EXPECT_EQ(ui.StatusTexts().back(), Cp932("News(Page1)取得終了"));
    }
}

// A certificate that does not verify, or names another host, fails the exchange like a failed
// connect: empty page, the board and the reason on the status line, nothing sent.
TEST_F(TlsTest, UntrustedCertificatesAreRefusedWithTheReason) {
    RoutedServer backend;
    backend.Route("/", Page("must not be read"));
    const std::string untrusted = "サーバの証明書を信頼できません";
    struct Row {
        Server server;
        std::string host;
        std::string reason;
    };
    const Row rows[] = {
        {Server::kUntrusted, "127.0.0.1", "unable to get local issuer certificate"},
        {Server::kUntrusted, "localhost", "unable to get local issuer certificate"},
        {Server::kWrongName, "127.0.0.1", "IP address mismatch"},
        {Server::kWrongName, "localhost", "hostname mismatch"},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.host + " " + row.reason);
        const auto front = FrontOf(backend.Port(), row.server);
        SetBoard("https://" + row.host + ":" + std::to_string(front->Port()) + "/", "Secure");
        app.SetPageText(0, "HTTP/1.0 200 OK\r\n\r\nold posts");
        ui.Clear();
        FetchPage(app, 0, std::nullopt);
        EXPECT_EQ(app.PageTextCopy(0), "");
        EXPECT_EQ(app.FetchStateOf(0).load(), core::kPageArrived);
        EXPECT_EQ(ui.StatusTexts().back(),
                  Cp932("Secure(Page1)取得失敗: " + untrusted + "(" + row.reason + ")"));
        EXPECT_TRUE(front->WaitForLog("handshake failed", 5s));
    }
    EXPECT_TRUE(backend.Requests().empty());

    // A server that does not speak TLS at all.
    AnswersAtOnce plain;
    SetBoard("https://127.0.0.1:" + std::to_string(plain.Port()) + "/", "Secure");
    ui.Clear();
    FetchPage(app, 0, std::nullopt);
    EXPECT_EQ(app.PageTextCopy(0), "");
    const std::string failed = Cp932("Secure(Page1)取得失敗: TLSで接続できません(");
    EXPECT_EQ(ui.StatusTexts().back().substr(0, failed.size()), failed) << ui.StatusTexts().back();
    EXPECT_EQ(ui.StatusTexts().back().back(), ')');
}

// Redirects between schemes: http to https is followed, a relative location on an https page
// stays https, and https to http is not followed.
TEST_F(TlsTest, RedirectsFromHttpToHttpsButNeverBack) {
    RoutedServer plain;
    RoutedServer secureBackend;
    const auto front = FrontOf(secureBackend.Port(), Server::kTrusted);
    const std::string secure = "https://localhost:" + std::to_string(front->Port());
    plain.Route("/board", RoutedServer::Redirect(301, secure + "/board"));
    secureBackend.Route("/board", RoutedServer::Redirect(302, "read.cgi"));
    secureBackend.Route("/read.cgi", Page("moved to https"));
    secureBackend.Route("/down", RoutedServer::Redirect(302, plain.Address("/plain")));
    plain.Route("/plain", Page("clear text"));

    SetBoard(plain.Address("/board"));
    FetchPage(app, 0, std::nullopt);
    EXPECT_EQ(app.PageTextCopy(0), Page("moved to https"));
    ASSERT_EQ(secureBackend.Requests().size(), 2u);
    EXPECT_EQ(secureBackend.Requests()[1].bytes,
              "GET /read.cgi HTTP/1.0\nHost: localhost:" + std::to_string(front->Port()) + "\n" +
                  kAgent + "\n");
    EXPECT_EQ(ui.StatusTexts()[1], Cp932("News(Page1)転送(1/5): ") + secure + "/board");
    EXPECT_EQ(ui.StatusTexts()[2], Cp932("News(Page1)転送(2/5): ") + secure + "/read.cgi");

    SetBoard(secure + "/down");
    FetchPage(app, 0, std::nullopt);
    EXPECT_EQ(app.PageTextCopy(0), "");
    EXPECT_EQ(ui.StatusTexts().back(),
              Cp932("News(Page1)取得失敗: https://からhttp://への転送には従いません"));
    for (const auto& request : plain.Requests())
        EXPECT_NE(request.target, "/plain");
}

}  // namespace
}  // namespace quor::fetch
