#pragma once

// The conversion page of a board (the third tab of the item settings dialog): the line-feed,
// space and tab switches of the text cleaner, the box that keeps the board out of fetch-all
// runs, and the switches for markers in either case and for character references.
//
// Keys of section Tree for board n, written in this order: LFCV n, SPCV n, TGCV n, Enable n,
// NoCase n, CharRef n (integers, default 0; a ticked box stores 1, a cleared one 0).

#include <QWidget>
#include <vector>

#include "core/settings_store.h"
#include "ui/dialogs/dialog_controls.h"

class QCheckBox;

namespace quor::ui {

class CConversionPage final : public ui::CSettingsPage {
    Q_OBJECT
public:
    // Builds the page and loads board n's switches; for n of 0 or less every box stays cleared.
    CConversionPage(core::SettingsStore& store, int boardNumber, QWidget* parent = nullptr);

    int BoardNumber() const { return boardNumber_; }

    // Writes the six switches in their order. A page without a board number (n of 0 or less)
    // has no keys and writes nothing.
    void SaveConversionPage();

private:
    void Load();

    core::SettingsStore& store_;
    const int boardNumber_;
    // One box per entry of the switch table, in its order.
    std::vector<QCheckBox*> boxes_;
};

}  // namespace quor::ui
