#include "convert/kanji_code.h"

#include <gtest/gtest.h>
#include <iconv.h>

#include <optional>
#include <random>
#include <string>
#include <vector>

#include "core/board_workspace.h"

namespace quor::convert {
namespace {

// iconv's conversion of a whole input, or nothing when iconv refuses any of it.
std::optional<std::string> Iconv(const char* to, const char* from, const std::string& input) {
    iconv_t cd = iconv_open(to, from);
    if (cd == reinterpret_cast<iconv_t>(-1))
        return std::nullopt;
    std::string output(input.size() * 4 + 16, '\0');
    char* in = const_cast<char*>(input.data());
    std::size_t inLeft = input.size();
    char* out = output.data();
    std::size_t outLeft = output.size();
    const std::size_t result = iconv(cd, &in, &inLeft, &out, &outLeft);
    const bool flushed =
        iconv(cd, nullptr, nullptr, &out, &outLeft) != static_cast<std::size_t>(-1);
    iconv_close(cd);
    if (result == static_cast<std::size_t>(-1) || inLeft != 0 || !flushed)
        return std::nullopt;
    output.resize(output.size() - outLeft);
    return output;
}

std::string Hex(const std::string& bytes) {
    static const char digits[] = "0123456789ABCDEF";
    std::string text;
    for (const char c : bytes) {
        const auto byte = static_cast<unsigned char>(c);
        text += digits[byte >> 4];
        text += digits[byte & 0xF];
    }
    return text;
}

std::string Converted(std::string text, int setting) {
    ConvertKanjiCode(text, setting);
    return text;
}

struct Cell {
    std::string euc;
    std::string sjis;  // iconv's CP932 of the same character
};

// Every row and cell that iconv's EUC-JP decoder accepts, with iconv's CP932 bytes for it.
std::vector<Cell> AcceptedCells() {
    std::vector<Cell> cells;
    for (int row = 0x21; row <= 0x7E; ++row) {
        for (int cell = 0x21; cell <= 0x7E; ++cell) {
            const std::string euc{static_cast<char>(row | 0x80), static_cast<char>(cell | 0x80)};
            if (!Iconv("UTF-8", "EUC-JP", euc))
                continue;
            const auto sjis = Iconv("CP932", "EUC-JP", euc);
            EXPECT_TRUE(sjis) << "iconv has no CP932 form for EUC " << Hex(euc);
            if (sjis)
                cells.push_back({euc, *sjis});
        }
    }
    return cells;
}

std::string ToJis(const std::string& euc) {
    std::string jis;
    for (const char c : euc)
        jis += static_cast<char>(c & 0x7F);
    return jis;
}

TEST(KanjiCodeTest, EveryJisX0208CellMapsAsIconvDoes) {
    const std::vector<Cell> cells = AcceptedCells();
    // JIS X 0208 holds 6879 characters; fewer would mean the comparison missed rows.
    ASSERT_GE(cells.size(), 6879u);

    std::string eucRun, jisRun, expectedRun;
    for (const Cell& cell : cells) {
        // One pair alone takes the byte-at-a-time path of both decoders.
        EXPECT_EQ(Hex(Converted(cell.euc, kKanjiEuc)), Hex(cell.sjis)) << "EUC " << Hex(cell.euc);
        const std::string jis = "\x1b$B" + ToJis(cell.euc) + "\x1b(B";
        EXPECT_EQ(Hex(Converted(jis, kKanjiJis)), Hex(cell.sjis)) << "JIS " << Hex(cell.euc);
        eucRun += cell.euc;
        jisRun += ToJis(cell.euc);
        expectedRun += cell.sjis;
    }
    // All of them in one run take the sixteen-bytes-at-a-time path.
    EXPECT_EQ(Converted(eucRun, kKanjiEuc), expectedRun);
    EXPECT_EQ(Converted("\x1b$B" + jisRun + "\x1b(B", kKanjiJis), expectedRun);
}

TEST(KanjiCodeTest, MixedTextAgreesWithIconvAtEveryAlignment) {
    // ASCII runs of every length before and between pairs shift the pairs against the
    // sixteen-byte blocks.
    std::string utf8;
    for (int i = 0; i < 40; ++i)
        utf8 += std::string(i % 19, 'a') + "日本語のテキスト、漢字とかな。" + "<b>x</b>\n";
    const auto euc = Iconv("EUC-JP", "UTF-8", utf8);
    const auto jis = Iconv("ISO-2022-JP", "UTF-8", utf8);
    const auto sjis = Iconv("CP932", "UTF-8", utf8);
    ASSERT_TRUE(euc && jis && sjis);
    EXPECT_EQ(Converted(*euc, kKanjiEuc), *sjis);
    EXPECT_EQ(Converted(*jis, kKanjiJis), *sjis);
    EXPECT_EQ(Converted(*euc, kKanjiAuto), *sjis);
    EXPECT_EQ(Converted(*jis, kKanjiAuto), *sjis);
}

TEST(KanjiCodeTest, JisPairBetweenEscapesEndsRightAfterTheLetters) {
    // ESC $ B, the pair of 日 (0x46 0x7C), ESC ( B, three letters.
    std::string text = "\x1b$B\x46\x7c\x1b(Babc";
    ConvertKanjiCode(text, kKanjiJis);
    EXPECT_EQ(text,
              "\x93\xfa"
              "abc");
}

TEST(KanjiCodeTest, DetectionDecidesAtTheFirstDecisiveByte) {
    const struct {
        std::string text;
        DetectedCode expected;
    } cases[] = {
        {"", kDetectedEuc},
        {"plain ascii <b>text</b>\r\n", kDetectedEuc},
        {"ab\x1b$B", kDetectedJis},
        {"a\xfd\x1b", kDetectedEuc},
        {"a\xfe\x80", kDetectedEuc},
        {"a\x80\x1b", kDetectedSjis},
        {"a\xa0", kDetectedSjis},
        {"\x93\xfa", kDetectedSjis},     // Shift-JIS lead byte of 日
        {"\xa4\xa2\x1b", kDetectedJis},  // EUC pair bytes are not decisive
        {"\xa1\xa1", kDetectedEuc},
    };
    for (const auto& c : cases)
        EXPECT_EQ(DetectKanjiCode(c.text), c.expected) << Hex(c.text);
}

TEST(KanjiCodeTest, SettingsChooseTheDecoder) {
    const std::string ascii = "plain <b>ascii</b> text\r\n";
    EXPECT_EQ(DetectKanjiCode(ascii), kDetectedEuc);
    EXPECT_EQ(Converted(ascii, kKanjiAuto), ascii);
    EXPECT_EQ(Converted(ascii, kKanjiEuc), ascii);

    const std::string euc = "\xc6\xfc";  // 日
    EXPECT_EQ(Converted(euc, kKanjiAuto), "\x93\xfa");
    EXPECT_EQ(Converted(euc, kKanjiEuc), "\x93\xfa");
    for (const int untouched : {int{kKanjiSjis}, 5, -1, 99}) {
        EXPECT_EQ(Converted(euc, untouched), euc) << untouched;
        EXPECT_EQ(Converted("\x1b$B\x46\x7c\x1b(B", untouched), "\x1b$B\x46\x7c\x1b(B");
    }
    // Shift-JIS text is detected and left alone.
    EXPECT_EQ(Converted("\x93\xfa\x96\x7b", kKanjiAuto), "\x93\xfa\x96\x7b");

    // After a long run of markup AUTO still decides at the first decisive byte, and a UTF-8
    // text is still taken for UTF-8.
    const std::string markup = "<html><head><title>board</title></head>\r\n<body>";
    EXPECT_EQ(Converted(markup + euc, kKanjiAuto), markup + "\x93\xfa");
    EXPECT_EQ(Converted(markup + "\x1b$B\x46\x7c\x1b(B", kKanjiAuto), markup + "\x93\xfa");
    EXPECT_EQ(Converted(markup + "\x93\xfa", kKanjiAuto), markup + "\x93\xfa");
    EXPECT_EQ(Converted(markup + "\xe6\x97\xa5", kKanjiAuto), markup + "\x93\xfa");
    EXPECT_EQ(Converted(markup + "\xe6\x97\xa5\x1b", kKanjiAuto), markup + "\xe6\x97\xa5\x1b")
        << "an ESC anywhere rules UTF-8 out, and 0x97 then reads as Shift-JIS";

    core::BoardWorkspace workspace("\x1b$B\x46\x7c\x1b(Bz");
    EXPECT_EQ(DetectKanjiCode(workspace), kDetectedJis);
    ConvertKanjiCode(workspace, kKanjiAuto);
    EXPECT_EQ(workspace.Text(),
              "\x93\xfa"
              "z");
}

TEST(KanjiCodeTest, CutAndBrokenSequencesStayInsideTheText) {
    const struct {
        std::string input;
        int setting;
        std::string expected;
    } cases[] = {
        // An EUC lead byte cut off by the end stays as it is.
        {"ab\xc6", kKanjiEuc, "ab\xc6"},
        {"\xc6\xfc\xc6", kKanjiEuc, "\x93\xfa\xc6"},
        // A JIS pair cut off by the end is dropped.
        {"a\x1b$B\x46", kKanjiJis, "a"},
        {"\x1b$B\x46\x7c\x46", kKanjiJis, "\x93\xfa"},
        // An escape sequence at the end, whole or cut, ends the text.
        {"ab\x1b", kKanjiJis, "ab"},
        {"ab\x1b$", kKanjiJis, "ab"},
        {"ab\x1b$B", kKanjiJis, "ab"},
        {"\x1b$B\x46\x7c\x1b", kKanjiJis, "\x93\xfa"},
        {"\x1b$B\x46\x7c\x1b(", kKanjiJis, "\x93\xfa"},
        // Any escape toggles the mode, whatever it names.
        {"\x1b(B\x46\x7c\x1b$Bab", kKanjiJis,
         "\x93\xfa"
         "ab"},
        // EUC's single shifts are not recognised: the pair has no JIS X 0208 character.
        {"\x8e\xb1z", kKanjiEuc,
         "\x81\xac"
         "z"},
        // A line feed inside a double-byte run pairs up and has no character either.
        {"\x1b$B\n\x46\x1b(B", kKanjiJis, "\x81\xac"},
        {"", kKanjiJis, ""},
        {"", kKanjiEuc, ""},
    };
    for (const auto& c : cases)
        EXPECT_EQ(Hex(Converted(c.input, c.setting)), Hex(c.expected)) << Hex(c.input);
}

TEST(KanjiCodeTest, PairsOutsideTheCharacterSetGiveTheGetaMark) {
    for (int row = 0; row < 0x100; ++row) {
        for (const int cell : {0x00, 0x20, 0x21, 0x7E, 0x7F, 0xA0, 0xA1, 0xFE, 0xFF}) {
            const int j1 = row & 0x7F;
            const int j2 = cell & 0x7F;
            const std::uint16_t sjis =
                JisPairToSjis(static_cast<unsigned char>(row), static_cast<unsigned char>(cell));
            if (j1 < 0x21 || j1 > 0x7E || j2 < 0x21 || j2 > 0x7E) {
                EXPECT_EQ(sjis, 0x81AC) << row << " " << cell;
            } else {
                // A real pair never yields a byte below 0x40 in either half.
                EXPECT_GE(sjis >> 8, 0x81) << row << " " << cell;
                EXPECT_GE(sjis & 0xFF, 0x40) << row << " " << cell;
            }
        }
    }
}

// The decoders' rules one byte at a time, as a reference for the block-wise conversion.
std::string ReferenceEuc(const std::string& in) {
    std::string out = in;
    for (std::size_t i = 0; i < in.size();) {
        if (static_cast<unsigned char>(in[i]) < 0x80) {
            ++i;
            continue;
        }
        if (i + 1 >= in.size())
            break;
        const std::uint16_t sjis = JisPairToSjis(in[i], in[i + 1]);
        out[i] = static_cast<char>(sjis >> 8);
        out[i + 1] = static_cast<char>(sjis & 0xFF);
        i += 2;
    }
    return out;
}

std::string ReferenceJis(const std::string& in) {
    std::string out;
    bool doubleByte = false;
    for (std::size_t i = 0; i < in.size();) {
        if (in[i] == '\x1b') {
            ++i;
            while (i < in.size() && static_cast<unsigned char>(in[i]) < 0x40)
                ++i;
            if (i < in.size())
                ++i;
            doubleByte = !doubleByte;
        } else if (!doubleByte) {
            out += in[i++];
        } else if (i + 1 < in.size()) {
            const std::uint16_t sjis = JisPairToSjis(in[i], in[i + 1]);
            out += static_cast<char>(sjis >> 8);
            out += static_cast<char>(sjis & 0xFF);
            i += 2;
        } else {
            break;
        }
    }
    return out;
}

TEST(KanjiCodeTest, BlockwiseConversionFollowsTheByteRules) {
    // Runs of pairs, ASCII gaps, odd runs whose last byte pairs with ASCII, and escapes at every
    // offset of the sixteen-byte blocks.
    std::mt19937 engine(7);
    const std::string pieces[] = {"\xc6\xfc", "\xa4\xa2\xa4\xa4", "a",      "<b>",
                                  "\xb0",     "\x1b$B",           "\x1b(B", "\x46\x7c",
                                  "\x1b",     "\x8e\xb1",         "\n"};
    for (int round = 0; round < 3000; ++round) {
        std::string text;
        const int count = std::uniform_int_distribution<int>(0, 60)(engine);
        for (int k = 0; k < count; ++k)
            text += pieces[std::uniform_int_distribution<std::size_t>(
                0, std::size(pieces) - 1)(engine)];
        ASSERT_EQ(Hex(Converted(text, kKanjiEuc)), Hex(ReferenceEuc(text))) << Hex(text);
        ASSERT_EQ(Hex(Converted(text, kKanjiJis)), Hex(ReferenceJis(text))) << Hex(text);
    }
}

TEST(KanjiCodeTest, BufferVariantReportsTheShorterLength) {
    char buffer[] = "x\x1b$B\x46\x7c\x1b(By";
    const std::size_t length = ConvertKanjiCode(buffer, sizeof buffer - 1, kKanjiJis);
    EXPECT_EQ(std::string(buffer, length), "x\x93\xfay");
    char euc[] = "\xc6\xfc!";
    EXPECT_EQ(ConvertKanjiCode(euc, 3, kKanjiEuc), 3u);
    EXPECT_EQ(std::string(euc, 3), "\x93\xfa!");
}

}  // namespace
}  // namespace quor::convert
