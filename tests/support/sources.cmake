set(QUOR_TEST_SUPPORT_SOURCES
    support/recording_frontend.cpp
    support/temp_dir.cpp
)
