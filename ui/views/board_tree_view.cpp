#include "ui/views/board_tree_view.h"

#include <QHeaderView>
#include <QMenu>
#include <QMessageBox>
#include <QMouseEvent>

#include "app/app_commands.h"
#include "app/board_removal.h"
#include "app/command_ids.h"
#include "core/settings_keys.h"
#include "ui/common/widget_text.h"
#include "ui/frame/command_table.h"
#include "ui/views/message_view.h"
#include "ui/views/post_list_view.h"

namespace quor::ui {

namespace {

namespace cmd = app::command;
namespace key = core::key;
using core::BoardKey;
using core::kSectionTree;

struct MenuEntry {
    int id;
    const char* text;
    bool separatorAfter;
};

constexpr MenuEntry kContextMenu[] = {
    {cmd::kNewItem, "取得ﾍﾟｰｼﾞの追加", false},
    {cmd::kDeleteItem, "項目ﾍﾟｰｼﾞの削除", false},
    {cmd::kEditItemLabel, "取得ﾍﾟｰｼﾞの編集", true},
    {cmd::kFetchSettings, "取得設定", true},
    {cmd::kFetchFromWeb, "Webから取得", false},
    {cmd::kConvertFromBuffer, "ﾊﾞｯﾌｧから変換", false},
    {cmd::kBufferPreview, "ﾊﾞｯﾌｧﾌﾟﾚﾋﾞｭｰ", false},
};

}  // namespace

CQuorView::CQuorView(core::CQuorApp& app, QWidget* parent)
    : QTreeWidget(parent),
      app_(app),
      openItemSettings_(
          [&app](QWidget* owner, int number) { return OpenItemSettings(owner, app, number); }),
      iconPaths_{Utf8ToQString(kTreeBoardIcon), Utf8ToQString(kTreeSelectedIcon),
                 Utf8ToQString(kTreePageIcon)} {
    setObjectName(QStringLiteral("CQuorView"));
    setHeaderHidden(true);
    setColumnCount(1);
    setRootIsDecorated(true);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setEditTriggers(QAbstractItemView::SelectedClicked | QAbstractItemView::EditKeyPressed);
    setIconSize(QSize(16, 16));
    BuildContextMenu();
    connect(this, &QTreeWidget::itemSelectionChanged, this, &CQuorView::OnTreeSelChanged);
}

void CQuorView::SetPanes(CQuorUpView* list, CQuorDownView* message) {
    listView_ = list;
    messageView_ = message;
}

void CQuorView::BuildContextMenu() {
    contextMenu_ = new QMenu(QStringLiteral("Tree-System"), this);
    contextMenu_->setObjectName(QStringLiteral("menu134"));
    for (const MenuEntry& entry : kContextMenu) {
        QAction* action = contextMenu_->addAction(Utf8ToQString(entry.text));
        action->setObjectName(QStringLiteral("cmd%1").arg(entry.id));
        action->setData(entry.id);
        const int id = entry.id;
        connect(action, &QAction::triggered, this, [this, id] { OnCommand(id); });
        if (entry.separatorAfter)
            contextMenu_->addSeparator();
    }
}

bool CQuorView::LoadImages() {
    std::vector<QPixmap> images;
    for (const QString& path : iconPaths_) {
        QPixmap image(path);
        if (image.isNull())
            return false;
        images.push_back(image);
    }
    if (images.size() < 2)
        return false;
    itemIcon_ = QIcon();
    itemIcon_.addPixmap(images[0], QIcon::Normal);
    itemIcon_.addPixmap(images[1], QIcon::Selected);
    return true;
}

QTreeWidgetItem* CQuorView::InsertItem(QTreeWidgetItem* parent, const std::string& name) {
    auto* item = new QTreeWidgetItem(QStringList{Cp932ToQString(name)});
    item->setIcon(0, itemIcon_);
    item->setFlags(item->flags() | Qt::ItemIsEditable);
    if (parent == nullptr)
        addTopLevelItem(item);
    else
        parent->addChild(item);
    return item;
}

void CQuorView::BuildTree() {
    const QSignalBlocker quiet(this);
    if (!LoadImages()) {
        itemIcon_ = QIcon();
        QMessageBox::information(this, QStringLiteral("quor"),
                                 Utf8ToQString("イメージリスト作成失敗"));
    }
    clear();
    entries_.clear();
    QTreeWidgetItem* root = InsertItem(nullptr, "BBS");
    entries_.push_back({-1, 0, {}, root});
    AddStoredBoards();
    root->setExpanded(true);
    clearSelection();
    setCurrentItem(nullptr);
}

void CQuorView::AddStoredBoards() {
    const core::SettingsStore& store = app_.Store();
    const int count = core::BoardCount(store);
    for (int n = static_cast<int>(entries_.size()); n <= count; ++n) {
        const int parent = app::EffectiveParent(store, n);
        const std::string name = store.ReadString(kSectionTree, BoardKey(key::kName, n), "");
        QTreeWidgetItem* item = InsertItem(entries_[parent].item, name);
        entries_.push_back({n - 1, parent, name, item});
    }
}

int CQuorView::EntrySearch(const QTreeWidgetItem* item) const {
    if (item == nullptr)
        return -1;
    for (std::size_t k = 0; k < entries_.size(); ++k) {
        if (entries_[k].item == item)
            return static_cast<int>(k);
    }
    return -1;
}

QTreeWidgetItem* CQuorView::SelectedItem() const {
    const QList<QTreeWidgetItem*> selected = selectedItems();
    return selected.isEmpty() ? nullptr : selected.first();
}

int CQuorView::SelectedEntryNumber() const {
    return EntrySearch(SelectedItem());
}

int CQuorView::SelectedBoard() const {
    return std::max(0, SelectedEntryNumber());
}

void CQuorView::OnTreeSelChanged() {
    if (ignoreSelection_)
        return;
    const int entry = SelectedEntryNumber();
    if (entry < 0)
        return;
    const int slot = entries_[entry].slot;
    // The list starts empty while slot 0 is already current, so the first board would never
    // fill it without the second condition.
    const bool listShowsIt = listView_ == nullptr || listView_->Filled();
    if (slot < 0 || (slot == app_.currentBoard.load() && listShowsIt))
        return;
    app_.currentBoard.store(slot);
    if (listView_ != nullptr) {
        listView_->RefreshPostList();
        listView_->SetLastShownPost(-1);
    }
}

void CQuorView::mousePressEvent(QMouseEvent* event) {
    if (event->button() != Qt::RightButton) {
        QTreeWidget::mousePressEvent(event);
        return;
    }
    QTreeWidgetItem* item = itemAt(event->position().toPoint());
    if (item == nullptr)
        return;
    setCurrentItem(item);
    item->setSelected(true);
    contextMenu_->exec(viewport()->mapToGlobal(event->position().toPoint()));
}

bool CQuorView::HandlesCommand(int id) const {
    switch (id) {
        case cmd::kNewItem:
        case cmd::kNewItemToolbar:
        case cmd::kDeleteItem:
        case cmd::kEditItemLabel:
        case cmd::kFetchSettings:
        case cmd::kFetchFromWeb:
        case cmd::kConvertFromBuffer:
        case cmd::kBufferPreview:
            return true;
        default:
            return false;
    }
}

void CQuorView::OnCommand(int id) {
    switch (id) {
        case cmd::kNewItem:
        case cmd::kNewItemToolbar:
            OnAddFetchPage();
            break;
        case cmd::kDeleteItem:
            OnDeleteItemPage();
            break;
        case cmd::kEditItemLabel:
            OnEditFetchPage();
            break;
        case cmd::kFetchSettings:
            OnFetchSettings();
            break;
        case cmd::kFetchFromWeb:
            OnFetchFromWeb();
            break;
        case cmd::kConvertFromBuffer:
            OnConvertFromBuffer();
            break;
        case cmd::kBufferPreview:
            OnBufferPreview();
            break;
        default:
            break;
    }
}

void CQuorView::OnAddFetchPage() {
    QTreeWidgetItem* selected = SelectedItem();
    if (selected == nullptr)
        return;
    const int number = static_cast<int>(entries_.size());
    if (number > core::kSlotCount) {
        QMessageBox::warning(
            this, QStringLiteral("quor"),
            Utf8ToQString("掲示板は%1個までしか登録できません").arg(core::kSlotCount));
        return;
    }
    const ItemSettingsResult result = openItemSettings_(this, number);
    if (!result.accepted)
        return;
    QTreeWidgetItem* item = InsertItem(selected, result.name);
    scrollToItem(item);
    const int parent = EntrySearch(selected);
    entries_.push_back({number - 1, parent, result.name, item});
    core::SettingsStore& store = app_.Store();
    store.WriteInt(kSectionTree, key::kCount, number);
    store.WriteInt(kSectionTree, BoardKey(key::kParent, number), parent);
    store.WriteString(kSectionTree, BoardKey(key::kName, number), result.name);
    store.WriteString(kSectionTree, BoardKey(key::kUrl, number), result.url);
}

void CQuorView::OnDeleteItemPage() {
    const int entry = SelectedEntryNumber();
    if (entry <= 0)
        return;
    if (app_.Run().IsActive()) {
        QMessageBox::warning(this, QStringLiteral("quor"),
                             Utf8ToQString("取得中は項目ﾍﾟｰｼﾞを削除できません"));
        return;
    }
    const app::BoardRemoval removal = app::RemoveBoardAndDescendants(app_, entry);
    {
        // Qt moves the selection while items go; the entry table is not valid until rebuilt.
        ignoreSelection_ = true;
        delete entries_[entry].item;
        clearSelection();
        setCurrentItem(nullptr);
        ignoreSelection_ = false;
    }
    std::vector<TreeEntry> kept{entries_[0]};
    for (std::size_t k = 1; k < entries_.size(); ++k) {
        const int to = k < removal.newNumber.size() ? removal.newNumber[k] : -1;
        if (to < 0)
            continue;
        TreeEntry moved = entries_[k];
        moved.slot = to - 1;
        moved.parent = moved.parent == 0 ? 0 : removal.newNumber[moved.parent];
        kept.push_back(std::move(moved));
    }
    entries_ = std::move(kept);
    // A board the store holds past the 64th has moved down into the tables.
    AddStoredBoards();
    FollowCurrentBoard(removal.newNumber);
}

void CQuorView::FollowCurrentBoard(const std::vector<int>& newNumber) {
    if (listView_ == nullptr)
        return;
    const int number = app_.currentBoard.load() + 1;
    if (number < 1 || number >= static_cast<int>(newNumber.size()) || newNumber[number] == number)
        return;
    // The board the list showed moved to another number, or went away with its posts.
    if (newNumber[number] > 0) {
        app_.currentBoard.store(newNumber[number] - 1);
        listView_->RefreshPostList();
    } else {
        app_.currentBoard.store(0);
        listView_->Clear();
    }
    listView_->SetLastShownPost(-1);
}

void CQuorView::OnEditFetchPage() {
    if (QTreeWidgetItem* item = SelectedItem())
        editItem(item, 0);
}

void CQuorView::OnFetchSettings() {
    const int entry = SelectedBoard();
    if (entry == 0)
        return;
    const ItemSettingsResult result = openItemSettings_(this, entry);
    core::SettingsStore& store = app_.Store();
    store.WriteString(kSectionTree, BoardKey(key::kName, entry), result.name);
    store.WriteString(kSectionTree, BoardKey(key::kUrl, entry), result.url);
    entries_[entry].item->setText(0, Cp932ToQString(result.name));
    entries_[entry].name = result.name;
}

void CQuorView::OnFetchFromWeb() {
    if (const int entry = SelectedBoard(); entry > 0)
        app::RunAppCommand(app_, cmd::kFetchSelected, entry);
}

void CQuorView::OnConvertFromBuffer() {
    // The engine makes the board current and refreshes the list when it converted anything.
    if (const int entry = SelectedBoard(); entry > 0)
        app::RunAppCommand(app_, cmd::kConvertFromBuffer, entry);
}

void CQuorView::OnBufferPreview() {
    const int entry = SelectedBoard();
    if (entry == 0 || messageView_ == nullptr)
        return;
    const auto preview = app::RunAppCommand(app_, cmd::kBufferPreview, entry);
    if (preview && preview->status == app::CommandResult::kDone)
        messageView_->SetText(preview->text);
}

}  // namespace quor::ui
