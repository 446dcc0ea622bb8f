#include "ui/views/post_list_model.h"

#include <algorithm>
#include <array>
#include <numeric>
#include <string_view>

#include "ui/common/widget_text.h"
#include "ui/views/post_cells.h"

namespace quor::ui {

namespace {

const std::array<QString, kColumnCount> kHeaders{QStringLiteral("Title"), QStringLiteral("Name"),
                                                 QStringLiteral("Time"), QStringLiteral("Status")};

// A cell is one line: a line break inside it (the "Status" column holds the start of the
// message) is shown as one blank, so what is measured is what is drawn.
QString OneLine(QString text) {
    text.replace(QStringLiteral("\r\n"), QStringLiteral(" "));
    text.replace(QLatin1Char('\r'), QLatin1Char(' '));
    text.replace(QLatin1Char('\n'), QLatin1Char(' '));
    return text;
}

}  // namespace

PostListModel::PostListModel(core::CQuorApp& app, QObject* parent)
    : QAbstractTableModel(parent), app_(app) {}

void PostListModel::Refill(int slot) {
    beginResetModel();
    slot_ = slot;
    rows_.clear();
    if (core::IsValidSlot(slot)) {
        rows_.resize(app_.WithWorkspace(
            slot, [](const core::BoardWorkspace& workspace) { return workspace.posts.Count(); }));
        std::iota(rows_.begin(), rows_.end(), 0);
    }
    endResetModel();
}

void PostListModel::SortByColumn(int column, bool ascending) {
    if (rows_.empty() || !core::IsValidSlot(slot_))
        return;
    std::vector<int> order(rows_.size());
    std::iota(order.begin(), order.end(), 0);
    // The texts are read in place, so the lock is held for the length of the sort.
    app_.WithWorkspace(slot_, [&](const core::BoardWorkspace& workspace) {
        const auto& posts = workspace.posts;
        // The clicked column's text of each row, indexed by the row position before the sort.
        std::vector<std::string_view> texts(rows_.size());
        for (std::size_t row = 0; row < rows_.size(); ++row) {
            const auto post = static_cast<std::size_t>(rows_[row]);
            if (post < posts.Count())
                texts[row] = CellText(posts.At(post), column);
        }
        std::sort(order.begin(), order.end(), [&](int a, int b) {
            return ascending ? CompareCellBytes(texts[a], texts[b]) < 0
                             : CompareCellBytes(texts[b], texts[a]) < 0;
        });
    });

    emit layoutAboutToBeChanged({}, QAbstractItemModel::VerticalSortHint);
    std::vector<int> newRowOf(rows_.size());
    std::vector<int> sorted(rows_.size());
    for (std::size_t position = 0; position < order.size(); ++position) {
        sorted[position] = rows_[order[position]];
        newRowOf[order[position]] = static_cast<int>(position);
    }
    rows_ = std::move(sorted);
    const QModelIndexList before = persistentIndexList();
    QModelIndexList after;
    after.reserve(before.size());
    for (const QModelIndex& index : before)
        after.append(this->index(newRowOf[index.row()], index.column()));
    changePersistentIndexList(before, after);
    emit layoutChanged({}, QAbstractItemModel::VerticalSortHint);
}

int PostListModel::PostIndexAt(int row) const {
    if (row < 0 || row >= static_cast<int>(rows_.size()))
        return -1;
    return rows_[row];
}

void PostListModel::MarkRead(int row) {
    const int post = PostIndexAt(row);
    if (post < 0 || !core::IsValidSlot(slot_))
        return;
    app_.WithWorkspace(slot_, [post](core::BoardWorkspace& workspace) {
        if (static_cast<std::size_t>(post) < workspace.posts.Count())
            workspace.posts.At(post).unread = 0;
    });
    emit dataChanged(index(row, 0), index(row, kColumnCount - 1), {kUnreadRole});
}

int PostListModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(rows_.size());
}

int PostListModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : kColumnCount;
}

QVariant PostListModel::data(const QModelIndex& index, int role) const {
    if (!checkIndex(index, CheckIndexOption::IndexIsValid | CheckIndexOption::ParentIsInvalid))
        return {};
    const int post = rows_[index.row()];
    if (role == kPostIndexRole)
        return post;
    if (role != Qt::DisplayRole && role != kUnreadRole)
        return {};
    return app_.WithWorkspace(slot_, [&](const core::BoardWorkspace& workspace) -> QVariant {
        // A fetch may have emptied the table since the refill; the refill that follows fixes the
        // rows.
        if (static_cast<std::size_t>(post) >= workspace.posts.Count())
            return role == kUnreadRole ? QVariant(false) : QVariant(QString());
        const core::Post& entry = workspace.posts.At(post);
        if (role == kUnreadRole)
            return entry.unread == 1;
        return OneLine(Cp932ToQString(DrawnText(CellText(entry, index.column()))));
    });
}

QVariant PostListModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole || section < 0 ||
        section >= kColumnCount)
        return {};
    return kHeaders[section];
}

}  // namespace quor::ui
