#include "ui/views/post_row_painter.h"

#include <QPainter>
#include <QStyle>
#include <QStyleOptionFocusRect>
#include <QWidget>

namespace quor::ui {

namespace {

constexpr int kMargin = 6;
constexpr int kShortenAbove = 12;  // a text wider than width - 12 is shortened
constexpr int kShortenTo = 5;      // until it is at most width - 5 wide
const QString kEllipsis = QStringLiteral("...");

// Moves back over one character; a surrogate pair counts as one.
qsizetype PreviousCharacter(const QString& text, qsizetype at) {
    if (at >= 2 && text.at(at - 1).isLowSurrogate() && text.at(at - 2).isHighSurrogate())
        return at - 2;
    return at - 1;
}

QRect Between(int left, int right, const QRect& row) {
    return QRect(left, row.top(), std::max(0, right - left), row.height());
}

void DrawCell(QPainter& painter, const QRect& row, const RowCell& cell, bool unread,
              const QFontMetrics& metrics) {
    const int right = cell.left + cell.width;
    const int flags = Qt::TextSingleLine | Qt::AlignVCenter;
    const auto measure = [&metrics](const QString& text) {
        return metrics.horizontalAdvance(text);
    };
    if (measure(cell.text) > cell.width - kShortenAbove) {
        const QString shortened = ShortenToFit(cell.text, cell.width, measure);
        painter.drawText(Between(cell.left + kMargin, right, row), flags | Qt::AlignLeft,
                         shortened);
        if (unread)
            painter.drawText(Between(cell.left + kMargin + 1, right, row), flags | Qt::AlignLeft,
                             shortened);
        return;
    }
    const int horizontal = static_cast<int>(cell.alignment & Qt::AlignHorizontal_Mask);
    painter.drawText(Between(cell.left + kMargin, right - kMargin, row), flags | horizontal,
                     cell.text);
    if (unread)
        painter.drawText(Between(cell.left + kMargin + 1, right - kMargin + 1, row),
                         flags | horizontal, cell.text);
}

}  // namespace

QString ShortenToFit(const QString& text, int columnWidth,
                     const std::function<int(const QString&)>& measure) {
    if (measure(text) <= columnWidth - kShortenAbove)
        return text;
    qsizetype keep = text.size();
    QString result;
    for (;;) {
        result = text.left(keep) + kEllipsis;
        if (measure(result) <= columnWidth - kShortenTo)
            break;
        keep = PreviousCharacter(text, keep);
        if (keep <= 0)
            break;
    }
    return result;
}

void PaintPostRow(QPainter& painter, const QRect& rowRect, const std::vector<RowCell>& cells,
                  RowState state, const QPalette& palette, const QFontMetrics& metrics,
                  const QWidget* widget) {
    painter.save();
    if (state.selected) {
        painter.fillRect(rowRect, palette.brush(QPalette::Highlight));
        painter.setPen(palette.color(QPalette::HighlightedText));
    } else {
        painter.fillRect(rowRect, palette.brush(QPalette::Base));
        painter.setPen(palette.color(QPalette::Text));
    }
    for (const RowCell& cell : cells) {
        if (!cell.text.isEmpty())
            DrawCell(painter, rowRect, cell, state.unread, metrics);
    }
    if (state.focused && widget != nullptr) {
        QStyleOptionFocusRect focus;
        focus.initFrom(widget);
        focus.rect = rowRect;
        focus.backgroundColor =
            palette.color(state.selected ? QPalette::Highlight : QPalette::Base);
        widget->style()->drawPrimitive(QStyle::PE_FrameFocusRect, &focus, &painter, widget);
    }
    painter.restore();
}

}  // namespace quor::ui
