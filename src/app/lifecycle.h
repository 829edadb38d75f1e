#pragma once
// Start-up and shut-down of the main window, and "Brejk". These run as
// window events, so they never throw: an error is shown through
// Host::showMessage (the error box's text) and the sequence goes on as each
// step says.

#include <string>
#include <string_view>

#include "app/main_state.h"
#include "base/flags.h"
#include "base/host.h"
#include "text/cp1250.h"

namespace trovik::app {

// The program's version (four parts joined by "."), from the build.
std::string VersionText();
// "Elektronický pomocník pre geocaching " + the version text, 1250.
std::string WindowCaption(const std::string& versionText);

// The sample waypoint file offered at the first start, 1250 name.
inline constexpr std::string_view kSampleWaypointFile = text::Literal1250<"Zlaté Moravce50km.wpt">;
inline constexpr const char* kAboutFile = "popisrtf.rtf";

// FormCreate, the first stage: sort modes, the "Pictures" and "HTM" folders
// (cleared of what killed writes left), their paths, the version text and
// caption, the town list.
void FormCreate(MainState& s, Host& host);

// Removes the temporary files of writes killed midway (their process is
// gone) from the program folder, "HTM" and "Pictures" (1250, trailing
// separator). Run at every start of the window and of the CLI.
void RemoveLeftoverTemps(const std::string& programFolder);

// FormActivate, the second stage, run once: the "O programe" tab when there is
// no settings file yet, the about text, the settings, the remembered waypoint
// file (or the sample file through the open dialog), the shut-down flag, the
// picture-saving settings, the device pane's panel and the grids' first rows.
// Later activations (after a message box or a dialog) do nothing.
void FormActivate(MainState& s, Host& host);

// FormClose: the device link is released, page-done and shut-down are set
// (ending any wait for a page), and the three remembered settings are
// written. A refused write is shown and the window still closes.
void FormClose(MainState& s, Host& host);

// "Brejk": ends whatever wait for a page is running.
void SpeedButton11Click(RunFlags& flags);

// The start-up reload of the remembered waypoint file: a GPX file is
// converted like the open command does, any other file is read as waypoint
// text as it is; then the cache list is rebuilt. Throws CannotOpenFile.
void ReloadWaypointFile(MainState& s, Host& host);

}  // namespace trovik::app
