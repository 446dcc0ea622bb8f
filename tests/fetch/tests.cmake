quor_add_test(quor_fetch_tests fetch
    fetch/page_request_test.cpp
    fetch/proxy_test.cpp
    fetch/request_text_test.cpp)
