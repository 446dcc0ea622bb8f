#include "convert/field_renderer.h"

#include <algorithm>
#include <cstring>

#include "convert/character_reference.h"
#include "convert/plain_bytes.h"
#include "core/cp932.h"
#include "core/unicode_cp932.h"

namespace quor::convert {

namespace {

constexpr std::string_view kCrLf = "\r\n";
constexpr char32_t kNoBreakSpace = 0xA0;

enum class Element { kOther, kBreak, kBlock, kPre, kRawText };

bool IsAsciiLetter(char byte) {
    const char lower = static_cast<char>(byte | 0x20);
    return lower >= 'a' && lower <= 'z';
}

bool IsTagSpace(char byte) {
    return byte == ' ' || byte == '\t' || byte == '\n' || byte == '\r' || byte == '\f';
}

bool IsFoldedSpace(char byte) {
    return byte == ' ' || byte == '\t' || byte == '\n' || byte == '\r';
}

bool EqualsIgnoringCase(std::string_view text, std::string_view lower) {
    if (text.size() != lower.size())
        return false;
    for (std::size_t k = 0; k < text.size(); ++k) {
        const char byte = text[k];
        const char folded = byte >= 'A' && byte <= 'Z' ? static_cast<char>(byte | 0x20) : byte;
        if (folded != lower[k])
            return false;
    }
    return true;
}

// Tag names by their length, in small letters; names are at most ten bytes long.
Element Classify(std::string_view name) {
    if (name.empty() || name.size() > 10)
        return Element::kOther;
    char lower[10];
    for (std::size_t k = 0; k < name.size(); ++k) {
        const char byte = name[k];
        lower[k] = byte >= 'A' && byte <= 'Z' ? static_cast<char>(byte | 0x20) : byte;
    }
    const std::string_view folded(lower, name.size());
    switch (folded.size()) {
        case 1:
            return folded == "p" ? Element::kBlock : Element::kOther;
        case 2:
            if (folded == "br")
                return Element::kBreak;
            if (folded == "li" || folded == "dt" || folded == "dd" || folded == "tr" ||
                folded == "hr" || folded == "ul" || folded == "ol" || folded == "dl" ||
                (folded[0] == 'h' && folded[1] >= '1' && folded[1] <= '6'))
                return Element::kBlock;
            return Element::kOther;
        case 3:
            if (folded == "pre")
                return Element::kPre;
            return folded == "div" ? Element::kBlock : Element::kOther;
        case 4:
            return folded == "form" ? Element::kBlock : Element::kOther;
        case 5:
            if (folded == "style")
                return Element::kRawText;
            return folded == "table" ? Element::kBlock : Element::kOther;
        case 6:
            if (folded == "script")
                return Element::kRawText;
            return folded == "center" ? Element::kBlock : Element::kOther;
        case 7:
            return folded == "address" ? Element::kBlock : Element::kOther;
        case 10:
            return folded == "blockquote" ? Element::kBlock : Element::kOther;
        default:
            return Element::kOther;
    }
}

}  // namespace

// One field's rendering. Writes into the renderer's buffer, which has room for twice the field and
// a little more: no rule writes more than two bytes per byte it reads, and a plain run is copied
// into room of its own length.
class FieldRenderer::Pass {
public:
    Pass(std::vector<char>& buffer, std::string_view field) : buffer_(buffer), field_(field) {
        const std::size_t room = 2 * field.size() + 16;
        if (buffer_.size() < room)
            buffer_.resize(std::max(room, 2 * buffer_.size()));
        out_ = buffer_.data();
    }

