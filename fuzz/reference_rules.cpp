#include "reference_rules.h"

#include <vector>

#include "convert/character_reference.h"
#include "core/cp932.h"
#include "core/unicode_cp932.h"

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

namespace {

enum class Piece { kText, kFold, kBreak, kBlock };

struct Token {
    Piece piece;
    char byte;
};

bool IsLetter(char byte) {
    return (byte >= 'a' && byte <= 'z') || (byte >= 'A' && byte <= 'Z');
}

bool IsSpaceInTag(char byte) {
    return byte == ' ' || byte == '\t' || byte == '\n' || byte == '\r' || byte == '\f';
}

char Lower(char byte) {
    return byte >= 'A' && byte <= 'Z' ? static_cast<char>(byte - 'A' + 'a') : byte;
}

bool IsBlockName(const std::string& name) {
    for (const char* block :
         {"p",  "div", "li",  "dt",    "dd", "tr", "hr", "blockquote", "h1",      "h2",  "h3", "h4",
          "h5", "h6",  "pre", "table", "ul", "ol", "dl", "center",     "address", "form"}) {
        if (name == block)
            return true;
    }
    return false;
}

class Tokenizer {
public:
    explicit Tokenizer(std::string_view field) : field_(field) {}

    std::vector<Token> Run() {
        const std::size_t n = field_.size();
        std::size_t i = 0;
        while (i < n) {
            const char c = field_[i];
            if (dropNextBreak_) {
                dropNextBreak_ = false;
                if (c == '\n') {
                    ++i;
                    continue;
                }
                if (c == '\r') {
                    ++i;
                    if (i < n && field_[i] == '\n')
                        ++i;
                    continue;
                }
            }
            if (c == '<' && i + 1 < n &&
                (IsLetter(field_[i + 1]) || field_[i + 1] == '/' || field_[i + 1] == '!' ||
                 field_[i + 1] == '?')) {
                i = Markup(i);
            } else if (c == '&') {
                i = Reference(i);
            } else if (c == '\r' && pre_ > 0) {
                tokens_.push_back({Piece::kBreak, 0});
                i += i + 1 < n && field_[i + 1] == '\n' ? 2 : 1;
            } else {
                Whitespace(c);
                ++i;
            }
        }
        return tokens_;
    }

private:
    // A byte of the source or a decoded character below 0x21, or any other byte.
    void Whitespace(char c) {
        const auto byte = static_cast<unsigned char>(c);
        if (c == ' ' || c == '\t') {
            tokens_.push_back({pre_ > 0 ? Piece::kText : Piece::kFold, c});
        } else if (c == '\n' || c == '\r') {
            tokens_.push_back({pre_ > 0 ? Piece::kBreak : Piece::kFold, 0});
        } else if (byte >= 0x20) {
            tokens_.push_back({Piece::kText, c});
        }
    }

    std::size_t Reference(std::size_t i) {
        const std::size_t n = field_.size();
        char32_t codePoint = 0;
        std::size_t length = 0;
        if (i + 2 < n && (field_[i + 1] == 'g' || field_[i + 1] == 'l') && field_[i + 2] == 't') {
            codePoint = field_[i + 1] == 'g' ? '>' : '<';
            length = i + 3 < n && field_[i + 3] == ';' ? 4 : 3;
        } else if (const auto reference = convert::ReadCharacterReference(field_, i)) {
            codePoint = reference->codePoint;
            length = reference->length;
        } else {
            tokens_.push_back({Piece::kText, '&'});
            return i + 1;
        }
        if (codePoint == 0xA0) {
            tokens_.push_back({Piece::kText, ' '});
        } else if (codePoint <= 0x20) {
            Whitespace(static_cast<char>(codePoint));
        } else {
            char bytes[2];
            const std::size_t count = core::EncodeCp932(codePoint, bytes);
            const std::string text =
                count == 0 ? std::string(core::kGetaCp932) : std::string(bytes, count);
            for (const char byte : text)
                tokens_.push_back({Piece::kText, byte});
        }
        return i + length;
    }

