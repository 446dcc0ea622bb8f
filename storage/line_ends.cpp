#include "storage/line_ends.h"

#include <algorithm>

namespace quor::storage {

void AppendWithCrLf(std::string& out, std::string_view text) {
    out.reserve(out.size() + text.size() +
                static_cast<std::size_t>(std::count(text.begin(), text.end(), '\n')));
    for (;;) {
        const std::size_t lf = text.find('\n');
        if (lf == std::string_view::npos) {
            out.append(text);
            return;
        }
        out.append(text.substr(0, lf));
        out.append("\r\n");
        text.remove_prefix(lf + 1);
    }
}

std::string ToCrLf(std::string_view text) {
    std::string out;
    AppendWithCrLf(out, text);
    return out;
}

std::string FromCrLf(std::string_view bytes) {
    std::string out;
    out.reserve(bytes.size());
    for (;;) {
        const std::size_t crlf = bytes.find("\r\n");
        if (crlf == std::string_view::npos) {
            out.append(bytes);
            return out;
        }
        out.append(bytes.substr(0, crlf));
        out.push_back('\n');
        bytes.remove_prefix(crlf + 2);
    }
}

}  // namespace quor::storage
