// quorcli's fetch commands.

#include "cli/cli_command.h"

namespace quor::cli {

void RegisterFetchCommands(CliCommandTable&) {}

}  // namespace quor::cli
