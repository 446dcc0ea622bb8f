quor_add_test(quor_fetch_tests fetch
    fetch/page_request_test.cpp
    fetch/proxy_test.cpp
    fetch/redirect_rules_test.cpp
    fetch/redirect_test.cpp
    fetch/request_text_test.cpp)

quor_add_test(quor_fetch_scheduler_tests fetch
    fetch/fetch_run_test.cpp
    fetch/fetch_scheduler_test.cpp)

quor_add_test(quor_fetch_cli_tests fetch
    fetch/fetch_cli_test.cpp)
add_dependencies(quor_fetch_cli_tests quorcli)

# TLS tests trust only the test authority, which their process reads once: an executable of
# their own (see tls_fixture.h).
quor_add_test(quor_fetch_tls_tests fetch
    fetch/tls_environment.cpp
    fetch/tls_fetch_test.cpp
    fetch/tls_proxy_test.cpp
    fetch/tls_scheduler_test.cpp
    fetch/tls_cli_test.cpp)
add_dependencies(quor_fetch_tls_tests quorcli)
