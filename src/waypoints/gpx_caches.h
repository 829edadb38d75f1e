#pragma once
// The cache descriptions of a GPX file (pocket queries, desktop-database and
// opencaching exports), read by a streaming XML parser: the file is never held
// whole, so an export of gigabytes reads in bounded memory.
//
// Unlike the rest of the core, the texts here are UTF-8 as the file has them:
// a page made from them writes what Windows-1250 lacks as character
// references, so nothing of the owner's text may be lost on the way in.

#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace trovik::waypoints {

struct GeoPoint {
  double lat = 0;
  double lon = 0;
};

struct CacheAttribute {
  int id = 0;
  bool present = true;  // inc="0" says "not"
  std::string text;     // the file's own wording, as given
};

struct CacheLog {
  std::string date;    // as in the file, e.g. "2024-05-01T19:00:00Z"
  std::string type;    // "Found it", "Didn't find it", ...
  std::string finder;
  std::string text;    // decoded when the file marked it encoded (ROT13)
};

struct TravelBug {
  std::string ref;
  std::string name;
};

// A child waypoint: parking, stage, final, reference point.
struct ChildWaypoint {
  std::string code;
  std::string kind;  // the waypoint's type after "Waypoint|", else its sym
  std::string name;  // the description the file gives it
  std::string note;  // <cmt>
  std::optional<GeoPoint> position;  // none for a child at 0,0
};

struct CacheRecord {
  std::string code;  // GC.../OC...: the cache extension's or the database's code, else the waypoint name
  std::string waypointName;  // <name> of the <wpt>
  std::string waypointDescription;  // its <desc>: with the name, what the cache list shows
  std::string name;          // the cache's name
  std::string placedBy;
  std::string owner;
  std::string type;
  std::string container;
  std::string difficulty;  // as written: "1.5"
  std::string terrain;
  std::string country;
  std::string state;
  std::string placed;  // <time> of the <wpt>
  std::string url;
  bool available = true;
  bool archived = false;
  GeoPoint position;                 // the <wpt>'s lat/lon (corrected when corrected)
  std::optional<GeoPoint> original;  // LatBeforeCorrect/LonBeforeCorrect
  std::vector<CacheAttribute> attributes;
  std::string shortDescription;
  bool shortIsHtml = false;
  std::string longDescription;
  bool longIsHtml = false;
  std::string hint;  // plain text as the file gives it
  std::vector<CacheLog> logs;  // in file order (pocket queries put the newest first)
  std::vector<TravelBug> travelBugs;
  std::string userNote;  // the database's UserData
  std::string ocSize;    // opencaching extension, where present
  std::string ocTripTime;
  std::vector<ChildWaypoint> children;
  long line = 0;  // where its <wpt> starts, for messages
};

struct GpxReadOptions {
  // Only these codes reach onCache (empty: all). The reader stops early once
  // every one has been met.
  std::vector<std::string> codes;
  // Children from "<stem>-wpts.gpx" beside the file when it exists.
  bool companionWaypoints = true;
  // Logs kept per cache (the newest first as the file orders them); -1 keeps all.
  int maxLogs = -1;
  // Told after the first pass how many caches the second will report
  // (duplicates and codes not asked for left out), for progress.
  std::function<void(long caches)> onTotal;
};

struct GpxReadReport {
  long waypoints = 0;  // every <wpt> of the main file
  long caches = 0;     // those with a cache description, duplicates included
  std::vector<std::string> duplicates;  // each duplicated code once, in order of its second occurrence
};

// Reads `pathUtf8` (a file-system path) and calls `onCache` for each cache in
// file order, its children attached; a code met again is skipped and named in
// the report. `onCache` returns false to stop reading.
// The file is read twice: the first pass collects the children and checks
// the whole file, so a malformed file throws before any cache is reported.
// Throws trovik::Error: CannotOpenFile for a file that cannot be read; for a
// malformed file "Chybný GPX súbor <name>: riadok L, stĺpec C: <reason>" (1250).
// A file with waypoints but no cache description throws NoCacheDescriptions().
GpxReadReport ReadGpxCaches(const std::string& pathUtf8, const GpxReadOptions& options,
                            const std::function<bool(CacheRecord&&)>& onCache);

// The code of every <wpt> in file order as the cache list needs it: the
// cache extension's or the database's code (gsak:Code) when the waypoint has
// one, else "". For exports with "smart" names, whose name field holds no code.
std::vector<std::string> GpxWaypointCodes(const std::string& pathUtf8);

// "Súbor neobsahuje popisy kešiek" (1250).
std::string NoCacheDescriptionsText();

}  // namespace trovik::waypoints
