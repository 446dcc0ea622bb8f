# Flags every target of the project carries.
add_library(quor_options INTERFACE)
target_compile_options(quor_options INTERFACE -Wall -Wextra -Wpedantic)
if(QUOR_WERROR)
    target_compile_options(quor_options INTERFACE -Werror)
endif()
if(QUOR_BUILD_TESTS)
    target_compile_definitions(quor_options INTERFACE _GLIBCXX_ASSERTIONS)
endif()
if(QUOR_SANITIZE)
    target_compile_options(quor_options INTERFACE -fsanitize=${QUOR_SANITIZE} -fno-omit-frame-pointer
                                                  -fno-sanitize-recover=all)
    target_link_options(quor_options INTERFACE -fsanitize=${QUOR_SANITIZE})
endif()

# Qt code writes every crossing between bytes, UTF-8 and QString out.
add_library(quor_qt_options INTERFACE)
target_compile_definitions(quor_qt_options INTERFACE QT_NO_CAST_FROM_ASCII QT_NO_CAST_FROM_BYTEARRAY)
