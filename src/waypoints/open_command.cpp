#include "waypoints/open_command.h"

#include "base/files.h"
#include "text/text.h"
#include "waypoints/cache_lists.h"
#include "waypoints/gpx_convert.h"
#include "waypoints/gpx_file.h"

namespace trovik::waypoints {

Host::OpenDialog WptOpenDialog(const WaypointState& state) {
  Host::OpenDialog d;
  d.filter = "Waypoints oziexplorer[*.wpt]|*.wpt|GPX(*.gpx]|*.gpx|OZI&GPX[wpt alebo gpx]|*.wpt;*gpx";
  d.filterIndex = 3;
  d.defaultExt = "*.wpt;*.gpx";
  d.initialFile = state.currentFile;
  return d;
}

void ToolButton10Click(WaypointState& state, std::vector<std::string>& memo1, RunFlags& flags, Host& host) {
  std::optional<std::string> chosen = host.openFileDialog(WptOpenDialog(state));
  if (!chosen) return;
  OpenWaypointFile(state, memo1, flags, host, *chosen);
}

void OtvorWPTsbor2Click(WaypointState& state, std::vector<std::string>& memo1, RunFlags& flags, Host& host) {
  ToolButton10Click(state, memo1, flags, host);
}

void OpenWaypointFile(WaypointState& state, std::vector<std::string>& memo1, RunFlags& flags, Host& host,
                      const std::string& path1250) {
  std::string ext = text::UpperCase(files::ExtensionOf(path1250));
  if (ext == ".GPX") {
    std::vector<std::string> wpt;
    std::vector<std::string> gpx;
    {
      BusyCursor busy(host);
      gpx = ReadGpxText(path1250);
      gpx2wpt(gpx, wpt, flags);
      memo1 = std::move(gpx);
      state.wptText = std::move(wpt);
      state.currentFile = path1250;
      Spracujwpt(state);
    }
  } else if (ext == ".WPT") {
    std::vector<std::string> lines = files::ReadLines(files::PcPath(path1250));
    state.wptText = std::move(lines);
    state.currentFile = path1250;
    state.fileNameField = files::FileNameOf(path1250);
    Spracujwpt(state);
  } else {
    // Not read, yet remembered as the current file.
    state.currentFile = path1250;
  }
  host.stateChanged();
}

}  // namespace trovik::waypoints
