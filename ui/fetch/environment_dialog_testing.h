#pragma once

// The environment dialog's seam for tests: a scripted folder picker in place of the real one.
// Tests include this header; the program never does.

#include <utility>

#include "ui/fetch/environment_dialog.h"

namespace quor::ui {

struct CEnvironmentDialogTesting {
    static void SetFolderPicker(CEnvironmentDialog& dialog,
                                CEnvironmentDialog::FolderPicker picker) {
        dialog.pickFolder_ = std::move(picker);
    }
};

}  // namespace quor::ui
