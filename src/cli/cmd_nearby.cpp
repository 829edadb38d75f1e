#include "cli/command.h"

namespace trovik::cli {

void RegisterNearbyCommands(Registry& /*registry*/) {}

}  // namespace trovik::cli
