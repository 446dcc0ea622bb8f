#pragma once

// Every command identifier of the program, declared here once: the application's commands, the
// board tree's context menu, and the framework's standard commands (57600 and up) that menu
// items and accelerators carry. Menus, toolbar buttons, accelerators, the desktop program's
// command route and the application's command table all name them from here.

namespace quor::app::command {

// The application's own commands.
inline constexpr int kNewItem = 32771;  // the tree's context menu "取得ﾍﾟｰｼﾞの追加"
inline constexpr int kDeleteItem = 32772;
inline constexpr int kEditItemLabel = 32773;
inline constexpr int kFetchAll = 32774;
inline constexpr int kFetchAllMenu = 32775;
inline constexpr int kFetchSettings = 32776;
inline constexpr int kEnvironmentSettings = 32778;
inline constexpr int kFetchSelected = 32779;
inline constexpr int kStopFetching = 32780;
inline constexpr int kFetchFromWeb = 32781;
inline constexpr int kConvertFromBuffer = 32782;
inline constexpr int kBufferPreview = 32783;
inline constexpr int kRestore = 32784;
inline constexpr int kSave = 32785;
inline constexpr int kClear = 32786;
inline constexpr int kLoad = 32787;
inline constexpr int kNewItemToolbar = 32788;
inline constexpr int kUnreadCheck = 32789;
inline constexpr int kWriteReadState = 32790;

// The framework's standard commands.
inline constexpr int kFileNew = 57600;
inline constexpr int kFileOpen = 57601;
inline constexpr int kFileSave = 57603;
inline constexpr int kEditCopy = 57634;
inline constexpr int kEditCut = 57635;
inline constexpr int kEditPaste = 57637;
inline constexpr int kEditUndo = 57643;
inline constexpr int kAbout = 57664;
inline constexpr int kAppExit = 57665;
inline constexpr int kNextPane = 57680;
inline constexpr int kPreviousPane = 57681;
inline constexpr int kViewToolbar = 59392;
inline constexpr int kViewStatusBar = 59393;

}  // namespace quor::app::command
