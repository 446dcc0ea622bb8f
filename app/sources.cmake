# The application's commands, above the subsystems: the one table both programs call.
set(QUOR_APP_SOURCES
    app/app_commands.cpp
    app/app_commands.h
    app/board_removal.cpp
    app/board_removal.h
    app/command_ids.h
)
