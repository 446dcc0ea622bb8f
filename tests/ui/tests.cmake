find_package(Qt6 REQUIRED COMPONENTS Test)

quor_add_test(quor_ui_tests ui
    ui/ui_test_main.cpp
    ui/desktop_fixture.cpp
    ui/desktop_fixture.h
    ui/post_cells_test.cpp
    ui/message_text_test.cpp
    ui/widget_text_test.cpp
    ui/progress_window_test.cpp
    ui/post_list_test.cpp
    ui/tree_view_test.cpp
    ui/frame_test.cpp
    ui/qt_frontend_test.cpp
    ui/desktop_fetch_test.cpp
    LIBS quor_widgets Qt6::Test)
