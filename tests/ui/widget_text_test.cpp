// The crossing of texts into and out of widgets: engine text (code page 932) through iconv's
// CP932, the program's own UTF-8 tables as they are.

#include "ui/common/widget_text.h"

#include <gtest/gtest.h>

#include <string>
#include <string_view>

namespace quor::ui {
namespace {

TEST(WidgetText, Cp932RoundTripsThroughWidgetsAsIconvEncodes) {
    struct Row {
        std::string_view cp932;
        QString shown;
    };
    const Row rows[] = {
        {"\x82\xa0\x8a\xbf", QStringLiteral("あ漢")},
        {"\x87\x40", QStringLiteral("①")},             // NEC row 13
        {"\x81\x60", QStringLiteral("～")},            // the wave dash CP932 means
        {"\xfb\xfc", QStringLiteral("髙")},            // IBM row; another encoder writes EE E0
        {"\xb1\xdd\xc3\xa8", QStringLiteral("ｱﾝﾃｨ")},  // half-width katakana are single bytes
        {"a=b; \"c\"\\", QStringLiteral("a=b; \"c\"\\")},
        {"", QString()},
    };
    for (const Row& row : rows) {
        EXPECT_EQ(Cp932ToQString(row.cp932), row.shown) << row.cp932;
        EXPECT_EQ(QStringToCp932(row.shown), row.cp932) << row.shown.toStdString();
    }
    // 髙 is held twice; its NEC-selected form EE E0 shows the same character and goes back in
    // iconv's form.
    EXPECT_EQ(QStringToCp932(Cp932ToQString("\xee\xe0")), "\xfb\xfc");
    // No CP932 form: the geta mark, one per character, and the rest stays.
    EXPECT_EQ(QStringToCp932(QStringLiteral("x😀€y")), "x\x81\xac\x81\xacy");
    EXPECT_EQ(Cp932ToQString(std::string_view("\x82\xa0\x82", 3)), QStringLiteral("あ〓"))
        << "a lead byte cut off at the end";
}

TEST(WidgetText, Utf8TextsTakeExactlyTheirLength) {
    const std::string_view label = "全取得(&G)";
    EXPECT_EQ(Utf8ToQString(label), QStringLiteral("全取得(&G)"));
    EXPECT_EQ(Utf8ToQString(label.substr(0, 6)), QStringLiteral("全取")) << "no terminator read";
    EXPECT_EQ(Utf8ToQString(std::string_view("a\0b", 3)).size(), 3);
}

}  // namespace
}  // namespace quor::ui
