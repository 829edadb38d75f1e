#pragma once
// The open command ("Open GPX" on the toolbar, "Súbor" / "Otvor WPT súbor"):
// a GPX file is re-encoded into the service text area and converted, an
// OziExplorer file is read as it is, and the cache list is rebuilt.

#include <string>
#include <vector>

#include "base/flags.h"
#include "base/host.h"
#include "waypoints/waypoint_state.h"

namespace trovik::waypoints {

// The dialog the open command shows: both file kinds, "OZI&GPX" chosen, the
// current waypoint file preselected.
Host::OpenDialog WptOpenDialog(const WaypointState& state);

// ToolButton10Click / OtvorWPTsbor2Click: asks for a file and opens it; a
// cancelled dialog changes nothing. `memo1` is the service text area.
void ToolButton10Click(WaypointState& state, std::vector<std::string>& memo1, RunFlags& flags, Host& host);
void OtvorWPTsbor2Click(WaypointState& state, std::vector<std::string>& memo1, RunFlags& flags, Host& host);

// What the open command does with the chosen path (1250 text). By extension,
// ASCII upper-cased: ".GPX" is converted, ".WPT" read as bytes, anything else
// only becomes the current file. Throws CannotOpenFile when the file cannot be
// read; the text, the lists, the field and the current file then stay as they were.
void OpenWaypointFile(WaypointState& state, std::vector<std::string>& memo1, RunFlags& flags, Host& host,
                      const std::string& path1250);

}  // namespace trovik::waypoints
