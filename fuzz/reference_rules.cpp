#include "reference_rules.h"

#include "core/cp932.h"

namespace quor::fuzz {

namespace {

constexpr unsigned char kEsc = 0x1B;

bool StartsAt(std::string_view text, std::size_t at, std::string_view what) {
    return at <= text.size() && text.size() - at >= what.size() &&
           text.substr(at, what.size()) == what;
}

bool IsOneOf(char byte, char a, char b) {
    return byte == a || byte == b;
}

}  // namespace

std::string ReferencePair(unsigned char first, unsigned char second) {
    const int row = first & 0x7F;
    const int cell = second & 0x7F;
    if (row < 0x21 || row > 0x7E || cell < 0x21 || cell > 0x7E)
        return "\x81\xac";
    int lead = (row + 1) / 2 + (row <= 0x5E ? 0x70 : 0xB0);
    int trail = 0;
    if (row % 2 == 1)
        trail = cell + (cell <= 0x5F ? 0x1F : 0x20);
    else
        trail = cell + 0x7E;
    return {static_cast<char>(lead), static_cast<char>(trail)};
}

std::string ReferenceFromEuc(std::string_view text) {
    std::string out;
    std::size_t i = 0;
    while (i < text.size()) {
        const auto byte = static_cast<unsigned char>(text[i]);
        if (byte < 0x80) {
            out += text[i];
            ++i;
        } else if (i + 1 < text.size()) {
            out += ReferencePair(byte, static_cast<unsigned char>(text[i + 1]));
            i += 2;
        } else {
            out += text[i];  // a lead byte cut off by the end stays
            ++i;
        }
    }
    return out;
}

std::string ReferenceFromJis(std::string_view text) {
    std::string out;
    bool doubleByte = false;
    std::size_t i = 0;
    while (i < text.size()) {
        const auto byte = static_cast<unsigned char>(text[i]);
        if (byte == kEsc) {
            ++i;
            while (i < text.size() && static_cast<unsigned char>(text[i]) < 0x40)
                ++i;
            if (i < text.size())
                ++i;
            doubleByte = !doubleByte;
        } else if (!doubleByte) {
            out += text[i];
            ++i;
        } else if (i + 1 < text.size()) {
            out += ReferencePair(byte, static_cast<unsigned char>(text[i + 1]));
            i += 2;
        } else {
            break;  // half a pair at the end is dropped
        }
    }
    return out;
}

std::size_t ReferenceUtf8Length(std::string_view text, std::size_t at) {
    struct Form {
        unsigned char leadLow, leadHigh, secondLow, secondHigh;
        std::size_t length;
    };
    static constexpr Form kForms[] = {
        {0x00, 0x7f, 0, 0, 1},       {0xc2, 0xdf, 0x80, 0xbf, 2}, {0xe0, 0xe0, 0xa0, 0xbf, 3},
        {0xe1, 0xec, 0x80, 0xbf, 3}, {0xed, 0xed, 0x80, 0x9f, 3}, {0xee, 0xef, 0x80, 0xbf, 3},
        {0xf0, 0xf0, 0x90, 0xbf, 4}, {0xf1, 0xf3, 0x80, 0xbf, 4}, {0xf4, 0xf4, 0x80, 0x8f, 4},
    };
    const auto byte = [&](std::size_t i) { return static_cast<unsigned char>(text[at + i]); };
    for (const Form& form : kForms) {
        if (byte(0) < form.leadLow || byte(0) > form.leadHigh)
            continue;
        if (text.size() - at < form.length)
            return 0;
        if (form.length > 1 && (byte(1) < form.secondLow || byte(1) > form.secondHigh))
            return 0;
        for (std::size_t i = 2; i < form.length; ++i) {
            if (byte(i) < 0x80 || byte(i) > 0xbf)
                return 0;
        }
        return form.length;
    }
    return 0;
}

bool ReferenceLooksLikeUtf8(std::string_view text) {
    bool multiByte = false;
    for (std::size_t at = 0; at < text.size();) {
        const std::size_t length = ReferenceUtf8Length(text, at);
        if (length == 0 || static_cast<unsigned char>(text[at]) == kEsc)
            return false;
        multiByte = multiByte || length > 1;
        at += length;
    }
    return multiByte;
}

std::string ReferenceFromUtf8(std::string_view text) {
    std::string out;
    for (std::size_t at = 0; at < text.size();) {
        const std::size_t length = ReferenceUtf8Length(text, at);
        if (length == 0) {
            std::size_t run = 1;
            while (at + run < text.size() && ReferenceUtf8Length(text, at + run) == 0)
                ++run;
            out += run == 1 ? std::string("?") : std::string(core::kGetaCp932);
            at += run;
            continue;
        }
        const std::string_view character = text.substr(at, length);
        out += character == std::string_view("\0", 1) ? std::string(character)
                                                      : core::FromUtf8(character);
        at += length;
    }
    return out;
}

std::string ReferenceConvert(std::string_view text, int setting) {
    if (setting == 4 || (setting == 0 && ReferenceLooksLikeUtf8(text)))
        return ReferenceFromUtf8(text);
    if (setting == 0) {
        setting = 1;
        for (const char c : text) {
            const auto byte = static_cast<unsigned char>(c);
            if (byte == kEsc) {
                setting = 2;
                break;
            }
            if (byte == 0xFD || byte == 0xFE)
                break;
            if (byte >= 0x80 && byte <= 0xA0) {
                setting = 3;
                break;
            }
        }
    }
    if (setting == 1)
        return ReferenceFromEuc(text);
    if (setting == 2)
        return ReferenceFromJis(text);
    return std::string(text);
}

std::string ReferenceClean(std::string_view field, std::int32_t lineFeed, std::int32_t space,
                           std::int32_t tab) {
    std::string out;
    bool inTag = false;
    for (std::size_t i = 0; i < field.size(); ++i) {
        const char c = field[i];
        const auto byte = static_cast<unsigned char>(c);
        if (inTag) {
            inTag = c != '>';
            continue;
        }
        if (c == '\t') {
            if (tab == 1)
                out += '\t';
        } else if (c == '\n') {
            if (lineFeed == 1)
                out += "\r\n";
        } else if (c == ' ') {
            if (space == 1)
                out += ' ';
        } else if (byte < 0x20) {
            // dropped, carriage return and the zero byte included
        } else if (c == '&') {
            if (StartsAt(field, i + 1, "gt") || StartsAt(field, i + 1, "lt")) {
                out += field[i + 1] == 'g' ? '>' : '<';
                i += 2;
                if (i + 1 < field.size() && field[i + 1] == ';')
                    ++i;
            } else if (StartsAt(field, i + 1, "quot;")) {
                out += '"';
                i += 5;
            } else if (StartsAt(field, i + 1, "amp;")) {
                out += '&';
                i += 4;
            } else {
                out += '&';
            }
        } else if (c == '<') {
            const bool twoMore = i + 2 < field.size();
            if (twoMore && IsOneOf(field[i + 1], 'b', 'B') && IsOneOf(field[i + 2], 'r', 'R'))
                out += "\r\n";
            else if (twoMore && IsOneOf(field[i + 1], 'l', 'L') && IsOneOf(field[i + 2], 'i', 'I'))
                out += "\r\n\r\n" + std::string(40, '-') + "\r\n";
            inTag = true;
        } else {
            out += c;
        }
    }
    return out;
}

}  // namespace quor::fuzz
