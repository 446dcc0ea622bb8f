#include "fetch/redirect.h"

#include "fetch/response_header.h"

namespace quor::fetch {

namespace {

struct Reference {
    std::string_view path;
    std::optional<std::string_view> query;
};

// Splits "path?query" at its first "?".
Reference SplitQuery(std::string_view text) {
    const std::size_t mark = text.find('?');
    if (mark == std::string_view::npos)
        return {text, std::nullopt};
    return {text.substr(0, mark), text.substr(mark + 1)};
}

bool IsLetter(char c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
}

// The scheme a reference starts with ("https" of "https://..."), or empty: letters, digits,
// "+", "-" or "." after a letter, then ":" before any "/", "?" or "#".
std::string_view SchemeOf(std::string_view reference) {
    if (reference.empty() || !IsLetter(reference.front()))
        return {};
    for (std::size_t i = 1; i < reference.size(); ++i) {
        const char c = reference[i];
        if (c == ':')
            return reference.substr(0, i);
        const bool digit = c >= '0' && c <= '9';
        if (!IsLetter(c) && !digit && c != '+' && c != '-' && c != '.')
            return {};
    }
    return {};
}

std::string Lower(std::string_view text) {
    std::string lowered(text);
    for (char& c : lowered) {
        if (c >= 'A' && c <= 'Z')
            c = static_cast<char>(c - 'A' + 'a');
    }
    return lowered;
}

std::string WithQuery(std::string path, std::optional<std::string_view> query) {
    if (query) {
        path += '?';
        path += *query;
    }
    return path;
}

// Drops the last segment of the output path, and its "/", for a "..".
void DropLastSegment(std::string& output) {
    const std::size_t slash = output.rfind('/');
    output.erase(slash == std::string::npos ? 0 : slash);
}

}  // namespace

std::optional<RedirectOrder> RedirectOf(std::string_view response) {
    const int code = StatusCode(response);
    if (code != 301 && code != 302 && code != 303 && code != 307 && code != 308)
        return std::nullopt;
    auto location = HeaderField(response, "location");
    if (!location)
        return std::nullopt;
    return RedirectOrder{code, std::move(*location)};
}

bool TurnsIntoGet(int code) {
    return code == 301 || code == 302 || code == 303;
}

std::string RemoveDotSegments(std::string_view path) {
    std::string output;
    std::string input(path);
    while (!input.empty()) {
        if (input.rfind("../", 0) == 0) {
            input.erase(0, 3);
        } else if (input.rfind("./", 0) == 0) {
            input.erase(0, 2);
        } else if (input.rfind("/./", 0) == 0) {
            input.erase(0, 2);
        } else if (input == "/.") {
            input = "/";
        } else if (input.rfind("/../", 0) == 0) {
            input.erase(0, 3);
            DropLastSegment(output);
        } else if (input == "/..") {
            input = "/";
            DropLastSegment(output);
        } else if (input == "." || input == "..") {
            input.clear();
        } else {
            const std::size_t next = input.find('/', input.front() == '/' ? 1 : 0);
            output += input.substr(0, next);
            input.erase(0, next == std::string::npos ? input.size() : next);
        }
    }
    return output;
}

ResolvedLocation ResolveLocation(std::string_view base, std::string_view location) {
    ResolvedLocation resolved;
    std::string reference(location.substr(0, location.find('#')));
    for (std::size_t at = reference.find(' '); at != std::string::npos;
         at = reference.find(' ', at))
        reference.replace(at, 1, "%20");

    const std::size_t schemeEnd = base.find("://");
    const std::string_view baseScheme = base.substr(0, schemeEnd);
    const std::size_t pathStart = base.find('/', schemeEnd + 3);
    const std::string_view origin = base.substr(0, pathStart);
    const Reference baseParts =
        SplitQuery(pathStart == std::string_view::npos ? "/" : base.substr(pathStart));

    const std::string_view scheme = SchemeOf(reference);
    if (!scheme.empty()) {
        const std::string lowered = Lower(scheme);
        const std::string_view rest = std::string_view(reference).substr(scheme.size() + 1);
        if (lowered != "http" && lowered != "https")
            resolved.error = AddressError::kUnsupportedScheme;
        else if (rest.substr(0, 2) != "//")
            resolved.error = AddressError::kNoHost;
        else
            resolved.address = reference;
        return resolved;
    }
    if (reference.rfind("//", 0) == 0) {
        resolved.address = std::string(baseScheme) + ":" + reference;
        return resolved;
    }
    const Reference parts = SplitQuery(reference);
    std::string path;
    if (parts.path.empty()) {
        path = WithQuery(std::string(baseParts.path), parts.query ? parts.query : baseParts.query);
    } else if (parts.path.front() == '/') {
        path = WithQuery(RemoveDotSegments(parts.path), parts.query);
    } else {
        const std::string_view directory = baseParts.path.substr(0, baseParts.path.rfind('/') + 1);
        path = WithQuery(RemoveDotSegments(std::string(directory) + std::string(parts.path)),
                         parts.query);
    }
    resolved.address = std::string(origin) + path;
    return resolved;
}

}  // namespace quor::fetch
