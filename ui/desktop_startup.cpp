#include "ui/desktop_startup.h"

#include <QIcon>

#include "ui/command_table.h"
#include "ui/main_frame.h"
#include "ui/qt_frontend.h"
#include "ui/quor_view.h"

namespace quor::ui {

std::unique_ptr<CMainFrame> StartDesktop(core::CQuorApp& app, QtFrontend& frontend) {
    InitResources();
    auto frame = std::make_unique<CMainFrame>(app, &frontend);
    frame->TreeView()->BuildTree();
    frontend.AttachFrame(frame.get());
    app.SetFrontend(frontend);
    frame->setWindowIcon(QIcon(QString::fromUtf8(kApplicationIcon.data(),
                                                 static_cast<qsizetype>(kApplicationIcon.size()))));
    frame->setWindowTitle(QStringLiteral("「Mirubo」"));
    frame->show();
    frame->repaint();
    return frame;
}

}  // namespace quor::ui
