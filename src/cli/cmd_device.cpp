#include "cli/command.h"

namespace trovik::cli {

void RegisterDeviceCommands(Registry& /*registry*/) {}

}  // namespace trovik::cli
