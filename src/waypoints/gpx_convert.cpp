#include "waypoints/gpx_convert.h"

#include "base/clock.h"
#include "text/text.h"

namespace trovik::waypoints {

namespace {

constexpr std::string_view kStart = "<wpt ";
constexpr std::string_view kEnd = "</wpt>";

bool allBlank(std::string_view s) {
  for (unsigned char c : s)
    if (c > 0x20) return false;
  return true;
}

}  // namespace

const std::vector<std::string>& WptHeaderLines() {
  static const std::vector<std::string> lines = {"OziExplorer Waypoint File Version 1.1", "WGS 84", "Reserved 2",
                                                 "garmin"};
  return lines;
}

std::string GetTagText(std::string_view record, std::string_view name) {
  std::string open = "<" + std::string(name) + ">";
  std::string close = "</" + std::string(name) + ">";
  int p = text::Pos(open, record);
  int q = text::Pos(close, record);
  if (p == 0 || q == 0) return "";
  int start = p + static_cast<int>(open.size());
  if (q < start) return "";
  return text::Copy(record, start, q - start);
}

std::string GetAttrValue(std::string_view record, std::string_view name) {
  std::string key = std::string(name) + "=\"";
  // "lat" is expected first (a blank follows its value), anything else last.
  std::string_view terminator = name == "lat" ? "\" " : "\">";
  int p = text::Pos(key, record);
  int t = text::Pos(terminator, record);
  if (p == 0 || t == 0) return "";
  int start = p + static_cast<int>(key.size());
  if (t < start) return "";
  return text::Copy(record, start, t - start);
}

std::string WptDateText() {
  clock::LocalTime t = clock::Now();
  return text::FormatGeneral(text::DayCount(t.year, t.month, t.day, t.hour, t.minute, t.second), '.');
}

std::string ComposeGpxLine(long long number, std::string_view record, std::string_view date) {
  std::string name = GetTagText(record, "name");
  std::string desc = GetTagText(record, "desc");
  bool geocache = GetTagText(record, "type") == "Geocache";
  std::string line = std::to_string(number);
  line += ',';
  line += name;
  line += ", ";
  line += GetAttrValue(record, "lat");
  line += ", ";
  line += GetAttrValue(record, "lon");
  line += ", ";
  line += date;
  line += ",117,0,";
  line += geocache ? "3,0,65535," : "1,16777215,32768,";
  line += desc;
  line += ",0,0,0,0, 6, 0,17,0,10.0,2,,,";
  return line;
}

void GpxRecordScanner::line(std::string_view text, bool last) {
  size_t from = 0;
  if (inRecord_) {
    size_t q = text.find(kEnd);
    if (q == std::string_view::npos) {
      record_.append(text);
      return;
    }
    // A waypoint opening before this closing tag ends the open record there
    // and is scanned as a waypoint of its own.
    size_t s = text.find(kStart);
    size_t cut = (s != std::string_view::npos && s < q) ? s : q;
    // Text before the end belongs to the record; a pretty-printed closing
    // line only has its indent there, which is left out as it always was.
    std::string_view head = text.substr(0, cut);
    if (!allBlank(head)) record_.append(head);
    inRecord_ = false;
    onRecord_(record_);
    record_.clear();
    from = cut == s ? s : q + kEnd.size();
  }
  scanOutside(text, from, last);
}

void GpxRecordScanner::scanOutside(std::string_view text, size_t from, bool last) {
  bool wholeLine = from == 0;
  while (from < text.size()) {
    size_t p = text.find(kStart, from);
    if (p == std::string_view::npos) return;
    size_t q = text.find(kEnd, p + kStart.size());
    if (q != std::string_view::npos) {
      onRecord_(text.substr(p, q - p));
      from = q + kEnd.size();
      wholeLine = false;
      continue;
    }
    // Opens here, closes on a later line; the last line cannot start one.
    if (last) return;
    record_.assign(wholeLine ? text : text.substr(p));
    inRecord_ = true;
    return;
  }
}

void GpxRecordScanner::finish() {
  if (!inRecord_) return;
  inRecord_ = false;
  onRecord_(record_);
  record_.clear();
}

void GpxLineWriter::record(std::string_view record) {
  onLine_(ComposeGpxLine(number_, record, WptDateText()));
  ++number_;
}

void gpx2wpt(const std::vector<std::string>& gpxText, std::vector<std::string>& wptText, RunFlags& flags) {
  std::vector<std::string> out = WptHeaderLines();
  flags.decimalSeparator = '.';
  GpxLineWriter writer([&out](std::string&& line) { out.push_back(std::move(line)); });
  GpxRecordScanner scanner([&writer](std::string_view record) { writer.record(record); });
  for (size_t i = 0; i < gpxText.size(); ++i) scanner.line(gpxText[i], i + 1 == gpxText.size());
  scanner.finish();
  wptText = std::move(out);
}

}  // namespace trovik::waypoints
