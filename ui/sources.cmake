# The widget layer (target quor_widgets), one subfolder per subsystem, mirroring the engine's
# folders; ui/main.cpp alone is the desktop program (target quor).
foreach(sub common frame views dialogs fetch convert storage document)
    include(${CMAKE_CURRENT_LIST_DIR}/${sub}/sources.cmake)
endforeach()
set(QUOR_WIDGET_SOURCES
    ${QUOR_UI_COMMON_SOURCES}
    ${QUOR_UI_FRAME_SOURCES}
    ${QUOR_UI_VIEWS_SOURCES}
    ${QUOR_UI_DIALOGS_SOURCES}
    ${QUOR_UI_FETCH_SOURCES}
    ${QUOR_UI_CONVERT_SOURCES}
    ${QUOR_UI_STORAGE_SOURCES}
    ${QUOR_UI_DOCUMENT_SOURCES}
    res/quor.qrc
)
set(QUOR_DESKTOP_SOURCES
    ui/main.cpp
)
