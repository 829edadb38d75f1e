#pragma once
// Writing waypoint data out: found caches appended to the waypoint text
// ("Exportuj do wpt "), and the waypoint text saved in the program folder and
// copied into the device's waypoint folder ("Ulož tento wpt súbor do PDA").

#include <string>
#include <string_view>
#include <vector>

#include "base/device_files.h"
#include "base/fields.h"
#include "base/host.h"
#include "waypoints/waypoint_state.h"

namespace trovik::waypoints {

// The number of a waypoint line: the text before its first comma as a whole
// number; 0 without a comma or when that text is no whole number.
long long WptLineNumber(std::string_view line);

// One line of the found-cache export; `date` is WptDateText().
std::string ComposeExportLine(long long number, std::string_view name, std::string_view code, std::string_view position,
                              std::string_view date);

// SpeedButton26Click: appends a line for every cache whose position is known
// (neither "?" nor "wpt file"), numbered on from the last line, and reports
// the count. The list and its marks stay as they are; nothing is saved.
void SpeedButton26Click(WaypointState& state, Host& host);

// The PC path (1250) the waypoint text is saved under: program folder + name.
std::string WptSavePath(const std::string& name);

// SpeedButton10Click: saves the waypoint text (CR LF, 1250, written whole then
// renamed into place) as program folder + file-name field, then copies it to
// the device waypoint folder + the same name. An empty field throws
// CannotCreateFile naming the folder and copies nothing. A field naming the
// GPX file that was read is replaced by that file's ".wpt" name first.
// Returns the device copy's outcome.
device::Outcome SpeedButton10Click(WaypointState& state, const Fields& fields, device::DeviceFiles& device,
                                   Host& host);

// The files of a pocket query as it comes: the GPX file (1250 path) and,
// when it lies beside it, its waypoint file ("<name>-wpts.gpx"; from the
// waypoint file, the caches' file). The file itself first.
std::vector<std::string> PocketQueryFiles(const std::string& gpxPath);

// SpeedButton30Click, "Ulož GPX do PDA": copies the opened GPX file and its
// pocket query's waypoint file unchanged into the device GPX folder
// ("Cesta v PDA pre GPX"), each through the device's replace step, after
// asking the device for room for both. No GPX file opened, or one that is
// gone, throws. Returns the worst outcome of the copies.
device::Outcome SpeedButton30Click(const WaypointState& state, const Fields& fields, device::DeviceFiles& device,
                                   Host& host);

}  // namespace trovik::waypoints
