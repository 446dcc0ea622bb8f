#pragma once

// The BBS type page of a board (the first tab of the item settings dialog): the BBS script type,
// the order of title, name and date in the board's pages, the kanji code, the skip marker and the
// start and end markers of title, name, date and message.
//
// Keys of section Tree for board n: Type n, CCode n, Order n (list positions, default 0) and the
// strings Pass n, TitA n, TitB n, NameA n, NameB n, DateA n, DateB n, HonbunA n, HonbunB n
// (default empty), and Fields n, the field order as letters, in a box next to the order list.
// The row "message" has two boxes that nothing stores.

#include <QWidget>
#include <array>

#include "core/settings_store.h"
#include "ui/dialogs/dialog_controls.h"

class QComboBox;
class QGridLayout;
class QLineEdit;

namespace quor::ui {

class CBbsTypePage final : public ui::CSettingsPage {
    Q_OBJECT
public:
    // Builds the page and loads board n's values; for n of 0 or less it shows the defaults.
    CBbsTypePage(core::SettingsStore& store, int boardNumber, QWidget* parent = nullptr);

    int BoardNumber() const { return boardNumber_; }

    // Writes Type, CCode, Order, then the nine marker strings (empty ones included), then
    // Fields, in this order. A page without a board number (n of 0 or less) has no keys and writes
    // nothing.
    void SaveBbsTypePage();

    // The marker rows, top to bottom, each with its start box (left) and end box (right).
    static constexpr int kMarkerRows = 5;

private:
    void BuildLists(QGridLayout* grid);
    void BuildMarkerRows(QGridLayout* grid);
    void Load();

    core::SettingsStore& store_;
    const int boardNumber_;
    QComboBox* type_ = nullptr;
    QComboBox* order_ = nullptr;
    QComboBox* kanjiCode_ = nullptr;
    QLineEdit* fieldLetters_ = nullptr;
    QLineEdit* skipMarker_ = nullptr;
    std::array<std::array<QLineEdit*, 2>, kMarkerRows> markers_{};
    // What the lists showed when the page was loaded, kept for a stored position that no entry
    // has: such a value is written back unchanged rather than as "no selection".
    std::array<int, 3> loadedPositions_{};
};

}  // namespace quor::ui
