#pragma once

// The engine's only way to the user interface. The desktop frame implements it with widgets,
// quorcli on stderr, the tests as a recorder; no engine file knows which one it talks to.
//
// Every text is code page 932. Any thread may call; an implementation carries the call to its
// user-interface thread and returns when it is done there (the warning box: when it was closed).
// Nobody calls the frontend while holding a workspace lock.

#include <memory>
#include <string>

namespace quor::core {

// The progress display of a long command on the user-interface thread (save, load). Destroying
// it closes it. It offers no way to cancel: save and load run to their end.
class ProgressDisplay {
public:
    virtual ~ProgressDisplay() = default;
    virtual void SetRange(int lower, int upper) = 0;
    // Shows the position and returns the previous one.
    virtual int Show(int position) = 0;
    virtual void SetText(const std::string& text) = 0;
};

class Frontend {
public:
    virtual ~Frontend() = default;

    // Pane 0 of the status bar.
    virtual void SetStatusText(const std::string& text) = 0;
    // Empties the post list and fills it from the current board's post table.
    virtual void RefreshPostList() = 0;
    // A warning box with one OK button; returns when the user closed it.
    virtual void ShowWarning(const std::string& text, const std::string& caption) = 0;
    virtual std::unique_ptr<ProgressDisplay> OpenProgress() = 0;
    // The board number of the selected tree item, 0 for the root, -1 when none is found.
    virtual int SelectedEntryNumber() = 0;
};

// A frontend that shows nothing: the application's frontend until a real one is attached.
class NullFrontend final : public Frontend {
public:
    void SetStatusText(const std::string&) override {}
    void RefreshPostList() override {}
    void ShowWarning(const std::string&, const std::string&) override {}
    std::unique_ptr<ProgressDisplay> OpenProgress() override;
    int SelectedEntryNumber() override { return -1; }
};

}  // namespace quor::core
