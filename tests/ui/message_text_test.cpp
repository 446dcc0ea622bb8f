// The message text of a post, and the message view that shows it.

#include <gtest/gtest.h>

#include <QFontDatabase>

#include "desktop_fixture.h"
#include "ui/views/message_text.h"
#include "ui/views/message_view.h"

namespace quor::ui {
namespace {

using test::Sjis;

TEST(MessageText, FieldsInTheirLinesWithCodePage932Brackets) {
    const core::Post post{Sjis("題"), Sjis("名前"), "2024/05/01 10:00", "line1\r\nline2", 1};
    EXPECT_EQ(BuildMessageText(post),
              Sjis("【Title】題\r\n【Name】名前\r\n【Date】2024/05/01 10:00\r\n【Message】\r\n\r\n"
                   "line1\r\nline2\r\n"));
    // 【 and 】 are 0x81 0x79 and 0x81 0x7A.
    EXPECT_EQ(BuildMessageText(post).substr(0, 2), "\x81\x79");
}

TEST(MessageText, EmptyFieldsStillGiveEveryLine) {
    const std::string text = BuildMessageText(core::Post{});
    EXPECT_EQ(text, Sjis("【Title】\r\n【Name】\r\n【Date】\r\n【Message】\r\n\r\n\r\n"));

    CQuorDownView view;
    view.SetText(text);
    const QStringList lines = view.toPlainText().split(QLatin1Char('\n'));
    ASSERT_GE(lines.size(), 6);
    EXPECT_EQ(lines[0], QStringLiteral("【Title】"));
    EXPECT_EQ(lines[3], QStringLiteral("【Message】"));
    EXPECT_EQ(lines[4], QString());
    EXPECT_EQ(lines[5], QString());
    EXPECT_EQ(view.Text(), text) << "line ends come back as CR LF";
}

TEST(MessageView, NewTextReplacesEverythingTypedBefore) {
    CQuorDownView view;
    view.SetText(Sjis("最初の投稿"));
    view.moveCursor(QTextCursor::End);
    view.insertPlainText(QStringLiteral("typed by the user"));
    view.SetText(Sjis("次の投稿"));
    EXPECT_EQ(view.toPlainText(), QStringLiteral("次の投稿"));
    view.SetText({});
    EXPECT_TRUE(view.toPlainText().isEmpty());
}

TEST(MessageView, FontIsTheWantedFaceOrAnInstalledJapaneseOne) {
    const QString family = CQuorDownView::ChooseFontFamily();
    const QStringList installed = QFontDatabase::families();
    if (installed.contains(QStringLiteral("ＭＳ ゴシック"))) {
        EXPECT_EQ(family, QStringLiteral("ＭＳ ゴシック"));
    } else if (installed.contains(QStringLiteral("Noto Sans Mono CJK JP"))) {
        EXPECT_EQ(family, QStringLiteral("Noto Sans Mono CJK JP"));
    }
    EXPECT_TRUE(installed.contains(family) ||
                family == QFontDatabase::systemFont(QFontDatabase::FixedFont).family());
    CQuorDownView view;
    EXPECT_EQ(view.document()->defaultFont().family(), family);
    EXPECT_EQ(view.document()->defaultFont().pointSize(), 9);
}

}  // namespace
}  // namespace quor::ui
