#pragma once

// The last stop of the command route: the application's commands of the engine's table
// (app/app_commands.h) and the desktop's own global ones (environment settings, about, new and
// open document).

#include "core/quor_app.h"
#include "ui/frame/command_target.h"

namespace quor::ui {

class CMainFrame;

class AppCommands final : public CommandTarget {
public:
    AppCommands(core::CQuorApp& app, CMainFrame& frame) : app_(app), frame_(frame) {}

    bool HandlesCommand(int id) const override;
    void OnCommand(int id) override;

private:
    core::CQuorApp& app_;
    CMainFrame& frame_;
};

}  // namespace quor::ui
