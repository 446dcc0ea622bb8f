quor_add_test(quor_app_tests app
    app/app_commands_test.cpp)
