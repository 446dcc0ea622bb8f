#pragma once

// The call sites of the settings dialogs that the tree and the frame open. Each is one small
// function so that attaching a dialog changes one line.

#include <string>

class QWidget;

namespace quor::core {
class CQuorApp;
}

namespace quor::ui {

// What the item settings dialog gives back: whether it ended with OK, and the name and URL it
// holds (after Cancel: the values it loaded when it opened).
struct ItemSettingsResult {
    bool accepted = false;
    std::string name;  // code page 932
    std::string url;
};

// Opens the item settings dialog for a board number. No dialog is attached yet: it gives back
// the stored name and URL, not accepted, so adding a board opens nothing and the fetch-settings
// command keeps the store as it is.
ItemSettingsResult OpenItemSettings(QWidget* parent, core::CQuorApp& app, int boardNumber);

// Opens the environment settings dialog; false while no dialog is attached.
bool OpenEnvironmentSettings(QWidget* parent, core::CQuorApp& app);

}  // namespace quor::ui
