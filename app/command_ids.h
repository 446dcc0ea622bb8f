#pragma once

// Command identifiers shared by menu items, toolbar buttons, accelerators and the command table.

namespace quor::app::command {

inline constexpr int kNewItem = 32771;  // the tree's context menu "新規項目"
inline constexpr int kFetchAll = 32774;
inline constexpr int kFetchAllMenu = 32775;
inline constexpr int kFetchSettings = 32776;
inline constexpr int kEnvironmentSettings = 32778;
inline constexpr int kFetchSelected = 32779;
inline constexpr int kStopFetching = 32780;
inline constexpr int kFetchFromWeb = 32781;
inline constexpr int kConvertFromBuffer = 32782;
inline constexpr int kRestore = 32784;
inline constexpr int kSave = 32785;
inline constexpr int kClear = 32786;
inline constexpr int kLoad = 32787;
inline constexpr int kNewItemToolbar = 32788;
inline constexpr int kUnreadCheck = 32789;
inline constexpr int kWriteReadState = 32790;
inline constexpr int kFileNew = 57600;
inline constexpr int kFileOpen = 57601;
inline constexpr int kAbout = 57664;
inline constexpr int kAppExit = 57665;
inline constexpr int kViewToolbar = 59392;
inline constexpr int kViewStatusBar = 59393;

}  // namespace quor::app::command
