#include "core/cp932.h"

#include <iconv.h>

#include <algorithm>
#include <cerrno>
#include <stdexcept>

namespace quor::core {

namespace {

// One conversion descriptor per thread and direction: iconv descriptors carry state and must
// not be shared between threads, and opening one per call costs more than most conversions.
class Converter final {
public:
    Converter(const char* to, const char* from) : cd_(iconv_open(to, from)) {
        if (cd_ == reinterpret_cast<iconv_t>(-1))
            throw std::runtime_error("iconv cannot convert between CP932 and UTF-8");
    }
    ~Converter() { iconv_close(cd_); }
    Converter(const Converter&) = delete;
    Converter& operator=(const Converter&) = delete;

    // Converts the whole input; at every byte that cannot be converted, writes the replacement
    // and resumes after the bytes that skip() says the bad character occupies.
    template <typename Skip>
    std::string Convert(std::string_view input, std::string_view replacement, Skip skip) {
        std::string output;
        output.resize(input.size() * 3 / 2 + 16);
        iconv(cd_, nullptr, nullptr, nullptr, nullptr);
        char* in = const_cast<char*>(input.data());
        std::size_t inLeft = input.size();
        std::size_t written = 0;
        while (inLeft > 0) {
            char* out = output.data() + written;
            std::size_t outLeft = output.size() - written;
            const std::size_t result = iconv(cd_, &in, &inLeft, &out, &outLeft);
            written = output.size() - outLeft;
            if (result != static_cast<std::size_t>(-1))
                break;
            if (errno == E2BIG) {
                output.resize(output.size() * 2);
                continue;
            }
            // EILSEQ or EINVAL: an unconvertible or cut character.
            const std::size_t bad = std::min(inLeft, skip(std::string_view(in, inLeft)));
            in += bad;
            inLeft -= bad;
            output.replace(written, 0, replacement);
            written += replacement.size();
            if (output.size() < written + 16)
                output.resize(output.size() * 2);
            iconv(cd_, nullptr, nullptr, nullptr, nullptr);
        }
        output.resize(written);
        return output;
    }

private:
    iconv_t cd_;
};

// A bad CP932 lead byte takes its trail byte with it only when that byte could be a trail byte.
std::size_t Cp932CharacterLength(std::string_view text) {
    const auto lead = static_cast<unsigned char>(text[0]);
    if (!IsLeadByte(lead) || text.size() < 2)
        return 1;
    const auto trail = static_cast<unsigned char>(text[1]);
    return (trail >= 0x40 && trail <= 0xfc && trail != 0x7f) ? 2 : 1;
}

// The length of the UTF-8 sequence a bad character starts, or 1 for a stray byte.
std::size_t Utf8CharacterLength(std::string_view text) {
    const auto lead = static_cast<unsigned char>(text[0]);
    std::size_t length = 1;
    if (lead >= 0xc2 && lead <= 0xdf)
        length = 2;
    else if (lead >= 0xe0 && lead <= 0xef)
        length = 3;
    else if (lead >= 0xf0 && lead <= 0xf4)
        length = 4;
    std::size_t valid = 1;
    while (valid < length && valid < text.size() &&
           (static_cast<unsigned char>(text[valid]) & 0xc0) == 0x80)
        ++valid;
    return valid;
}

}  // namespace

std::string ToUtf8(std::string_view cp932) {
    thread_local Converter converter("UTF-8", "CP932");
    return converter.Convert(cp932, kGetaUtf8, Cp932CharacterLength);
}

std::string FromUtf8(std::string_view utf8) {
    thread_local Converter converter("CP932", "UTF-8");
    return converter.Convert(utf8, kGetaCp932, Utf8CharacterLength);
}

}  // namespace quor::core
