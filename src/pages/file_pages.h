#pragma once
// Offline pages straight from a waypoint file: each cache's description,
// hint, logs and child waypoints become HTM\<page name>.htm with its pictures
// in Pictures\, no website involved; an index lists the run's pages. Pages are
// Windows-1250 like every offline page, with what the code page lacks written
// as character references.

#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "pages/pages.h"
#include "pages/sanitize.h"
#include "text/cp1250.h"
#include "waypoints/gpx_caches.h"

namespace trovik::pages {

struct FilePagesOptions {
  std::vector<std::string> codes;  // only these caches; empty: every one
  bool pictures = true;            // download the descriptions' pictures
  int logs = 10;                   // newest logs a page shows
  std::optional<waypoints::GeoPoint> home;  // distance and direction in the index
  bool index = true;               // write the index of the run's pages
  bool codeFromName = true;        // "[Zoznam] KodZNazvu", so pages are named as the list names caches
};

// Told after each page, and when a picture could not be fetched.
struct FilePagesEvents {
  // `done` pages of `total` (0 while unknown); `code` and `page` (its path) of
  // the one just written. The other events' codes are UTF-8 as the file has them.
  std::function<void(int done, int total, const text::Cp1250& code, const text::Cp1250& page)> pageWritten;
  // A picture that keeps its web address in the page (UTF-8 address).
  std::function<void(const std::string& code, const std::string& address)> pictureFailed;
  // A code met again in the file (its first occurrence made the page).
  std::function<void(const std::string& code)> duplicate;
};

struct FilePagesResult {
  int pages = 0;               // written
  std::string firstPage;       // the first of them (1250 path)
  std::vector<std::string> codes;  // the codes asked for whose pages were written (a run of all keeps none)
  int failedPictures = 0;
  std::string index;          // HTM folder + "index.htm", when written
  bool stopped = false;       // "Brejk" or shut-down ended the run early
  device::Outcome deviceOutcome = device::Outcome::Done;  // the worst of the device copies
};

// HTM\<page name>.htm for every cache of `gpxPath1250` (or the listed codes),
// the pictures beside, the index after, and with "Aj do PDA" ticked their
// device copies (and the Garmin photos) at the end, when the card has room
// for all of them. "Brejk" stops after the page in hand and abandons the
// downloads in flight; the pages written so far stay and the index lists them.
// Throws trovik::Error for a file that cannot be read or is malformed (before
// any page is written) or a page that cannot be written.
FilePagesResult MakeFilePages(PagesState& state, PageOutput& out, const std::string& gpxPath1250,
                              const FilePagesOptions& options, const FilePagesEvents& events);

// The name a cache's page gets: its entry of the names list, as the list
// builder makes it of the waypoint's line (a pocket query's names are codes,
// so their description names the cache), with the listing request's
// replacements.
text::Cp1250 FilePageName(const waypoints::CacheRecord& cache, bool codeFromName);

// "N 48°20.000' E 018°05.000'" (the degree sign one byte) as a point;
// nothing when the text is not in that form. S and W give negative values.
std::optional<waypoints::GeoPoint> ParseHomePosition(const text::Cp1250& position);

// The page of one cache (UTF-8, CR LF), its descriptions already sanitized and
// `sources[i]` standing for their pictures in order (short first).
struct CachePageInput {
  const waypoints::CacheRecord& cache;
  const SanitizedHtml& shortDescription;
  const SanitizedHtml& longDescription;
  const std::vector<std::string>& sources;
  int logs = 10;
  std::string sourceFile;  // the waypoint file's name, for the footer (UTF-8)
};
std::string CachePageHtml(const CachePageInput& input);

// One line of the index.
struct IndexEntry {
  std::string name, code, type, container, difficulty, terrain;  // UTF-8
  text::Cp1250 page;  // file name of the page
  waypoints::GeoPoint position;
};
// "index.htm" (what the code page lacks as references): sorted by name in the
// Slovak order; with a home point also the distance and direction.
// `byDistance` sorts by distance instead (needs home).
text::Cp1250 IndexHtml(const std::vector<IndexEntry>& entries, const std::optional<waypoints::GeoPoint>& home,
                      bool byDistance);

}  // namespace trovik::pages
