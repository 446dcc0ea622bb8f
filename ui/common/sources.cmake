# What every widget folder shares and none of them owns: the crossing of texts into widgets.
set(QUOR_UI_COMMON_SOURCES
    ui/common/widget_text.cpp
    ui/common/widget_text.h
)
