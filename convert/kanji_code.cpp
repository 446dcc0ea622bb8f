#include "convert/kanji_code.h"

#include <cstring>

#include "convert/utf8_page.h"
#include "core/board_workspace.h"

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace quor::convert {

namespace {

constexpr unsigned char kEsc = 0x1B;
constexpr std::uint16_t kGeta = 0x81AC;

bool IsJisByte(unsigned j) {
    return j >= 0x21 && j <= 0x7E;
}

#if defined(__SSE2__)
// Eight pairs at once: the same arithmetic as JisPairToSjis on 16-bit lanes, each lane holding
// one pair with its first byte in the low half (x86 is little-endian).
__m128i MapEightPairs(__m128i pairs) {
    const __m128i low7 = _mm_set1_epi16(0x7F);
    const __m128i j1 = _mm_and_si128(pairs, low7);
    const __m128i j2 = _mm_and_si128(_mm_srli_epi16(pairs, 8), low7);

    const __m128i upperRows = _mm_cmpgt_epi16(j1, _mm_set1_epi16(0x5E));
    const __m128i leadBase =
        _mm_add_epi16(_mm_set1_epi16(0x70), _mm_and_si128(upperRows, _mm_set1_epi16(0x40)));
    const __m128i lead =
        _mm_add_epi16(_mm_srli_epi16(_mm_add_epi16(j1, _mm_set1_epi16(1)), 1), leadBase);

    const __m128i oddRow = _mm_cmpeq_epi16(_mm_and_si128(j1, _mm_set1_epi16(1)), _mm_set1_epi16(1));
    const __m128i upperCells = _mm_cmpgt_epi16(j2, _mm_set1_epi16(0x5F));
    // Odd rows: +0x1F, one more past 0x5F (0x7F is skipped); even rows: +0x7E.
    const __m128i oddTrail = _mm_sub_epi16(_mm_add_epi16(j2, _mm_set1_epi16(0x1F)), upperCells);
    const __m128i evenTrail = _mm_add_epi16(j2, _mm_set1_epi16(0x7E));
    const __m128i trail =
        _mm_or_si128(_mm_and_si128(oddRow, oddTrail), _mm_andnot_si128(oddRow, evenTrail));

    const __m128i mapped = _mm_or_si128(_mm_slli_epi16(trail, 8), lead);

    // Rows and cells outside 0x21..0x7E give the geta mark (bytes 0x81 0xAC in memory order).
    const __m128i lowest = _mm_set1_epi16(0x20);
    const __m128i highest = _mm_set1_epi16(0x7F);
    const __m128i valid =
        _mm_and_si128(_mm_and_si128(_mm_cmpgt_epi16(j1, lowest), _mm_cmplt_epi16(j1, highest)),
                      _mm_and_si128(_mm_cmpgt_epi16(j2, lowest), _mm_cmplt_epi16(j2, highest)));
    const __m128i geta = _mm_set1_epi16(static_cast<short>(0xAC81));
    return _mm_or_si128(_mm_and_si128(valid, mapped), _mm_andnot_si128(valid, geta));
}

__m128i Load16(const unsigned char* p) {
    return _mm_loadu_si128(reinterpret_cast<const __m128i*>(p));
}

// The first `count` bytes from `mapped`, the rest from `kept`.
__m128i TakeFirst(__m128i mapped, __m128i kept, unsigned count) {
    const __m128i index = _mm_setr_epi8(0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15);
    const __m128i first = _mm_cmplt_epi8(index, _mm_set1_epi8(static_cast<char>(count)));
    return _mm_or_si128(_mm_and_si128(first, mapped), _mm_andnot_si128(first, kept));
}

unsigned CountTrailingZeros(unsigned bits) {
    return static_cast<unsigned>(__builtin_ctz(bits));
}
#endif

void WritePair(unsigned char* out, unsigned char first, unsigned char second) {
    const std::uint16_t sjis = JisPairToSjis(first, second);
    out[0] = static_cast<unsigned char>(sjis >> 8);
    out[1] = static_cast<unsigned char>(sjis & 0xFF);
}

// EUC in blocks of sixteen bytes: an ASCII gap is skipped, a run of pairs at the block's start is
// mapped at once. Returns where the byte-at-a-time walk takes over (fewer than 16 bytes left).
std::size_t ConvertEucBlocks(unsigned char* text, std::size_t size) {
    std::size_t i = 0;
#if defined(__SSE2__)
    while (i + 16 <= size) {
        const __m128i block = Load16(text + i);
        const unsigned high = static_cast<unsigned>(_mm_movemask_epi8(block));
        if (high == 0) {
            i += 16;
            continue;
        }
        if ((high & 1) == 0) {
            i += CountTrailingZeros(high);
            continue;
        }
        // Every byte of 0x80 and above at a pair's start takes the byte after it, so the run of
        // high bytes at i is pairs; an odd one out pairs with the ASCII byte that follows.
        const unsigned run = CountTrailingZeros(~high | 0x10000u);
        const unsigned pairBytes = run & ~1u;
        if (pairBytes > 0) {
            _mm_storeu_si128(reinterpret_cast<__m128i*>(text + i),
                             TakeFirst(MapEightPairs(block), block, pairBytes));
            i += pairBytes;
        }
        if (run & 1) {
            WritePair(text + i, text[i], text[i + 1]);
            i += 2;
        }
    }
#endif
    return i;
}

// Pairs keep their place, so EUC converts without moving anything.
void ConvertFromEuc(unsigned char* text, std::size_t size) {
    std::size_t i = ConvertEucBlocks(text, size);
    while (i < size) {
        if (text[i] < 0x80) {
            ++i;
            continue;
        }
        // A lead byte cut off by the end of the text stays as it is.
        if (i + 1 >= size)
            break;
        WritePair(text + i, text[i], text[i + 1]);
        i += 2;
    }
}

// Skips an escape sequence starting at the ESC at `read`: every following byte below 0x40, then
// the final byte. Returns the position after it, never past the end.
std::size_t SkipEscape(const unsigned char* text, std::size_t size, std::size_t read) {
    ++read;
    while (read < size && text[read] < 0x40)
        ++read;
    return read < size ? read + 1 : size;
}

// Copies single bytes up to the next ESC; returns the read and write positions after them.
void CopySingleBytes(unsigned char* text, std::size_t size, std::size_t& read, std::size_t& write) {
    const void* esc = std::memchr(text + read, kEsc, size - read);
    const std::size_t stop = esc ? static_cast<const unsigned char*>(esc) - text : size;
    if (write != read)
        std::memmove(text + write, text + read, stop - read);
    write += stop - read;
    read = stop;
}

// Maps pairs until an ESC stands where a pair would begin, or the text ends.
void MapDoubleBytes(unsigned char* text, std::size_t size, std::size_t& read, std::size_t& write) {
#if defined(__SSE2__)
    while (read + 16 <= size) {
        const __m128i block = Load16(text + read);
        const unsigned esc = static_cast<unsigned>(
            _mm_movemask_epi8(_mm_cmpeq_epi8(block, _mm_set1_epi8(static_cast<char>(kEsc)))));
        // An ESC at an odd offset is the second byte of a pair and is mapped with it.
        const unsigned pairBytes = esc == 0 ? 16 : (CountTrailingZeros(esc) + 1) & ~1u;
        if (pairBytes == 0)
            return;
        // The output trails the input: bytes past the mapped ones keep what they held.
        _mm_storeu_si128(reinterpret_cast<__m128i*>(text + write),
                         TakeFirst(MapEightPairs(block), Load16(text + write), pairBytes));
        read += pairBytes;
        write += pairBytes;
    }
#endif
    for (;;) {
        // A pair cut off by the end of the text is dropped.
        if (read + 1 >= size || text[read] == kEsc)
            return;
        WritePair(text + write, text[read], text[read + 1]);
        read += 2;
        write += 2;
    }
}

// Every escape sequence toggles between single-byte and double-byte mode, whatever it names.
std::size_t ConvertFromJis(unsigned char* text, std::size_t size) {
    std::size_t read = 0;
    std::size_t write = 0;
    bool doubleByte = false;
    while (read < size) {
        if (doubleByte)
            MapDoubleBytes(text, size, read, write);
        else
            CopySingleBytes(text, size, read, write);
        // Stopped short of an ESC only at the end (or at a pair's lone first byte there).
        if (read >= size || text[read] != kEsc)
            break;
        read = SkipEscape(text, size, read);
        doubleByte = !doubleByte;
    }
    return write;
}

}  // namespace

std::uint16_t JisPairToSjis(unsigned char first, unsigned char second) {
    const unsigned j1 = first & 0x7Fu;
    const unsigned j2 = second & 0x7Fu;
    if (!IsJisByte(j1) || !IsJisByte(j2))
        return kGeta;
    const unsigned lead = ((j1 + 1) >> 1) + (j1 <= 0x5E ? 0x70 : 0xB0);
    unsigned trail;
    if (j1 & 1)
        trail = j2 + (j2 <= 0x5F ? 0x1F : 0x20);
    else
        trail = j2 + 0x7E;
    return static_cast<std::uint16_t>(lead << 8 | trail);
}

DetectedCode DetectKanjiCode(std::string_view text) {
    for (const char c : text) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte == kEsc)
            return kDetectedJis;
        if (byte == 0xFD || byte == 0xFE)
            return kDetectedEuc;
        if (byte >= 0x80 && byte <= 0xA0)
            return kDetectedSjis;
    }
    return kDetectedEuc;
}

