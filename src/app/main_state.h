#pragma once
// The state of a run that the main window TForm1 owns. The window shows it
// and forwards its events to the core commands that change it; nothing here
// knows about widgets. Each module's own state is one member, so a module
// joins the window with one line here.

#include <array>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "base/fields.h"
#include "base/flags.h"
#include "waypoints/waypoint_state.h"

namespace trovik::app {

// The tabs of the main window, in their order.
enum class Tab { Browser, Html, Wpt, Nastavenia, OPrograme, PdaManazer, NovinkyVOkoliMiest, PomockyGeokesera };

// One row of a file-manager grid: name, size, date and time, attributes and
// the hidden fifth cell the sort carries along.
using GridRow = std::array<std::string, 5>;

// The sort of a file-manager pane: 0 none, 1 ascending, 2 descending.
struct PaneSort {
  int nameMode = 0;
  int dateMode = 0;
};

// Work of other modules that the start-up and shut-down sequences trigger.
// Unset hooks are skipped.
struct ShellHooks {
  std::function<void()> loadTownList;       // first stage: NacitajMestaDoListboxu
  std::function<void()> pcFolderChanged;    // the PC folder tree switched: DirectoryListBox1Change
  std::function<void()> releaseDeviceLink;  // shut-down: the device link is released
};

struct MainState {
  // `programFolder` is 1250 text with its trailing separator.
  explicit MainState(std::string programFolder);

  // Where the program is and what it keeps there (1250 text).
  std::string programFolder;
  std::string settingsPath;    // programFolder + "Trovik.ini"
  std::string picturesFolder;  // programFolder + "Pictures" + separator, once created
  std::string htmFolder;       // programFolder + "HTM" + separator, once created

  std::string versionText;  // "1.4.1.14"
  std::string caption;      // "Elektronický pomocník pre geocaching " + versionText

  Fields fields;
  RunFlags flags;
  waypoints::WaypointState waypoints;
  std::vector<std::string> memo1;  // "HTML" tab, Memo1: GPX text and captured pages

  // The file manager's panes as far as start-up and shut-down touch them.
  std::string currentDeviceFolder;  // ends with "\"
  std::string currentPcFolder;      // the PC folder tree's folder
  std::string statusBar3Panel0;     // device pane: shows the device folder
  std::string statusBar5Panel0;     // PC pane: shows the PC folder
  PaneSort pdaSort;
  PaneSort pcSort;
  std::vector<GridRow> stringPda;   // device grid, row 0 the header
  std::vector<GridRow> stringPc;    // PC grid, row 0 the header

  // The largest picture a download may bring ("Setrenie"/"MaxObrazokMB").
  int64_t maxPictureBytes = 50LL * 1024 * 1024;

  std::string aboutHtml;  // RichEdit1 on "O programe": the about text as rich text HTML (UTF-8)
  Tab activeTab = Tab::Browser;
  bool activated = false;  // the second start-up stage has run

  ShellHooks hooks;
};

// The program folder as 1250 text (the executable's folder, TROVIK_HOME or --home).
std::string ProgramFolder1250();

}  // namespace trovik::app
