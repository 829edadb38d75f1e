#pragma once
// Reading GPX files: lines split like text::SplitLines, each re-encoded from
// UTF-8 into Windows-1250 on its own. The file is read in pieces, so a
// conversion that needs no GPX text kept in memory never holds the file.

#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "base/flags.h"

namespace trovik::waypoints {

// Calls `onLine` for every line of the file (split at CR LF, lone CR and lone
// LF; a last line without line end is kept), telling which one is the last.
// Throws CannotOpenFile(path1250) when the file cannot be opened or read.
void ForEachFileLine(const std::string& path1250, const std::function<void(std::string_view, bool last)>& onLine);

// One GPX line from UTF-8 into Windows-1250 (transliterated where possible,
// "?" for invalid bytes).
std::string ReencodeLine(std::string_view utf8);

// The GPX text of a file: its lines, re-encoded.
std::vector<std::string> ReadGpxText(const std::string& path1250);

// The waypoint text gpx2wpt makes of the file's GPX text, without keeping the
// GPX text: the header and one line per waypoint, in order. Sets the decimal
// separator to "." like gpx2wpt.
void ConvertGpxFile(const std::string& path1250, RunFlags& flags, const std::function<void(std::string&&)>& onWptLine);

}  // namespace trovik::waypoints
