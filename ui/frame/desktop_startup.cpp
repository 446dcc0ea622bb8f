#include "ui/frame/desktop_startup.h"

#include <QIcon>

#include "ui/common/widget_text.h"
#include "ui/frame/command_table.h"
#include "ui/frame/main_frame.h"
#include "ui/frame/qt_frontend.h"
#include "ui/views/board_tree_view.h"

namespace quor::ui {

std::unique_ptr<CMainFrame> StartDesktop(core::CQuorApp& app, QtFrontend& frontend) {
    InitResources();
    auto frame = std::make_unique<CMainFrame>(app, &frontend);
    frame->TreeView()->BuildTree();
    frontend.AttachFrame(frame.get());
    app.SetFrontend(frontend);
    frame->setWindowIcon(QIcon(Utf8ToQString(kApplicationIcon)));
    frame->setWindowTitle(QStringLiteral("「Mirubo」"));
    frame->show();
    frame->repaint();
    return frame;
}

}  // namespace quor::ui
