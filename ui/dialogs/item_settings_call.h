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

// Opens the item settings dialog for a board number, modally. OK has saved its pages for that
// number; the caller writes the name and URL.
ItemSettingsResult OpenItemSettings(QWidget* parent, core::CQuorApp& app, int boardNumber);

// Opens the environment settings dialog modally; true when it was confirmed (and saved).
bool OpenEnvironmentSettings(QWidget* parent, core::CQuorApp& app);

}  // namespace quor::ui
