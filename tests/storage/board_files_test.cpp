#include "storage/board_files.h"

#include "storage_fixture.h"

namespace quor::storage::test {
namespace {

using BoardFilesTest = StorageTest;

TEST_F(BoardFilesTest, PathIsPlainConcatenation) {
    NameBoard(0, "foo");
    SetOutputDirectory("/data/");
    EXPECT_EQ(BoardFilePath(app, 0, ".idx"), "/data/foo.idx");
    SetOutputDirectory("/data");
    EXPECT_EQ(BoardFilePath(app, 0, ".txt"), "/datafoo.txt");
    SetOutputDirectory("");
    EXPECT_EQ(BoardFilePath(app, 0, ".hcc"), "foo.hcc");
    // Names and directories are CP932 in the store and UTF-8 on disk.
    SetOutputDirectory(core::FromUtf8("/データ/"));
    NameBoard(0, core::FromUtf8("雑談"));
    EXPECT_EQ(BoardFilePath(app, 0, ".idx"), "/データ/雑談.idx");
    NameBoard(0, "");
    EXPECT_EQ(BoardFilePath(app, 0, ".idx"), std::nullopt);
    NameBoard(0, "News/Daily");
    EXPECT_EQ(BoardFilePath(app, 0, ".idx"), std::nullopt);
}

TEST_F(BoardFilesTest, IndexLineHasTitleDateNameMessageInHexAndCrLf) {
    NameBoard(0, "b");
    SetPosts(0, {{"ab", "N", "1", "x,y", 1}});
    const auto result = WritePostIndex(app, 0);
    EXPECT_EQ(result.status, StorageResult::kDone);
    EXPECT_EQ(Read("b.idx"), "6162,31,4e,782c79\r\n");

    SetPosts(0, {});
    EXPECT_EQ(ReadPostIndex(app, 0).status, StorageResult::kDone);
    EXPECT_EQ(Posts(0), (std::vector<core::Post>{{"ab", "N", "1", "x,y", 0}}));
}

}  // namespace
}  // namespace quor::storage::test
