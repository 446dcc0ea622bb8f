// quorcli fetch-all and fetch N against the board server, as a separate process.

#include <gtest/gtest.h>
#include <signal.h>
#include <stdlib.h>

#include <fstream>
#include <sstream>

#include "support/board_server_process.h"
#include "support/child_process.h"
#include "support/temp_dir.h"

namespace quor::test {
namespace {

using namespace std::chrono_literals;

class FetchCliTest : public ::testing::Test {
protected:
    void SetUp() override { ::setenv("XDG_CONFIG_HOME", (config.Path()).c_str(), 1); }

    // Defines the server's boards in quorcli's store, plus the given global settings.
    void DefineBoards(const std::string& configJson, std::vector<std::string> globals = {}) {
        server = std::make_unique<BoardServerProcess>(configJson);
        ASSERT_TRUE(server->Running());
        ChildProcess printer({"python3", BoardServerProcess::ScriptPath(), "--config",
                              Write("boards.json", configJson), "--port",
                              std::to_string(server->Port()), "--print-settings", "tsv"});
        std::istringstream lines(printer.ReadAll(20s));
        std::vector<std::string> args{QUORCLI_PATH, "set", "QUOR", "ODIR", out.Prefix()};
        for (std::size_t i = 0; i + 1 < globals.size(); i += 2)
            args.insert(args.end(), {"set", "QUOR", globals[i], globals[i + 1]});
        std::string line;
        while (std::getline(lines, line)) {
            const auto first = line.find('\t');
            const auto second = line.find('\t', first + 1);
            args.insert(args.end(),
                        {"set", line.substr(0, first), line.substr(first + 1, second - first - 1),
                         line.substr(second + 1)});
        }
        ASSERT_GT(args.size(), 10u);
        ChildProcess set(args);
        ASSERT_EQ(set.Wait(20s), std::optional<int>(0));
    }

    std::string Write(const std::string& name, const std::string& text) {
        TempDir::WriteFile(config.Path() / name, text);
        return (config.Path() / name).string();
    }

    TempDir config;
    TempDir out;
    std::unique_ptr<BoardServerProcess> server;
};

TEST_F(FetchCliTest, FetchAllThenPostsPrintsTheFirstBoard) {
    DefineBoards(R"({"boards": [{"name": "first", "pages": 2, "posts": 3},
                                {"name": "second", "type": 7, "encoding": "euc"}]})",
                 {"THREADCOUNT", "2"});
    ChildProcess cli({QUORCLI_PATH, "fetch-all", "posts", "1"});
    const std::string output = cli.ReadAll(30s);
    ASSERT_EQ(cli.Wait(30s), std::optional<int>(0));
    std::istringstream lines(output);
    std::string line;
    int count = 0;
    while (std::getline(lines, line)) {
        EXPECT_EQ(line.rfind("{\"index\":" + std::to_string(count) + ",", 0), 0u) << line;
        ++count;
    }
    EXPECT_EQ(count, 6);
    EXPECT_EQ(server->Log().size(), 3u);
    EXPECT_NE(TempDir::ReadFile(out.Path() / "second.idx").size(), 0u);

    ChildProcess single({QUORCLI_PATH, "fetch", "2", "posts", "2"});
    EXPECT_NE(single.ReadAll(30s).find("\"index\":3,"), std::string::npos);
    EXPECT_EQ(single.Wait(30s), std::optional<int>(0));
    EXPECT_EQ(server->Log().size(), 4u);

    ChildProcess bad({QUORCLI_PATH, "fetch", "65"});
    EXPECT_EQ(bad.Wait(10s), std::optional<int>(2));
}

TEST_F(FetchCliTest, TimedOutRunFailsTheCommand) {
    DefineBoards(R"({"boards": [{"fault": "stall"}]})", {"TIMEOUT", "1"});
    ChildProcess cli({QUORCLI_PATH, "fetch-all"});
    EXPECT_EQ(cli.Wait(10s), std::optional<int>(1));
}

TEST_F(FetchCliTest, InterruptDuringARunEndsPromptly) {
    DefineBoards(R"({"boards": [{"fault": "stall"}, {"fault": "stall"}]})", {"THREADCOUNT", "2"});
    ChildProcess cli({QUORCLI_PATH, "fetch-all"});
    // Give the run time to have both requests stalled.
    std::this_thread::sleep_for(700ms);
    ASSERT_FALSE(cli.Wait(0ms)) << "the run should still be waiting for the stalled server";
    const auto start = std::chrono::steady_clock::now();
    cli.Signal(SIGINT);
    const auto status = cli.Wait(3s);
    ASSERT_TRUE(status) << "quorcli did not end after SIGINT";
    EXPECT_EQ(*status, 1) << "ended by a crash or the signal itself instead of its own exit";
    EXPECT_LT(std::chrono::steady_clock::now() - start, 1500ms);
}

}  // namespace
}  // namespace quor::test
