#pragma once

// A board slot ready to convert: an application object on an in-memory store with a recording
// frontend, and helpers to write a board's settings and page text in UTF-8.

#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "core/memory_settings_store.h"
#include "core/quor_app.h"
#include "support/recording_frontend.h"

namespace quor::convert::testing {

// "HTTP/1.0 200 OK", a header and the blank line, then the body.
std::string HttpResponse(std::string_view body);

class BoardFixture {
public:
    BoardFixture();

    void SetInt(std::string_view stem, int value, int board = 1);
    // The value is UTF-8 and stored as code page 932.
    void SetString(std::string_view stem, std::string_view utf8, int board = 1);
    // The bytes become the board's page text as they are.
    void SetPage(std::string bytes, int board = 1);
    // The UTF-8 body in code page 932 behind an HTTP header.
    void SetPageUtf8(std::string_view body, int board = 1);

    // ConvertBoard on the board's slot.
    void Convert(int board = 1);
    // Runs f on the board's workspace under its lock.
    template <typename F>
    decltype(auto) With(F&& f, int board = 1) {
        return app.WithWorkspace(board - 1, std::forward<F>(f));
    }
    // Copies of the board's parsing rules and next-page results.
    core::ParseRules Rules(int board = 1);
    core::NextPageResult NextPage(int board = 1);
    // The posts of the board, each field in UTF-8.
    struct Fields {
        std::string title, name, date, message;
        friend bool operator==(const Fields&, const Fields&) = default;
    };
    std::vector<Fields> Posts(int board = 1);

    core::MemorySettingsStore store;
    test::RecordingFrontend frontend;
    core::CQuorApp app{store, frontend};
};

void PrintTo(const BoardFixture::Fields& fields, std::ostream* out);

}  // namespace quor::convert::testing
