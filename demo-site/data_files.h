#pragma once
// The sample data files laid next to the program, written from the demo
// site's own data so the two always agree: the sample waypoint file and the
// town list. Both are Windows-1250 text with CR LF line ends.

#include <string>

#include "catalog.h"

namespace trovik::demo {

// UTF-8 to Windows-1250; a character the code page lacks becomes "?".
std::string ToCp1250(const std::string& utf8);
// The sample caches as an OziExplorer waypoint file.
std::string SampleWpt(const Catalog& catalog);
// The town list: section "Mesta", "name=latitude,longitude".
std::string TownList();
// Writes the bytes to a temporary file beside the target, then renames it.
void WriteFile(const std::string& path, const std::string& bytes);

}  // namespace trovik::demo