    // Renders the field; returns the length written, before the trimming of lines.
    std::size_t Run() {
        const std::size_t size = field_.size();
        std::size_t i = 0;
        while (i < size) {
            const char byte = field_[i];
            if (IsPlainByte(byte)) {
                FlushBlank();
                const std::size_t run = CopyPlainRun(field_.data() + i, size - i, out_ + length_);
                length_ += run;
                i += run;
                continue;
            }
            switch (byte) {
                case '<':
                    i = Tag(i);
                    break;
                case '&':
                    i = Reference(i);
                    break;
                case '\r':
                    // A CR LF is one line break in "<pre>" and one blank outside it.
                    Space('\r');
                    i += i + 1 < size && field_[i + 1] == '\n' ? 2 : 1;
                    break;
                default:
                    Space(byte);
                    ++i;
                    break;
            }
        }
        return length_;
    }

private:
    void Put(char byte) { out_[length_++] = byte; }
    void Put(std::string_view bytes) {
        std::memcpy(out_ + length_, bytes.data(), bytes.size());
        length_ += bytes.size();
    }

    // The blank that a run of whitespace left, written only between two things on one line.
    void FlushBlank() {
        if (pendingBlank_ && length_ > lineStart_)
            Put(' ');
        pendingBlank_ = false;
    }

    void LineBreak() {
        pendingBlank_ = false;
        Put(kCrLf);
        lineStart_ = length_;
    }

    void NewLine() {
        if (length_ > lineStart_)
            LineBreak();
        pendingBlank_ = false;
    }

    void Text(char byte) {
        FlushBlank();
        Put(byte);
    }

    // A blank, tab, CR, LF or other control character, of the source or decoded.
    void Space(char byte) {
        if (preDepth_ > 0) {
            if (byte == ' ' || byte == '\t')
                Put(byte);
            else if (byte == '\r' || byte == '\n')
                LineBreak();
        } else if (IsFoldedSpace(byte)) {
            pendingBlank_ = true;
        }
    }

    std::size_t Reference(std::size_t at) {
        // The references of nearly every page first, then all the others.
        const std::string_view rest = field_.substr(at + 1);
        if (rest.starts_with("amp;")) {
            Text('&');
            return at + 5;
        }
        if (rest.starts_with("quot;")) {
            Text('"');
            return at + 6;
        }
        if (rest.starts_with("nbsp;")) {
            Text(' ');
            return at + 6;
        }
        const auto reference = ReadAnyReference(field_, at);
        if (!reference) {
            Text('&');
            return at + 1;
        }
        const char32_t codePoint = reference->codePoint;
        if (codePoint == kNoBreakSpace) {
            Text(' ');
        } else if (codePoint <= 0x20) {
            Space(static_cast<char>(codePoint));
        } else {
            char bytes[2];
            const std::size_t length = core::EncodeCp932(codePoint, bytes);
            FlushBlank();
            if (length == 0)
                Put(core::kGetaCp932);
            else
                Put(std::string_view(bytes, length));
        }
        return at + reference->length;
    }

    // The position after the ">" that ends the tag whose attributes start at `at`.
    std::size_t SkipAttributes(std::size_t at) const {
        // Most tags hold no quote before their first ">", and end there.
        const std::size_t size = field_.size();
        const char* const from = field_.data() + at;
        const void* const close = std::memchr(from, '>', size - at);
        const std::size_t span =
            close ? static_cast<std::size_t>(static_cast<const char*>(close) - from) : size - at;
        if (!std::memchr(from, '"', span) && !std::memchr(from, '\'', span))
            return close ? at + span + 1 : size;
        enum class State { kNames, kBeforeValue, kUnquoted } state = State::kNames;
        for (std::size_t i = at; i < size; ++i) {
            const char byte = field_[i];
            if (byte == '>')
                return i + 1;
            switch (state) {
                case State::kNames:
                    if (byte == '=')
                        state = State::kBeforeValue;
                    break;
                case State::kBeforeValue:
                    if (byte == '"' || byte == '\'') {
                        const std::size_t close = field_.find(byte, i + 1);
                        if (close == std::string_view::npos)
                            return size;
                        i = close;
                        state = State::kNames;
                    } else if (!IsTagSpace(byte)) {
                        state = State::kUnquoted;
                    }
                    break;
                case State::kUnquoted:
                    if (IsTagSpace(byte))
                        state = State::kNames;
                    break;
            }
        }
        return size;
    }

