#include "ui/storage/progress_window.h"

#include <QApplication>
#include <QCloseEvent>
#include <QHBoxLayout>
#include <QLabel>
#include <QMainWindow>
#include <QProgressBar>
#include <QPushButton>
#include <QVBoxLayout>

#include "ui/common/widget_text.h"

namespace quor::ui {

namespace {

QWidget* MainWindow() {
    for (QWidget* widget : QApplication::topLevelWidgets()) {
        if (qobject_cast<QMainWindow*>(widget) != nullptr)
            return widget;
    }
    return nullptr;
}

class WindowProgress final : public core::ProgressDisplay {
public:
    explicit WindowProgress(QWidget* owner) { window_.OpenProgress(owner); }
    ~WindowProgress() override { window_.DestroyWindow(); }
    void SetRange(int lower, int upper) override { window_.SetProgressRange(lower, upper); }
    int Show(int position) override { return window_.ShowProgress(position); }
    void SetText(const std::string& text) override {
        window_.SetProgressText(Cp932ToQString(text));
    }

private:
    CProgressWindow window_;
};

}  // namespace

std::string ProgressPercentText(int lower, int upper, int position) {
    long long percent = 100;
    if (upper != lower) {
        percent = (static_cast<long long>(position) - lower) * 100 /
                  (static_cast<long long>(upper) - lower);
    }
    if (percent != 100)
        percent %= 100;
    return std::to_string(percent) + '%';
}

CProgressWindow::CProgressWindow()
    : status_(new QLabel(QStringLiteral("Static"), this)),
      percent_(new QLabel(QStringLiteral(" 0 %"), this)),
      bar_(new QProgressBar(this)) {
    // No parent: a child window would be disabled together with the owner it disables.
    setWindowFlags(Qt::Dialog | Qt::WindowTitleHint | Qt::WindowSystemMenuHint);
    setWindowTitle(QString());
    setObjectName(QStringLiteral("dlg102"));
    status_->setObjectName(QStringLiteral("ctl1023"));
    status_->setWordWrap(true);
    status_->setMinimumHeight(status_->fontMetrics().lineSpacing() * 2);
    status_->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    percent_->setObjectName(QStringLiteral("ctl1004"));
    percent_->setAlignment(Qt::AlignCenter);
    bar_->setObjectName(QStringLiteral("ctl1003"));
    bar_->setTextVisible(false);
    auto* cancel = new QPushButton(QStringLiteral("ｷｬﾝｾﾙ"), this);
    cancel->setObjectName(QStringLiteral("ctl2"));
    cancel->setAutoDefault(false);
    connect(cancel, &QPushButton::clicked, this, &CProgressWindow::reject);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(cancel);
    buttons->addStretch();
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(status_);
    layout->addWidget(percent_);
    layout->addWidget(bar_);
    layout->addLayout(buttons);
    resize(260, 140);
}

CProgressWindow::~CProgressWindow() {
    DestroyWindow();
}

bool CProgressWindow::OpenProgress(QWidget* owner) {
    owner_ = owner != nullptr ? owner : MainWindow();
    if (owner_ != nullptr && owner_->isEnabled()) {
        owner_->setEnabled(false);
        ownerDisabled_ = true;
    }
    bar_->setRange(lower_, upper_);
    bar_->setValue(lower_);
    position_ = lower_;
    if (owner_ != nullptr)
        move(owner_->geometry().center() - rect().center());
    show();
    return true;
}

void CProgressWindow::SetProgressRange(int lower, int upper) {
    lower_ = lower;
    upper_ = upper;
    // QProgressBar wants lower <= upper; an empty range still shows an empty bar.
    bar_->setRange(std::min(lower, upper), std::max(lower, upper));
}

int CProgressWindow::ShowProgress(int position) {
    PumpMessages();
    const int previous = position_;
    position_ = position;
    bar_->setValue(std::clamp(position, bar_->minimum(), bar_->maximum()));
    const QString text = QString::fromStdString(ProgressPercentText(lower_, upper_, position));
    if (percent_->text() != text)
        percent_->setText(text);
    return previous;
}

void CProgressWindow::SetProgressText(const QString& text) {
    status_->setText(text);
}

bool CProgressWindow::CancelRequested() {
    PumpMessages();
    return std::exchange(cancel_, false);
}

void CProgressWindow::DestroyWindow() {
    if (ownerDisabled_ && owner_ != nullptr)
        owner_->setEnabled(true);
    ownerDisabled_ = false;
    owner_ = nullptr;
    hide();
}

void CProgressWindow::accept() {}

void CProgressWindow::reject() {
    cancel_ = true;
}

void CProgressWindow::closeEvent(QCloseEvent* event) {
    cancel_ = true;
    event->ignore();
}

void CProgressWindow::PumpMessages() {
    // Only what is waiting; nothing waits for new events.
    QCoreApplication::processEvents(QEventLoop::AllEvents);
}

std::unique_ptr<core::ProgressDisplay> OpenProgressDisplay(QWidget* owner) {
    return std::make_unique<WindowProgress>(owner);
}

}  // namespace quor::ui
