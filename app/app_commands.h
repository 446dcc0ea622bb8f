#pragma once

// The engine's side of the application's command table: the global commands of the menu and
// toolbar that the application object carries out (ids in command_ids.h). The desktop frame
// routes a command here after the views and the document; quorcli calls it directly.

namespace quor::core {
class CQuorApp;
}

namespace quor::app {

// Carries out the command and returns true, or returns false for an id it does not handle.
// Fetch commands return at once; the run goes on on its own thread.
bool OnAppCommand(core::CQuorApp& app, int commandId);

}  // namespace quor::app
