#pragma once

// Kanji code conversion of a fetched page into code page 932 (Shift-JIS), in place.
//
// EUC-JP and JIS (ISO-2022-JP) carry JIS X 0208 characters as two 7-bit bytes (EUC with the high
// bits set); both decoders map each pair to Shift-JIS with the standard arithmetic, two bytes for
// two bytes, so the output is never longer than the input and overwrites it while it is read.
// Escape sequences of JIS vanish, so a JIS text gets shorter.
//
// The text holds no zero byte (the workspace's text buffer never does: SetText stops at the
// first one); the end of the text is its terminator.

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace quor::core {
class BoardWorkspace;
}

namespace quor::convert {

// What DetectKanjiCode answers.
enum DetectedCode : std::int32_t { kDetectedEuc = 0, kDetectedJis = 1, kDetectedSjis = 2 };

// The board's kanji code setting (CCode).
enum KanjiCodeSetting : std::int32_t {
    kKanjiAuto = 0,
    kKanjiEuc = 1,
    kKanjiJis = 2,
    kKanjiSjis = 3,
    kKanjiUtf8 = 4,
};

// Decides at the first decisive byte: ESC is JIS; 0xFD or 0xFE is EUC; 0x80 to 0xA0 is Shift-JIS
// (a byte EUC never uses). A text without any of them reads as EUC, which leaves ASCII as it is.
DetectedCode DetectKanjiCode(std::string_view text);
DetectedCode DetectKanjiCode(const core::BoardWorkspace& workspace);

// Converts data[0, size) in place from the code the setting names; SJIS and unknown settings
// leave it untouched. AUTO reads a text that LooksLikeUtf8 as UTF-8 and detects any other. Returns
// the length of the converted text.
std::size_t ConvertKanjiCode(char* data, std::size_t size, int setting);
void ConvertKanjiCode(std::string& text, int setting);
void ConvertKanjiCode(core::BoardWorkspace& workspace, int setting);

// The Shift-JIS bytes of a JIS X 0208 pair (high bits ignored), lead byte in the high half. A row
// or cell outside 0x21 to 0x7E has no character (EUC's single shifts end up here, as does a line
// feed inside a double-byte run of JIS) and gives the geta mark 0x81 0xAC, so no stray ASCII
// markup byte can come out of a broken pair.
std::uint16_t JisPairToSjis(unsigned char first, unsigned char second);

}  // namespace quor::convert
