#include "ui/convert/conversion_page.h"

#include <QCheckBox>
#include <QGroupBox>
#include <QVBoxLayout>
#include <array>
#include <string_view>

#include "core/settings_keys.h"
#include "ui/dialogs/dialog_controls.h"

namespace quor::ui {

namespace {

struct Switch {
    int id;
    const char* text;
    std::string_view stem;
    const char* toolTip;
    // Inside the group "本文変換設定", or below it.
    bool textConversion;
    // What a stored value means to its reader: the cleaner keeps a character only for exactly
    // 1, the scheduler skips a board for any nonzero value. The box shows that meaning, so
    // confirming the page never changes what a stored value does.
    bool onForAnyNonZero;
};

// Table order is the order of the boxes on the page and of the writes.
const std::array<Switch, 7> kSwitches = {{
    {1002, "改行を有効にする", core::key::kLineFeedSwitch, "改行を有効にするときにチェックします",
     true, false},
    {1028, "Spaceを有効にする", core::key::kSpaceSwitch, "スペースを有効にするときにチェックします",
     true, false},
    {1032, "Tabを有効にする", core::key::kTabSwitch, "タブを有効にするときにチェックします", true,
     false},
    {1031, "データを取得しない(disable)", core::key::kEnable, "取得しないときにチェックします",
     false, true},
    {1033, "大文字と小文字を区別しない", core::key::kNoCase,
     "タグを大文字で書く掲示板で，マーカーの英字を大文字と小文字の区別なく探すときにチェックします",
     false, false},
    {1034, "文字参照を変換する", core::key::kCharRef,
     "&#12354; や &copy; などの文字参照を文字に変換するときにチェックします", false, false},
    {1035, "ブラウザと同じ表示", core::key::kRender,
     "タグ・空白・改行・文字参照をブラウザと同じ規則で表示するときにチェックします．"
     "このとき改行・Space・Tabの設定は使われません",
     false, false},
}};

}  // namespace

CConversionPage::CConversionPage(core::SettingsStore& store, int boardNumber, QWidget* parent)
    : CSettingsPage(parent), store_(store), boardNumber_(boardNumber) {
    setObjectName(QStringLiteral("dlg143"));
    auto* layout = new QVBoxLayout(this);
    auto* group = new QGroupBox(QString::fromUtf8("本文変換設定"), this);
    auto* groupLayout = new QVBoxLayout(group);
    layout->addWidget(group);
    for (const Switch& entry : kSwitches) {
        QWidget* owner = entry.textConversion ? static_cast<QWidget*>(group) : this;
        QCheckBox* box = ui::MakeCheckBox(entry.id, QString::fromUtf8(entry.text),
                                          QString::fromUtf8(entry.toolTip), owner);
        if (entry.textConversion)
            groupLayout->addWidget(box);
        else
            layout->addWidget(box);
        boxes_.push_back(box);
    }
    layout->addStretch(1);
    Load();
}

void CConversionPage::Load() {
    if (boardNumber_ < 1)
        return;
    for (std::size_t i = 0; i < kSwitches.size(); ++i) {
        const int value =
            store_.ReadInt(core::kSectionTree, core::BoardKey(kSwitches[i].stem, boardNumber_),
                           kSwitches[i].stem == core::key::kEnable ? core::defaults::kEnable
                                                                   : core::defaults::kSwitch);
        boxes_[i]->setChecked(kSwitches[i].onForAnyNonZero ? value != 0 : value == 1);
    }
}

void CConversionPage::SaveConversionPage() {
    if (boardNumber_ < 1)
        return;
    for (std::size_t i = 0; i < kSwitches.size(); ++i) {
        store_.WriteInt(core::kSectionTree, core::BoardKey(kSwitches[i].stem, boardNumber_),
                        boxes_[i]->isChecked() ? 1 : 0);
    }
}

}  // namespace quor::ui
