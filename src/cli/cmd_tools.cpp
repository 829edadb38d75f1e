#include "cli/command.h"

namespace trovik::cli {

void RegisterToolCommands(Registry& /*registry*/) {}

}  // namespace trovik::cli
