quor_add_test(quor_convert_tests convert
    convert/bbs_pages_test.cpp
    convert/board_settings_test.cpp
    convert/case_and_references_test.cpp
    convert/board_fixture.cpp
    convert/board_fixture.h
    convert/convert_cli_test.cpp
    convert/field_renderer_test.cpp
    convert/kanji_code_test.cpp
    convert/marker_pattern_test.cpp
    ${PROJECT_SOURCE_DIR}/fuzz/reference_rules.cpp
    convert/next_page_test.cpp
    convert/post_extraction_test.cpp
    convert/real_boards_test.cpp
    convert/robustness_test.cpp
    convert/text_cleaner_test.cpp
    convert/utf8_page_test.cpp
    LIBS quor_settings)
if(TARGET quorcli)
    add_dependencies(quor_convert_tests quorcli)
endif()
