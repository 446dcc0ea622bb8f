# The item settings dialog, the about box and the controls the dialogs share.
set(QUOR_UI_DIALOGS_SOURCES
    ui/dialogs/about_dialog.cpp
    ui/dialogs/about_dialog.h
    ui/dialogs/dialog_controls.cpp
    ui/dialogs/dialog_controls.h
    ui/dialogs/item_settings_call.cpp
    ui/dialogs/item_settings_call.h
    ui/dialogs/item_settings_dialog.cpp
    ui/dialogs/item_settings_dialog.h
)
