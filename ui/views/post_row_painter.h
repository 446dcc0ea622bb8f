#pragma once

// Drawing of one post list row: selection colours, 6-pixel margins, texts wider than their
// column shortened with "...", and unread posts drawn twice one pixel apart (their bold look).

#include <QFontMetrics>
#include <QPalette>
#include <QRect>
#include <QString>
#include <functional>
#include <vector>

class QPainter;
class QStyle;
class QWidget;

namespace quor::ui {

// The text that fits a column: unchanged when its width is at most width - 12; otherwise cut
// one character at a time from the end, with "..." after the kept part, until the result is at
// most width - 5 wide or only one character is left before the "...".
QString ShortenToFit(const QString& text, int columnWidth,
                     const std::function<int(const QString&)>& measure);

struct RowCell {
    int left = 0;
    int width = 0;
    QString text;
    Qt::Alignment alignment = Qt::AlignLeft;
};

struct RowState {
    bool selected = false;
    bool unread = false;
    bool focused = false;  // the row has the focus and the list has the keyboard focus
};

// Draws the row into rowRect (its height and vertical place; the cells give the columns).
void PaintPostRow(QPainter& painter, const QRect& rowRect, const std::vector<RowCell>& cells,
                  RowState state, const QPalette& palette, const QFontMetrics& metrics,
                  const QWidget* widget);

}  // namespace quor::ui
