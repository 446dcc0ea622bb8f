#pragma once

// The texts of the desktop program's commands: each command's status-bar prompt and tool-tip
// (the two halves of its resource string), the toolbar's order and its icons. Texts are UTF-8;
// they are shown as they are and never reach the engine.

#include <span>
#include <string_view>

namespace quor::ui {

struct CommandText {
    int id = 0;
    std::string_view prompt;   // shown in the status bar while the pointer is over the command
    std::string_view toolTip;  // empty when the command has no tool-tip
};

// The prompt and tool-tip of a command; nullptr for an id without a resource string.
const CommandText* FindCommandText(int id);

// One toolbar position: a command, or a separator when id is 0.
struct ToolbarSlot {
    int id = 0;
    std::string_view icon;  // resource path of the button's 16 x 15 picture
};

// The toolbar from left to right: 13 buttons and 4 separators.
std::span<const ToolbarSlot> ToolbarLayout();

// Resource paths of the images the tree and the about box use.
inline constexpr std::string_view kTreeBoardIcon = ":/icons/tree_board.xpm";          // image 0
inline constexpr std::string_view kTreeSelectedIcon = ":/icons/tree_board_open.xpm";  // image 1
inline constexpr std::string_view kTreePageIcon = ":/icons/tree_page.xpm";            // image 2
inline constexpr std::string_view kApplicationIcon = ":/icons/quor.xpm";

// Makes the icons compiled into the widget library reachable under ":/icons/".
void InitResources();

}  // namespace quor::ui
