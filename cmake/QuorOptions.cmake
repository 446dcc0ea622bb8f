# Flags every target of the project carries.
add_library(quor_options INTERFACE)
target_compile_options(quor_options INTERFACE -Wall -Wextra -Wpedantic)
if(QUOR_WERROR)
    target_compile_options(quor_options INTERFACE -Werror)
endif()
if(QUOR_BUILD_TESTS)
    target_compile_definitions(quor_options INTERFACE _GLIBCXX_ASSERTIONS)
endif()
if(QUOR_SANITIZE)
    target_compile_options(quor_options INTERFACE -fsanitize=${QUOR_SANITIZE} -fno-omit-frame-pointer
                                                  -fno-sanitize-recover=all)
    target_link_options(quor_options INTERFACE -fsanitize=${QUOR_SANITIZE})
endif()

# Qt code writes every crossing between bytes, UTF-8 and QString out.
add_library(quor_qt_options INTERFACE)
target_compile_definitions(quor_qt_options INTERFACE QT_NO_CAST_FROM_ASCII QT_NO_CAST_FROM_BYTEARRAY)

# The build type scripts/test builds with: "Test" compiles about twice as fast as RelWithDebInfo
# (no debug information, light optimisation) and keeps assert() on. CMake makes an empty
# CMAKE_CXX_FLAGS_TEST of its own for a build type it does not know, so the flags are given here
# rather than as that variable's default.
target_compile_options(quor_options INTERFACE $<$<CONFIG:Test>:-Og>)

# Nearly every widget file, and every widget test, parses these Qt headers; the widget library
# and the widget tests each parse them once, in a precompiled header.
set(QUOR_WIDGET_PCH_HEADERS
    <QAbstractItemModel> <QAbstractTableModel> <QApplication> <QCheckBox> <QComboBox> <QDialog>
    <QGridLayout> <QGroupBox> <QHBoxLayout> <QHeaderView> <QLabel> <QLineEdit> <QMainWindow>
    <QMessageBox> <QPainter> <QPushButton> <QString> <QTabWidget> <QToolBar> <QTreeWidget>
    <QVBoxLayout> <QWidget> <algorithm> <functional> <map> <memory> <mutex> <string> <vector>)

# ccache caches a file compiled with a precompiled header only when it may ignore the header's
# defines and time macros (its manual's "Precompiled headers"); without, every test file misses.
if(CMAKE_CXX_COMPILER_LAUNCHER MATCHES "ccache" AND
   NOT CMAKE_CXX_COMPILER_LAUNCHER MATCHES "CCACHE_SLOPPINESS")
    set(CMAKE_CXX_COMPILER_LAUNCHER env CCACHE_SLOPPINESS=pch_defines,time_macros
                                    ${CMAKE_CXX_COMPILER_LAUNCHER})
endif()
