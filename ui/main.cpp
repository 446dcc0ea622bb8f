// The desktop program: the settings store, the application object and the main window; at the
// end the exit writes, then an orderly shutdown in which no worker waits for the GUI thread.

#include <QApplication>

#include "app/app_commands.h"
#include "core/quor_app.h"
#include "settings/qsettings_store.h"
#include "ui/frame/desktop_startup.h"
#include "ui/frame/main_frame.h"
#include "ui/frame/qt_frontend.h"

int main(int argc, char** argv) {
    QApplication application(argc, argv);
    quor::core::QSettingsStore store;
    quor::ui::QtFrontend frontend;
    int status = 0;
    {
        quor::core::CQuorApp app(store);
        auto frame = quor::ui::StartDesktop(app, frontend);
        status = QApplication::exec();
        frontend.SetClosing();
        quor::app::RunExitWrites(app);
        frontend.AttachFrame(nullptr);
        frame.reset();
        // The application's destructor cuts off the workers that are still running.
    }
    return status;
}
