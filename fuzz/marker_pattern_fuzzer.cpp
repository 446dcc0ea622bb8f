// Marker searches with "{*}" wildcards on arbitrary bytes. Input: the marker, a zero byte, then
// the text (no zero byte: the marker is the whole input and the text is empty).
//
// Checks: one pattern searched from every position of the text in turn (as the extraction moves
// its cursor) finds what the byte-by-byte rules of reference_rules.h find, begin and end; a
// marker without a wildcard finds what the plain search finds.

#include <string>

#include "convert/marker_pattern.h"
#include "convert/text_search.h"
#include "fuzz_check.h"
#include "reference_rules.h"

extern "C" int LLVMFuzzerTestOneInput(const unsigned char* data, std::size_t size) {
    using namespace quor;
    const std::string_view input(reinterpret_cast<const char*>(data), size);
    const std::size_t zero = input.find('\0');
    const std::string_view marker = input.substr(0, zero);
    const std::string_view text =
        zero == std::string_view::npos ? std::string_view() : input.substr(zero + 1);
    convert::MarkerPattern pattern(marker);
    // The reference tries every start and run: a few thousand positions at most.
    const std::size_t step = text.size() / 256 + 1;
    for (std::size_t from = 0; from <= text.size() + 1; from += step) {
        const convert::MarkerMatch found = pattern.Find(text, from);
        const auto expected = fuzz::ReferenceFindMarker(marker, text, from);
        fuzz::Check(found.begin == expected.first, "a wildcard marker began elsewhere");
        fuzz::Check(!found.Found() || found.end == expected.second,
                    "a wildcard marker ended elsewhere");
        if (marker.find(convert::kWildcard) == std::string_view::npos)
            fuzz::Check(found.begin == convert::FindFrom(text, marker, from),
                        "a plain marker is not the plain search");
    }
    return 0;
}
