#include "ui/dialogs/dialog_controls.h"

#include <QCheckBox>
#include <QEvent>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMessageBox>
#include <QTabWidget>
#include <QToolButton>
#include <QVBoxLayout>
#include <algorithm>
#include <limits>

namespace quor::ui {

QString ControlName(int id) {
    return QStringLiteral("ctl%1").arg(id);
}

QCheckBox* MakeCheckBox(int id, const QString& text, const QString& toolTip, QWidget* parent) {
    auto* box = Named(new QCheckBox(text, parent), id);
    box->setToolTip(toolTip);
    return box;
}

QLineEdit* MakeLineEdit(int id, const QString& toolTip, QWidget* parent) {
    auto* edit = Named(new QLineEdit(parent), id);
    edit->setToolTip(toolTip);
    return edit;
}

void ShowLoadedText(QLineEdit* edit, const QString& text) {
    edit->setText(text);
    edit->setCursorPosition(0);
}

std::optional<long long> ParseNumberField(const QString& text, long long minimum,
                                          long long maximum) {
    const QString digits = text.trimmed();
    // toLongLong alone would also take blanks after the sign; a number field takes an optional
    // sign directly followed by decimal digits.
    const bool signed_ = digits.startsWith(QLatin1Char('+')) || digits.startsWith(QLatin1Char('-'));
    const qsizetype first = signed_ ? 1 : 0;
    if (digits.size() == first)
        return std::nullopt;
    for (qsizetype i = first; i < digits.size(); ++i) {
        if (digits[i] < QLatin1Char('0') || digits[i] > QLatin1Char('9'))
            return std::nullopt;
    }
    bool ok = false;
    const long long value = digits.toLongLong(&ok, 10);
    if (!ok || value < minimum || value > maximum)
        return std::nullopt;
    return value;
}

std::optional<FieldProblem> CheckNumberField(QLineEdit* field, const QString& label,
                                             long long minimum, long long maximum) {
    if (ParseNumberField(field->text(), minimum, maximum))
        return std::nullopt;
    return FieldProblem{field, QString::fromUtf8("%1には %2 から %3 までの整数を入力してください。")
                                   .arg(label)
                                   .arg(minimum)
                                   .arg(maximum)};
}

void ReportProblem(QWidget* dialog, const FieldProblem& problem) {
    for (QWidget* w = problem.field; w && w != dialog; w = w->parentWidget()) {
        QWidget* stack = w->parentWidget();
        if (auto* tabs = qobject_cast<QTabWidget*>(stack ? stack->parentWidget() : nullptr)) {
            if (const int index = tabs->indexOf(w); index >= 0)
                tabs->setCurrentIndex(index);
        }
    }
    QMessageBox::warning(dialog, dialog->windowTitle(), problem.message);
    if (problem.field) {
        problem.field->setFocus(Qt::OtherFocusReason);
        if (auto* edit = qobject_cast<QLineEdit*>(problem.field))
            edit->selectAll();
    }
}

void CSettingsPage::keyPressEvent(QKeyEvent* event) {
    switch (event->key()) {
        case Qt::Key_Return:
        case Qt::Key_Enter:
        case Qt::Key_Escape:
            event->accept();
            return;
        default:
            QWidget::keyPressEvent(event);
    }
}

CUpDownControl::CUpDownControl(int id, QLineEdit* buddy, int minimum, int maximum, QWidget* parent)
    : QWidget(parent), buddy_(buddy), minimum_(minimum), maximum_(maximum) {
    setObjectName(ControlName(id));
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    const auto addButton = [&](Qt::ArrowType arrow, int delta) {
        auto* button = new QToolButton(this);
        button->setArrowType(arrow);
        button->setAutoRepeat(true);
        button->setFocusPolicy(Qt::NoFocus);
        button->setFixedSize(16, 11);
        connect(button, &QToolButton::clicked, this, [this, delta] { Step(delta); });
        layout->addWidget(button);
    };
    addButton(Qt::UpArrow, 1);
    addButton(Qt::DownArrow, -1);
    buddy_->installEventFilter(this);
}

void CUpDownControl::Step(int delta) {
    const auto current = ParseNumberField(buddy_->text(), std::numeric_limits<long long>::min(),
                                          std::numeric_limits<long long>::max());
    const long long next =
        current ? std::clamp<long long>(*current + delta, minimum_, maximum_) : minimum_;
    buddy_->setText(QString::number(next));
}

bool CUpDownControl::eventFilter(QObject* watched, QEvent* event) {
    if (watched == buddy_ && event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        if (key == Qt::Key_Up || key == Qt::Key_Down) {
            Step(key == Qt::Key_Up ? 1 : -1);
            return true;
        }
    }
    return QWidget::eventFilter(watched, event);
}

}  // namespace quor::ui
