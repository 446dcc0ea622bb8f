#include "convert/field_letters.h"

#include "core/board_workspace.h"

namespace quor::convert {

namespace {

std::optional<std::int32_t> KindOfLetter(char letter) {
    switch (letter) {
        case 'T':
        case 't':
            return core::kFieldTitle;
        case 'N':
        case 'n':
            return core::kFieldName;
        case 'D':
        case 'd':
            return core::kFieldDate;
        case 'M':
        case 'm':
            return core::kFieldMessage;
        default:
            return std::nullopt;
    }
}

}  // namespace

std::optional<FieldLetters> ParseFieldLetters(std::string_view letters) {
    FieldLetters order;
    std::array<bool, 4> seen{};
    for (const char letter : letters) {
        const auto kind = KindOfLetter(letter);
        if (!kind || seen[static_cast<std::size_t>(*kind)])
            return std::nullopt;
        seen[static_cast<std::size_t>(*kind)] = true;
        order.kinds[order.count++] = *kind;
    }
    if (!seen[core::kFieldMessage])
        return std::nullopt;
    return order;
}

}  // namespace quor::convert
