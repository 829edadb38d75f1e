// GPX conversion on arbitrary text: the whole-text command, the streaming
// record scanner fed in uneven pieces, and the tag and attribute readers.

#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include "base/flags.h"
#include "text/text.h"
#include "waypoints/gpx_convert.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace trovik;
  setenv("TROVIK_NOW", "2024-05-01T12:00:00", 0);
  std::string text(reinterpret_cast<const char*>(data), size);
  std::vector<std::string> gpx = text::SplitLines(text);
  std::vector<std::string> wpt;
  RunFlags flags;
  waypoints::gpx2wpt(gpx, wpt, flags);
  if (wpt.size() < waypoints::WptHeaderLines().size()) __builtin_trap();

  // The same lines through the scanner: it finds as many records as the
  // command writes waypoint lines.
  size_t records = 0;
  waypoints::GpxRecordScanner scanner([&](std::string_view record) {
    ++records;
    (void)waypoints::GetTagText(record, "name");
    (void)waypoints::GetTagText(record, "desc");
    (void)waypoints::GetAttrValue(record, "lat");
    (void)waypoints::GetAttrValue(record, "lon");
    (void)waypoints::ComposeGpxLine(static_cast<long long>(records), record, "45000");
  });
  for (size_t i = 0; i < gpx.size(); ++i) scanner.line(gpx[i], i + 1 == gpx.size());
  scanner.finish();
  if (records != wpt.size() - waypoints::WptHeaderLines().size()) __builtin_trap();
  return 0;
}
