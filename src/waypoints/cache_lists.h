#pragma once
// The cache list built from waypoint text, and the list buttons: marks kept
// equal between the names and codes lists, mark all, unmark all, "CLR".

#include <string>
#include <string_view>

#include "waypoints/waypoint_state.h"

namespace trovik::waypoints {

// The code candidate of a waypoint line: the text between the last "(" and the
// first ")" after it (from the line start when there is no "(").
std::string CodeCandidate(std::string_view line);

// The name the waypoint text of `path` is saved under: the file's name, with
// the extension of a GPX file replaced by ".wpt" so that a save into the
// program folder never replaces the GPX file that was read.
std::string WptSaveName(std::string_view path);

// Spracujwpt: sets the file-name field from the current file and rebuilds the
// three lists from the waypoint text; every line with a "(GC...)" group adds
// one cache, marks cleared.
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
