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
};

}  // namespace trovik::waypoints
