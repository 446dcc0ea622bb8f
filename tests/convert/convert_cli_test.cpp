// quorcli's convert and posts commands, run as a user runs them: import a saved page, convert it
// and read the posts back as JSON lines.

#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <string>
#include <vector>

#include "core/cp932.h"
#include "support/child_process.h"
#include "support/temp_dir.h"

namespace quor::convert {
namespace {

using namespace std::chrono_literals;

struct CliRun {
    std::string out;
    std::optional<int> status;
};

class ConvertCliTest : public ::testing::Test {
protected:
    void SetUp() override {
        // quorcli keeps its settings under XDG_CONFIG_HOME; each test gets a fresh one.
        ::setenv("XDG_CONFIG_HOME", config_.Path().c_str(), 1);
    }

    CliRun Run(std::vector<std::string> args) {
        std::vector<std::string> argv{QUORCLI_PATH};
        argv.insert(argv.end(), args.begin(), args.end());
        test::ChildProcess cli(std::move(argv));
        EXPECT_TRUE(cli.Started());
        CliRun run;
        run.out = cli.ReadAll(20s);
        run.status = cli.Wait(20s);
        return run;
    }

    std::string WritePage(const std::string& utf8Body) {
        const auto path = pages_.Path() / "page.html";
        test::TempDir::WriteFile(path, "HTTP/1.0 200 OK\r\n\r\n" + core::FromUtf8(utf8Body));
        return path.string();
    }

    test::TempDir config_;
    test::TempDir pages_;
};

std::vector<std::string> Lines(const std::string& text) {
    std::vector<std::string> lines;
    std::size_t start = 0;
    for (std::size_t end; (end = text.find('\n', start)) != std::string::npos; start = end + 1)
        lines.push_back(text.substr(start, end - start));
    EXPECT_EQ(start, text.size()) << "output does not end with a line feed";
    return lines;
}

TEST_F(ConvertCliTest, PostsComeOutAsJsonLinesWithEveryByteEscaped) {
    const std::string page = WritePage(
        "<hr><b>題 &quot;one&quot;</b> 投稿者：<b>back\\slash</b> 投稿日：2001/01/01</font>"
        "<blockquote>line\none\ttab\x7f<br>end</blockquote>"
        "<hr><b>二</b> 投稿者：<b>花子</b> 投稿日：d</font><blockquote>x</blockquote>");
    const CliRun run = Run({"set",    "Tree", "Type3", "7",       "set", "Tree",  "LFCV3", "1",
                            "set",    "Tree", "TGCV3", "1",       "set", "Tree",  "SPCV3", "1",
                            "import", "3",    page,    "convert", "3",   "posts", "3"});
    EXPECT_EQ(run.status, 0);
    const auto lines = Lines(run.out);
    ASSERT_EQ(lines.size(), 2u) << run.out;
    EXPECT_EQ(lines[0],
              "{\"index\":0,\"title\":\"題 \\\"one\\\"\",\"name\":\"back\\\\slash\","
              "\"date\":\"2001/01/01\",\"message\":\"line\\r\\none\\ttab\\u007f\\r\\nend\","
              "\"unread\":0}");
    EXPECT_EQ(lines[1],
              "{\"index\":1,\"title\":\"二\",\"name\":\"花子\",\"date\":\"d\",\"message\":\"x\","
              "\"unread\":0}");
}

TEST_F(ConvertCliTest, ConvertStartsFromAnEmptyTableEachTime) {
    const std::string page =
        WritePage("<hr><b>t</b>投稿者：<b>n</b>投稿日：d</font><blockquote>m</blockquote>");
    const CliRun run = Run({"set", "Tree", "Type1", "7", "import", "1", page, "convert", "1",
                            "convert", "1", "posts", "1", "posts", "2"});
    EXPECT_EQ(run.status, 0);
    EXPECT_EQ(Lines(run.out).size(), 1u) << run.out;
}

TEST_F(ConvertCliTest, ConvertingAnEmptyPageTextKeepsThePosts) {
    const std::string page =
        WritePage("<hr><b>t</b>投稿者：<b>n</b>投稿日：d</font><blockquote>m</blockquote>");
    const auto empty = pages_.Path() / "empty.html";
    test::TempDir::WriteFile(empty, "");
    // Board 1 gets its post, then an empty page text; board 2 was never given one.
    const CliRun run =
        Run({"set",    "Tree", "Type1",        "7",       "import", "1",       page, "convert", "1",
             "import", "1",    empty.string(), "convert", "1",      "convert", "2",  "page",    "1",
             "posts",  "1",    "posts",        "2"});
    EXPECT_EQ(run.status, 0) << "nothing to convert is no failure";
    const auto lines = Lines(run.out);
    ASSERT_EQ(lines.size(), 1u) << run.out;
    EXPECT_EQ(lines[0],
              "{\"index\":0,\"title\":\"t\",\"name\":\"n\",\"date\":\"d\",\"message\":\"m\","
              "\"unread\":0}");
}

TEST_F(ConvertCliTest, BadBoardNumbersAreUsageErrors) {
    for (const char* command : {"convert", "posts"}) {
        for (const char* board : {"0", "65", "x"}) {
            const CliRun run = Run({command, board});
            EXPECT_EQ(run.status, 2) << command << " " << board;
            EXPECT_TRUE(run.out.empty());
        }
    }
}

}  // namespace
}  // namespace quor::convert
