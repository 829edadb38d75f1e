#include "cli/command.h"

namespace trovik::cli {

void RegisterPageCommands(Registry& /*registry*/) {}

}  // namespace trovik::cli
