quor_add_test(quor_fetch_tests fetch
    fetch/page_request_test.cpp
    fetch/proxy_test.cpp
    fetch/redirect_rules_test.cpp
    fetch/redirect_test.cpp
    fetch/request_text_test.cpp)

quor_add_test(quor_fetch_scheduler_tests fetch
    fetch/fetch_scheduler_test.cpp)

quor_add_test(quor_fetch_cli_tests fetch
    fetch/fetch_cli_test.cpp)
add_dependencies(quor_fetch_cli_tests quorcli)
