#pragma once

// The post list: the upper right pane. One row per post of the current board with the columns
// "Title", "Name", "Time" and "Status"; rows are drawn by the view so unread posts stand out in
// bold; a header click sorts by that column's bytes; selecting a row shows its post in the
// message view and marks it read.

#include <QTreeView>

#include "core/quor_app.h"
#include "ui/frame/command_target.h"

namespace quor::ui {

class CQuorDownView;
class PostListModel;

class CQuorUpView final : public QTreeView, public CommandTarget {
    Q_OBJECT
public:
    explicit CQuorUpView(core::CQuorApp& app, QWidget* parent = nullptr);

    void SetMessageView(CQuorDownView* view) { messageView_ = view; }

    // Empties the list and fills it from the current board's post table. GUI thread only; the
    // frontend carries calls of other threads here.
    void RefreshPostList();
    // Empties the list; the next board selected fills it again.
    void Clear();
    // Whether the list was filled since the program started (or last emptied by Clear).
    bool Filled() const { return filled_; }

    // Sorts the rows by the column's texts, ascending or descending as the one flag of all
    // columns says, and toggles the flag.
    void OnColumnClick(int column);
    bool Ascending() const { return ascending_; }

    int LastShownPost() const { return lastShownPost_; }
    void SetLastShownPost(int post) { lastShownPost_ = post; }

    PostListModel& Model() { return *model_; }

    bool HandlesCommand(int) const override { return false; }
    void OnCommand(int) override {}

protected:
    void drawRow(QPainter* painter, const QStyleOptionViewItem& option,
                 const QModelIndex& index) const override;

private:
    void OnPostItemChanged();

    core::CQuorApp& app_;
    PostListModel* model_;
    CQuorDownView* messageView_ = nullptr;
    int lastShownPost_ = -1;
    bool ascending_ = true;
    bool filled_ = false;
};

}  // namespace quor::ui
