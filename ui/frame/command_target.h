#pragma once

// Command routing of the main window. A command from the menu bar, the toolbar or an accelerator
// goes to the active view, then the document, the frame and the application; the first target
// that handles it takes it. A command no one on the route handles is shown disabled.

#include <array>

namespace quor::ui {

class CommandTarget {
public:
    virtual ~CommandTarget() = default;
    // Whether this target has a handler for the command right now.
    virtual bool HandlesCommand(int id) const = 0;
    virtual void OnCommand(int id) = 0;
};

// The route of one command: active view, document, frame, application. Entries may be null.
class CommandRoute final {
public:
    CommandRoute(CommandTarget* activeView, CommandTarget* document, CommandTarget* frame,
                 CommandTarget* application)
        : targets_{activeView, document, frame, application} {}

    // The first target on the route that handles the command, or nullptr.
    CommandTarget* HandlerOf(int id) const {
        for (CommandTarget* target : targets_) {
            if (target != nullptr && target->HandlesCommand(id))
                return target;
        }
        return nullptr;
    }

    // Runs the command; false when no one on the route handles it.
    bool Dispatch(int id) const {
        CommandTarget* target = HandlerOf(id);
        if (target == nullptr)
            return false;
        target->OnCommand(id);
        return true;
    }

private:
    std::array<CommandTarget*, 4> targets_;
};

}  // namespace quor::ui
