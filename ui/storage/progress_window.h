#pragma once

// The small modeless window of long loops on the user-interface thread (saving and loading the
// boards): a status text, a progress bar, a percentage and a Cancel button. While it is open it
// keeps its owner (the main window) disabled, and every update first handles the events that
// are waiting, so the main window keeps painting and Cancel stays responsive although the loop
// never returns to the event loop. Enter does nothing; Cancel, Escape and the close box only
// set the cancel flag, which the window keeps for whoever asks; save and load run to their end
// and never ask.
//
// Widget layer: built into quor_widgets, never into the engine.

#include <QDialog>
#include <QPointer>
#include <memory>
#include <string>

#include "core/frontend.h"

class QLabel;
class QProgressBar;

namespace quor::ui {

// The percentage text of a position: (position - lower) * 100 / (upper - lower), truncated;
// any value but 100 is taken modulo 100, so positions past the range wrap while exactly 100
// stays. An empty range (upper == lower) shows "100%" rather than dividing by zero.
std::string ProgressPercentText(int lower, int upper, int position);

class CProgressWindow final : public QDialog {
    Q_OBJECT
public:
    CProgressWindow();
    ~CProgressWindow() override;

    // Disables the owner (the main window when null) if it is enabled, and shows the window.
    bool OpenProgress(QWidget* owner = nullptr);
    void SetProgressRange(int lower, int upper);
    // Handles waiting events, moves the bar and updates the percentage; the previous position.
    int ShowProgress(int position);
    void SetProgressText(const QString& text);
    // Handles waiting events, then gives the cancel flag and clears it.
    bool CancelRequested();
    // Enables the owner again if this window disabled it, and hides the window.
    void DestroyWindow();

    void accept() override;  // Enter: nothing
    void reject() override;  // Cancel, Escape: only the flag

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    static void PumpMessages();

    QLabel* status_;
    QLabel* percent_;
    QProgressBar* bar_;
    int lower_ = 0;
    int upper_ = 100;
    int step_ = 10;
    int position_ = 0;
    bool cancel_ = false;
    bool ownerDisabled_ = false;
    QPointer<QWidget> owner_;
};

// The engine's progress display on a progress window.
std::unique_ptr<core::ProgressDisplay> OpenProgressDisplay(QWidget* owner);

}  // namespace quor::ui
