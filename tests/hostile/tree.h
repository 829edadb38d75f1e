#pragma once
// Snapshots of a folder tree, to see which files a run wrote, changed or removed.

#include <map>
#include <string>
#include <vector>

namespace trovik::hostile {

struct Entry {
  char type = 'f';        // f file, d folder, l link, o other
  unsigned long long size = 0;
  std::size_t digest = 0;  // of the contents (files) or the link target
};

using Tree = std::map<std::string, Entry>;  // relative path -> entry

Tree Snapshot(const std::string& folder);
// Paths (relative) that differ between the two snapshots and do not start
// with one of `allowed` (relative prefixes such as "home/HTM/").
std::vector<std::string> ChangedOutside(const Tree& before, const Tree& after, const std::vector<std::string>& allowed);

}  // namespace trovik::hostile
