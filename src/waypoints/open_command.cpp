#include "waypoints/open_command.h"

#include "base/error.h"
#include "base/files.h"
#include "text/text.h"
#include "waypoints/cache_lists.h"
#include "waypoints/gpx_caches.h"
#include "waypoints/gpx_convert.h"
#include "waypoints/gpx_file.h"

namespace trovik::waypoints {

namespace {
constexpr int kWptHeaderLines = 4;  // the fixed lines before the waypoints
}  // namespace

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
      state.gpxCodes.clear();
      Spracujwpt(state);
      // Waypoints the names did not list may carry their code in an extension.
      if (state.codeFromName && state.caches.count() + kWptHeaderLines < static_cast<int>(state.wptText.size())) {
        try {
          for (std::string& code : GpxWaypointCodes(files::PcPath(path1250)))
            state.gpxCodes.push_back(text::Utf8To1250(code));
        } catch (const Error&) {
          state.gpxCodes.clear();  // a file the XML reader refuses still lists what its lines say
        }
        if (!state.gpxCodes.empty()) Spracujwpt(state);
      }
    }
  } else if (ext == ".WPT") {
    std::vector<std::string> lines = files::ReadLines(files::PcPath(path1250));
    state.wptText = std::move(lines);
    state.currentFile = path1250;
    state.gpxCodes.clear();
    state.fileNameField = files::FileNameOf(path1250);
    Spracujwpt(state);
  } else {
    // Not read, yet remembered as the current file.
    state.currentFile = path1250;
  }
  host.stateChanged();
}

}  // namespace trovik::waypoints
