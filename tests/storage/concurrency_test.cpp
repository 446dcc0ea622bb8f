// The fetch driver and the user-interface thread write the same board's files while the posts
// change under them. Whatever the interleaving, a reader of the files must only ever see one
// whole version, and no temporary file may stay behind.

#include <atomic>
#include <thread>

#include "storage/atomic_file.h"
#include "storage/board_commands.h"
#include "storage/board_files.h"
#include "storage/read_state.h"
#include "storage_fixture.h"

namespace quor::storage::test {
namespace {

std::vector<core::Post> Version(const std::string& tag, int count) {
    std::vector<core::Post> posts;
    for (int i = 0; i < count; ++i)
        posts.push_back({tag + std::to_string(i), "name", "date", std::string(200, 'x'), 0});
    return posts;
}

class ConcurrencyTest : public StorageTest {
protected:
    void Replace(const std::vector<core::Post>& posts) { SetPosts(0, posts); }
};

TEST_F(ConcurrencyTest, WritersAndAReaderNeverMeetAHalfFile) {
    SetCount(1);
    NameBoard(0, "a");
    const auto small = Version("s", 50);
    const auto large = Version("l", 400);
    Replace(small);
    ASSERT_EQ(WritePostIndex(app, 0).status, StorageResult::kDone);

    constexpr int kRounds = 150;
    std::atomic<bool> done{false};
    std::atomic<int> torn{0};
    std::atomic<int> failed{0};
    std::atomic<int> reads{0};
    const std::string path = *BoardFilePath(app, 0, ".idx");

    std::thread driver([&] {
        for (int i = 0; i < kRounds; ++i) {
            failed += WritePostIndex(app, 0).Failed();
            app.SetPageText(0, "page " + std::to_string(i) + "\n");
            failed += AppendPageArchive(app, 0).Failed();
        }
    });
    std::thread ui([&] {
        for (int i = 0; i < kRounds; ++i) {
            failed += OnSaveBoards(app).failed;
            failed += OnWriteReadState(app).failed;
            failed += OnUnreadCheck(app).failed;
            MarkPostRead(app, 0, 0);
        }
    });
    std::thread changer([&] {
        for (int i = 0; i < kRounds; ++i)
            Replace(i % 2 ? small : large);
    });
    std::thread reader([&] {
        while (!done) {
            const ReadResult read = ReadWholeFile(path);
            const auto posts = ParsePostIndex(read.bytes);
            if (read.status != ReadResult::kRead || (posts != small && posts != large))
                ++torn;
            ++reads;
        }
    });
    driver.join();
    ui.join();
    changer.join();
    done = true;
    reader.join();

    EXPECT_EQ(failed.load(), 0);
    EXPECT_EQ(torn.load(), 0) << "of " << reads.load() << " reads";
    EXPECT_GT(reads.load(), 0);
    EXPECT_EQ(Listing(), (std::vector<std::string>{"a.hcc", "a.idx", "a.txt"}));
    // Every append went in whole, one after another.
    const std::string archive = Read("a.txt");
    EXPECT_EQ(std::count(archive.begin(), archive.end(), '\n'), kRounds);
}

}  // namespace
}  // namespace quor::storage::test
