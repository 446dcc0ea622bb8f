#pragma once

// What tests read of the document: how often it was re-initialised. Tests include this header;
// the program never does.

#include "ui/document/quor_doc.h"

namespace quor::ui {

struct CQuorDocTesting {
    static int NewDocumentCount(const CQuorDoc& document) { return document.newDocumentCount_; }
};

}  // namespace quor::ui
