// The cache reader on arbitrary files: the byte filter before the parser
// gives the same bytes however the file is cut into pieces and lets no
// forbidden control byte through; the reader reports caches or throws the
// core's error, never twice the same code, and the cache list's codes have
// one entry per waypoint.

#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <string>
#include <unordered_set>

#include "base/error.h"
#include "fuzz_input.h"
#include "waypoints/gpx_caches.h"
#include "waypoints/xml_stream.h"

namespace {

std::string Filtered(const std::string& bytes, size_t cut1, size_t cut2) {
  trovik::waypoints::XmlByteFilter filter;
  std::string out;
  filter.feed(std::string_view(bytes).substr(0, cut1), out);
  filter.feed(std::string_view(bytes).substr(cut1, cut2 - cut1), out);
  filter.feed(std::string_view(bytes).substr(cut2), out);
  filter.finish(out);
  return out;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace trovik;
  fuzz::Input input(data, size);
  const uint8_t cutA = input.byte(), cutB = input.byte(), logs = input.byte();
  const std::string file = input.rest();

  size_t cut1 = file.empty() ? 0 : cutA * 131u % (file.size() + 1);
  size_t cut2 = file.empty() ? 0 : cut1 + cutB * 17u % (file.size() - cut1 + 1);
  const std::string whole = Filtered(file, file.size(), file.size());
  if (Filtered(file, cut1, cut2) != whole) __builtin_trap();
  const bool utf16 = file.size() < 2 || file[0] == '\0' || file[1] == '\0' || file[0] == '\xFE' || file[0] == '\xFF';
  if (!utf16)
    for (char c : whole)
      if (static_cast<unsigned char>(c) < 0x20 && c != '\t' && c != '\n' && c != '\r') __builtin_trap();

  static const std::string path = "/tmp/fuzz_gpx_caches." + std::to_string(getpid()) + ".gpx";
  if (std::FILE* f = std::fopen(path.c_str(), "wb")) {
    std::fwrite(file.data(), 1, file.size(), f);
    std::fclose(f);
  }
  waypoints::GpxReadOptions options;
  options.maxLogs = logs % 4 == 3 ? -1 : logs % 4;
  options.companionWaypoints = false;
  long codes = -1, waypointCount = -1;
  try {
    std::unordered_set<std::string> seen;
    waypoints::GpxReadReport report = waypoints::ReadGpxCaches(path, options, [&](waypoints::CacheRecord&& c) {
      if (!seen.insert(c.code).second) __builtin_trap();
      if (options.maxLogs >= 0 && c.logs.size() > static_cast<size_t>(options.maxLogs)) __builtin_trap();
      return true;
    });
    if (static_cast<long>(seen.size()) > report.caches || report.caches > report.waypoints) __builtin_trap();
    waypointCount = report.waypoints;
  } catch (const Error&) {
  }
  try {
    codes = static_cast<long>(waypoints::GpxWaypointCodes(path).size());
  } catch (const Error&) {
  }
  if (waypointCount >= 0 && codes != waypointCount) __builtin_trap();
  std::remove(path.c_str());
  return 0;
}
