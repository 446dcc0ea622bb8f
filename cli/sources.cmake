# quorcli: the engine's commands from the command line.
set(QUOR_CLI_SOURCES
    cli/cli_command.h
    cli/convert_commands.cpp
    cli/core_commands.cpp
    cli/fetch_commands.cpp
    cli/main.cpp
    cli/stderr_frontend.cpp
    cli/stderr_frontend.h
    cli/storage_commands.cpp
)
