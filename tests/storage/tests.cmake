quor_add_test(quor_storage_tests storage
    storage/board_commands_test.cpp
    storage/board_file_io_test.cpp
    storage/board_files_test.cpp
    storage/concurrency_test.cpp
    storage/file_faults_test.cpp
    storage/read_state_test.cpp
    storage/storage_cli_test.cpp)
# The command-line tests drive the real quorcli.
add_dependencies(quor_storage_tests quorcli)
