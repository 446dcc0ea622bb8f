#include "ui/convert/bbs_type_page.h"

#include <QComboBox>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <string_view>

#include "core/settings_keys.h"
#include "ui/common/widget_text.h"
#include "ui/dialogs/dialog_controls.h"

namespace quor::ui {

namespace {

using ui::Named;

// The lists are filled by position: the stored value is the entry's position, so entries are
// only ever added at the end.
const std::array kTypeEntries = {"Custom",      "HyperBBS",   "VertexBBS",  "SMBBS",
                                 "FSBBS",       "MiniBBS",    "LightBoard", "TCUPBBS",
                                 "PersonalBBS", "TCUPMiniBBS"};
const std::array kOrderEntries = {"Default",         "Title>Name>Date", "Title>Date>Name",
                                  "Name>Title>Date", "Name>Date>Title", "Date>Title>Name",
                                  "Date>Name>Title"};
const std::array kKanjiCodeEntries = {"AUTO", "EUC", "JIS", "SJIS", "UTF-8"};

struct MarkerBox {
    int id;
    std::string_view stem;  // empty: a box that nothing stores
    const char* toolTip;
};

struct MarkerRow {
    const char* label;
    MarkerBox start;
    MarkerBox end;
};

constexpr const char* kUnusedTip = "未使用です";

const std::array<MarkerRow, CBbsTypePage::kMarkerRows> kMarkerRowTable = {{
    {"message", {1014, {}, kUnusedTip}, {1002, {}, kUnusedTip}},
    {"title",
     {1015, core::key::kTitleStart,
      "タイトルを識別する文字列を指定します．タイトルにしか使われない．直前の文字列を指定します"},
     {1005, core::key::kTitleEnd,
      "タイトルの終わりを指定する文字列を設定します．この文字列の直前までが有効になります"}},
    {"name",
     {1006, core::key::kNameStart,
      "名前を識別する文字列を指定します．名前にしか使われない直前の文字列を指定します"},
     {1007, core::key::kNameEnd,
      "名前の終わりを指定する文字列を設定します．この文字列の直前までが有効になります"}},
    {"date",
     {1008, core::key::kDateStart,
      "日付を識別する文字列を指定します．日付にしか使われない直前の文字列を指定します"},
     {1009, core::key::kDateEnd,
      "日付の終わりを指定する文字列を設定します．この文字列の直前までが有効になります"}},
    {"本文",
     {1010, core::key::kMessageStart,
      "本文を識別する文字列を指定します．本文にしか使われない文字列を指定します"},
     {1011, core::key::kMessageEnd,
      "本文の終わりを指定する文字列を設定します．この文字列の直前までが有効になります"}},
}};

template <std::size_t N>
QComboBox* MakeList(int id, const std::array<const char*, N>& entries, const char* toolTip,
                    QWidget* parent) {
    auto* list = Named(new QComboBox(parent), id);
    for (int position = 0; position < static_cast<int>(N); ++position)
        list->insertItem(position, QString::fromUtf8(entries[position]));
    list->setToolTip(QString::fromUtf8(toolTip));
    return list;
}

void AddRow(QGridLayout* grid, int row, const char* label, QWidget* field, int columnSpan = 2) {
    grid->addWidget(new QLabel(QString::fromUtf8(label), grid->parentWidget()), row, 0);
    grid->addWidget(field, row, 1, 1, columnSpan);
}

// A position the list has no entry for shows no selection; saving writes back what was loaded.
int SelectedOrLoaded(const QComboBox* list, int loaded) {
    return list->currentIndex() >= 0 ? list->currentIndex() : loaded;
}

}  // namespace

CBbsTypePage::CBbsTypePage(core::SettingsStore& store, int boardNumber, QWidget* parent)
    : CSettingsPage(parent), store_(store), boardNumber_(boardNumber) {
    setObjectName(QStringLiteral("dlg140"));
    auto* grid = new QGridLayout(this);
    BuildLists(grid);
    BuildMarkerRows(grid);
    grid->setRowStretch(grid->rowCount(), 1);
    Load();
}

void CBbsTypePage::BuildLists(QGridLayout* grid) {
    type_ =
        MakeList(1016, kTypeEntries,
                 "掲示板タイプを指定します．Customの場合は下記の欄すべてに入力してください", this);
    order_ = MakeList(1024, kOrderEntries,
                      "項目の並び順を指定します．特に必要がない限りデフォルトでかまいません", this);
    fieldLetters_ = ui::MakeLineEdit(
        1025,
        QString::fromUtf8("項目の並び順を文字で指定します（T タイトル，N 名前，D 日付，M 本文．例 "
                          "TMND）．各文字は1回まで，Mは必須です．正しく指定すると左の並び順より"
                          "優先され，ない項目は空になります．空欄なら左の並び順に従います"),
        this);
    kanjiCode_ = MakeList(1012, kKanjiCodeEntries,
                          "漢字コードを指定します．自動判別で失敗するときに設定してください", this);
    skipMarker_ = ui::MakeLineEdit(
        1013,
        QString::fromUtf8(
            "先頭に付加されている余計な文字列を．指定した文字列が出現するまで飛ばします"),
        this);
    AddRow(grid, 0, "BBSType", type_, 1);
    AddRow(grid, 1, "並び順", order_, 1);
    grid->addWidget(fieldLetters_, 1, 2);
    AddRow(grid, 2, "文字コード", kanjiCode_, 1);
    AddRow(grid, 3, "飛ばす位置", skipMarker_);
}

void CBbsTypePage::BuildMarkerRows(QGridLayout* grid) {
    const int firstRow = grid->rowCount();
    for (int row = 0; row < kMarkerRows; ++row) {
        const MarkerRow& entry = kMarkerRowTable[static_cast<std::size_t>(row)];
        grid->addWidget(new QLabel(QString::fromUtf8(entry.label), this), firstRow + row, 0);
        int column = 1;
        for (const MarkerBox* box : {&entry.start, &entry.end}) {
            QLineEdit* edit = ui::MakeLineEdit(box->id, QString::fromUtf8(box->toolTip), this);
            markers_[static_cast<std::size_t>(row)][static_cast<std::size_t>(column - 1)] = edit;
            grid->addWidget(edit, firstRow + row, column++);
        }
    }
    grid->setColumnStretch(1, 1);
    grid->setColumnStretch(2, 1);
}

void CBbsTypePage::Load() {
    loadedPositions_ = {0, 0, 0};
    if (boardNumber_ >= 1) {
        const auto readInt = [&](std::string_view stem, int fallback) {
            return store_.ReadInt(core::kSectionTree, core::BoardKey(stem, boardNumber_), fallback);
        };
        loadedPositions_ = {readInt(core::key::kType, core::defaults::kTypeInDialog),
                            readInt(core::key::kKanjiCode, core::defaults::kKanjiCode),
                            readInt(core::key::kOrder, core::defaults::kOrder)};
    }
    type_->setCurrentIndex(loadedPositions_[0]);
    kanjiCode_->setCurrentIndex(loadedPositions_[1]);
    order_->setCurrentIndex(loadedPositions_[2]);
    if (boardNumber_ < 1)
        return;

    const auto readText = [&](std::string_view stem) {
        return ui::Cp932ToQString(
            store_.ReadString(core::kSectionTree, core::BoardKey(stem, boardNumber_), ""));
    };
    ui::ShowLoadedText(skipMarker_, readText(core::key::kSkipMarker));
    ui::ShowLoadedText(fieldLetters_, readText(core::key::kFields));
    for (std::size_t row = 0; row < kMarkerRowTable.size(); ++row) {
        const MarkerBox* boxes[] = {&kMarkerRowTable[row].start, &kMarkerRowTable[row].end};
        for (std::size_t side = 0; side < 2; ++side) {
            if (!boxes[side]->stem.empty())
                ui::ShowLoadedText(markers_[row][side], readText(boxes[side]->stem));
        }
    }
}

void CBbsTypePage::SaveBbsTypePage() {
    if (boardNumber_ < 1)
        return;
    const auto writeInt = [&](std::string_view stem, int value) {
        store_.WriteInt(core::kSectionTree, core::BoardKey(stem, boardNumber_), value);
    };
    const auto writeText = [&](std::string_view stem, const QLineEdit* edit) {
        store_.WriteString(core::kSectionTree, core::BoardKey(stem, boardNumber_),
                           ui::QStringToCp932(edit->text()));
    };
    writeInt(core::key::kType, SelectedOrLoaded(type_, loadedPositions_[0]));
    writeInt(core::key::kKanjiCode, SelectedOrLoaded(kanjiCode_, loadedPositions_[1]));
    writeInt(core::key::kOrder, SelectedOrLoaded(order_, loadedPositions_[2]));
    writeText(core::key::kSkipMarker, skipMarker_);
    for (std::size_t row = 0; row < kMarkerRowTable.size(); ++row) {
        const MarkerBox* boxes[] = {&kMarkerRowTable[row].start, &kMarkerRowTable[row].end};
        for (std::size_t side = 0; side < 2; ++side) {
            if (!boxes[side]->stem.empty())
                writeText(boxes[side]->stem, markers_[row][side]);
        }
    }
    writeText(core::key::kFields, fieldLetters_);
}

}  // namespace quor::ui
