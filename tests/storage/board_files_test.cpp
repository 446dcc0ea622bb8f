#include "storage/board_files.h"

#include "storage/line_ends.h"
#include "storage_fixture.h"

namespace quor::storage::test {
namespace {

TEST(HexFieldTest, EncodeAndDecodeTable) {
    struct Case {
        std::string text;
        std::string field;
    };
    const Case cases[] = {
        {"", ""},
        {"ab", "6162"},
        {"x,y", "782c79"},
        {"\r\n", "0d0a"},
        {"\x81\xac\xff\x7f", "81acff7f"},    // CP932 bytes and the top of the range, lowercase
        {std::string("a\0b", 3), "610062"},  // every byte survives, the zero byte too
    };
    for (const auto& c : cases) {
        EXPECT_EQ(HexEncodeField(c.text), c.field);
        EXPECT_EQ(HexDecodeField(c.field), c.text) << c.field;
    }
}

TEST(HexFieldTest, MalformedFieldsDecodeTheirLeadingWellFormedPairs) {
    struct Case {
        std::string field;
        std::string text;
    };
    const Case cases[] = {
        {"616", "a"},                     // odd length: the lone digit is dropped
        {"6", ""},       {"4E4e", "NN"},  // capitals are hexadecimal digits too
        {"61zz62", "a"},                  // decoding stops at the first pair that is not hex
        {"6g62", ""},    {"61 62", "a"}, {"-1", ""}, {"\xff\xff", ""},
    };
    for (const auto& c : cases)
        EXPECT_EQ(HexDecodeField(c.field), c.text) << '"' << c.field << '"';
}

TEST(PostIndexFormatTest, ParseKeepsEmptyFieldsAndReadsOldLinesAsBefore) {
    struct Case {
        const char* line;
        bool isPost;
        core::Post post;  // title, name, date, message
    };
    const Case cases[] = {
        {"6162,31,4e,782c79", true, {"ab", "N", "1", "x,y", 0}},
        {",31,4e,78", true, {"", "N", "1", "x", 0}},
        {"61,,4e,78", true, {"a", "N", "", "x", 0}},
        {"61,31,,78", true, {"a", "", "1", "x", 0}},
        {"61,31,4e,", true, {"a", "N", "1", "", 0}},
        {",,,", true, {"", "", "", "", 0}},
        // Not three commas: read as older versions did, runs of commas as one separator.
        {",61,31,4e,78,", true, {"a", "N", "1", "x", 0}},
        {"61,,31,,4e,,78", true, {"a", "N", "1", "x", 0}},
        {"61,31,4e", false, {}},
        {"61,31,4e,78,79", false, {}},
        {",,61,,", false, {}},
        {"", false, {}},
    };
    for (const auto& c : cases) {
        const auto posts = ParsePostIndex(std::string(c.line) + "\r\n");
        if (!c.isPost) {
            EXPECT_TRUE(posts.empty()) << c.line;
            continue;
        }
        ASSERT_EQ(posts.size(), 1u) << c.line;
        EXPECT_EQ(posts[0], c.post) << c.line;
    }
}

TEST(PostIndexFormatTest, LineEndsAndLongLines) {
    // LF alone, CR LF, and a last line without a line end all count; a lone CR inside stays part
    // of the field, which then stops decoding there.
    const auto posts = ParsePostIndex("61,62,63,64\n65,66,67,68\r\n69,6a,6b,6c");
    ASSERT_EQ(posts.size(), 3u);
    EXPECT_EQ(posts[1], (core::Post{"e", "g", "f", "h", 0}));
    EXPECT_EQ(posts[2], (core::Post{"i", "k", "j", "l", 0}));

    // A message far longer than any read buffer comes back whole and makes no false posts.
    const std::string message(700'000, 'M');
    core::PostTable table;
    table.Append({"t", "n", "d", message, 0});
    table.Append({"t2", "n2", "d2", "m2", 0});
    const auto back = ParsePostIndex(FormatPostIndex(table));
    ASSERT_EQ(back.size(), 2u);
    EXPECT_EQ(back[0].message, message);
    EXPECT_EQ(back[1].title, "t2");
}

using BoardFilesTest = StorageTest;

TEST_F(BoardFilesTest, PathIsPlainConcatenation) {
    NameBoard(0, "foo");
    SetOutputDirectory("/data/");
    EXPECT_EQ(BoardFilePath(app, 0, ".idx"), "/data/foo.idx");
    SetOutputDirectory("/data");
    EXPECT_EQ(BoardFilePath(app, 0, ".txt"), "/datafoo.txt");
    SetOutputDirectory("");
    EXPECT_EQ(BoardFilePath(app, 0, ".hcc"), "foo.hcc");
    // Names and directories are CP932 in the store and UTF-8 on disk. ソ ends in the byte 0x5C,
    // which is no separator here.
    SetOutputDirectory(core::FromUtf8("/データ/"));
    NameBoard(0, core::FromUtf8("雑談ソ"));
    EXPECT_EQ(BoardFilePath(app, 0, ".idx"), "/データ/雑談ソ.idx");
    NameBoard(0, "");
    EXPECT_EQ(BoardFilePath(app, 0, ".idx"), std::nullopt);
    NameBoard(0, "News/Daily");
    EXPECT_EQ(BoardFilePath(app, 0, ".idx"), std::nullopt);
    NameBoard(0, std::string("a\0b", 3));
    EXPECT_EQ(BoardFilePath(app, 0, ".idx"), std::nullopt);
}

TEST_F(BoardFilesTest, IndexLineHasTitleDateNameMessageInHexAndCrLf) {
    NameBoard(0, "b");
    SetPosts(0, {{"ab", "N", "1", "x,y", 1}});
    EXPECT_EQ(WritePostIndex(app, 0).status, StorageResult::kDone);
    EXPECT_EQ(Read("b.idx"), "6162,31,4e,782c79\r\n");

    SetPosts(0, {{"old", "", "", "", 0}});
    EXPECT_EQ(ReadPostIndex(app, 0).status, StorageResult::kDone);
    // The unread flag is not stored: everything read back is read.
    EXPECT_EQ(Posts(0), (std::vector<core::Post>{{"ab", "N", "1", "x,y", 0}}));
    EXPECT_EQ(Listing(), std::vector<std::string>{"b.idx"});  // no temporary file left over
}

TEST_F(BoardFilesTest, PostsWithEmptyFieldsAndJapaneseTextRoundTrip) {
    NameBoard(3, core::FromUtf8("掲示板"));
    const std::vector<core::Post> posts = {
        {"", "name", "date", "message", 0},
        {"title", "", "date", "message", 0},
        {"title", "name", "", "message", 0},
        {"title", "name", "date", "", 0},
        {"", "", "", "", 0},
        {core::FromUtf8("件名①"), core::FromUtf8("名無し"), "2001/01/01",
         core::FromUtf8("一行目\r\n二行目、髙"), 0},
    };
    SetPosts(3, posts);
    ASSERT_EQ(WritePostIndex(app, 3).status, StorageResult::kDone);
    EXPECT_TRUE(Exists("掲示板.idx"));
    SetPosts(3, {});
    ReadPostIndex(app, 3);
    EXPECT_EQ(Posts(3), posts);
}

TEST_F(BoardFilesTest, ThreeFieldLineBetweenValidLinesIsSkipped) {
    NameBoard(0, "b");
    Write("b.idx", "61,62,63,64\r\n61,62,63\r\n65,66,67,68\r\n");
    ReadPostIndex(app, 0);
    EXPECT_EQ(Posts(0),
              (std::vector<core::Post>{{"a", "c", "b", "d", 0}, {"e", "g", "f", "h", 0}}));
}

TEST_F(BoardFilesTest, EmptyNameAndEmptyTableTouchNothing) {
    // No name: no file is created, read or changed, and the posts stay.
    SetPosts(0, {{"keep", "", "", "", 1}});
    EXPECT_EQ(WritePostIndex(app, 0).status, StorageResult::kSkipped);
    EXPECT_EQ(ReadPostIndex(app, 0).status, StorageResult::kSkipped);
    app.SetPageText(0, "page");
    EXPECT_EQ(AppendPageArchive(app, 0).status, StorageResult::kSkipped);
    EXPECT_EQ(ReadPageArchive(app, 0).status, StorageResult::kSkipped);
    EXPECT_EQ(Posts(0), (std::vector<core::Post>{{"keep", "", "", "", 1}}));
    EXPECT_EQ(app.PageTextCopy(0), "page");
    EXPECT_TRUE(Listing().empty());

    // An empty table neither creates an index nor changes an existing one.
    NameBoard(1, "new");
    EXPECT_EQ(WritePostIndex(app, 1).status, StorageResult::kSkipped);
    EXPECT_FALSE(Exists("new.idx"));
    NameBoard(2, "old");
    Write("old.idx", "61,62,63,64\r\n");
    EXPECT_EQ(WritePostIndex(app, 2).status, StorageResult::kSkipped);
    EXPECT_EQ(Read("old.idx"), "61,62,63,64\r\n");
    EXPECT_TRUE(frontend.StatusTexts().empty());
}

TEST_F(BoardFilesTest, MissingIndexKeepsThePosts) {
    NameBoard(0, "b");
    SetPosts(0, {{"keep", "", "", "", 1}});
    EXPECT_EQ(ReadPostIndex(app, 0).status, StorageResult::kSkipped);
    EXPECT_EQ(Posts(0), (std::vector<core::Post>{{"keep", "", "", "", 1}}));
    // An empty index is an index without posts.
    Write("b.idx", "");
    EXPECT_EQ(ReadPostIndex(app, 0).status, StorageResult::kDone);
    EXPECT_TRUE(Posts(0).empty());
}

TEST_F(BoardFilesTest, NameWithSeparatorIsRefusedAndSaysSo) {
    std::filesystem::create_directory(File("News"));
    NameBoard(0, "News/Daily");
    SetPosts(0, {{"a", "b", "c", "d", 0}});
    app.SetPageText(0, "page");
    const auto result = WritePostIndex(app, 0);
    EXPECT_EQ(result.status, StorageResult::kUnsafeName);
    EXPECT_TRUE(result.Failed());
    EXPECT_TRUE(AppendPageArchive(app, 0).Failed());
    EXPECT_TRUE(ReadPostIndex(app, 0).Failed());
    EXPECT_TRUE(std::filesystem::is_empty(File("News")));
    EXPECT_EQ(Listing(), std::vector<std::string>{"News"});
    ASSERT_EQ(frontend.StatusTexts().size(), 3u);
    EXPECT_TRUE(frontend.SawStatusContaining("News/Daily"));
    EXPECT_EQ(Posts(0).size(), 1u);
}

TEST_F(BoardFilesTest, ArchiveKeepsEveryFetchAndRestoreReadsTheFirstPage) {
    NameBoard(0, "b");
    const std::string first = "HTTP/1.0 200 OK\r\n\r\n<html>\nfirst\n</body></html>\ntrailer\n";
    const std::string second = "HTTP/1.0 200 OK\r\n\r\n<html>second</html>\n";
    app.SetPageText(0, first);
    AppendPageArchive(app, 0);
    app.SetPageText(0, second);
    AppendPageArchive(app, 0);
    // Every LF is stored as CR LF, an LF after CR included.
    EXPECT_EQ(Read("b.txt"), ToCrLf(first) + ToCrLf(second));
    EXPECT_EQ(Read("b.txt").substr(0, 18), "HTTP/1.0 200 OK\r\r\n");

    app.SetPageText(0, "something else");
    EXPECT_EQ(ReadPageArchive(app, 0).status, StorageResult::kDone);
    // Up to and including the whole line of the first "</html>", byte for byte as received.
    EXPECT_EQ(app.PageTextCopy(0), "HTTP/1.0 200 OK\r\n\r\n<html>\nfirst\n</body></html>\n");
}

TEST_F(BoardFilesTest, ArchiveEdgeCases) {
    NameBoard(0, "b");
    struct Case {
        std::string stored;  // file bytes
        std::string page;    // what the read gives
    };
    const Case cases[] = {
        {"no end tag\r\nat all", "no end tag\nat all"},
        {"", ""},
        {"<HTML>\r\n</HTML>\r\nmore\r\n", "<HTML>\n</HTML>\nmore\n"},  // the test is case-sensitive
        {"a</html>b", "a</html>b"},                                    // the tag's line is the last
        {"x\r\ny</html>z\r\nnext</html>\r\n", "x\ny</html>z\n"},
        {"lone\rCR</html>\r\n", "lone\rCR</html>\n"},
    };
    for (const auto& c : cases) {
        Write("b.txt", c.stored);
        app.SetPageText(0, "before");
        EXPECT_EQ(ReadPageArchive(app, 0).status, StorageResult::kDone) << c.stored;
        EXPECT_EQ(app.PageTextCopy(0), c.page) << c.stored;
    }
    std::filesystem::remove(File("b.txt"));
    app.SetPageText(0, "before");
    EXPECT_EQ(ReadPageArchive(app, 0).status, StorageResult::kSkipped);
    EXPECT_EQ(app.PageTextCopy(0), "before");
}

TEST_F(BoardFilesTest, ArchiveEndTagAcrossReadPiecesAndLongLines) {
    NameBoard(0, "b");
    // The reader takes the file a megabyte at a time; put the tag across that boundary and the
    // line end far behind it.
    const std::size_t piece = 1 << 20;
    std::string stored(piece - 3, 'x');
    stored += "</html>";
    stored += std::string(piece, 'y');
    stored += "\r\nsecond page</html>\r\n";
    Write("b.txt", stored);
    ReadPageArchive(app, 0);
    const std::string page = app.PageTextCopy(0);
    EXPECT_EQ(page.size(), 2 * piece + 4 + 1);
    EXPECT_EQ(page.substr(page.size() - 3), "yy\n");
}

TEST_F(BoardFilesTest, AppendStopsAtZeroByteAndCreatesFileForEmptyPage) {
    NameBoard(0, "b");
    app.SetPageText(0, "");
    EXPECT_EQ(AppendPageArchive(app, 0).status, StorageResult::kDone);
    EXPECT_TRUE(Exists("b.txt"));
    EXPECT_EQ(Read("b.txt"), "");
    app.SetPageText(0, std::string("abc\0def", 7));
    AppendPageArchive(app, 0);
    EXPECT_EQ(Read("b.txt"), "abc");
}

}  // namespace
}  // namespace quor::storage::test
