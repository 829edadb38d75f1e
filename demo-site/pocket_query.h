#pragma once
// The sample caches as a pocket query, the file a geocacher downloads instead
// of visiting the listings: GPX 1.0 with the cache extension 1.0.1 in each
// waypoint, and beside it the file of the caches' additional waypoints. UTF-8
// with CR LF line ends, written from the catalogue so that it agrees with the
// listings the server shows.

#include <string>

#include "catalog.h"

namespace trovik::demo {

// The address pictures and listings have when none is given: the settings'
// default demo site.
inline const char* const kDefaultBase = "http://127.0.0.1:8080";

// The caches of the sample waypoint file, in its order; pictures and
// listings at `base` ("http://127.0.0.1:8080", no trailing slash).
std::string PocketQuery(const Catalog& catalog, const std::string& base);
// Their parking places, stages, finals and reference points (NAME-wpts.gpx).
std::string PocketQueryWaypoints(const Catalog& catalog, const std::string& base);
// "dir/name.gpx" -> "dir/name-wpts.gpx", where a pocket query's partner lies.
std::string WaypointsFileFor(const std::string& pocketQueryPath);

}  // namespace trovik::demo
