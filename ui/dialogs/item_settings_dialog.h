#pragma once

// The item settings dialog ("設定"): the one place where a board is defined. It edits the
// board's name and URL and holds, on three tabs, the BBS type page, the page-turn page and the
// conversion page of the same board number.
//
// The dialog does not write the name and URL itself: its caller (the board tree) reads them
// with Name() and Url() and writes Data n and Url n. OK first checks every value, then saves the
// three pages in tab order and keeps the name and URL; Cancel writes nothing and leaves the name
// and URL as they were loaded.

#include <QDialog>
#include <optional>
#include <string>

#include "core/settings_store.h"
#include "ui/dialogs/dialog_controls.h"

class QLineEdit;
class QTabWidget;

namespace quor::ui {

class CBbsTypePage;
class CConversionPage;
class CPageTurnPage;

class CItemSettingsDialog final : public QDialog {
    Q_OBJECT
public:
    // A URL takes at most this many bytes less one; longer ones are refused.
    static constexpr std::size_t kUrlLimit = 1024;

    // For a board number of 1 or more the name and URL are loaded from Data n and Url n; the
    // initial name and URL (CP932) stand where the store holds nothing.
    CItemSettingsDialog(core::SettingsStore& store, int boardNumber, QWidget* parent = nullptr,
                        const std::string& initialName = {}, const std::string& initialUrl = {});

    // The name and URL (CP932): as typed after OK, as loaded otherwise.
    const std::string& Name() const { return name_; }
    const std::string& Url() const { return url_; }
    int BoardNumber() const { return boardNumber_; }

    void accept() override;

protected:
    void showEvent(QShowEvent* event) override;

private:
    std::optional<FieldProblem> Validate() const;

    core::SettingsStore& store_;
    const int boardNumber_;
    std::string name_;
    std::string url_;
    QLineEdit* nameEdit_ = nullptr;
    QLineEdit* urlEdit_ = nullptr;
    QTabWidget* tabs_ = nullptr;
    ui::CBbsTypePage* bbsTypePage_ = nullptr;
    ui::CPageTurnPage* pageTurnPage_ = nullptr;
    ui::CConversionPage* conversionPage_ = nullptr;
};

}  // namespace quor::ui
