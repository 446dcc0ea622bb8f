// CleanField with every combination of the four switches on arbitrary field bytes. Input: one
// byte whose three pairs of bits give the line-feed, space and tab switches (0, 1 or 2; only 1
// switches anything on) and whose bit 6 gives the character-reference switch, then the field.
//
// Checks: without character references the result equals the plain byte-by-byte cleaner of
// reference_rules.h (with them, what no switch lets through still never appears); one cleaner
// serves many fields (as it does for a whole page) and an empty field leaves its last result;
// what the switches drop never appears in the result.

#include <string>

#include "convert/text_cleaner.h"
#include "fuzz_check.h"
#include "reference_rules.h"

extern "C" int LLVMFuzzerTestOneInput(const unsigned char* data, std::size_t size) {
    using namespace quor;
    const fuzz::HeaderBytes header(data, size, 1);
    const int lineFeed = static_cast<int>(header.Byte(0) & 3) % 3;
    const int space = static_cast<int>((header.Byte(0) >> 2) & 3) % 3;
    const int tab = static_cast<int>((header.Byte(0) >> 4) & 3) % 3;
    const int charRef = (header.Byte(0) >> 6) & 1;
    const std::string_view input(reinterpret_cast<const char*>(data) + header.Used(),
                                 size - header.Used());

    convert::TextCleaner cleaner(lineFeed, space, tab, charRef);
    // The whole input as one field, then split at every "|" into fields cleaned one after another
    // by the same cleaner, as the fields of a page are.
    std::size_t start = 0;
    for (;;) {
        const std::size_t bar = input.find('|', start);
        const std::string field(
            input.substr(start, bar == std::string_view::npos ? bar : bar - start));
        const std::string before(cleaner.Result());
        const std::string cleaned(cleaner.CleanField(field));
        if (field.empty())
            fuzz::Check(std::string(cleaner.Result()) == before,
                        "an empty field replaced the last result");
        fuzz::Check(charRef == 1 || cleaned == fuzz::ReferenceClean(field, lineFeed, space, tab),
                    "the cleaner differs from the byte-by-byte rules");
        if (space != 1)
            fuzz::Check(cleaned.find(' ') == std::string::npos, "a space survived switch 0");
        if (tab != 1)
            fuzz::Check(cleaned.find('\t') == std::string::npos, "a tab survived switch 0");
        fuzz::Check(cleaned.find('\0') == std::string::npos, "a zero byte reached the result");
        if (bar == std::string_view::npos)
            break;
        start = bar + 1;
    }
    const std::string whole(input);
    const std::string cleanedWhole(cleaner.CleanField(whole));
    fuzz::Check(charRef == 1 || cleanedWhole == fuzz::ReferenceClean(whole, lineFeed, space, tab),
                "the cleaner differs on the whole input");
    return 0;
}
