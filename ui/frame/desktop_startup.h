#pragma once

// Start-up of the desktop program, in order: the document, the frame and its panes, the board
// tree built from the settings store, the frontend attached, the window titled "「Mirubo」" and
// shown at once. The settings store is the caller's (it is placed before the application object
// exists).

#include <memory>

#include "core/quor_app.h"

namespace quor::ui {

class CMainFrame;
class QtFrontend;

std::unique_ptr<CMainFrame> StartDesktop(core::CQuorApp& app, QtFrontend& frontend);

}  // namespace quor::ui
