#include "storage/board_commands.h"

#include "storage/board_files.h"
#include "storage/read_state.h"
#include "storage_fixture.h"

namespace quor::storage::test {
namespace {

using Event = quor::test::RecordingFrontend::ProgressEvent;

class BoardCommandsTest : public StorageTest {
protected:
    // A board whose own markers cut "<t>..</t><n>..</n><d>..</d><m>..</m>" into posts.
    void MakeMarkedBoard(int slot, const std::string& name) {
        NameBoard(slot, name);
        const int n = slot + 1;
        const std::pair<std::string_view, const char*> markers[] = {
            {core::key::kTitleStart, "<t>"},   {core::key::kTitleEnd, "</t>"},
            {core::key::kNameStart, "<n>"},    {core::key::kNameEnd, "</n>"},
            {core::key::kDateStart, "<d>"},    {core::key::kDateEnd, "</d>"},
            {core::key::kMessageStart, "<m>"}, {core::key::kMessageEnd, "</m>"},
        };
        store.WriteInt(core::kSectionTree, core::BoardKey(core::key::kType, n), 0);
        for (const auto& [stem, value] : markers)
            store.WriteString(core::kSectionTree, core::BoardKey(stem, n), value);
    }
    static std::string Page(const std::string& title) {
        return "HTTP/1.0 200 OK\r\n\r\n<html><t>" + title + "</t><n>N</n><d>D</d><m>M</m></html>\n";
    }
    std::vector<std::string> Titles(int slot) {
        std::vector<std::string> titles;
        for (const auto& post : Posts(slot))
            titles.push_back(post.title);
        return titles;
    }
    std::vector<int> Shows() const {
        std::vector<int> shows;
        for (const auto& event : frontend.ProgressEvents()) {
            if (event.kind == Event::kShow)
                shows.push_back(event.a);
        }
        return shows;
    }
};

TEST_F(BoardCommandsTest, SaveShowsProgressPerSlotAndWritesEveryIndex) {
    SetCount(3);
    for (int slot = 0; slot < 3; ++slot) {
        NameBoard(slot, 'b' + std::to_string(slot));
        SetPosts(slot, {{'t' + std::to_string(slot), "", "", "", 0}});
    }
    EXPECT_TRUE(OnSaveBoards(app).Ok());
    const auto events = frontend.ProgressEvents();
    ASSERT_EQ(events.size(), 8u);  // open, range, show, text, three shows, close
    EXPECT_EQ(events[0].kind, Event::kOpen);
    EXPECT_EQ(events[1].kind, Event::kRange);
    EXPECT_EQ(std::make_pair(events[1].a, events[1].b), std::make_pair(0, 3));
    EXPECT_EQ(events[3].kind, Event::kText);
    EXPECT_EQ(events[3].text, core::FromUtf8("データの書き込み中です..."));
    EXPECT_EQ(events.back().kind, Event::kClose);
    EXPECT_EQ(Shows(), (std::vector<int>{0, 0, 1, 2}));
    EXPECT_EQ(Listing(), (std::vector<std::string>{"b0.idx", "b1.idx", "b2.idx"}));
    EXPECT_EQ(Read("b2.idx"), "7432,,,\r\n");
    EXPECT_EQ(frontend.RefreshCount(), 0);
}

TEST_F(BoardCommandsTest, LoadReadsBoardsThatHaveAnIndexAndKeepsTheOthers) {
    SetCount(3);
    NameBoard(0, "a");
    NameBoard(1, "b");
    NameBoard(2, "");
    Write("a.idx", "61,62,63,64\r\n");
    SetPosts(0, {{"old", "", "", "", 1}});
    SetPosts(1, {{"keep b", "", "", "", 1}});
    SetPosts(2, {{"keep unnamed", "", "", "", 0}});
    EXPECT_TRUE(OnLoadBoards(app).Ok());
    EXPECT_EQ(Posts(0), (std::vector<core::Post>{{"a", "c", "b", "d", 0}}));
    EXPECT_EQ(Titles(1), std::vector<std::string>{"keep b"});
    EXPECT_EQ(Titles(2), std::vector<std::string>{"keep unnamed"});
    EXPECT_EQ(frontend.RefreshCount(), 1);
    const auto events = frontend.ProgressEvents();
    EXPECT_EQ(events[3].text, core::FromUtf8("データの読み込み中です..."));
    EXPECT_EQ(Shows(), (std::vector<int>{0, 0, 1, 2}));
}

TEST_F(BoardCommandsTest, CountZero) {
    SetCount(0);
    NameBoard(0, "a");
    SetPosts(0, {{"t", "", "", "", 0}});
    Write("a.txt", "archive");
    OnSaveBoards(app);
    OnLoadBoards(app);
    const auto events = frontend.ProgressEvents();
    ASSERT_EQ(events.size(), 10u);  // open, range, show, text, close, twice
    EXPECT_EQ(std::make_pair(events[1].a, events[1].b), std::make_pair(0, 0));
    EXPECT_EQ(events[4].kind, Event::kClose);
    EXPECT_EQ(frontend.RefreshCount(), 1);
    OnRestore(app);
    EXPECT_EQ(frontend.RefreshCount(), 2);
    OnClear(app);
    store.WriteInt(core::kSectionGlobal, core::key::kAutoSave, 1);
    store.WriteInt(core::kSectionGlobal, core::key::kAutoSaveData, 1);
    RunExitWrites(app);
    EXPECT_EQ(Listing(), std::vector<std::string>{"a.txt"});
    EXPECT_EQ(Titles(0), std::vector<std::string>{"t"});
}

TEST_F(BoardCommandsTest, RestoreRebuildsFromTheFirstStoredPage) {
    SetCount(3);
    MakeMarkedBoard(0, "a");
    MakeMarkedBoard(1, "b");  // never fetched: no archive
    NameBoard(2, "");
    app.SetPageText(0, Page("first"));
    AppendPageArchive(app, 0);
    app.SetPageText(0, Page("second"));
    AppendPageArchive(app, 0);
    SetPosts(0, {{"stale", "", "", "", 0}});
    SetPosts(1, {{"stale", "", "", "", 0}});
    SetPosts(2, {{"stale", "", "", "", 0}});
    app.SetPageText(1, "stale page");
    app.SetPageText(2, "stale page");
    app.currentBoard = 1;

    EXPECT_TRUE(OnRestore(app).Ok());
    EXPECT_EQ(app.PageTextCopy(0), Page("first"));
    EXPECT_EQ(Titles(0), std::vector<std::string>{"first"});
    // Boards without an archive, named or not, end up empty.
    EXPECT_TRUE(Posts(1).empty());
    EXPECT_TRUE(Posts(2).empty());
    EXPECT_EQ(app.PageTextCopy(1), "");
    EXPECT_EQ(app.PageTextCopy(2), "");
    EXPECT_EQ(app.currentBoard.load(), 1);
    EXPECT_EQ(frontend.RefreshCount(), 1);
    EXPECT_TRUE(frontend.ProgressEvents().empty());
}

TEST_F(BoardCommandsTest, ClearDeletesOnlyPageArchives) {
    SetCount(3);
    NameBoard(0, "a");
    NameBoard(1, "b");
    NameBoard(2, "c");  // has no archive: no error
    for (const char* file : {"a.txt", "a.idx", "a.hcc", "b.txt", "b.idx", "b.hcc"})
        Write(file, "x");
    SetPosts(0, {{"t", "", "", "", 0}});
    app.SetPageText(0, "page");
    EXPECT_TRUE(OnClear(app).Ok());
    EXPECT_EQ(Listing(), (std::vector<std::string>{"a.hcc", "a.idx", "b.hcc", "b.idx"}));
    EXPECT_EQ(Titles(0), std::vector<std::string>{"t"});
    EXPECT_EQ(app.PageTextCopy(0), "page");
    // The next fetch starts a new archive.
    AppendPageArchive(app, 0);
    EXPECT_EQ(Read("a.txt"), "page");
}

TEST_F(BoardCommandsTest, ExitWritesOnlyForTheValueOne) {
    SetCount(1);
    NameBoard(0, "a");
    SetPosts(0, {{"abc", "", "", "", 0}});
    struct Case {
        int autoSave;
        int autoSaveData;
        std::vector<std::string> files;
    };
    const Case cases[] = {
        {0, 0, {}}, {1, 0, {"a.hcc"}}, {0, 1, {"a.idx"}}, {1, 1, {"a.hcc", "a.idx"}},
        {2, 2, {}}, {2, 1, {"a.idx"}}, {-1, 0, {}},
    };
    for (const auto& c : cases) {
        for (const auto& name : Listing())
            std::filesystem::remove(File(name));
        store.WriteInt(core::kSectionGlobal, core::key::kAutoSave, c.autoSave);
        store.WriteInt(core::kSectionGlobal, core::key::kAutoSaveData, c.autoSaveData);
        EXPECT_TRUE(RunExitWrites(app).Ok());
        EXPECT_EQ(Listing(), c.files) << c.autoSave << " " << c.autoSaveData;
        if (Exists("a.hcc")) {
            EXPECT_EQ(Read("a.hcc"), "00674300\r\n");
        }
        if (Exists("a.idx")) {
            EXPECT_EQ(Read("a.idx"), "616263,,,\r\n");
        }
    }
}

TEST_F(BoardCommandsTest, AFailingBoardIsCountedAndTheOthersGoOn) {
    SetCount(3);
    NameBoard(0, "a");
    NameBoard(1, "x/y");
    NameBoard(2, "c");
    for (int slot = 0; slot < 3; ++slot)
        SetPosts(slot, {{"t", "", "", "", 0}});
    const auto result = OnSaveBoards(app);
    EXPECT_EQ(result.failed, 1);
    EXPECT_FALSE(result.firstError.empty());
    EXPECT_EQ(Listing(), (std::vector<std::string>{"a.idx", "c.idx"}));
    EXPECT_EQ(Shows().size(), 4u);  // the display still runs to the last board
    EXPECT_TRUE(frontend.SawStatusContaining("x/y"));
}

}  // namespace
}  // namespace quor::storage::test
