#pragma once

// The field renderer turns the HTML of one post field into the text a browser shows for it, for a
// board whose fields the text cleaner's byte rules mangle (bare CR line breaks in "<pre>", blanks
// that the space switch either drops everywhere or keeps around every "<br>", a "<" that the board
// left unescaped, scripts and comments):
//
// - "<" opens a tag only before an ASCII letter, "/", "!" or "?"; otherwise it is text. A tag
//   ends at the first ">" outside a quoted attribute value (a quote opens a value only right
//   after "=", blanks between allowed); "<!" and "<?" and a "</" before anything but a letter end
//   at the first ">". "<!--" runs to the first "-->". A tag, comment or quoted value without its
//   end drops the rest of the field.
// - The content of "<script>" and "<style>" runs to the first "</script" / "</style" (in any
//   case) followed by a blank, "/", ">" or the end of the field, and is dropped. "<noscript>" is
//   an ordinary tag: its content shows, since nothing here runs scripts.
// - Outside "<pre>" every run of blanks, tabs, CR and LF is one blank, and no blank starts or ends
//   a line. Inside "<pre>" (counted, so nested ones close one by one) CR LF, a bare CR and a bare
//   LF are each a line break, blanks and tabs stay as written, and a line break right after the
//   "<pre>" tag is dropped.
// - "<br>" (and "</br>") is a line break. "p", "div", "li", "dt", "dd", "tr", "hr",
//   "blockquote", "h1" to "h6", "pre", "table", "ul", "ol", "dl", "center", "address" and
//   "form" tags, opening or closing, start a new line: a line break unless the line is still
//   empty. Tag names ignore case.
// - Every character reference is decoded as the cleaner decodes it with character references
//   on: "&gt" and "&lt" with or without ";", numeric and named references; a character without a
//   CP932 form becomes 〓. A decoded no-break space is a blank that stays where it is (it is not
//   folded with its neighbours nor trimmed), a decoded blank, tab, CR or LF counts as that
//   character of the source, other control characters are dropped. Decoded text is never markup.
// - The other control bytes, the zero byte included, are dropped.
// - Lines that hold nothing but blanks and tabs go at the start and at the end of the field;
//   line breaks are CR LF.
//
// Every byte of 0x80 and above is text, so Shift-JIS passes through: its trail bytes are never
// below 0x40 and so never "<", "&", a blank or a control byte.

#include <cstddef>
#include <string_view>
#include <vector>

namespace quor::convert {

class FieldRenderer final {
public:
    // The shown text of the field, valid until the next call. An empty field gives an empty
    // result and leaves the previous one in place, as the cleaner does.
    std::string_view RenderField(std::string_view field);

    // The result of the last call that had a field to render.
    std::string_view Result() const { return {buffer_.data() + begin_, length_}; }

private:
    class Pass;

    std::vector<char> buffer_;  // grows, never shrinks: one renderer serves a whole page
    std::size_t begin_ = 0;     // the result within the buffer, after the trimming of lines
    std::size_t length_ = 0;
};

}  // namespace quor::convert
