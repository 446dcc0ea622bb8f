#include "ui/frame/app_command_target.h"

#include <algorithm>
#include <array>

#include "app/command_ids.h"
#include "ui/dialogs/about_dialog.h"
#include "ui/dialogs/item_settings_call.h"
#include "ui/document/quor_doc.h"
#include "ui/frame/engine_calls.h"
#include "ui/frame/main_frame.h"

namespace quor::ui {

namespace {

namespace cmd = app::command;

constexpr std::array kEngineCommands{cmd::kFetchAll,      cmd::kFetchAllMenu, cmd::kFetchSelected,
                                     cmd::kStopFetching,  cmd::kRestore,      cmd::kSave,
                                     cmd::kClear,         cmd::kLoad,         cmd::kUnreadCheck,
                                     cmd::kWriteReadState};

}  // namespace

bool AppCommands::HandlesCommand(int id) const {
    return std::find(kEngineCommands.begin(), kEngineCommands.end(), id) != kEngineCommands.end() ||
           id == cmd::kEnvironmentSettings || id == cmd::kAbout || id == cmd::kFileNew ||
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
            RunAppCommand(app_, id);
            return;
    }
}

}  // namespace quor::ui
