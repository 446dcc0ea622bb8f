set(QUOR_TEST_SUPPORT_SOURCES
    support/board_server_process.cpp
    support/child_process.cpp
    support/recording_frontend.cpp
    support/scripted_server.cpp
    support/temp_dir.cpp
    support/tinyproxy_process.cpp
)
