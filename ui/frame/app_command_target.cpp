#include "ui/frame/app_command_target.h"

#include "app/app_commands.h"
#include "app/command_ids.h"
#include "ui/dialogs/about_dialog.h"
#include "ui/dialogs/item_settings_call.h"
#include "ui/document/quor_doc.h"
#include "ui/frame/main_frame.h"

namespace quor::ui {

namespace cmd = app::command;

bool AppCommands::HandlesCommand(int id) const {
    // A board's own commands belong to the tree, which names the board they act on.
    const app::AppCommand* engine = app::FindAppCommand(id);
    if (engine != nullptr)
        return engine->scope == app::CommandScope::kApplication;
    return id == cmd::kEnvironmentSettings || id == cmd::kAbout || id == cmd::kFileNew ||
           id == cmd::kFileOpen;
}

void AppCommands::OnCommand(int id) {
    switch (id) {
        case cmd::kAbout:
            ShowAboutBox(&frame_);
            return;
        case cmd::kEnvironmentSettings:
            OpenEnvironmentSettings(&frame_, app_);
            return;
        // New and open re-initialise the one document; there is no file to choose.
        case cmd::kFileNew:
        case cmd::kFileOpen:
            frame_.Document().OnNewDocument();
            return;
        default:
            app::OnAppCommand(app_, id);
            return;
    }
}

}  // namespace quor::ui
