#include "app/main_state.h"

#include "base/files.h"
#include "base/paths.h"
#include "base/profile.h"

namespace trovik::app {

MainState::MainState(std::string folder)
    : programFolder(std::move(folder)), settingsPath(profile::SettingsPath(programFolder)) {}

std::string ProgramFolder1250() { return files::FromPcPath(paths::ProgramFolder()); }

}  // namespace trovik::app
