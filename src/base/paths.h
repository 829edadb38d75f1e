#pragma once
// The program folder: where the executable lies, unless TROVIK_HOME (or the
// CLI's --home) names another one. Always with a trailing "/".
//
// An installed copy (the marker file kInstalledMarker lies beside the
// executable) keeps its settings and working folders in a per-user folder
// instead, since the folder it lies in is shared and usually read-only.

#include <string>

namespace trovik::paths {

// Resolved once per process; SetProgramFolder overrides it (the CLI's --home, tests).
std::string ProgramFolder();
void SetProgramFolder(const std::string& folder);
// The folder of the running executable, with a trailing "/".
std::string ExecutableFolder();

// Lies beside an installed executable. Its lines name the data files (paths
// relative to the executable's folder) that seed the per-user folder; empty
// lines and lines starting with "#" are skipped.
inline constexpr const char* kInstalledMarker = "trovik.installed";

// $XDG_DATA_HOME/trovik/ when XDG_DATA_HOME is an absolute path, else
// ~/.local/share/trovik/ (HOME, or the account's home folder).
std::string PerUserFolder();

// The program folder of an executable lying in `executableFolder`, without
// the override: TROVIK_HOME, else PerUserFolder() (created and seeded) when
// the marker lies there, else `executableFolder` itself.
std::string ResolveProgramFolder(const std::string& executableFolder);

// Creates `folder` and copies into it every file the marker in
// `executableFolder` names that `folder` lacks; a file already there is the
// user's and is kept. False when the folder cannot be created. A file that
// cannot be copied is skipped: the program starts without it.
bool SeedFolder(const std::string& executableFolder, const std::string& folder);

}  // namespace trovik::paths
