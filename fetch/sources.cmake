set(QUOR_FETCH_SOURCES
    fetch/byte_stream.cpp
    fetch/byte_stream.h
    fetch/page_request.cpp
    fetch/page_request.h
    fetch/request_text.cpp
    fetch/request_text.h
)
