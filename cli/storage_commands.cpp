// quorcli's storage commands.

#include "cli/cli_command.h"

namespace quor::cli {

void RegisterStorageCommands(CliCommandTable&) {}

}  // namespace quor::cli
