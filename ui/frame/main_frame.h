#pragma once

// The main window: menu bar, a dockable toolbar, the status bar, and the three panes in two
// splitters — the board tree on the left, the post list at the top right, the message view at
// the bottom right. The frame creates and holds them; every command goes to the active view,
// then the document, the frame and the application, and a command no one on that route handles
// is disabled.

#include <QMainWindow>
#include <map>
#include <memory>
#include <vector>

#include "core/quor_app.h"
#include "ui/frame/command_target.h"

class QLabel;
class QSplitter;
class QToolBar;

namespace quor::ui {

class CQuorDoc;

class CQuorView;
class CQuorUpView;
class CQuorDownView;
class QtFrontend;

class CMainFrame final : public QMainWindow, public CommandTarget {
    Q_OBJECT
public:
    explicit CMainFrame(core::CQuorApp& app, QtFrontend* frontend = nullptr);
    ~CMainFrame() override;

    CQuorView* TreeView() const { return treeView_; }
    CQuorUpView* ListView() const { return listView_; }
    CQuorDownView* MessageView() const { return messageView_; }
    ui::CQuorDoc& Document() const { return *document_; }
    QToolBar* ToolBar() const { return toolBar_; }

    // The status line's text when nothing else is shown: "ﾚﾃﾞｨ".
    static QString IdleText();
    // Pane 0 of the status bar.
    void SetStatusLine(const QString& text);
    QString StatusLine() const;

    // The view commands go to first: the pane that last had the keyboard focus.
    CommandTarget* ActiveView() const { return activeView_; }
    CommandRoute Route() const;
    // Runs a command along the route; false when no one handles it.
    bool Dispatch(int id);
    // Enables each command's menu items, buttons and accelerators by whether the route
    // handles it, and checks the bar toggles.
    void UpdateCommandStates();

    bool HandlesCommand(int id) const override;
    void OnCommand(int id) override;

protected:
    bool event(QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    void CreateClient();
    void CreateMenus();
    void CreateToolBar();
    void CreateStatusBar();
    void CreateAccelerators();
    QAction* AddCommandAction(QWidget* owner, int id, const QString& text);
    void OnFocusChanged(QWidget* now);
    void ActivatePane(int step);

    core::CQuorApp& app_;
    QtFrontend* frontend_;
    std::unique_ptr<ui::CQuorDoc> document_;
    std::unique_ptr<CommandTarget> appCommands_;
    QSplitter* outerSplitter_ = nullptr;
    QSplitter* innerSplitter_ = nullptr;
    CQuorView* treeView_ = nullptr;
    CQuorUpView* listView_ = nullptr;
    CQuorDownView* messageView_ = nullptr;
    QToolBar* toolBar_ = nullptr;
    QLabel* messagePane_ = nullptr;
    CommandTarget* activeView_ = nullptr;
    std::multimap<int, QAction*> actions_;
    QAction* toolBarToggle_ = nullptr;
    QAction* statusBarToggle_ = nullptr;
};

}  // namespace quor::ui
