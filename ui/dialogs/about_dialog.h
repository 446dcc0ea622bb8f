#pragma once

// The about box: the program's name and version, the icon, one line on what it runs on, OK.

class QWidget;

namespace quor::ui {

// Shows the about box modally.
void ShowAboutBox(QWidget* parent);

}  // namespace quor::ui
