#include "convert/text_search.h"

#include "core/cp932.h"

namespace quor::convert {

std::size_t FindFrom(std::string_view text, std::string_view keyword, std::size_t start) {
    if (start > text.size())
        return kNotFound;
    return text.find(keyword, start);
}

std::string LowerAscii(std::string_view text) {
    std::string lowered(text);
    for (std::size_t i = 0; i < lowered.size(); ++i) {
        const auto byte = static_cast<unsigned char>(lowered[i]);
        if (core::IsLeadByte(byte))
            ++i;  // the trail byte is part of the character
        else if (byte >= 'A' && byte <= 'Z')
            lowered[i] = static_cast<char>(byte - 'A' + 'a');
    }
    return lowered;
}

MarkerSearch::MarkerSearch(std::string_view text, bool ignoreCase) : ignoreCase_(ignoreCase) {
    if (ignoreCase_)
        folded_ = LowerAscii(text);
}

void MarkerSearch::DropPrefix(std::size_t length) {
    if (ignoreCase_)
        folded_.erase(0, length);
}

}  // namespace quor::convert
