#include "cli/command.h"

namespace trovik::cli {

void RegisterSiteCommands(Registry& /*registry*/) {}

}  // namespace trovik::cli
