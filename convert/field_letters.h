#pragma once

// A board's field order written as letters (its Fields setting): T title, N name, D date,
// M message, in the order the page writes them, e.g. "TMND" for a board that writes the message
// right after the title, "NDM" for one without titles. Letters may be given in either case.

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string_view>

namespace quor::convert {

struct FieldLetters {
    std::array<std::int32_t, 4> kinds{};  // field kinds (core::FieldKind), `count` of them
    std::size_t count = 0;

    bool operator==(const FieldLetters&) const = default;
};

// The order the letters give, or nothing when they give none: a letter other than the four, a
// letter given twice, or no M (an empty text included). A letter left out is a field that the
// page does not have.
std::optional<FieldLetters> ParseFieldLetters(std::string_view letters);

}  // namespace quor::convert
