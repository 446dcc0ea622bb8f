# Fetch settings: the environment dialog and the page-turn page.
set(QUOR_UI_FETCH_SOURCES
    ui/fetch/environment_dialog.cpp
    ui/fetch/environment_dialog.h
    ui/fetch/environment_dialog_testing.h
    ui/fetch/page_turn_page.cpp
    ui/fetch/page_turn_page.h
)
