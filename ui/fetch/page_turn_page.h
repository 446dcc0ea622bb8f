#pragma once

// The page-turn page of a board (the second tab of the item settings dialog): the Referer and
// cookie texts sent with the board's requests, and how further pages are reached: the number of
// pages, the search text of the next-page analysis, the parameter posted with the page number
// and the analysis type.
//
// Keys of section Tree for board n, written in this order: Ref n, Cokkie n (a ticked box writes
// its text, a cleared one the empty string; a non-empty stored text shows the box ticked),
// PageCt n (0 to 100, default 1), PageBtn n and PageSent n (default "pg_line"), NextAna n (the
// position in the analysis list, -1 when none is selected). PNMethod n is shown by the POST/GET
// buttons and never written; the next-URL edit is neither loaded nor saved.

#include <QWidget>
#include <optional>

#include "core/settings_store.h"
#include "ui/dialogs/dialog_controls.h"

class QCheckBox;
class QComboBox;
class QLineEdit;
class QPlainTextEdit;
class QRadioButton;

namespace quor::ui {

class CPageTurnPage final : public ui::CSettingsPage {
    Q_OBJECT
public:
    static constexpr int kMinPageCount = 0;
    static constexpr int kMaxPageCount = 100;

    // Builds the page and loads board n's values; for n of 0 or less it shows its initial
    // values (everything empty, page count 0, POST).
    CPageTurnPage(core::SettingsStore& store, int boardNumber, QWidget* parent = nullptr);

    int BoardNumber() const { return boardNumber_; }

    // What keeps the page from being saved: a page count that is no integer from 0 to 100.
    std::optional<ui::FieldProblem> Validate() const;

    // Writes the six keys in their order when every value is valid; otherwise writes nothing
    // and gives the problem. A page without a board number (n of 0 or less) writes nothing.
    std::optional<ui::FieldProblem> SavePage();

private:
    QWidget* BuildHeaderRows();
    QWidget* BuildPageTurnGroup();
    void Load();

    core::SettingsStore& store_;
    const int boardNumber_;
    QCheckBox* refererOn_ = nullptr;
    QLineEdit* referer_ = nullptr;
    QCheckBox* cookieOn_ = nullptr;
    QLineEdit* cookie_ = nullptr;
    QLineEdit* pageCount_ = nullptr;
    QLineEdit* searchText_ = nullptr;
    QPlainTextEdit* sendText_ = nullptr;
    QRadioButton* post_ = nullptr;
    QRadioButton* get_ = nullptr;
    QComboBox* analysisType_ = nullptr;
    QLineEdit* nextUrl_ = nullptr;
};

}  // namespace quor::ui
