// The main window's menus, toolbar, status bar and accelerators.

#include <QLabel>
#include <QMenuBar>
#include <QStatusBar>
#include <QToolBar>

#include "app/command_ids.h"
#include "ui/common/widget_text.h"
#include "ui/frame/command_table.h"
#include "ui/frame/main_frame.h"

namespace quor::ui {

namespace {

namespace cmd = app::command;

struct Accelerator {
    int id;
    std::vector<QKeySequence> keys;
};

}  // namespace

QString CMainFrame::IdleText() {
    return QStringLiteral("ﾚﾃﾞｨ");
}

QAction* CMainFrame::AddCommandAction(QWidget* owner, int id, const QString& text) {
    auto* action = new QAction(text, owner);
    action->setData(id);
    if (const CommandText* strings = FindCommandText(id)) {
        action->setStatusTip(Utf8ToQString(strings->prompt));
        if (!strings->toolTip.empty())
            action->setToolTip(Utf8ToQString(strings->toolTip));
    }
    connect(action, &QAction::triggered, this, [this, id] { Dispatch(id); });
    owner->addAction(action);
    actions_.emplace(id, action);
    return action;
}

void CMainFrame::CreateMenus() {
    // A menu item is named after its command ("menu32775").
    auto addItem = [this](QMenu* menu, int id, const QString& text) {
        QAction* action = AddCommandAction(menu, id, text);
        action->setObjectName(QStringLiteral("menu%1").arg(id));
        return action;
    };
    QMenuBar* bar = menuBar();
    bar->setObjectName(QStringLiteral("menu128"));
    QMenu* file = bar->addMenu(QStringLiteral("ﾌｧｲﾙ(&F)"));
    file->setObjectName(QStringLiteral("menuFile"));
    addItem(file, cmd::kFetchAllMenu, QStringLiteral("全取得(&G)"));
    file->addSeparator();
    addItem(file, cmd::kAppExit, QStringLiteral("ｱﾌﾟﾘｹｰｼｮﾝの終了(&X)"));

    QMenu* settings = bar->addMenu(QStringLiteral("環境設定(&V)"));
    settings->setObjectName(QStringLiteral("menuSettings"));
    addItem(settings, cmd::kEnvironmentSettings, QStringLiteral("環境設定"));
    toolBarToggle_ = addItem(settings, cmd::kViewToolbar, QStringLiteral("ﾂｰﾙ ﾊﾞｰ(&T)"));
    statusBarToggle_ = addItem(settings, cmd::kViewStatusBar, QStringLiteral("ｽﾃｰﾀｽ ﾊﾞｰ(&S)"));
    for (QAction* toggle : {toolBarToggle_, statusBarToggle_})
        toggle->setCheckable(true);

    QMenu* help = bar->addMenu(QStringLiteral("ﾍﾙﾌﾟ(&H)"));
    help->setObjectName(QStringLiteral("menuHelp"));
    addItem(help, cmd::kAbout, QStringLiteral("quor のﾊﾞｰｼﾞｮﾝ情報(&A)..."));
    for (QMenu* menu : {file, settings, help})
        connect(menu, &QMenu::aboutToShow, this, &CMainFrame::UpdateCommandStates);
}

void CMainFrame::CreateToolBar() {
    toolBar_ = new QToolBar(this);
    toolBar_->setObjectName(QStringLiteral("toolbar128"));
    toolBar_->setIconSize(QSize(16, 15));
    toolBar_->setAllowedAreas(Qt::AllToolBarAreas);
    toolBar_->setMovable(true);
    int position = 0;
    for (const ToolbarSlot& slot : ToolbarLayout()) {
        if (slot.id == 0) {
            toolBar_->addSeparator();
            continue;
        }
        ++position;
        const CommandText* strings = FindCommandText(slot.id);
        QAction* action = AddCommandAction(toolBar_, slot.id,
                                           strings ? Utf8ToQString(strings->toolTip) : QString());
        action->setIcon(QIcon(Utf8ToQString(slot.icon)));
        action->setObjectName(QStringLiteral("toolbar%1_%2").arg(position).arg(slot.id));
    }
    addToolBar(Qt::TopToolBarArea, toolBar_);
}

void CMainFrame::CreateStatusBar() {
    QStatusBar* bar = statusBar();
    bar->setObjectName(QStringLiteral("statusBar"));
    messagePane_ = new QLabel(IdleText(), bar);
    messagePane_->setObjectName(QStringLiteral("statusPane0"));
    bar->addWidget(messagePane_, 1);
    int pane = 0;
    for (const char* indicator : {"ｶﾅ", "CAP", "NUM", "SCRL"}) {
        auto* label = new QLabel(QString::fromUtf8(indicator), bar);
        label->setObjectName(QStringLiteral("statusPane%1").arg(++pane));
        label->setFrameShape(QFrame::Panel);
        label->setFrameShadow(QFrame::Sunken);
        // The lock states of the keyboard cannot be read portably here; the indicators are
        // shown greyed, as an indicator whose key is off.
        label->setEnabled(false);
        bar->addPermanentWidget(label);
    }
}

void CMainFrame::CreateAccelerators() {
    const std::vector<Accelerator> accelerators{
        {cmd::kFileNew, {QKeySequence(Qt::CTRL | Qt::Key_N)}},
        {cmd::kFileOpen, {QKeySequence(Qt::CTRL | Qt::Key_O)}},
        {cmd::kFileSave, {QKeySequence(Qt::CTRL | Qt::Key_S)}},
        {cmd::kEditUndo,
         {QKeySequence(Qt::CTRL | Qt::Key_Z), QKeySequence(Qt::ALT | Qt::Key_Backspace)}},
        {cmd::kEditCut,
         {QKeySequence(Qt::CTRL | Qt::Key_X), QKeySequence(Qt::SHIFT | Qt::Key_Delete)}},
        {cmd::kEditCopy,
         {QKeySequence(Qt::CTRL | Qt::Key_C), QKeySequence(Qt::CTRL | Qt::Key_Insert)}},
        {cmd::kEditPaste,
         {QKeySequence(Qt::CTRL | Qt::Key_V), QKeySequence(Qt::SHIFT | Qt::Key_Insert)}},
        {cmd::kNextPane, {QKeySequence(Qt::Key_F6)}},
        {cmd::kPreviousPane, {QKeySequence(Qt::SHIFT | Qt::Key_F6)}},
    };
    for (const Accelerator& accelerator : accelerators) {
        QAction* action = AddCommandAction(this, accelerator.id, QString());
        action->setObjectName(QStringLiteral("accel%1").arg(accelerator.id));
        action->setShortcuts(QList<QKeySequence>(accelerator.keys.begin(), accelerator.keys.end()));
        action->setShortcutContext(Qt::WindowShortcut);
    }
}

}  // namespace quor::ui
