#pragma once
// The program folder: where the executable lies, unless TROVIK_HOME (or the
// CLI's --home) names another one. Always with a trailing "/".

#include <string>

namespace trovik::paths {

// Resolved once per process; SetProgramFolder overrides it (the CLI's --home, tests).
std::string ProgramFolder();
void SetProgramFolder(const std::string& folder);
// The folder of the running executable, with a trailing "/".
std::string ExecutableFolder();

}  // namespace trovik::paths
