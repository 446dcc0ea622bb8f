#include "storage/board_file_io.h"

#include "storage/board_files.h"
#include "storage_fixture.h"

namespace quor::storage::test {
namespace {

constexpr BoardFileKind kKinds[] = {BoardFileKind::kArchive, BoardFileKind::kIndex,
                                    BoardFileKind::kReadState};

class BoardFileIoTest : public StorageTest {
protected:
    BoardFileIoTest() { SetCount(1); }

    // Writes, reads and removes the board's file of each kind, counting the callbacks that ran.
    std::vector<StorageResult> EveryStep() {
        std::vector<StorageResult> results;
        for (const BoardFileKind kind : kKinds) {
            results.push_back(WriteBoardFile(app, 0, kind, [this]() -> std::optional<std::string> {
                ++callbacks;
                return "bytes";
            }));
            results.push_back(ReadBoardFile(app, 0, kind, [this](std::string) { ++callbacks; }));
            results.push_back(RemoveBoardFile(app, 0, kind));
        }
        return results;
    }

    int callbacks = 0;
};

TEST_F(BoardFileIoTest, BoardsWithoutAUsableNameNeverReachTheirCallbacks) {
    for (const StorageResult& result : EveryStep()) {
        EXPECT_EQ(result.status, StorageResult::kSkipped);
        EXPECT_EQ(result.path, "");
    }
    EXPECT_TRUE(frontend.StatusTexts().empty());

    NameBoard(0, "News/Daily");
    for (const StorageResult& result : EveryStep())
        EXPECT_EQ(result.status, StorageResult::kUnsafeName);
    EXPECT_EQ(callbacks, 0);
    EXPECT_EQ(frontend.StatusTexts().size(), 9u);
    EXPECT_TRUE(Listing().empty());
}

TEST_F(BoardFileIoTest, TheKindNamesTheFileAndHowItIsWritten) {
    NameBoard(0, "a");
    const auto write = [this](BoardFileKind kind, std::optional<std::string> bytes) {
        return WriteBoardFile(app, 0, kind, [&] { return bytes; });
    };
    for (const BoardFileKind kind : kKinds) {
        EXPECT_EQ(write(kind, "one ").status, StorageResult::kDone);
        EXPECT_EQ(write(kind, "two").status, StorageResult::kDone);
        // Nothing to write leaves the file as it is.
        const StorageResult nothing = write(kind, std::nullopt);
        EXPECT_EQ(nothing.status, StorageResult::kSkipped);
        EXPECT_EQ(nothing.path, dir.Prefix() + "a" + std::string(ExtensionOf(kind)));
    }
    // Only the archive grows; the others are replaced whole.
    EXPECT_EQ(Read("a.txt"), "one two");
    EXPECT_EQ(Read("a.idx"), "two");
    EXPECT_EQ(Read("a.hcc"), "two");
    EXPECT_EQ(Listing(), (std::vector<std::string>{"a.hcc", "a.idx", "a.txt"}));

    Write("a.txt", "<html>first</html>\r\n<html>second</html>\r\n");
    std::string read;
    const auto keep = [&read](std::string bytes) { read = std::move(bytes); };
    EXPECT_EQ(ReadBoardFile(app, 0, BoardFileKind::kArchive, keep).status, StorageResult::kDone);
    EXPECT_EQ(read, "<html>first</html>\r\n<html>second</html>\r\n");
    EXPECT_EQ(ReadBoardFile(app, 0, BoardFileKind::kArchive, keep, FindFirstPageEnd).status,
              StorageResult::kDone);
    EXPECT_EQ(read, "<html>first</html>\r\n");

    for (const BoardFileKind kind : kKinds) {
        EXPECT_EQ(RemoveBoardFile(app, 0, kind).status, StorageResult::kDone);
        EXPECT_EQ(RemoveBoardFile(app, 0, kind).status, StorageResult::kSkipped);
        read = "untouched";
        EXPECT_EQ(ReadBoardFile(app, 0, kind, keep).status, StorageResult::kSkipped);
        EXPECT_EQ(read, "untouched");
    }
    EXPECT_TRUE(Listing().empty());
    EXPECT_TRUE(frontend.StatusTexts().empty());
}

TEST_F(BoardFileIoTest, ARemovalThatFailsIsReported) {
    NameBoard(0, "a");
    std::filesystem::create_directory(File("a.txt"));
    Write("a.txt/inside", "x");
    const StorageResult removed = RemoveBoardFile(app, 0, BoardFileKind::kArchive);
    EXPECT_EQ(removed.status, StorageResult::kFailed);
    EXPECT_EQ(removed.path, dir.Prefix() + "a.txt");
    EXPECT_NE(removed.error.find("remove: "), std::string::npos) << removed.error;
    EXPECT_TRUE(frontend.SawStatusContaining(core::FromUtf8("書き込めませんでした")));
    EXPECT_TRUE(Exists("a.txt/inside"));
}

}  // namespace
}  // namespace quor::storage::test
