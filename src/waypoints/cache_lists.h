#pragma once
// The cache list built from waypoint text, and the list buttons: marks kept
// equal between the names and codes lists, mark all, unmark all, "CLR".

#include <optional>
#include <string>
#include <string_view>

#include "waypoints/waypoint_state.h"

namespace trovik::waypoints {

// The code candidate of a waypoint line: the text between the last "(" and the
// first ")" after it (from the line start when there is no "(").
std::string CodeCandidate(std::string_view line);

// "GC" followed by one or more of 0-9 and A-Z, nothing else.
bool IsCacheCode(std::string_view text);

// The description of a waypoint line: fields 11 to n-13 of its n
// comma-separated fields joined again by commas (commas written inside it stay
// in it; the thirteen fields after it are the format's fixed tail), field 11
// alone in a line of fewer than 24 fields, "" in a line of fewer than 11.
std::string DescriptionOf(std::string_view line);

// A cache that a line names by its second field, as pocket queries and the
// common exports write it: the code is that field, the name is the
// description up to its last " by " (the owner). Nothing for a line whose
// second field is not a cache code, and nothing for a line of the found-cache
// export, whose description ends with the code in square brackets.
struct NamedCache {
  std::string name;
  std::string code;
};
std::optional<NamedCache> CacheFromName(std::string_view line);

// What a waypoint line adds to the cache list: the cache of its last
// "(GC...)" group, named by its second field; else, with `codeFromName`,
// CacheFromName; else nothing.
std::optional<NamedCache> ListEntry(std::string_view line, bool codeFromName);

// "Súbor neobsahuje žiadnu kešku s kódom GC." (1250).
const std::string& NoCacheText();

// The name the waypoint text of `path` is saved under: the file's name, with
// the extension of a GPX file replaced by ".wpt" so that a save into the
// program folder never replaces the GPX file that was read.
std::string WptSaveName(std::string_view path);

// Spracujwpt: sets the file-name field from the current file and rebuilds the
// three lists from the waypoint text; every line with a "(GC...)" group adds
// one cache, and, when `codeFromName` is set, so does every other line that
// CacheFromName accepts. Marks cleared; `statusText` is NoCacheText() when
// nothing was listed, else "".
void Spracujwpt(WaypointState& state);

// A click in the names list copies the mark of its current entry to the codes
// list; a click in the codes list (current entry `codesIndex`) copies back.
// Without a current entry nothing changes.
void CheckListBox1Click(CacheList& caches);
void CheckListBox2Click(CacheList& caches, int codesIndex);

// Mark all / unmark all: every entry of both lists.
void MarkAll(CacheList& caches);
void UnmarkAll(CacheList& caches);

// "CLR" (SpeedButton21): empties the lists and disables "Exportuj do wpt ".
// The waypoint text stays.
void SpeedButton21Click(WaypointState& state);

}  // namespace trovik::waypoints