    // Where the end tag of a script or style element starts, or the end of the field.
    std::size_t SkipRawText(std::size_t at, std::string_view lowerName) const {
        const std::size_t size = field_.size();
        for (std::size_t close = field_.find("</", at); close != std::string_view::npos;
             close = field_.find("</", close + 1)) {
            const std::size_t after = close + 2 + lowerName.size();
            if (after > size ||
                !EqualsIgnoringCase(field_.substr(close + 2, lowerName.size()), lowerName))
                continue;
            if (after == size || IsTagSpace(field_[after]) || field_[after] == '/' ||
                field_[after] == '>')
                return close;
        }
        return size;
    }

    std::size_t SkipLineBreak(std::size_t at) const {
        if (at < field_.size() && field_[at] == '\r')
            ++at;
        else if (at < field_.size() && field_[at] == '\n')
            return at + 1;
        else
            return at;
        return at < field_.size() && field_[at] == '\n' ? at + 1 : at;
    }

    // What the "<" at field[at] opens; returns the position after it.
    std::size_t Tag(std::size_t at) {
        const std::size_t size = field_.size();
        const char next = at + 1 < size ? field_[at + 1] : '\0';
        if (!IsAsciiLetter(next) && next != '/' && next != '!' && next != '?') {
            Text('<');
            return at + 1;
        }
        if (next == '!' && field_.substr(at + 2, 2) == "--") {
            const std::size_t close = field_.find("-->", at + 4);
            return close == std::string_view::npos ? size : close + 3;
        }
        const bool endTag = next == '/';
        if (next == '!' || next == '?' ||
            (endTag && !(at + 2 < size && IsAsciiLetter(field_[at + 2])))) {
            const std::size_t close = field_.find('>', at + 1);
            return close == std::string_view::npos ? size : close + 1;
        }
        const std::size_t nameStart = at + (endTag ? 2 : 1);
        std::size_t nameEnd = nameStart;
        while (nameEnd < size && !IsTagSpace(field_[nameEnd]) && field_[nameEnd] != '/' &&
               field_[nameEnd] != '>')
            ++nameEnd;
        const std::string_view name = field_.substr(nameStart, nameEnd - nameStart);
        std::size_t after = SkipAttributes(nameEnd);
        switch (Classify(name)) {
            case Element::kBreak:
                LineBreak();
                break;
            case Element::kBlock:
                NewLine();
                break;
            case Element::kPre:
                NewLine();
                if (endTag) {
                    preDepth_ = std::max(preDepth_ - 1, 0);
                } else {
                    ++preDepth_;
                    after = SkipLineBreak(after);
                }
                break;
            case Element::kRawText:
                if (!endTag)
                    after =
                        SkipRawText(after, EqualsIgnoringCase(name, "style") ? "style" : "script");
                break;
            case Element::kOther:
                break;
        }
        return after;
    }

    std::vector<char>& buffer_;
    std::string_view field_;
    char* out_ = nullptr;
    std::size_t length_ = 0;
    std::size_t lineStart_ = 0;
    bool pendingBlank_ = false;
    int preDepth_ = 0;
};

std::string_view FieldRenderer::RenderField(std::string_view field) {
    if (field.empty())
        return {};
    Pass pass(buffer_, field);
    const std::size_t written = pass.Run();
    const char* const text = buffer_.data();
    const char* const end = text + written;
    // Blank-only lines go at the start and at the end. Every line break written is a CR LF, and
    // no other CR or LF is written.
    const auto isBlank = [](char byte) { return byte == ' ' || byte == '\t'; };
    const char* first = text;
    for (const char* at = text;; ++at) {
        if (at == end) {
            begin_ = 0;
            length_ = 0;
            return Result();
        }
        if (*at == '\r')
            first = ++at + 1;  // past the LF
        else if (!isBlank(*at))
            break;
    }
    // A byte other than a blank, a tab or a line break stands at or after `first`.
    const char* last = end;
    for (const char* at = end; at > first; --at) {
        if (at[-1] == '\n')
            last = --at - 1;  // before the CR
        else if (!isBlank(at[-1]))
            break;
    }
    begin_ = static_cast<std::size_t>(first - text);
    length_ = static_cast<std::size_t>(last - first);
    return Result();
}

}  // namespace quor::convert
