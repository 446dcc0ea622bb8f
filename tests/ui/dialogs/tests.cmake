find_package(Qt6 REQUIRED COMPONENTS Test)

quor_add_test(quor_dialog_tests dialogs
    ui/dialogs/dialog_test_support.cpp
    ui/dialogs/dialog_test_support.h
    ui/dialogs/bbs_type_page_test.cpp
    ui/dialogs/conversion_page_test.cpp
    ui/dialogs/page_turn_page_test.cpp
    ui/dialogs/item_settings_dialog_test.cpp
    ui/dialogs/environment_dialog_test.cpp
    ui/dialogs/dialog_look_test.cpp
    LIBS quor_widgets Qt6::Test quor_qt_options)

# The board tree's commands that open the item settings dialog, with the real dialog.
quor_add_test(quor_dialog_tree_tests dialogs
    ui/dialogs/dialog_test_support.cpp
    ui/dialogs/dialog_test_support.h
    ui/dialogs/board_tree_settings_test.cpp
    LIBS quor_widgets Qt6::Test quor_qt_options)
