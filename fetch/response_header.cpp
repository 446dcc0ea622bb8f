#include "fetch/response_header.h"

#include <charconv>

namespace quor::fetch {

namespace {

char LowerAscii(char c) {
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

bool SameLetters(std::string_view a, std::string_view b) {
    if (a.size() != b.size())
        return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        if (LowerAscii(a[i]) != LowerAscii(b[i]))
            return false;
    }
    return true;
}

std::string_view TrimBlanks(std::string_view text) {
    while (!text.empty() && (text.front() == ' ' || text.front() == '\t'))
        text.remove_prefix(1);
    while (!text.empty() && (text.back() == ' ' || text.back() == '\t' || text.back() == '\r'))
        text.remove_suffix(1);
    return text;
}

}  // namespace

std::size_t HeaderEnd(std::string_view response) {
    const std::size_t crlf = response.find("\r\n\r\n");
    const std::size_t lf = response.find("\n\n");
    if (crlf != std::string_view::npos && (lf == std::string_view::npos || crlf < lf))
        return crlf + 4;
    return lf == std::string_view::npos ? lf : lf + 2;
}

int StatusCode(std::string_view response) {
    constexpr std::string_view kPrefix = "HTTP/";
    if (response.substr(0, kPrefix.size()) != kPrefix)
        return 0;
    const std::size_t lineEnd = response.find('\n');
    const std::string_view line = response.substr(0, lineEnd);
    const std::size_t space = line.find(' ');
    if (space == std::string_view::npos || line.size() < space + 4)
        return 0;
    const std::string_view digits = line.substr(space + 1, 3);
    if (line.size() > space + 4 && line[space + 4] != ' ' && line[space + 4] != '\r')
        return 0;
    int code = 0;
    for (const char c : digits) {
        if (c < '0' || c > '9')
            return 0;
        code = code * 10 + (c - '0');
    }
    return code;
}

std::optional<std::string> HeaderField(std::string_view response, std::string_view name) {
    const std::size_t end = HeaderEnd(response);
    if (end == std::string_view::npos)
        return std::nullopt;
    std::string_view header = response.substr(0, end);
    // The status line is no field.
    std::size_t lineStart = header.find('\n');
    while (lineStart != std::string_view::npos && lineStart + 1 < header.size()) {
        const std::size_t next = header.find('\n', lineStart + 1);
        const std::string_view line = header.substr(lineStart + 1, next - lineStart - 1);
        const std::size_t colon = line.find(':');
        if (colon != std::string_view::npos && SameLetters(TrimBlanks(line.substr(0, colon)), name))
            return std::string(TrimBlanks(line.substr(colon + 1)));
        lineStart = next;
    }
    return std::nullopt;
}

std::optional<std::size_t> AnnouncedBodyLength(std::string_view response) {
    const auto field = HeaderField(response, "content-length");
    if (!field)
        return std::nullopt;
    std::size_t length = 0;
    const char* const first = field->data();
    const auto [stop, error] = std::from_chars(first, first + field->size(), length);
    if (error != std::errc{} || stop == first)
        return std::nullopt;
    return length;
}

}  // namespace quor::fetch
