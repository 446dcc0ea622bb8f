#include "ui/views/post_list_view.h"

#include <QHeaderView>
#include <QPainter>
#include <QStyledItemDelegate>
#include <optional>
#include <string>
#include <vector>

#include "ui/views/message_text.h"
#include "ui/views/message_view.h"
#include "ui/views/post_list_model.h"
#include "ui/views/post_row_painter.h"

namespace quor::ui {

namespace {

constexpr int kColumnWidths[] = {200, 100, 100, 120};

// Every row has the one height of a line of the list's font; a fallback face of a character may
// be taller, which must not make the rows uneven.
class FixedRowHeight final : public QStyledItemDelegate {
public:
    using QStyledItemDelegate::QStyledItemDelegate;
    QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex&) const override {
        return QSize(option.rect.width(), option.fontMetrics.height() + 4);
    }
};

}  // namespace

CQuorUpView::CQuorUpView(core::CQuorApp& app, QWidget* parent)
    : QTreeView(parent), app_(app), model_(new PostListModel(app, this)) {
    setObjectName(QStringLiteral("CQuorUpView"));
    setModel(model_);
    setItemDelegate(new FixedRowHeight(this));
    setRootIsDecorated(false);
    setItemsExpandable(false);
    setIndentation(0);
    setUniformRowHeights(true);
    setAllColumnsShowFocus(true);
    setSelectionBehavior(QAbstractItemView::SelectRows);
    setSelectionMode(QAbstractItemView::ExtendedSelection);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setSortingEnabled(false);

    QHeaderView* columns = header();
    columns->setStretchLastSection(false);
    columns->setSectionsClickable(true);
    columns->setSectionsMovable(false);
    columns->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    for (int column = 0; column < 4; ++column)
        columns->resizeSection(column, kColumnWidths[column]);
    connect(columns, &QHeaderView::sectionClicked, this, &CQuorUpView::OnColumnClick);
    connect(selectionModel(), &QItemSelectionModel::selectionChanged, this,
            &CQuorUpView::OnPostItemChanged);
}

void CQuorUpView::RefreshPostList() {
    model_->Refill(app_.currentBoard.load());
    ascending_ = true;
    filled_ = true;
}

void CQuorUpView::Clear() {
    model_->Refill(-1);
    filled_ = false;
}

void CQuorUpView::OnColumnClick(int column) {
    model_->SortByColumn(column, ascending_);
    ascending_ = !ascending_;
}

void CQuorUpView::OnPostItemChanged() {
    int firstRow = -1;
    for (const QModelIndex& index : selectionModel()->selectedRows()) {
        if (firstRow < 0 || index.row() < firstRow)
            firstRow = index.row();
    }
    if (firstRow < 0)
        return;
    const int post = model_->PostIndexAt(firstRow);
    if (post == -1 || post == lastShownPost_)
        return;
    lastShownPost_ = post;
    const int slot = model_->Slot();
    if (!core::IsValidSlot(slot))
        return;
    const std::optional<std::string> text =
        app_.WithWorkspace(slot, [post](const core::BoardWorkspace& workspace) {
            return static_cast<std::size_t>(post) < workspace.posts.Count()
                       ? std::optional(BuildMessageText(workspace.posts.At(post)))
                       : std::nullopt;
        });
    if (!text)
        return;
    model_->MarkRead(firstRow);
    if (messageView_ != nullptr)
        messageView_->SetText(*text);
}

void CQuorUpView::drawRow(QPainter* painter, const QStyleOptionViewItem& option,
                          const QModelIndex& index) const {
    const QHeaderView* columns = header();
    std::vector<RowCell> cells;
    cells.reserve(static_cast<std::size_t>(columns->count()));
    int right = option.rect.left();
    int left = option.rect.right();
    for (int column = 0; column < columns->count(); ++column) {
        RowCell cell;
        cell.left = columns->sectionViewportPosition(column);
        cell.width = columns->sectionSize(column);
        cell.text = model_->index(index.row(), column).data(Qt::DisplayRole).toString();
        cell.alignment = Qt::AlignLeft;
        left = std::min(left, cell.left);
        right = std::max(right, cell.left + cell.width);
        cells.push_back(std::move(cell));
    }
    RowState state;
    state.selected = selectionModel()->isSelected(model_->index(index.row(), 0));
    state.unread = model_->index(index.row(), 0).data(PostListModel::kUnreadRole).toBool();
    state.focused = hasFocus() && currentIndex().row() == index.row();
    const QRect rowRect(left, option.rect.top(), std::max(0, right - left), option.rect.height());
    PaintPostRow(*painter, rowRect, cells, state, palette(), fontMetrics(), this);
}

}  // namespace quor::ui
