#pragma once

// The post list's table model: one row per post of the current board, tied to its post only by
// the row's post index (the "item parameter"), so rows can be reordered freely without touching
// the board's post table. Cell texts are read from the board's workspace, under its lock, when
// a row is shown; nothing is copied at a refill, which keeps a refill of 100,000 posts cheap.

#include <QAbstractTableModel>
#include <vector>

#include "core/quor_app.h"

namespace quor::ui {

class PostListModel final : public QAbstractTableModel {
    Q_OBJECT
public:
    enum Role { kUnreadRole = Qt::UserRole + 1, kPostIndexRole };

    explicit PostListModel(core::CQuorApp& app, QObject* parent = nullptr);

    // Empties the list and fills it from the slot's post table, in table order.
    void Refill(int slot);
    // Reorders the rows by the byte order of one column's texts; selections follow their rows.
    void SortByColumn(int column, bool ascending);

    // The post a row stands for, -1 for a row that does not exist.
    int PostIndexAt(int row) const;
    int Slot() const { return slot_; }
    // Clears the unread flag of the row's post.
    void MarkRead(int row);

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

private:
    core::CQuorApp& app_;
    int slot_ = -1;
    std::vector<int> rows_;  // row -> post index
};

}  // namespace quor::ui
