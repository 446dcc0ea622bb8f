#pragma once

// Small pieces shared by the settings dialogs and their pages: controls named after their
// resource ids, the number fields with their up/down buttons, and the check that stops a dialog
// before it writes.

#include <QString>
#include <QWidget>
#include <optional>
#include <string>
#include <string_view>

class QCheckBox;
class QKeyEvent;
class QLineEdit;
class QToolButton;

namespace quor::ui {

// Every control carries its resource id as object name ("ctl1016"), so tests and scripts can
// find it.
QString ControlName(int id);
template <typename Widget>
Widget* Named(Widget* widget, int id) {
    widget->setObjectName(ControlName(id));
    return widget;
}

QCheckBox* MakeCheckBox(int id, const QString& text, const QString& toolTip, QWidget* parent);
QLineEdit* MakeLineEdit(int id, const QString& toolTip, QWidget* parent);

// Shows a loaded text from its start: markers and addresses are read from the left.
void ShowLoadedText(QLineEdit* edit, const QString& text);

// An integer typed into a number field: optional blanks and sign around decimal digits, within
// [minimum, maximum]. Anything else gives nothing.
std::optional<long long> ParseNumberField(const QString& text, long long minimum,
                                          long long maximum);

// A value that keeps its dialog from writing: which field, and what to tell the user.
struct FieldProblem {
    QWidget* field = nullptr;
    QString message;
};

// The problem of a number field, if its text is not an integer within the range; the message
// names the field by its label and gives the range.
std::optional<FieldProblem> CheckNumberField(QLineEdit* field, const QString& label,
                                             long long minimum, long long maximum);

// Tells the user about the problem and puts the focus on the field, showing the tab page that
// holds it first.
void ReportProblem(QWidget* dialog, const FieldProblem& problem);

// The up/down buttons attached to a number edit: each press steps the edit's number by one,
// within the range (a number outside it comes back to the range); the Up and Down keys in the
// edit do the same. A text that is no number starts again at the range's minimum.
// The base of the board settings pages: Enter and Escape inside a page neither confirm nor
// cancel the dialog that holds it; only the dialog's own buttons and keys do.
class CSettingsPage : public QWidget {
    Q_OBJECT
public:
    using QWidget::QWidget;

protected:
    void keyPressEvent(QKeyEvent* event) override;
};

class CUpDownControl final : public QWidget {
    Q_OBJECT
public:
    CUpDownControl(int id, QLineEdit* buddy, int minimum, int maximum, QWidget* parent);

    void Step(int delta);
    int Minimum() const { return minimum_; }
    int Maximum() const { return maximum_; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QLineEdit* buddy_;
    int minimum_;
    int maximum_;
};

}  // namespace quor::ui
