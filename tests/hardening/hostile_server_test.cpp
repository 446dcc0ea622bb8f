// Fetch runs against servers that fail in every way a web server can: refused, unresolvable,
// silent, stalled after the header, cut mid-body, flooding, sending zero and control bytes, and a
// proxy that is down; and against the board server's own fault modes. Whatever the server does,
// the run ends within its limits, the status line says what became of the board, the other
// boards of the run are fetched and stored as usual, and the board's files from before lose
// nothing and take no garbage.

#include <gtest/gtest.h>

#include <functional>

#include "core/settings_keys.h"
#include "fetch/fetch_scheduler.h"
#include "hardening/fetch_run_fixture.h"
#include "hardening/hostile_server.h"
#include "storage/board_files.h"
#include "support/board_server_process.h"
#include "support/child_process.h"

namespace quor::test {
namespace {

using namespace std::chrono_literals;
using core::BoardKey;
using core::kSectionGlobal;
using core::kSectionTree;
namespace key = core::key;

constexpr int kGoodBoards = 4;

// What the hostile board held before the run.
const std::string kOldIndex = "6f6c64,31,4e,6f6c64206d657373616765\r\n";
const std::string kOldReadState = "00674300\r\n";
const std::string kOldArchive = "<html>old page</html>\r\n";

bool AnyContains(const std::vector<std::string>& texts, const std::string& part) {
    for (const auto& text : texts) {
        if (text.find(part) != std::string::npos)
            return true;
    }
    return false;
}

struct HostileCase {
    const char* name;
    // Sets up the server and returns the hostile board's address.
    std::function<std::string(std::unique_ptr<HostileServer>&)> serve;
    const char* statusUtf8;  // what the status line must say about the board (after its prefix)
    int posts;               // posts the run stores for it; -1: the old index must stay as it was
};

void PrintTo(const HostileCase& test, std::ostream* out) {
    *out << test.name;
}

std::string At(const HostileServer& server) {
    return "http://127.0.0.1:" + std::to_string(server.Port()) + "/bbs/hostile";
}

std::function<std::string(std::unique_ptr<HostileServer>&)> Serving(HostileServer::Script script) {
    return [script](std::unique_ptr<HostileServer>& server) {
        server = std::make_unique<HostileServer>(script);
        return At(*server);
    };
}

// A page of three posts with zero bytes everywhere, markers included (a request drops them), and
// control bytes inside the fields (the cleaner drops them).
std::string PageWithControlBytes() {
    using namespace std::string_literals;
    std::string body = "<html><body>\n<h\0r>\n"s;
    for (int i = 1; i <= 3; ++i) {
        const std::string n = std::to_string(i);
        body += "<b>hos\x01\x07tile-"s + n + "\x1b</b> " + Sjis("投稿者：") + "<b>\0"s +
                Sjis("山田") + n + "</b> <font size=2>" + Sjis("投稿日：") + "2024/05/0" + n +
                "</fo\0nt><blockquote>"s + Sjis("本文です。") + "\x1f<br>\x0bline-" + n +
                "\x0c</block\0quote><hr>\n"s;
    }
    body += "</body></html>\n"s;
    return ScriptedServer::Response(body);
}

const HostileCase kCases[] = {
    {"refused",
     [](std::unique_ptr<HostileServer>&) {
         return "http://127.0.0.1:" + std::to_string(FreeLoopbackPort()) + "/bbs";
     },
     "取得失敗: 接続できません", -1},
    // A label longer than 63 bytes never becomes a DNS query, so nothing leaves the machine.
    {"unresolvable",
     [](std::unique_ptr<HostileServer>&) {
         return "http://" + std::string(64, 'q') + ".invalid/bbs";
     },
     "取得失敗: ホスト名を解決できません", -1},
    {"silent", Serving({HostileServer::Mode::kSilent, {}, 0}),
     "取得失敗: 受信がタイムアウトしました", -1},
    {"header then stall", Serving({HostileServer::Mode::kHeaderThenStall, {}, 0}),
     "取得失敗: 受信がタイムアウトしました", -1},
    {"empty answer", Serving({HostileServer::Mode::kBytes, {}, 0}),
     "取得失敗: 応答がありませんでした", -1},
    {"100 MB", Serving({HostileServer::Mode::kFlood, {}, 100u << 20}),
     "取得終了(64MBを超えた分は切り捨てました)", -1},
    {"zero and control bytes", Serving({HostileServer::Mode::kBytes, PageWithControlBytes(), 0}),
     "取得終了", 3},
};

class HostileServerTest : public ::testing::TestWithParam<HostileCase> {};

TEST_P(HostileServerTest, RunEndsAndOnlyThatBoardFails) {
    const HostileCase& test = GetParam();
    FetchRunFixture run;
    std::unique_ptr<HostileServer> server;
    // The hostile board starts first; the good ones follow, so the run's own limit, counted from
    // the last board start, ends after the request's.
    run.AddBoard(1, "hostile", test.serve(server));
    for (int n = 2; n <= 1 + kGoodBoards; ++n)
        run.AddGoodBoard(n, "good" + std::to_string(n));
    run.WriteBoardFile("hostile", ".idx", kOldIndex);
    run.WriteBoardFile("hostile", ".hcc", kOldReadState);
    run.WriteBoardFile("hostile", ".txt", kOldArchive);

    const auto took = run.FetchAll(60s);
    ASSERT_TRUE(took) << "the run did not end within a minute";
    // TIMEOUT is 2 s: a request gives up after 2 s without progress.
    EXPECT_LT(took->count(), 15'000);
    EXPECT_TRUE(run.frontend.Warnings().empty()) << "the run itself timed out";

    const auto status = run.StatusOf("hostile");
    EXPECT_TRUE(AnyContains(status, Sjis(test.statusUtf8)))
        << "no status text says: " << test.statusUtf8;

    for (int n = 2; n <= 1 + kGoodBoards; ++n) {
        const std::string name = "good" + std::to_string(n);
        const auto posts = run.IndexedPosts(name);
        ASSERT_EQ(posts.size(), 3u) << name;
        EXPECT_EQ(posts[2].title, name + "-3");
    }

    if (test.posts < 0) {
        EXPECT_EQ(run.File("hostile", ".idx"), kOldIndex);
    } else {
        const auto posts = run.IndexedPosts("hostile");
        ASSERT_EQ(posts.size(), static_cast<std::size_t>(test.posts));
        for (std::size_t i = 0; i < posts.size(); ++i) {
            EXPECT_EQ(posts[i].title, "hostile-" + std::to_string(i + 1));
            EXPECT_EQ(posts[i].message, Sjis("本文です。") + "\r\nline-" + std::to_string(i + 1));
        }
    }
    EXPECT_EQ(run.File("hostile", ".hcc"), kOldReadState);
    const auto archive = run.File("hostile", ".txt");
    ASSERT_TRUE(archive);
    EXPECT_TRUE(archive->starts_with(kOldArchive)) << "the archive lost what it held";
    if (server) {
        EXPECT_LT(server->FloodSent(), 100u << 20) << "the flood was read to its end";
    }
}

INSTANTIATE_TEST_SUITE_P(Servers, HostileServerTest, ::testing::ValuesIn(kCases),
                         [](const auto& info) {
                             std::string name = info.param.name;
                             for (char& c : name)
                                 c = std::isalnum(static_cast<unsigned char>(c)) ? c : '_';
                             return name;
                         });

// A server that closes in the middle of the body: the posts that arrived whole are stored, the
// cut one is not, and the status line says the body was cut.
TEST(HostileServerCut, CutBodyKeepsWholePostsAndSaysSo) {
    FetchRunFixture run;
    HostileServer server({HostileServer::Mode::kCloseMidBody, GoodPageResponse("hostile", 8), 0});
    run.AddBoard(1, "hostile", At(server));
    run.AddGoodBoard(2, "good2");
    run.WriteBoardFile("hostile", ".idx", kOldIndex);

    ASSERT_TRUE(run.FetchAll(60s));
    EXPECT_TRUE(AnyContains(run.StatusOf("hostile"), Sjis("本文が途中で切れました")));
    const auto posts = run.IndexedPosts("hostile");
    ASSERT_GE(posts.size(), 2u);
    ASSERT_LT(posts.size(), 8u);
    for (std::size_t i = 0; i < posts.size(); ++i) {
        EXPECT_EQ(posts[i].title, "hostile-" + std::to_string(i + 1));
        EXPECT_EQ(posts[i].message, Sjis("本文です。") + "\r\nline-" + std::to_string(i + 1));
    }
    EXPECT_EQ(run.IndexedPosts("good2").size(), 3u);
}

// A server that sends a byte now and then never lets a request see a stretch without progress.
// The run's own limit ends the run (the TIMEOUT warning, then the end step stores the good
// boards); the request gives up after four times TIMEOUT, so the run is over then and the next
// one may start.
TEST(HostileServerTrickle, TricklingServerDoesNotHoldTheRunForever) {
    FetchRunFixture run;
    HostileServer server({HostileServer::Mode::kTrickle, {}, 0});
    run.AddBoard(1, "hostile", At(server));
    run.AddGoodBoard(2, "good2");
    run.WriteBoardFile("hostile", ".idx", kOldIndex);

    const auto took = run.FetchAll(60s);
    ASSERT_TRUE(took) << "a trickling server kept the run going";
    EXPECT_LT(took->count(), 15'000);
    EXPECT_TRUE(AnyContains(run.StatusOf("hostile"), Sjis("受信がタイムアウトしました")));
    EXPECT_EQ(run.IndexedPosts("good2").size(), 3u);
    EXPECT_EQ(run.File("hostile", ".idx"), kOldIndex);
    EXPECT_EQ(fetch::StartFetchAll(*run.app), fetch::StartOutcome::kStarted);
}

// With THREADCOUNT 1 a stalled board holds the only slot; the run still ends within its limit,
// either by the request's own limit or by the run's TIMEOUT, and stores nothing wrong.
TEST(HostileServerOneThread, StallWithOneThreadEndsWithinTheLimit) {
    FetchRunFixture run;
    run.store.WriteInt(kSectionGlobal, key::kThreadCount, 1);
    HostileServer server({HostileServer::Mode::kSilent, {}, 0});
    run.AddBoard(1, "hostile", At(server));
    run.AddGoodBoard(2, "good2");
    run.WriteBoardFile("hostile", ".idx", kOldIndex);

    const auto took = run.FetchAll(60s);
    ASSERT_TRUE(took);
    EXPECT_LT(took->count(), 10'000);
    const bool runTimedOut = !run.frontend.Warnings().empty();
    const bool requestTimedOut =
        AnyContains(run.StatusOf("hostile"), Sjis("受信がタイムアウトしました"));
    EXPECT_TRUE(runTimedOut || requestTimedOut);
    if (runTimedOut) {
        EXPECT_EQ(run.frontend.Warnings()[0],
                  std::make_pair(std::string("TIMEOUT"), std::string("ERROR")));
    } else {
        EXPECT_EQ(run.IndexedPosts("good2").size(), 3u);
    }
    EXPECT_EQ(run.File("hostile", ".idx"), kOldIndex);
}

// Every board goes through the proxy, and it is down: each board fails at once and says so, and
// no stored file changes.
TEST(HostileProxy, ProxyDownFailsEveryBoardQuickly) {
    FetchRunFixture run;
    run.store.WriteInt(kSectionGlobal, key::kProxyEnable, 1);
    run.store.WriteString(kSectionGlobal, key::kProxyServer, "127.0.0.1");
    run.store.WriteInt(kSectionGlobal, key::kProxyPort, FreeLoopbackPort());
    for (int n = 1; n <= 3; ++n) {
        run.AddGoodBoard(n, "good" + std::to_string(n));
        run.WriteBoardFile("good" + std::to_string(n), ".idx", kOldIndex);
    }
    const auto took = run.FetchAll(60s);
    ASSERT_TRUE(took);
    EXPECT_LT(took->count(), 5'000);
    for (int n = 1; n <= 3; ++n) {
        const std::string name = "good" + std::to_string(n);
        EXPECT_TRUE(AnyContains(run.StatusOf(name), Sjis("取得失敗: 接続できません"))) << name;
        EXPECT_EQ(run.File(name, ".idx"), kOldIndex) << name;
    }
}

// The board server's fault modes next to its good boards, all in one run.
TEST(HostileBoardServer, FaultModesBesideGoodBoards) {
    BoardServerProcess server(R"({"boards": [
        {"name": "good-sjis", "type": 1, "encoding": "sjis", "pages": 2},
        {"name": "stall", "type": 7, "fault": "stall"},
        {"name": "cut", "type": 7, "fault": "close-mid-body", "posts": 8},
        {"name": "refuse", "type": 7, "fault": "refuse"},
        {"name": "zero", "type": 7, "fault": "zero-byte"},
        {"name": "good-euc", "type": 7, "encoding": "euc", "pages": 2, "turn": "get"}]})",
                              {"--stall-seconds", "8"});
    ASSERT_TRUE(server.Running());
    FetchRunFixture run;
    server.LoadSettings(run.store);
    run.store.WriteInt(kSectionGlobal, key::kThreadCount, 6);
    for (const char* name : {"stall", "refuse"})
        run.WriteBoardFile(name, ".idx", kOldIndex);

    const auto took = run.FetchAll(60s);
    ASSERT_TRUE(took);
    EXPECT_LT(took->count(), 15'000);
    EXPECT_TRUE(AnyContains(run.StatusOf("stall"), Sjis("受信がタイムアウトしました")));
    EXPECT_TRUE(AnyContains(run.StatusOf("cut"), Sjis("本文が途中で切れました")));
    EXPECT_TRUE(AnyContains(run.StatusOf("refuse"), Sjis("応答がありませんでした")));
    EXPECT_TRUE(AnyContains(run.StatusOf("zero"), Sjis("取得終了")));
    EXPECT_EQ(run.File("stall", ".idx"), kOldIndex);
    EXPECT_EQ(run.File("refuse", ".idx"), kOldIndex);
    // Two pages of four posts each for the good boards; the zero byte costs no post.
    EXPECT_EQ(run.IndexedPosts("good-sjis").size(), 8u);
    EXPECT_EQ(run.IndexedPosts("good-euc").size(), 8u);
    EXPECT_EQ(run.IndexedPosts("zero").size(), 4u);
    const auto cut = run.IndexedPosts("cut");
    EXPECT_GE(cut.size(), 1u);
    EXPECT_LT(cut.size(), 8u);
}

}  // namespace
}  // namespace quor::test
