// quorcli's convert commands.

#include "cli/cli_command.h"

namespace quor::cli {

void RegisterConvertCommands(CliCommandTable&) {}

}  // namespace quor::cli
