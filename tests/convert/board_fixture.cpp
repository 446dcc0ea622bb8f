#include "board_fixture.h"

#include <gtest/gtest.h>

#include <ostream>

#include "convert/post_extraction.h"
#include "core/cp932.h"
#include "core/settings_keys.h"

namespace quor::convert::testing {

std::string HttpResponse(std::string_view body) {
    return "HTTP/1.0 200 OK\r\nContent-Type: text/html\r\nServer: test\r\n\r\n" + std::string(body);
}

BoardFixture::BoardFixture() = default;

void BoardFixture::SetInt(std::string_view stem, int value, int board) {
    store.WriteInt(core::kSectionTree, core::BoardKey(stem, board), value);
}

void BoardFixture::SetString(std::string_view stem, std::string_view utf8, int board) {
    store.WriteString(core::kSectionTree, core::BoardKey(stem, board), core::FromUtf8(utf8));
}

void BoardFixture::SetPage(std::string bytes, int board) {
    app.SetPageText(board - 1, std::move(bytes));
}

void BoardFixture::SetPageUtf8(std::string_view body, int board) {
    SetPage(HttpResponse(core::FromUtf8(body)), board);
}

void BoardFixture::Convert(int board) {
    ConvertBoard(app, board - 1);
}

core::ParseRules BoardFixture::Rules(int board) {
    return With([](const core::BoardWorkspace& workspace) { return workspace.rules; }, board);
}

core::NextPageResult BoardFixture::NextPage(int board) {
    return With([](const core::BoardWorkspace& workspace) { return workspace.nextPage; }, board);
}

std::vector<BoardFixture::Fields> BoardFixture::Posts(int board) {
    const core::PostTable table =
        With([](const core::BoardWorkspace& workspace) { return workspace.posts; }, board);
    std::vector<Fields> posts;
    for (const core::Post& post : table) {
        EXPECT_EQ(post.unread, 0);
        posts.push_back({core::ToUtf8(post.title), core::ToUtf8(post.name), core::ToUtf8(post.date),
                         core::ToUtf8(post.message)});
    }
    return posts;
}

void PrintTo(const BoardFixture::Fields& fields, std::ostream* out) {
    *out << "{" << fields.title << " | " << fields.name << " | " << fields.date << " | "
         << fields.message << "}";
}

}  // namespace quor::convert::testing
