#pragma once

// The board tree: the left pane. One root item "BBS" and one item per board of section Tree;
// selecting a board makes it the current board and refills the post list. The view owns the
// entry table, the only mapping from tree items to board numbers: entry k is board number k
// (slot k - 1), entry 0 the root.

#include <QTreeWidget>
#include <functional>
#include <string>
#include <vector>

#include "core/quor_app.h"
#include "ui/dialogs/item_settings_call.h"
#include "ui/frame/command_target.h"

class QMenu;

namespace quor::ui {

class CQuorUpView;
class CQuorDownView;

struct TreeEntry {
    int slot = -1;     // board number - 1; -1 for the root
    int parent = 0;    // entry number of the entry this one stands below
    std::string name;  // the board's Data%d, code page 932
    QTreeWidgetItem* item = nullptr;
};

class CQuorView final : public QTreeWidget, public CommandTarget {
    Q_OBJECT
public:
    using ItemSettingsOpener = std::function<ItemSettingsResult(QWidget*, int boardNumber)>;

    explicit CQuorView(core::CQuorApp& app, QWidget* parent = nullptr);

    void SetPanes(CQuorUpView* list, CQuorDownView* message);

    // Builds the tree from the store; once, at the view's initial update. Boards past the 64th
    // have no slot in the tables and get no item.
    void BuildTree();

    // The entry of an item, or -1; the only way from an item to its board.
    int EntrySearch(const QTreeWidgetItem* item) const;
    // The entry number of the selected item, or -1.
    int SelectedEntryNumber() const;
    const std::vector<TreeEntry>& Entries() const { return entries_; }
    QTreeWidgetItem* SelectedItem() const;
    // The context menu "Tree-System".
    QMenu* ContextMenu() const { return contextMenu_; }

    bool HandlesCommand(int id) const override;
    void OnCommand(int id) override;

protected:
    void mousePressEvent(QMouseEvent* event) override;

private:
    friend struct CQuorViewTesting;

    bool LoadImages();
    void BuildContextMenu();
    QTreeWidgetItem* InsertItem(QTreeWidgetItem* parent, const std::string& name);
    // Adds an item for each board of the store, up to the tables' 64, that has no entry yet.
    void AddStoredBoards();
    void OnTreeSelChanged();
    void OnAddFetchPage();
    void OnDeleteItemPage();
    void OnEditFetchPage();
    void OnFetchSettings();
    void OnFetchFromWeb();
    void OnConvertFromBuffer();
    void OnBufferPreview();
    void FollowCurrentBoard(const std::vector<int>& newNumber);
    // The selected board's entry number when it is a board (1 or more), otherwise 0.
    int SelectedBoard() const;

    core::CQuorApp& app_;
    CQuorUpView* listView_ = nullptr;
    CQuorDownView* messageView_ = nullptr;
    ItemSettingsOpener openItemSettings_;
    // Where the three images come from; a path that gives no picture fails the image list.
    std::vector<QString> iconPaths_;
    QIcon itemIcon_;
    std::vector<TreeEntry> entries_;
    QMenu* contextMenu_ = nullptr;
    bool ignoreSelection_ = false;
};

}  // namespace quor::ui
