// A fetch-all run of boards served over https://: the board server's pages behind a TLS front,
// page turns by POST and by GET.

#include "core/settings_keys.h"
#include "fetch/fetch_scheduler.h"
#include "fetch/scheduler_fixture.h"
#include "fetch/tls_fixture.h"
#include "support/tls_front_process.h"

namespace quor::fetch {
namespace {

using Logged = test::BoardServerProcess::LoggedRequest;
using Server = test::TestCertificates::Server;

void ExpectSamePosts(const core::PostTable& got, const core::PostTable& expected) {
    ASSERT_EQ(got.Count(), expected.Count());
    for (std::size_t i = 0; i < got.Count(); ++i)
        EXPECT_EQ(got.At(i), expected.At(i)) << "post " << i;
}

TEST_F(SchedulerTest, HttpsBoardsTurnPagesByPostAndByGet) {
    StartServer(R"({"boards": [
        {"name": "posted", "type": 1, "encoding": "sjis", "pages": 3, "turn": "post"},
        {"name": "linked", "type": 7, "encoding": "euc", "pages": 3, "turn": "get"}]})");
    test::TlsFrontProcess front(server->Port(), Certificates().CertificateFile(Server::kTrusted),
                                Certificates().KeyFile(Server::kTrusted));
    ASSERT_TRUE(front.Running());
    // What the same pages give over plain http, fetched one by one.
    const auto posted = PostsFetchedAlone(0, {std::nullopt, "pg_line=2", "pg_line=3"});
    const auto linked = PostsFetchedAlone(1, {std::nullopt, "page=2", "page=3"}, true);
    const std::size_t plainRequests = server->Log().size();
    ASSERT_EQ(posted.Count(), 12u);
    ASSERT_EQ(linked.Count(), 12u);

    const std::string secure = "https://localhost:" + std::to_string(front.Port());
    store.WriteString(core::kSectionTree, "Url1", secure + "/board/1");
    store.WriteString(core::kSectionTree, "Url2",
                      "https://127.0.0.1:" + std::to_string(front.Port()) + "/board/2");
    SetGlobal("THREADCOUNT", 2);
    ASSERT_EQ(StartFetchAll(*app), StartOutcome::kStarted);
    ASSERT_TRUE(WaitForRunEnd());

    auto log = server->Log();
    log.erase(log.begin(), log.begin() + static_cast<std::ptrdiff_t>(plainRequests));
    std::vector<std::string> asked[2];
    for (const Logged& entry : log) {
        ASSERT_TRUE(entry.board == 1 || entry.board == 2);
        asked[entry.board - 1].push_back(entry.method + " " + entry.target + " " + entry.body);
    }
    EXPECT_EQ(asked[0], (std::vector<std::string>{"GET /board/1 ", "POST /board/1 pg_line=2",
                                                  "POST /board/1 pg_line=3"}));
    EXPECT_EQ(asked[1], (std::vector<std::string>{"GET /board/2 ", "GET /board/2?page=2 ",
                                                  "GET /board/2?page=3 "}));
    ExpectSamePosts(PostsOf(0), posted);
    ExpectSamePosts(PostsOf(1), linked);
    EXPECT_EQ(ui.StatusTexts().back(), Cp932("変換終了"));
    for (const auto& text : ui.StatusTexts())
        EXPECT_EQ(text.find(Cp932("取得失敗")), std::string::npos) << core::ToUtf8(text);
    EXPECT_TRUE(ui.Warnings().empty());
}

}  // namespace
}  // namespace quor::fetch
