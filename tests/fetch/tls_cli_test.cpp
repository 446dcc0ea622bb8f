// quorcli on a board of today, as a user would set it up: its http:// address redirects to
// https://, the page is UTF-8, the script writes its tags in capitals and its symbols as
// character references. The child inherits the test authority through SSL_CERT_FILE.

#include <gtest/gtest.h>
#include <stdlib.h>

#include <string>
#include <vector>

#include "fetch/tls_fixture.h"
#include "support/child_process.h"
#include "support/routed_server.h"
#include "support/temp_dir.h"
#include "support/tls_front_process.h"

namespace quor::fetch {
namespace {

using namespace std::chrono_literals;
using Server = test::TestCertificates::Server;

// A TCUPBBS page as a script of today writes it, in UTF-8.
const std::string kBody =
    "<HTML><HEAD><META CHARSET=\"UTF-8\"></HEAD><BODY><FORM>投稿</FORM><HR>"
    "<FONT SIZE=4><B>晴れ&hellip;</B></FONT>　投稿者：<B>太郎</B>　"
    "投稿日：2026/12/08(火)</FONT><BLOCKQUOTE>&#x263A;&nbsp;今日は&#26228;れ</BLOCKQUOTE><HR>"
    "</BODY></HTML>";

class TlsCliTest : public ::testing::Test {
protected:
    void SetUp() override { ::setenv("XDG_CONFIG_HOME", config.Path().c_str(), 1); }

    // quorcli with the board defined first, then the given commands; its standard output.
    std::string Run(const std::string& url, const std::vector<std::string>& settings,
                    const std::vector<std::string>& commands, int expectedStatus = 0) {
        std::vector<std::string> args{QUORCLI_PATH, "set",   "QUOR", "ODIR", out.Prefix(), "set",
                                      "Tree",       "Count", "1",    "set",  "Tree",       "Data1",
                                      "Today",      "set",   "Tree", "Url1", url,          "set",
                                      "Tree",       "Type1", "7"};
        for (std::size_t i = 0; i + 1 < settings.size(); i += 2)
            args.insert(args.end(), {"set", "Tree", settings[i], settings[i + 1]});
        args.insert(args.end(), commands.begin(), commands.end());
        test::ChildProcess cli(args);
        const std::string output = cli.ReadAll(30s);
        EXPECT_EQ(cli.Wait(30s), std::optional<int>(expectedStatus));
        return output;
    }

    test::TempDir config;
    test::TempDir out;
};

TEST_F(TlsCliTest, HttpsBoardBehindARedirectReadsWithTheNewSettings) {
    test::RoutedServer plain;
    test::RoutedServer backend;
    test::TlsFrontProcess front(backend.Port(), Certificates().CertificateFile(Server::kTrusted),
                                Certificates().KeyFile(Server::kTrusted));
    ASSERT_TRUE(front.Running());
    const std::string secure = "https://localhost:" + std::to_string(front.Port()) + "/bbs/";
    plain.Route("/bbs/", test::RoutedServer::Redirect(301, secure));
    backend.Route("/bbs/",
                  "HTTP/1.0 200 OK\r\nContent-Type: text/html; charset=UTF-8\r\n\r\n" + kBody);

    // AUTO takes the page for UTF-8; markers in either case and references decoded.
    const std::string posts = Run(plain.Address("/bbs/"), {"NoCase1", "1", "CharRef1", "1"},
                                  {"fetch", "1", "posts", "1"});
    EXPECT_EQ(posts,
              "{\"index\":0,\"title\":\"晴れ…\",\"name\":\"太郎\",\"date\":\"2026/12/08(火)\","
              "\"message\":\"〓今日は晴れ\",\"unread\":0}\n");
    ASSERT_EQ(backend.Requests().size(), 1u);

    // The same board with both switches at their default of 0 finds no post in the capitals.
    EXPECT_EQ(Run(plain.Address("/bbs/"), {"NoCase1", "0", "CharRef1", "0"},
                  {"fetch", "1", "posts", "1"}),
              "");
    // Kanji code 4 names UTF-8 outright; with NoCase alone the references stay as written.
    EXPECT_EQ(
        Run(secure, {"CCode1", "4", "NoCase1", "1", "CharRef1", "0"}, {"fetch", "1", "posts", "1"}),
        "{\"index\":0,\"title\":\"晴れ&hellip;\",\"name\":\"太郎\",\"date\":\"2026/12/08(火)\","
        "\"message\":\"&#x263A;&nbsp;今日は&#26228;れ\",\"unread\":0}\n");
}

}  // namespace
}  // namespace quor::fetch
