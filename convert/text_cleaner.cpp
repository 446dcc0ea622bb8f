#include "convert/text_cleaner.h"

#include <algorithm>
#include <cstring>

#include "convert/character_reference.h"
#include "convert/plain_bytes.h"
#include "core/cp932.h"
#include "core/parse_rules.h"
#include "core/unicode_cp932.h"

namespace quor::convert {

namespace {

constexpr std::string_view kCrLf = "\r\n";
// A list item starts on a new paragraph below a rule of forty hyphens.
constexpr std::string_view kListItemSeparator =
    "\r\n\r\n----------------------------------------\r\n";
static_assert(kListItemSeparator.size() == 46);

bool LetterIs(char byte, char lower) {
    return (byte | 0x20) == lower;
}

// Whether the bytes after field[at] begin with the text, all of them inside the field. The texts
// are a few bytes long, so a loop beats a call to memcmp.
bool FollowedBy(std::string_view field, std::size_t at, std::string_view text) {
    if (field.size() - at <= text.size())
        return false;
    for (std::size_t k = 0; k < text.size(); ++k) {
        if (field[at + 1 + k] != text[k])
            return false;
    }
    return true;
}

}  // namespace

// Writes into the cleaner's buffer. The buffer always has room for two bytes per input byte not
// yet read, which covers every rule but the list item, whose separator asks for room itself.
class TextCleaner::Writer {
public:
    Writer(std::vector<char>& buffer, std::size_t inputSize) : buffer_(buffer) {
        Reserve(2 * inputSize);
    }

    void Put(char byte) { buffer_[length_++] = byte; }
    void Put(std::string_view bytes) {
        std::memcpy(buffer_.data() + length_, bytes.data(), bytes.size());
        length_ += bytes.size();
    }
    void PutGrowing(std::string_view bytes, std::size_t inputLeft) {
        Reserve(bytes.size() + 2 * inputLeft);
        Put(bytes);
    }
    std::size_t Length() const { return length_; }

    // Copies the plain bytes from field[at] on and returns where the first other byte stands.
    // The buffer has room for twice the input left, more than the copy asks for.
    std::size_t CopyPlainRun(std::string_view field, std::size_t at) {
        const std::size_t run = ::quor::convert::CopyPlainRun(field.data() + at, field.size() - at,
                                                              buffer_.data() + length_);
        length_ += run;
        return at + run;
    }

private:
    void Reserve(std::size_t more) {
        if (buffer_.size() - length_ < more)
            buffer_.resize(std::max(buffer_.size() * 2, length_ + more));
    }

    std::vector<char>& buffer_;
    std::size_t length_ = 0;
};

TextCleaner::TextCleaner(std::int32_t lineFeed, std::int32_t space, std::int32_t tab,
                         std::int32_t charRef)
    : lineFeedSwitch(lineFeed), spaceSwitch(space), tabSwitch(tab), charRefSwitch(charRef) {}

TextCleaner::TextCleaner(const core::Switches& switches)
    : TextCleaner(switches.lineFeed, switches.space, switches.tab, switches.charRef) {}

void TextCleaner::PutWhitespace(char byte, Writer& out) const {
    switch (byte) {
        case '\t':
            if (tabSwitch == 1)
                out.Put('\t');
            break;
        case '\n':
            if (lineFeedSwitch == 1)
                out.Put(kCrLf);
            break;
        case ' ':
            if (spaceSwitch == 1)
                out.Put(' ');
            break;
        default:  // the other control bytes, carriage return included
            break;
    }
}

void TextCleaner::PutCharacter(char32_t codePoint, Writer& out) const {
    constexpr char32_t kNoBreakSpace = 0xA0;
    if (codePoint < 0x20 || codePoint == ' ' || codePoint == kNoBreakSpace) {
        PutWhitespace(codePoint == kNoBreakSpace ? ' ' : static_cast<char>(codePoint), out);
        return;
    }
    char bytes[2];
    const std::size_t length = core::EncodeCp932(codePoint, bytes);
    // Every reference is at least four bytes long, so two bytes of output always have room.
    if (length == 0)
        out.Put(core::kGetaCp932);
    else
        out.Put(std::string_view(bytes, length));
}

std::size_t TextCleaner::DecodeEntity(std::string_view field, std::size_t at, Writer& out) const {
    // "&gt" and "&lt" were common without their semicolon, so it is optional there only.
    if (FollowedBy(field, at, "gt") || FollowedBy(field, at, "lt")) {
        out.Put(field[at + 1] == 'g' ? '>' : '<');
        at += 3;
        return at < field.size() && field[at] == ';' ? at + 1 : at;
    }
    if (FollowedBy(field, at, "quot;")) {
        out.Put('"');
        return at + 6;
    }
    if (FollowedBy(field, at, "amp;")) {
        out.Put('&');
        return at + 5;
    }
    if (charRefSwitch == 1) {
        if (const auto reference = ReadCharacterReference(field, at)) {
            PutCharacter(reference->codePoint, out);
            return at + reference->length;
        }
    }
    out.Put('&');
    return at + 1;
}

void TextCleaner::OpenTag(std::string_view field, std::size_t at, Writer& out) const {
    if (field.size() - at < 3)
        return;
    const char first = field[at + 1];
    const char second = field[at + 2];
    if (LetterIs(first, 'b') && LetterIs(second, 'r'))
        out.Put(kCrLf);
    else if (listItemRule == 1 && LetterIs(first, 'l') && LetterIs(second, 'i'))
        out.PutGrowing(kListItemSeparator, field.size() - at);
}

std::string_view TextCleaner::CleanField(std::string_view field) {
    if (field.empty())
        return {};
    Writer out(buffer_, field.size());
    const std::size_t size = field.size();
    std::size_t i = 0;
    while (i < size) {
        const std::size_t run = out.CopyPlainRun(field, i);
        if (run == size)
            break;
        i = run;
        switch (field[i]) {
            case '&':
                i = DecodeEntity(field, i, out);
                break;
            case '<': {
                OpenTag(field, i, out);
                // The tag runs to the next ">"; without one the rest of the field is dropped.
                const std::size_t close = field.find('>', i + 1);
                i = close == std::string_view::npos ? size : close + 1;
                break;
            }
            default:  // whitespace and the other control bytes
                PutWhitespace(field[i], out);
                ++i;
                break;
        }
    }
    length_ = out.Length();
    return Result();
}

}  // namespace quor::convert
