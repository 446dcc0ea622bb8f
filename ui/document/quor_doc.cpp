#include "ui/document/quor_doc.h"

#include <utility>

#include "app/command_ids.h"

namespace quor::ui {

CQuorDoc::CQuorDoc(std::function<void()> contentReset) : contentReset_(std::move(contentReset)) {}

bool CQuorDoc::OnNewDocument() {
    if (contentReset_)
        contentReset_();
    ++newDocumentCount_;
    return true;
}

bool CQuorDoc::HandlesCommand(int id) const {
    return id == app::command::kFileSave;
}

void CQuorDoc::OnCommand(int) {
    // Saving the document stores nothing: no board data passes through it, and a file of an
    // empty document would only mislead.
}

}  // namespace quor::ui
