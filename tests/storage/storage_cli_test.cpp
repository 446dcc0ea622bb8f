// quorcli's storage commands end to end: each step a new process on a fresh settings file, so
// what survives is only what the board files and the store hold.

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "support/child_process.h"
#include "support/temp_dir.h"

namespace quor::storage::test {
namespace {

using namespace std::chrono_literals;

class StorageCliTest : public ::testing::Test {
protected:
    StorageCliTest() {
        ::setenv("XDG_CONFIG_HOME", (home.Path() / "config").c_str(), 1);
        std::filesystem::create_directory(out());
        Run({"set",      "Tree",  "Count",  "1",    "set",      "Tree",
             "Data1",    "board", "set",    "QUOR", "ODIR",     out().string() + "/",
             "set",      "Tree",  "Type1",  "0",    "set",      "Tree",
             "TitA1",    "<t>",   "set",    "Tree", "TitB1",    "</t>",
             "set",      "Tree",  "NameA1", "<n>",  "set",      "Tree",
             "NameB1",   "</n>",  "set",    "Tree", "DateA1",   "<d>",
             "set",      "Tree",  "DateB1", "</d>", "set",      "Tree",
             "HonbunA1", "<m>",   "set",    "Tree", "HonbunB1", "</m>"});
    }

    std::filesystem::path out() const { return home.Path() / "out"; }

    // A page of posts in the board's own markers, saved as a file for `import`.
    std::string PageFile(const std::string& name, const std::vector<std::string>& titles) const {
        std::string page = "HTTP/1.0 200 OK\r\n\r\n<html>\n";
        for (const auto& title : titles)
            // The message must not end in the title: XOR would cancel the two and give every post
            // the same hash.
            page += "<t>" + title + "</t><n>N</n><d>D</d><m>" + title + " says hello</m>\n";
        page += "</html>\n";
        const auto path = home.Path() / name;
        quor::test::TempDir::WriteFile(path, page);
        return path.string();
    }

    struct Outcome {
        int status = -1;
        std::vector<std::string> lines;
    };
    Outcome Run(std::vector<std::string> args) {
        std::vector<std::string> argv{QUORCLI_PATH};
        argv.insert(argv.end(), args.begin(), args.end());
        quor::test::ChildProcess child(std::move(argv));
        Outcome outcome;
        while (auto line = child.ReadLine(10s))
            outcome.lines.push_back(*line);
        outcome.status = child.Wait(10s).value_or(-1);
        return outcome;
    }
    // The unread field of each posts line, in order.
    static std::vector<int> UnreadFlags(const Outcome& outcome) {
        std::vector<int> flags;
        for (const auto& line : outcome.lines) {
            const auto at = line.find("\"unread\":");
            if (at != std::string::npos)
                flags.push_back(line[at + 9] - '0');
        }
        return flags;
    }

    quor::test::TempDir home;
};

TEST_F(StorageCliTest, SavedPostsLoadInANewProcess) {
    const auto page = PageFile("page.html", {"one", "two,with comma", "three"});
    const auto saved = Run({"import", "1", page, "convert", "1", "posts", "1", "save"});
    ASSERT_EQ(saved.status, 0);
    ASSERT_EQ(saved.lines.size(), 3u);
    ASSERT_TRUE(std::filesystem::exists(out() / "board.idx"));

    const auto loaded = Run({"load", "posts", "1"});
    EXPECT_EQ(loaded.status, 0);
    EXPECT_EQ(loaded.lines, saved.lines);
    // Nothing loaded without a load.
    EXPECT_TRUE(Run({"posts", "1"}).lines.empty());
}

TEST_F(StorageCliTest, CheckUnreadAfterReadAndWriteReadStateMarksExactlyTheUnreadPosts) {
    const auto first = PageFile("first.html", {"a", "b"});
    const auto second = PageFile("second.html", {"a", "b", "c", "d"});
    ASSERT_EQ(Run({"import", "1", first, "convert", "1", "write-read-state"}).status, 0);

    // The next fetch brings c and d; only they are new.
    auto checked = Run({"import", "1", second, "convert", "1", "check-unread", "posts", "1"});
    EXPECT_EQ(UnreadFlags(checked), (std::vector<int>{0, 0, 1, 1}));

    // Selecting d and writing the read state leaves only c unread for the next run.
    ASSERT_EQ(Run({"import", "1", second, "convert", "1", "check-unread", "read", "1", "3",
                   "write-read-state"})
                  .status,
              0);
    checked = Run({"import", "1", second, "convert", "1", "check-unread", "posts", "1"});
    EXPECT_EQ(UnreadFlags(checked), (std::vector<int>{0, 0, 1, 0}));
}

TEST_F(StorageCliTest, FailuresAndBadArgumentsGiveTheirExitStatus) {
    const auto page = PageFile("page.html", {"one"});
    EXPECT_EQ(Run({"read", "1", "x"}).status, 2);
    EXPECT_EQ(Run({"read", "65", "0"}).status, 2);
    EXPECT_EQ(Run({"read", "1", "0"}).status, 1);  // no posts yet
    EXPECT_EQ(Run({"import", "1", page, "convert", "1", "read", "1", "0"}).status, 0);

    Run({"set", "QUOR", "ODIR", (out() / "missing").string() + "/"});
    EXPECT_EQ(Run({"import", "1", page, "convert", "1", "save"}).status, 1);
    EXPECT_EQ(Run({"import", "1", page, "convert", "1", "write-read-state"}).status, 1);
    // Reading from a missing directory finds nothing, which is no failure.
    EXPECT_EQ(Run({"load", "check-unread", "restore", "clear"}).status, 0);
    EXPECT_FALSE(std::filesystem::exists(out() / "missing"));
}

}  // namespace
}  // namespace quor::storage::test
