# The three panes: board tree, post list (model and painter), message view.
set(QUOR_UI_VIEWS_SOURCES
    ui/views/board_tree_view.cpp
    ui/views/board_tree_view.h
    ui/views/board_tree_view_testing.h
    ui/views/message_text.cpp
    ui/views/message_text.h
    ui/views/message_view.cpp
    ui/views/message_view.h
    ui/views/post_cells.cpp
    ui/views/post_cells.h
    ui/views/post_list_model.cpp
    ui/views/post_list_model.h
    ui/views/post_list_view.cpp
    ui/views/post_list_view.h
    ui/views/post_row_painter.cpp
    ui/views/post_row_painter.h
)
