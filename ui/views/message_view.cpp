#include "ui/views/message_view.h"

#include <QFontDatabase>
#include <QStringList>

#include "app/command_ids.h"
#include "ui/common/widget_text.h"

namespace quor::ui {

namespace {

namespace cmd = app::command;

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
    QString text = Cp932ToQString(cp932);
    text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    setPlainText(text);
}

std::string CQuorDownView::Text() const {
    QString text = toPlainText();
    text.replace(QStringLiteral("\n"), QStringLiteral("\r\n"));
    return QStringToCp932(text);
}

bool CQuorDownView::HandlesCommand(int id) const {
    return id == cmd::kEditUndo || id == cmd::kEditCut || id == cmd::kEditCopy ||
           id == cmd::kEditPaste;
}

void CQuorDownView::OnCommand(int id) {
    switch (id) {
        case cmd::kEditUndo:
            undo();
            break;
        case cmd::kEditCut:
            cut();
            break;
        case cmd::kEditCopy:
            copy();
            break;
        case cmd::kEditPaste:
            paste();
            break;
        default:
            break;
    }
}

}  // namespace quor::ui
