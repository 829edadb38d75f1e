#pragma once
// The <wpt> elements of a GPX file as the cache reader takes them: the
// fields of the waypoint, the cache extension, the database's and the
// opencaching extension, matched by namespace and local name.

#include <functional>
#include <string>

#include "text/text.h"
#include "waypoints/gpx_caches.h"

namespace trovik::waypoints {

// One <wpt> as read: what every pass needs, and the cache in the pass that wants it.
struct Wpt {
  std::string lat, lon;
  std::string name, desc, cmt, sym, type;
  std::string gsakCode, gsakParent, latBefore, lonBefore;
  bool hasCache = false;
  long line = 0;
  CacheRecord rec;

  std::string code() const { return !gsakCode.empty() ? text::Trim(gsakCode) : text::Trim(name); }
};

// Identity: the waypoint's own fields, its codes and whether it has cache
// data. Caches: everything.
enum class WptPass { Identity, Caches };

// Streams the file's <wpt> elements to `sink` as each ends; `sink` returns
// false to end the reading. `maxLogs` (-1: all) applies to the Caches pass.
// Throws as ReadXmlFile.
void ReadWpts(const std::string& pathUtf8, WptPass pass, int maxLogs, const std::function<bool(Wpt&)>& sink);

}  // namespace trovik::waypoints
