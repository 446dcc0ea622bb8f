#pragma once

// The document of the single-document main window. Boards, posts and their files belong to the
// application object and the storage code; the document holds none of them, stores and loads
// nothing, and never keeps the program from closing. Its content is the message view's text,
// which is set on the view directly, so re-initialising the document only empties that view.
//
// Widget layer: built into quor_widgets, never into the engine.

#include <functional>

#include "ui/frame/command_target.h"

namespace quor::ui {

class CQuorDoc final : public ui::CommandTarget {
public:
    // contentReset empties the view that shows the document's content.
    explicit CQuorDoc(std::function<void()> contentReset = {});

    // Re-initialises the document (new and open document): its content is emptied, the panes
    // and the board data stay as they are. Always succeeds.
    bool OnNewDocument();

    // The document's own command: save document (Ctrl+S), which writes nothing.
    bool HandlesCommand(int id) const override;
    void OnCommand(int id) override;

private:
    friend struct CQuorDocTesting;

    std::function<void()> contentReset_;
    int newDocumentCount_ = 0;
};

}  // namespace quor::ui
