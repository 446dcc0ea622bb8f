#include "core/board_workspace.h"

#include <gtest/gtest.h>

namespace quor::core {
namespace {

TEST(BoardWorkspaceTest, StartsEmptyAndClearBoardKeepsSettings) {
    BoardWorkspace workspace;
    EXPECT_FALSE(workspace.HasText());
    EXPECT_EQ(workspace.pageCounter, 1);
    EXPECT_EQ(workspace.fieldOrder, (std::array<std::int32_t, 4>{0, 1, 2, 3}));
    workspace.ClearBoard();
    EXPECT_FALSE(workspace.HasText());
    EXPECT_EQ(workspace.pageCounter, 1);

    workspace.SetText("page");
    workspace.posts.Append({"t", "n", "d", "m", 1});
    workspace.pageCounter = 3;
    workspace.titleStart = "<b>";
    workspace.lineFeedSwitch = 1;
    workspace.nextPageFlag = 1;
    workspace.nextPageNumber = 20;
    workspace.nextPageQuery = "page=2";
    workspace.fieldOrder = {0, 2, 1, 3};
    workspace.ClearBoard();

    EXPECT_FALSE(workspace.HasText());
    EXPECT_TRUE(workspace.posts.Empty());
    EXPECT_EQ(workspace.pageCounter, 1);
    EXPECT_EQ(workspace.titleStart, "<b>");
    EXPECT_EQ(workspace.lineFeedSwitch, 1);
    EXPECT_EQ(workspace.nextPageFlag, 1);
    EXPECT_EQ(workspace.nextPageNumber, 20);
    EXPECT_EQ(workspace.nextPageQuery, "page=2");
    EXPECT_EQ(workspace.fieldOrder, (std::array<std::int32_t, 4>{0, 2, 1, 3}));
}

TEST(BoardWorkspaceTest, SetTextStopsAtTheFirstZeroByte) {
    BoardWorkspace workspace(std::string_view("abc\0def", 7));
    EXPECT_TRUE(workspace.HasText());
    EXPECT_EQ(workspace.Text(), "abc");
    workspace.SetText("");
    EXPECT_TRUE(workspace.HasText());
    EXPECT_EQ(workspace.Text(), "");
}

TEST(BoardWorkspaceTest, StripHeaderKeepsTheBlankLineAndIgnoresLaterOnes) {
    BoardWorkspace workspace("HTTP/1.0 200 OK\r\nA: b\r\n\r\nbody\r\n\r\nmore");
    workspace.StripHeader();
    EXPECT_EQ(workspace.Text(), "\r\n\r\nbody\r\n\r\nmore");
    workspace.StripHeader();
    EXPECT_EQ(workspace.Text(), "\r\n\r\nbody\r\n\r\nmore");

    BoardWorkspace noBlankLine("HTTP/1.0 200 OK\r\nbody\n\nx");
    noBlankLine.StripHeader();
    EXPECT_EQ(noBlankLine.Text(), "HTTP/1.0 200 OK\r\nbody\n\nx");
}

TEST(PostTableTest, AppendsInOrderAndClears) {
    PostTable table;
    EXPECT_EQ(table.Append({"a", "", "", "1"}), 0u);
    EXPECT_EQ(table.Append({"b", "", "", "2"}), 1u);
    EXPECT_EQ(table.Count(), 2u);
    EXPECT_EQ(table.At(1).title, "b");
    table.At(0).unread = 1;
    EXPECT_EQ(table.At(0).unread, 1);
    EXPECT_THROW(table.At(2), std::out_of_range);
    table.Clear();
    EXPECT_EQ(table.Count(), 0u);
}

}  // namespace
}  // namespace quor::core
