set(QUOR_CLI_SOURCES
    cli/main.cpp
    cli/core_commands.cpp
    cli/convert_commands.cpp
    cli/fetch_commands.cpp
    cli/stderr_frontend.cpp
    cli/storage_commands.cpp
)
