#pragma once

// The bytes a field's text is mostly made of, and a fast copy of a run of them, shared by the
// text cleaner and the field renderer: printable ASCII other than the two that open markup ("&"
// and "<"), ">" included, and every byte of 0x80 and above. Whitespace and the other control
// bytes are not plain: each rule decides about them itself.

#include <array>
#include <cstddef>
#include <cstring>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace quor::convert {

constexpr std::array<bool, 256> MakePlainByteTable() {
    std::array<bool, 256> plain{};
    for (int byte = 0x21; byte < 256; ++byte)
        plain[byte] = byte != '&' && byte != '<';
    return plain;
}
inline constexpr std::array<bool, 256> kPlainByte = MakePlainByteTable();

inline bool IsPlainByte(char byte) {
    return kPlainByte[static_cast<unsigned char>(byte)];
}

// Copies the plain bytes at the start of `from` (`available` bytes long) to `to` and returns how
// many there were. `to` must have room for `available` bytes: a run is copied sixteen bytes at a
// time, and a block is stored whole before the bytes past the run's end are known.
inline std::size_t CopyPlainRun(const char* from, std::size_t available, char* to) {
    std::size_t done = 0;
#if defined(__SSE2__)
    const __m128i lowestPlain = _mm_set1_epi8(0x21);
    while (available - done >= 16) {
        const __m128i bytes = _mm_loadu_si128(reinterpret_cast<const __m128i*>(from + done));
        _mm_storeu_si128(reinterpret_cast<__m128i*>(to + done), bytes);
        const __m128i control =
            _mm_cmpgt_epi8(_mm_subs_epu8(lowestPlain, bytes), _mm_setzero_si128());
        const __m128i markup = _mm_or_si128(_mm_cmpeq_epi8(bytes, _mm_set1_epi8('&')),
                                            _mm_cmpeq_epi8(bytes, _mm_set1_epi8('<')));
        const unsigned stops =
            static_cast<unsigned>(_mm_movemask_epi8(_mm_or_si128(control, markup)));
        if (stops != 0)
            return done + static_cast<std::size_t>(__builtin_ctz(stops));
        done += 16;
    }
#endif
    std::size_t end = done;
    while (end < available && IsPlainByte(from[end]))
        ++end;
    std::memcpy(to + done, from + done, end - done);
    return end;
}

}  // namespace quor::convert
