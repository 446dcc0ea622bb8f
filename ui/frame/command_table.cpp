#include "ui/frame/command_table.h"

#include <QtGlobal>
#include <algorithm>
#include <array>

#include "app/command_ids.h"

namespace quor::ui {

namespace cmd = app::command;

namespace {

constexpr std::array kCommandTexts{
    CommandText{cmd::kFetchAll, "全取得", "全取得"},
    CommandText{cmd::kFetchSelected, "選択取得", "選択部分取得"},
    CommandText{cmd::kStopFetching, "取得中止", "取得中止"},
    CommandText{cmd::kRestore, "リストア", "最後の情報を復元"},
    CommandText{cmd::kSave, "セーブ", "掲示板情報の書き出し"},
    CommandText{cmd::kClear, "クリア", "復元情報を削除"},
    CommandText{cmd::kLoad, "ロード", "掲示板情報の読みこみ"},
    CommandText{cmd::kNewItemToolbar, "新規項目", "新規項目"},
    CommandText{cmd::kUnreadCheck, "未読チェック", "未読情報を検出"},
    CommandText{cmd::kWriteReadState, "既読情報書き出し", "既読情報の書き出し"},
    CommandText{cmd::kAbout, "ﾌﾟﾛｸﾞﾗﾑの情報、ﾊﾞｰｼﾞｮﾝそして著作権を表示", "ﾊﾞｰｼﾞｮﾝ情報"},
    CommandText{cmd::kFileNew, "新規にﾌｧｲﾙを作成", "新規ﾌｧｲﾙ"},
    CommandText{cmd::kFileOpen, "既存のﾌｧｲﾙを開く", "開く"},
};

constexpr std::array kToolbar{
    ToolbarSlot{cmd::kNewItemToolbar, ":/icons/new_item.xpm"},
    ToolbarSlot{cmd::kLoad, ":/icons/load.xpm"},
    ToolbarSlot{cmd::kSave, ":/icons/save.xpm"},
    ToolbarSlot{},
    ToolbarSlot{cmd::kFetchAll, ":/icons/fetch_all.xpm"},
    ToolbarSlot{cmd::kFetchSelected, ":/icons/fetch_selected.xpm"},
    ToolbarSlot{cmd::kStopFetching, ":/icons/stop.xpm"},
    ToolbarSlot{},
    ToolbarSlot{cmd::kLoad, ":/icons/load.xpm"},
    ToolbarSlot{cmd::kSave, ":/icons/save.xpm"},
    ToolbarSlot{cmd::kRestore, ":/icons/restore.xpm"},
    ToolbarSlot{cmd::kClear, ":/icons/clear.xpm"},
    ToolbarSlot{},
    ToolbarSlot{cmd::kUnreadCheck, ":/icons/unread_check.xpm"},
    ToolbarSlot{cmd::kWriteReadState, ":/icons/write_read_state.xpm"},
    ToolbarSlot{},
    ToolbarSlot{cmd::kAbout, ":/icons/about.xpm"},
};

}  // namespace

const CommandText* FindCommandText(int id) {
    const auto* found = std::find_if(kCommandTexts.begin(), kCommandTexts.end(),
                                     [id](const CommandText& text) { return text.id == id; });
    return found == kCommandTexts.end() ? nullptr : found;
}

std::span<const ToolbarSlot> ToolbarLayout() {
    return kToolbar;
}

}  // namespace quor::ui

// Q_INIT_RESOURCE must be used outside any namespace.
static void InitQuorResources() {
    Q_INIT_RESOURCE(quor);
}

void quor::ui::InitResources() {
    InitQuorResources();
}
