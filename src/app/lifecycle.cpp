#include "app/lifecycle.h"

#include "app/rtf.h"
#include "app/settings.h"
#include "base/error.h"
#include "base/files.h"
#include "text/text.h"
#include "waypoints/cache_lists.h"
#include "waypoints/open_command.h"

namespace trovik::app {

namespace {

// Makes the last level of `folder` (1250 text, no trailing separator) unless
// it is there; reports a failure.
bool EnsureFolder(const std::string& folder, Host& host) {
  const std::string fs = files::PcPath(folder);
  if (files::IsDirectory(fs) || files::CreateDir(fs)) return true;
  host.showMessage(CannotCreateFile(folder).text());
  return false;
}

void GridStartRows(std::vector<GridRow>& grid) {
  if (grid.size() < 2) grid.resize(2);
  grid[0] = GridRow{"Názov súboru"_1250.bytes(), "Veľkosť"_1250.bytes(), "Dátum a čas"_1250.bytes(), "Attr", ""};
  grid[1] = GridRow{"..", "<DIR>", "", "", ""};
}

}  // namespace

std::string VersionText() {
#ifdef TROVIK_VERSION
  return TROVIK_VERSION;
#else
  return "";
#endif
}

std::string WindowCaption(const std::string& versionText) {
  return "Elektronický pomocník pre geocaching "_1250.bytes() + versionText;
}

void FormCreate(MainState& s, Host& host) {
  s.pdaSort = PaneSort{1, 0};
  s.pcSort = PaneSort{1, 0};
  // A folder that cannot be made is reported, and the paths are still set:
  // later writes into it then fail with their own error instead of landing
  // in whatever the working folder is.
  EnsureFolder(s.programFolder + "Pictures", host);
  EnsureFolder(s.programFolder + "HTM", host);
  RemoveLeftoverTemps(s.programFolder);
  s.picturesFolder = s.programFolder + "Pictures/";
  s.htmFolder = s.programFolder + "HTM/";
  s.versionText = VersionText();
  s.caption = WindowCaption(s.versionText);
  if (s.hooks.loadTownList) s.hooks.loadTownList();
  host.stateChanged();
}

void RemoveLeftoverTemps(const std::string& programFolder) {
  for (const char* sub : {"", "HTM", "Pictures"}) files::RemoveStaleTemps(files::PcPath(programFolder + sub));
}

void ReloadWaypointFile(MainState& s, Host& host) {
  const std::string& path = s.waypoints.currentFile;
  if (text::UpperCase(files::ExtensionOf(path)) == ".GPX") {
    waypoints::OpenWaypointFile(s.waypoints, s.memo1, s.flags, host, path);
    return;
  }
  s.waypoints.wptText = files::ReadLines(files::PcPath(path));
  waypoints::Spracujwpt(s.waypoints);
}

void FormActivate(MainState& s, Host& host) {
  // Set first: a message box shown below activates the window again.
  if (s.activated) return;
  s.activated = true;

  if (!files::Exists(files::PcPath(s.settingsPath))) s.activeTab = Tab::OPrograme;

  const std::string about = s.programFolder + kAboutFile;
  if (files::Exists(files::PcPath(about))) {
    try {
      s.aboutHtml = RtfToHtml(files::ReadAll(files::PcPath(about)));
    } catch (const Error& e) {
      host.showMessage(e.text());
    }
  }
  // On screen before the first start's open dialog comes up over it.
  host.stateChanged();

  ReadLogin(s);
  ReadLastFolders(s);
  ReadDeviceFolders(s);
  ReadLastWpt(s);
  ReadAddresses(s);
  ReadListOptions(s);

  if (!s.waypoints.currentFile.empty()) {
    try {
      ReloadWaypointFile(s, host);
    } catch (const Error& e) {
      // The lists stay empty; the rest of the start-up still runs.
      host.showMessage(e.text());
    }
  } else if (const std::string sample = s.programFolder + std::string(kSampleWaypointFile);
             files::Exists(files::PcPath(sample))) {
    s.waypoints.currentFile = sample;
    try {
      waypoints::ToolButton10Click(s.waypoints, s.memo1, s.flags, host);
    } catch (const Error& e) {
      host.showMessage(e.text());
    }
    try {
      WriteFirstStartWpt(s.settingsPath, s.waypoints.currentFile);
    } catch (const Error& e) {
      host.showMessage(e.text());
    }
  }

  s.flags.shutDown = false;
  ReadSetrenie(s);
  ReadFilePageSettings(s);
  s.statusBar3Panel0 = s.currentDeviceFolder;
  GridStartRows(s.stringPda);
  GridStartRows(s.stringPc);
  host.stateChanged();
}

void FormClose(MainState& s, Host& host) {
  if (s.hooks.releaseDeviceLink) s.hooks.releaseDeviceLink();
  s.flags.pageDone = true;
  s.flags.shutDown = true;
  try {
    WriteShutdownSettings(s);
  } catch (const Error& e) {
    host.showMessage(e.text());
  }
}

void SpeedButton11Click(RunFlags& flags) {
  flags.pageDone = true;
  ++flags.brejks;
}

}  // namespace trovik::app
