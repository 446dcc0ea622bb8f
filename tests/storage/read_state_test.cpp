#include "storage/read_state.h"

#include <bit>
#include <cstdio>
#include <optional>
#include <random>
#include <unordered_set>

#include "storage/hash_set.h"
#include "storage_fixture.h"

namespace quor::storage::test {
namespace {

// The rule as it reads, one byte at a time, against which the word-at-a-time hash is checked.
std::uint32_t ReferenceHash(const std::string& text) {
    std::uint32_t h = 0;
    for (const char c : text) {
        if (c == '\0')
            break;
        h = std::rotl(h ^ static_cast<unsigned char>(c), 4);
    }
    return std::rotl(h, 4);
}

TEST(HashTest, KnownValues) {
    struct Case {
        std::string text;
        std::uint32_t hash;
    };
    const Case cases[] = {
        {"", 0x00000000u},
        {"a", 0x00006100u},
        {"abc", 0x00674300u},
        {std::string("abc\0def", 7), 0x00674300u},  // the terminator ends the text
        {"\x80", 0x00008000u},                      // bytes count as 0-255, not signed
        {"abcdefgh", ReferenceHash("abcdefgh")},
    };
    for (const auto& c : cases)
        EXPECT_EQ(HashString(c.text), c.hash) << "text of " << c.text.size() << " bytes";
}

TEST(HashTest, WordAtATimeMatchesTheByteRuleForEveryLengthAndByte) {
    std::mt19937 random(42);
    std::uniform_int_distribution<int> byte(1, 255);
    for (std::size_t length = 0; length < 300; ++length) {
        for (int round = 0; round < 4; ++round) {
            std::string text(length, ' ');
            for (auto& c : text)
                c = static_cast<char>(byte(random));
            ASSERT_EQ(HashString(text), ReferenceHash(text)) << "length " << length;
            // Unaligned starts must not change anything either.
            if (length > 3) {
                const std::string tail = text.substr(3);
                ASSERT_EQ(HashString(std::string_view(text).substr(3)), ReferenceHash(tail));
            }
        }
    }
    const std::string high(1000, '\xff');
    EXPECT_EQ(HashString(high), ReferenceHash(high));
}

TEST(HashTest, PostHashIgnoresFieldOrderAndFlag) {
    const core::Post empty{};
    EXPECT_EQ(HashPost(empty), 0u);
    const core::Post abc{"abc", "", "", "", 0};
    EXPECT_EQ(HashPost(abc), 0x00674300u);

    const core::Post post{"title", "name", "2001/01/01", "body\r\nline", 0};
    core::Post swapped = post;
    std::swap(swapped.name, swapped.date);
    EXPECT_EQ(HashPost(swapped), HashPost(post));
    core::Post flagged = post;
    flagged.unread = 1;
    EXPECT_EQ(HashPost(flagged), HashPost(post));
    core::Post changed = post;
    changed.message += "!";
    EXPECT_NE(HashPost(changed), HashPost(post));
    EXPECT_EQ(HashPost(post), HashString("title") ^ HashString("name") ^ HashString("2001/01/01") ^
                                  HashString("body\r\nline"));
}

TEST(ParseHexValueTest, Table) {
    struct Case {
        const char* line;
        std::uint32_t value;
    };
    const Case cases[] = {
        {"00674300\r\n", 0x00674300u},
        {"00674300", 0x00674300u},
        {"00ABCDEF\n", 0x00abcdefu},
        {"  00 ab cd ef  \n", 0x00abcdefu},
        {"x1y2z3", 0x123u},
        {"", 0u},
        {"\r\n", 0u},
        {"123456789", 0x23456789u},  // more than eight digits: the last eight count
        {"ffffffff", 0xffffffffu},
        {"g", 0u},
    };
    for (const auto& c : cases)
        EXPECT_EQ(ParseHexValue(c.line), c.value) << '"' << c.line << '"';
}

TEST(ReadStateFormatTest, WritesReadPostsOnlyAsEightDigitsAndCrLf) {
    core::PostTable posts;
    posts.Append({"abc", "", "", "", 0});
    posts.Append({"unseen", "", "", "", 1});
    posts.Append({"a", "", "", "", 0});
    posts.Append({"abc", "", "", "", 0});  // duplicates are kept
    EXPECT_EQ(FormatReadState(posts), "00674300\r\n00006100\r\n00674300\r\n");
}

TEST(ReadStateFormatTest, ParseTakesEveryLineIncludingBlankAndUnterminatedOnes) {
    EXPECT_EQ(ReadStateValues("00674300\r\n\r\n00ABCDEF \r\n  1"),
              (std::vector<std::uint32_t>{0x00674300u, 0u, 0x00abcdefu, 1u}));
    EXPECT_EQ(ParseReadState("00674300\r\n00674300\r\n\r\n"),
              (std::unordered_set<std::uint32_t>{0x00674300u, 0u}));
    EXPECT_TRUE(ReadStateValues("").empty());
    // A long line is one value, not several.
    EXPECT_EQ(ReadStateValues(std::string(1000, '1') + "\r\n").size(), 1u);
}

TEST(HashSetTest, AgreesWithAReferenceSetThroughGrowth) {
    std::mt19937 random(7);
    for (const std::size_t expected : {std::size_t{0}, std::size_t{1000}}) {
        HashSet set(expected);
        std::unordered_set<std::uint32_t> reference;
        // The extremes and values that differ only in their high or low bits.
        for (const std::uint32_t value : {0u, 0xffffffffu, 0x80000000u, 1u, 0x00006100u}) {
            set.Insert(value);
            reference.insert(value);
        }
        for (int i = 0; i < 5000; ++i) {
            const std::uint32_t value = i % 2 ? random() : static_cast<std::uint32_t>(i) << 20;
            set.Insert(value);
            reference.insert(value);
        }
        ASSERT_EQ(set.Size(), reference.size());
        for (const std::uint32_t value : reference)
            ASSERT_TRUE(set.Contains(value)) << value;
        int absent = 0;
        for (int i = 0; i < 5000; ++i) {
            const std::uint32_t probe = random();
            EXPECT_EQ(set.Contains(probe), reference.contains(probe)) << probe;
            absent += !reference.contains(probe);
        }
        EXPECT_GT(absent, 0);
    }
}

class ReadStateTest : public StorageTest {
protected:
    ReadStateTest() {
        SetCount(1);
        NameBoard(0, "b");
    }
    std::vector<int> Flags(int slot) {
        std::vector<int> flags;
        for (const auto& post : Posts(slot))
            flags.push_back(post.unread);
        return flags;
    }
    const std::vector<core::Post> posts_ = {
        {"abc", "", "", "", 0}, {"one", "n", "d", "m", 0}, {"two", "n", "d", "m", 0}};
};

TEST_F(ReadStateTest, WriteStoresTheHashOfEveryReadPost) {
    SetPosts(0, {{"abc", "", "", "", 0}});
    EXPECT_EQ(WriteReadState(app, 0).status, StorageResult::kDone);
    EXPECT_EQ(Read("b.hcc"), "00674300\r\n");

    // All unread: an empty file, and the next check finds them all unread again.
    SetPosts(0, {{"abc", "", "", "", 1}, {"x", "", "", "", 1}});
    WriteReadState(app, 0);
    EXPECT_EQ(Read("b.hcc"), "");
    CheckUnread(app, 0);
    EXPECT_EQ(Flags(0), (std::vector<int>{1, 1}));

    // An empty table leaves the file as it is.
    Write("b.hcc", "00674300\r\n");
    SetPosts(0, {});
    EXPECT_EQ(WriteReadState(app, 0).status, StorageResult::kSkipped);
    EXPECT_EQ(Read("b.hcc"), "00674300\r\n");
    EXPECT_EQ(Listing(), std::vector<std::string>{"b.hcc"});
}

TEST_F(ReadStateTest, CheckMarksExactlyThePostsMissingFromTheFile) {
    struct Case {
        const char* name;
        std::optional<std::string> file;  // nothing: no file
        std::vector<int> flags;
    };
    char line[16];
    std::snprintf(line, sizeof line, "%08X", HashPost(posts_[1]));  // capitals
    const Case cases[] = {
        {"no file", std::nullopt, {0, 0, 0}},
        {"empty file", "", {1, 1, 1}},
        {"first and third",
         "00674300\r\n" + FormatReadState([&] {
             core::PostTable t;
             t.Append(posts_[2]);
             return t;
         }()),
         {0, 1, 0}},
        {"capitals and spaces", std::string("  ") + line + " \r\n", {1, 0, 1}},
        {"garbage lines join as values", "hello\r\n\r\nzz\r\n", {1, 1, 1}},
    };
    for (const auto& c : cases) {
        std::filesystem::remove(File("b.hcc"));
        if (c.file)
            Write("b.hcc", *c.file);
        SetPosts(0, posts_);
        CheckUnread(app, 0);
        EXPECT_EQ(Flags(0), c.flags) << c.name;
    }
}

TEST_F(ReadStateTest, CheckNeverClearsAFlagAndSkipsUnnamedBoards) {
    SetPosts(0, {{"abc", "", "", "", 1}, {"new", "", "", "", 0}});
    Write("b.hcc", "00674300\r\n");
    CheckUnread(app, 0);
    EXPECT_EQ(Flags(0), (std::vector<int>{1, 1}));

    NameBoard(1, "");
    SetPosts(1, {{"x", "", "", "", 0}});
    Write(".hcc", "");  // what an unnamed board would read if names were not checked
    EXPECT_EQ(CheckUnread(app, 1).status, StorageResult::kSkipped);
    EXPECT_EQ(Flags(1), (std::vector<int>{0}));
}

TEST_F(ReadStateTest, ReadWriteCheckCycle) {
    SetCount(2);
    NameBoard(1, "c");
    SetPosts(0, posts_);
    SetPosts(1, posts_);
    Write("b.hcc", "");
    Write("c.hcc", "");
    EXPECT_TRUE(OnUnreadCheck(app).Ok());
    EXPECT_EQ(frontend.RefreshCount(), 1);
    EXPECT_EQ(Flags(0), (std::vector<int>{1, 1, 1}));
    EXPECT_TRUE(MarkPostRead(app, 0, 1));
    EXPECT_FALSE(MarkPostRead(app, 0, 3));
    EXPECT_TRUE(OnWriteReadState(app).Ok());
    EXPECT_EQ(frontend.RefreshCount(), 1);  // writing refreshes nothing

    // The next run's posts start read; the check brings back exactly the ones never selected.
    SetPosts(0, posts_);
    SetPosts(1, posts_);
    OnUnreadCheck(app);
    EXPECT_EQ(Flags(0), (std::vector<int>{1, 0, 1}));
    EXPECT_EQ(Flags(1), (std::vector<int>{1, 1, 1}));
    EXPECT_EQ(frontend.RefreshCount(), 2);
}

TEST_F(ReadStateTest, CountZeroOrBeyondTheSlotsIsSafe) {
    SetCount(0);
    Write("b.hcc", "");
    SetPosts(0, posts_);
    OnUnreadCheck(app);
    EXPECT_EQ(Flags(0), (std::vector<int>{0, 0, 0}));
    EXPECT_EQ(frontend.RefreshCount(), 1);
    SetCount(1000);
    EXPECT_TRUE(OnUnreadCheck(app).Ok());
    EXPECT_EQ(Flags(0), (std::vector<int>{1, 1, 1}));
}

}  // namespace
}  // namespace quor::storage::test
