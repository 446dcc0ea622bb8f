#include "ui/views/message_view.h"

#include <QFontDatabase>
#include <QStringList>

#include "ui/views/message_text.h"

namespace quor::ui {

namespace {

constexpr int kUndo = 57643;
constexpr int kCut = 57635;
constexpr int kCopy = 57634;
constexpr int kPaste = 57637;

}  // namespace

CQuorDownView::CQuorDownView(QWidget* parent) : QTextEdit(parent) {
    setObjectName(QStringLiteral("CQuorDownView"));
    setAcceptRichText(true);
    setLineWrapMode(QTextEdit::WidgetWidth);
    QFont font(ChooseFontFamily());
    font.setPointSize(9);
    document()->setDefaultFont(font);
    setFont(font);
}

QString CQuorDownView::ChooseFontFamily() {
    const QStringList installed = QFontDatabase::families();
    const QStringList wanted{QStringLiteral("ＭＳ ゴシック"),
                             QStringLiteral("MS Gothic"),
                             QStringLiteral("Noto Sans Mono CJK JP"),
                             QStringLiteral("IPAGothic"),
                             QStringLiteral("VL Gothic"),
                             QStringLiteral("Noto Sans CJK JP")};
    for (const QString& family : wanted) {
        if (installed.contains(family))
            return family;
    }
    return QFontDatabase::systemFont(QFontDatabase::FixedFont).family();
}

void CQuorDownView::SetText(std::string_view cp932) {
    QString text = ToQString(cp932);
    text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    setPlainText(text);
}

std::string CQuorDownView::Text() const {
    QString text = toPlainText();
    text.replace(QStringLiteral("\n"), QStringLiteral("\r\n"));
    return FromQString(text);
}

bool CQuorDownView::HandlesCommand(int id) const {
    return id == kUndo || id == kCut || id == kCopy || id == kPaste;
}

void CQuorDownView::OnCommand(int id) {
    switch (id) {
        case kUndo:
            undo();
            break;
        case kCut:
            cut();
            break;
        case kCopy:
            copy();
            break;
        case kPaste:
            paste();
            break;
        default:
            break;
    }
}

}  // namespace quor::ui
