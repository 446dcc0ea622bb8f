quor_add_test(quor_core_tests core
    core/board_workspace_test.cpp
    core/cp932_test.cpp
    core/settings_store_test.cpp
    core/worker_registry_test.cpp
    LIBS quor_settings)