    // The "<" at field[i] opens markup; returns the position after it.
    std::size_t Markup(std::size_t i) {
        const std::size_t n = field_.size();
        std::size_t j = i + 1;
        if (StartsAt(field_, j, "!--")) {
            for (std::size_t k = j + 3; k + 3 <= n; ++k) {
                if (field_[k] == '-' && field_[k + 1] == '-' && field_[k + 2] == '>')
                    return k + 3;
            }
            return n;
        }
        if (field_[j] == '!' || field_[j] == '?' ||
            (field_[j] == '/' && !(j + 1 < n && IsLetter(field_[j + 1])))) {
            while (j < n && field_[j] != '>')
                ++j;
            return j < n ? j + 1 : n;
        }
        const bool endTag = field_[j] == '/';
        if (endTag)
            ++j;
        std::string name;
        while (j < n && !IsSpaceInTag(field_[j]) && field_[j] != '/' && field_[j] != '>')
            name += Lower(field_[j++]);
        // 0 names, 1 after "=", 2 an unquoted value, 3 a quoted one.
        int state = 0;
        char quote = 0;
        while (j < n) {
            const char c = field_[j++];
            if (state == 3) {
                if (c == quote)
                    state = 0;
                continue;
            }
            if (c == '>')
                break;
            if (state == 0 && c == '=')
                state = 1;
            else if (state == 1 && (c == '"' || c == '\''))
                quote = c, state = 3;
            else if (state == 1 && !IsSpaceInTag(c))
                state = 2;
            else if (state == 2 && IsSpaceInTag(c))
                state = 0;
        }
        if (name == "br") {
            tokens_.push_back({Piece::kBreak, 0});
        } else if (IsBlockName(name)) {
            tokens_.push_back({Piece::kBlock, 0});
            if (name == "pre" && endTag && pre_ > 0)
                --pre_;
            else if (name == "pre" && !endTag)
                ++pre_, dropNextBreak_ = true;
        } else if ((name == "script" || name == "style") && !endTag) {
            for (; j < n; ++j) {
                if (!StartsAt(field_, j, "</"))
                    continue;
                std::string closing;
                for (std::size_t k = j + 2; k < n && k < j + 2 + name.size(); ++k)
                    closing += Lower(field_[k]);
                const std::size_t after = j + 2 + name.size();
                if (closing == name && (after == n || IsSpaceInTag(field_[after]) ||
                                        field_[after] == '/' || field_[after] == '>'))
                    break;
            }
        }
        return j;
    }

    std::string_view field_;
    std::vector<Token> tokens_;
    int pre_ = 0;
    bool dropNextBreak_ = false;
};

bool BlankOnly(const std::string& line) {
    return line.find_first_not_of(" \t") == std::string::npos;
}

}  // namespace

std::string ReferenceRender(std::string_view field) {
    std::vector<std::string> lines(1);
    bool fold = false;
    for (const Token& token : Tokenizer(field).Run()) {
        switch (token.piece) {
            case Piece::kText:
                if (fold && !lines.back().empty())
                    lines.back() += ' ';
                fold = false;
                lines.back() += token.byte;
                break;
            case Piece::kFold:
                fold = true;
                break;
            case Piece::kBreak:
                fold = false;
                lines.emplace_back();
                break;
            case Piece::kBlock:
                fold = false;
                if (!lines.back().empty())
                    lines.emplace_back();
                break;
        }
    }
    std::size_t first = 0;
    while (first < lines.size() && BlankOnly(lines[first]))
        ++first;
    std::size_t last = lines.size();
    while (last > first && BlankOnly(lines[last - 1]))
        --last;
    std::string out;
    for (std::size_t k = first; k < last; ++k)
        out += (k == first ? "" : "\r\n") + lines[k];
    return out;
}

std::pair<std::size_t, std::size_t> ReferenceFindMarker(std::string_view marker,
                                                        std::string_view text, std::size_t from) {
    constexpr std::size_t kNone = std::string_view::npos;
    std::vector<std::string> pieces(1);
    for (std::size_t i = 0; i < marker.size();) {
        if (StartsAt(marker, i, "{*}")) {
            pieces.emplace_back();
            i += 3;
        } else {
            pieces.back() += marker[i++];
        }
    }
    std::erase_if(pieces, [](const std::string& piece) { return piece.empty(); });
    if (pieces.empty())
        return from <= text.size() ? std::pair{from, from} : std::pair{kNone, kNone};
    for (std::size_t begin = from; begin < text.size(); ++begin) {
        if (!StartsAt(text, begin, pieces[0]))
            continue;
        std::size_t at = begin + pieces[0].size();
        bool matched = true;
        for (std::size_t k = 1; k < pieces.size() && matched; ++k) {
            std::size_t q = at;
            while (!StartsAt(text, q, pieces[k])) {
                if (q >= text.size() || text[q] == '<' || text[q] == '>') {
                    matched = false;
                    break;
                }
                ++q;
            }
            at = q + pieces[k].size();
        }
        if (matched)
            return {begin, at};
    }
    return {kNone, kNone};
}

}  // namespace quor::fuzz