DetectedCode DetectKanjiCode(const core::BoardWorkspace& workspace) {
    return DetectKanjiCode(workspace.Text());
}

namespace {

// The code AUTO converts from. A leading run of plain ASCII decides nothing for either question,
// so both start after it; markup-only pages are then read once, not twice.
int ChooseCode(std::string_view text) {
    const std::string_view rest = text.substr(PlainAsciiPrefix(text));
    if (LooksLikeUtf8(rest))
        return kKanjiUtf8;
    const DetectedCode detected = DetectKanjiCode(rest);
    return detected == kDetectedEuc ? kKanjiEuc : detected == kDetectedJis ? kKanjiJis : kKanjiSjis;
}

}  // namespace

std::size_t ConvertKanjiCode(char* data, std::size_t size, int setting) {
    auto* text = reinterpret_cast<unsigned char*>(data);
    if (setting == kKanjiAuto)
        setting = ChooseCode(std::string_view(data, size));
    if (setting == kKanjiUtf8)
        return ConvertUtf8ToCp932(data, size);
    if (setting == kKanjiEuc) {
        ConvertFromEuc(text, size);
        return size;
    }
    if (setting == kKanjiJis)
        return ConvertFromJis(text, size);
    return size;
}

void ConvertKanjiCode(std::string& text, int setting) {
    text.resize(ConvertKanjiCode(text.data(), text.size(), setting));
}

void ConvertKanjiCode(core::BoardWorkspace& workspace, int setting) {
    ConvertKanjiCode(workspace.Text(), setting);
}

}  // namespace quor::convert
