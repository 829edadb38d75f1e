#pragma once
// Helpers of the waypoint tests: a fixed clock, data files, whole-file reads,
// temporary folders; the ones every test uses by their short names.

#include <cstdlib>
#include <string>
#include <vector>

#include "support/temp_dir.h"

namespace trovik::waypoints::testing {

// 08:00 makes the day fraction a third, which shows the 15-digit format.
inline constexpr const char* kNow = "2026-12-08T08:00:00";
inline constexpr const char* kNowDate = "46364.3333333333";

inline void FixClock(const char* when = kNow) {
  ::setenv("TROVIK_NOW", when, 1);
}

inline std::string DataFile(const std::string& name) {
  return std::string(TROVIK_TEST_DATA) + "/" + name;
}

using trovik::testing::ReadBytes;

// A GPX waypoint spread over lines the way pretty-printing writes it.
inline std::vector<std::string> PrettyWpt(const std::string& lat, const std::string& lon, const std::string& name,
                                          const std::string& desc = "", const std::string& type = "") {
  std::vector<std::string> lines = {"  <wpt lat=\"" + lat + "\" lon=\"" + lon + "\">", "    <name>" + name + "</name>"};
  if (!desc.empty()) lines.push_back("    <desc>" + desc + "</desc>");
  if (!type.empty()) lines.push_back("    <type>" + type + "</type>");
  lines.push_back("  </wpt>");
  return lines;
}

}  // namespace trovik::waypoints::testing

namespace trovik::waypoints {

using testing::DataFile;
using testing::FixClock;
using testing::ReadBytes;
using trovik::testing::TempDir;

}  // namespace trovik::waypoints
