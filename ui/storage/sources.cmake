# The progress window that save and load show.
set(QUOR_UI_STORAGE_SOURCES
    ui/storage/progress_window.cpp
    ui/storage/progress_window.h
)
