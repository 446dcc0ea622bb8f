// RenderField on arbitrary field bytes. Input: the fields, separated by "|", rendered one after
// another by one renderer as the fields of a page are, then the whole input as one field.
//
// Checks: the result equals the byte-by-byte rules of reference_rules.h; an empty field leaves the
// last result; a result holds no control byte but the tab and the CR LF of a line break, and
// neither starts nor ends with a line break or a blank-only line.

#include <string>

#include "convert/field_renderer.h"
#include "fuzz_check.h"
#include "reference_rules.h"

namespace {

using namespace quor;

void CheckShape(const std::string& shown) {
    for (std::size_t i = 0; i < shown.size(); ++i) {
        const auto byte = static_cast<unsigned char>(shown[i]);
        if (byte == '\r') {
            fuzz::Check(i + 1 < shown.size() && shown[i + 1] == '\n', "a CR without its LF");
            ++i;
            continue;
        }
        fuzz::Check(byte >= 0x20 || byte == '\t', "a control byte in a rendered field");
    }
    fuzz::Check(shown.rfind("\r\n", 0) != 0, "a rendered field starts with a line break");
    fuzz::Check(shown.size() < 2 || shown.compare(shown.size() - 2, 2, "\r\n") != 0,
                "a rendered field ends with a line break");
    const std::size_t firstBreak = shown.find("\r\n");
    const std::string firstLine = shown.substr(0, firstBreak);
    fuzz::Check(shown.empty() || firstLine.find_first_not_of(" \t") != std::string::npos,
                "a rendered field starts with a blank line");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const unsigned char* data, std::size_t size) {
    const std::string_view input(reinterpret_cast<const char*>(data), size);
    convert::FieldRenderer renderer;
    std::size_t start = 0;
    for (;;) {
        const std::size_t bar = input.find('|', start);
        const std::string field(
            input.substr(start, bar == std::string_view::npos ? bar : bar - start));
        const std::string before(renderer.Result());
        const std::string shown(renderer.RenderField(field));
        if (field.empty())
            fuzz::Check(std::string(renderer.Result()) == before,
                        "an empty field replaced the last result");
        fuzz::Check(shown == fuzz::ReferenceRender(field),
                    "the renderer differs from the byte-by-byte rules");
        CheckShape(shown);
        if (bar == std::string_view::npos)
            break;
        start = bar + 1;
    }
    const std::string whole(input);
    fuzz::Check(std::string(renderer.RenderField(whole)) == fuzz::ReferenceRender(whole),
                "the renderer differs on the whole input");
    return 0;
}
