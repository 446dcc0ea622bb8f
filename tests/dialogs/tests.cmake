find_package(Qt6 REQUIRED COMPONENTS Test)

quor_add_test(quor_dialog_tests dialogs
    dialogs/dialog_test_support.cpp
    dialogs/dialog_test_support.h
    dialogs/bbs_type_page_test.cpp
    dialogs/conversion_page_test.cpp
    dialogs/page_turn_page_test.cpp
    dialogs/item_settings_dialog_test.cpp
    dialogs/environment_dialog_test.cpp
    dialogs/dialog_look_test.cpp
    LIBS quor_dialogs Qt6::Test quor_qt_options)

# The board tree's commands that open the item settings dialog, with the real dialog.
if(TARGET quor_widgets)
    quor_add_test(quor_dialog_tree_tests dialogs
        dialogs/dialog_test_support.cpp
        dialogs/dialog_test_support.h
        dialogs/board_tree_settings_test.cpp
        LIBS quor_widgets Qt6::Test quor_qt_options)
endif()
