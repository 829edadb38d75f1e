#pragma once
// What the window keeps of the waypoint subsystem: the "WPT" tab's text and
// file-name field, the current waypoint file and the cache list. The main
// state holds one; every waypoint command works on it.

#include <string>
#include <vector>

#include "waypoints/cache_list.h"

namespace trovik::waypoints {

struct WaypointState {
  std::vector<std::string> wptText;  // Memo2: the waypoint text, 1250 lines
  std::string currentFile;           // the current waypoint file, full path, 1250
  std::string fileNameField;         // Edit6: the name the text is saved under
  CacheList caches;                  // the three lists of the "Browser" tab
  bool exportButtonEnabled = false;  // SpeedButton26 "Exportuj do wpt "
  // "[Zoznam] KodZNazvu": a line whose name is a cache code is listed even
  // without a "(GC...)" group, as pocket queries and exports write them.
  bool codeFromName = true;
  // For a GPX file whose names hold no code ("smart" names of exports): the
  // code the file gives each waypoint in its cache or database extension, by
  // waypoint line; empty when the names said enough or the file is no GPX.
  std::vector<std::string> gpxCodes;
  // What the last list build has to say ("" or NoCacheText()); the window
  // shows it in the last panel of the "Browser" tab's status bar.
  std::string statusText;
};

}  // namespace trovik::waypoints
