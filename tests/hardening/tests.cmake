# Robustness: hostile servers, crash safety of the board files, bad settings.
quor_add_test(quor_hardening_tests hardening
    hardening/fetch_run_fixture.cpp
    hardening/hostile_server.cpp
    hardening/hostile_server_test.cpp
    hardening/quorcli_process.cpp
    hardening/crash_safety_test.cpp
    hardening/bad_settings_test.cpp
    hardening/request_mends_test.cpp)
