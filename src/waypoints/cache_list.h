#pragma once
// The cache list: three parallel check lists of the "Browser" tab. Entry i of
// names, codes and positions describe the same cache; the names and codes
// lists carry a mark each.

#include <string>
#include <vector>

namespace trovik::waypoints {

inline constexpr const char* kPositionFromWpt = "wpt file";
inline constexpr const char* kPositionUnknown = "?";

struct CacheList {
  std::vector<std::string> names;      // CheckListBox1, "Podľa názvov"
  std::vector<std::string> codes;      // CheckListBox2, "Podľa GCxxxx"
  std::vector<std::string> positions;  // CheckListBox3, "GPS"
  std::vector<bool> nameMarks;         // marks of CheckListBox1
  std::vector<bool> codeMarks;         // marks of CheckListBox2
  int itemIndex = -1;                  // current entry of the names list, -1 for none

  int count() const { return static_cast<int>(names.size()); }
  void clear() {
    names.clear(), codes.clear(), positions.clear();
    nameMarks.clear(), codeMarks.clear();
    itemIndex = -1;
  }
  // Appends one cache with both marks cleared.
  void add(std::string name, std::string code, std::string position) {
    names.push_back(std::move(name));
    codes.push_back(std::move(code));
    positions.push_back(std::move(position));
    nameMarks.push_back(false);
    codeMarks.push_back(false);
  }
};

}  // namespace trovik::waypoints
