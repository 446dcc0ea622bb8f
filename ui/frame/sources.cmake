# The main window: frame, bars, command route, the Qt frontend, start-up.
set(QUOR_UI_FRAME_SOURCES
    ui/frame/app_command_target.cpp
    ui/frame/app_command_target.h
    ui/frame/command_table.cpp
    ui/frame/command_table.h
    ui/frame/command_target.h
    ui/frame/desktop_startup.cpp
    ui/frame/desktop_startup.h
    ui/frame/frame_bars.cpp
    ui/frame/main_frame.cpp
    ui/frame/main_frame.h
    ui/frame/qt_frontend.cpp
    ui/frame/qt_frontend.h
)
