#include "ui/frame/main_frame.h"

#include <QApplication>
#include <QCloseEvent>
#include <QLabel>
#include <QSplitter>
#include <QStatusBar>
#include <QStatusTipEvent>
#include <QToolBar>

#include "app/command_ids.h"
#include "ui/document/quor_doc.h"
#include "ui/frame/app_command_target.h"
#include "ui/frame/qt_frontend.h"
#include "ui/views/board_tree_view.h"
#include "ui/views/message_view.h"
#include "ui/views/post_list_view.h"

namespace quor::ui {

namespace cmd = app::command;

CMainFrame::CMainFrame(core::CQuorApp& app, QtFrontend* frontend) : app_(app), frontend_(frontend) {
    setObjectName(QStringLiteral("CMainFrame"));
    CreateClient();
    document_ = std::make_unique<ui::CQuorDoc>([this] { messageView_->clear(); });
    appCommands_ = std::make_unique<AppCommands>(app_, *this);
    CreateMenus();
    CreateToolBar();
    CreateStatusBar();
    CreateAccelerators();
    activeView_ = treeView_;
    connect(qApp, &QApplication::focusChanged, this,
            [this](QWidget*, QWidget* now) { OnFocusChanged(now); });
    resize(800, 600);
    UpdateCommandStates();
}

CMainFrame::~CMainFrame() {
    disconnect(qApp, nullptr, this, nullptr);
}

void CMainFrame::CreateClient() {
    outerSplitter_ = new QSplitter(Qt::Horizontal, this);
    outerSplitter_->setObjectName(QStringLiteral("splitterOuter"));
    treeView_ = new CQuorView(app_, outerSplitter_);
    innerSplitter_ = new QSplitter(Qt::Vertical, outerSplitter_);
    innerSplitter_->setObjectName(QStringLiteral("splitterInner"));
    innerSplitter_->setFrameShape(QFrame::StyledPanel);
    listView_ = new CQuorUpView(app_, innerSplitter_);
    messageView_ = new CQuorDownView(innerSplitter_);
    outerSplitter_->addWidget(treeView_);
    outerSplitter_->addWidget(innerSplitter_);
    innerSplitter_->addWidget(listView_);
    innerSplitter_->addWidget(messageView_);
    for (QSplitter* splitter : {outerSplitter_, innerSplitter_}) {
        splitter->setChildrenCollapsible(false);
        splitter->setStretchFactor(0, 0);
        splitter->setStretchFactor(1, 1);
    }
    outerSplitter_->setSizes({150, 650});
    innerSplitter_->setSizes({100, 200});
    treeView_->SetPanes(listView_, messageView_);
    listView_->SetMessageView(messageView_);
    setCentralWidget(outerSplitter_);
}

void CMainFrame::SetStatusLine(const QString& text) {
    messagePane_->setText(text);
}

QString CMainFrame::StatusLine() const {
    return messagePane_->text();
}

CommandRoute CMainFrame::Route() const {
    return CommandRoute(activeView_, document_.get(), const_cast<CMainFrame*>(this),
                        appCommands_.get());
}

bool CMainFrame::Dispatch(int id) {
    const bool handled = Route().Dispatch(id);
    UpdateCommandStates();
    return handled;
}

void CMainFrame::UpdateCommandStates() {
    const CommandRoute route = Route();
    for (const auto& [id, action] : actions_)
        action->setEnabled(route.HandlerOf(id) != nullptr);
    if (toolBarToggle_ != nullptr)
        toolBarToggle_->setChecked(!toolBar_->isHidden());
    if (statusBarToggle_ != nullptr)
        statusBarToggle_->setChecked(!statusBar()->isHidden());
}

void CMainFrame::OnFocusChanged(QWidget* now) {
    for (QWidget* widget = now; widget != nullptr; widget = widget->parentWidget()) {
        CommandTarget* view = nullptr;
        if (widget == treeView_)
            view = treeView_;
        else if (widget == listView_)
            view = listView_;
        else if (widget == messageView_)
            view = messageView_;
        if (view != nullptr) {
            activeView_ = view;
            UpdateCommandStates();
            return;
        }
    }
}

void CMainFrame::ActivatePane(int step) {
    const std::vector<QWidget*> panes{treeView_, listView_, messageView_};
    int at = 0;
    for (std::size_t k = 0; k < panes.size(); ++k) {
        if (activeView_ == dynamic_cast<CommandTarget*>(panes[k]))
            at = static_cast<int>(k);
    }
    const int count = static_cast<int>(panes.size());
    panes[static_cast<std::size_t>((at + step + count) % count)]->setFocus(Qt::OtherFocusReason);
}

bool CMainFrame::HandlesCommand(int id) const {
    return id == cmd::kAppExit || id == cmd::kViewToolbar || id == cmd::kViewStatusBar ||
           id == cmd::kNextPane || id == cmd::kPreviousPane;
}

void CMainFrame::OnCommand(int id) {
    switch (id) {
        case cmd::kAppExit:
            close();
            break;
        case cmd::kViewToolbar:
            toolBar_->setVisible(toolBar_->isHidden());
            break;
        case cmd::kViewStatusBar:
            statusBar()->setVisible(statusBar()->isHidden());
            break;
        case cmd::kNextPane:
            ActivatePane(1);
            break;
        case cmd::kPreviousPane:
            ActivatePane(-1);
            break;
        default:
            break;
    }
}

bool CMainFrame::event(QEvent* event) {
    if (event->type() == QEvent::StatusTip) {
        const QString tip = static_cast<QStatusTipEvent*>(event)->tip();
        SetStatusLine(tip.isEmpty() ? IdleText() : tip);
        return true;
    }
    return QMainWindow::event(event);
}

void CMainFrame::closeEvent(QCloseEvent* event) {
    // The document never holds anything to save, so closing never waits for a question.
    if (frontend_ != nullptr)
        frontend_->SetClosing();
    event->accept();
}

}  // namespace quor::ui
