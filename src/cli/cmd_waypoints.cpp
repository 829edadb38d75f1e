#include "cli/command.h"

namespace trovik::cli {

void RegisterWaypointCommands(Registry& /*registry*/) {}

}  // namespace trovik::cli
