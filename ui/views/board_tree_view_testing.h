#pragma once

// The board tree's seams for tests: a scripted item settings dialog in place of the real one,
// and other image files. Tests include this header; the program never does.

#include <utility>
#include <vector>

#include "ui/views/board_tree_view.h"

namespace quor::ui {

struct CQuorViewTesting {
    static void SetItemSettingsOpener(CQuorView& view, CQuorView::ItemSettingsOpener opener) {
        view.openItemSettings_ = std::move(opener);
    }
    static void SetIconPaths(CQuorView& view, std::vector<QString> paths) {
        view.iconPaths_ = std::move(paths);
    }
};

}  // namespace quor::ui
