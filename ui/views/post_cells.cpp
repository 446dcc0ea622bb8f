#include "ui/views/post_cells.h"

#include <algorithm>

#include "core/cp932.h"

namespace quor::ui {

std::size_t WholeCharacterPrefix(std::string_view text, std::size_t maxBytes) {
    const std::size_t limit = std::min(text.size(), maxBytes);
    std::size_t at = 0;
    while (at < limit) {
        const bool doubleByte =
            core::IsLeadByte(static_cast<unsigned char>(text[at])) && at + 1 < text.size();
        const std::size_t width = doubleByte ? 2 : 1;
        if (at + width > limit)
            break;
        at += width;
    }
    return at;
}

std::string_view CellText(const core::Post& post, int column) {
    switch (column) {
        case 0:
            return post.title;
        case 1:
            return post.name;
        case 2:
            return post.date;
        case 3: {
            const std::string_view message = post.message;
            return message.substr(0, WholeCharacterPrefix(message, kStatusBytes));
        }
        default:
            return {};
    }
}

std::string_view DrawnText(std::string_view cell) {
    return cell.substr(0, WholeCharacterPrefix(cell, kDrawnBytes));
}

int CompareCellBytes(std::string_view a, std::string_view b) {
    const int result = a.compare(b);  // char_traits<char> compares as unsigned char
    return (result > 0) - (result < 0);
}

}  // namespace quor::ui
