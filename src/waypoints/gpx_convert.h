#pragma once
// GPX to OziExplorer waypoint text: a line scan by plain substring search, not
// an XML parse. It reads pretty-printed GPX (one tag per line) the way the
// program always has, and also GPX written with whole waypoints on one line.

#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "base/flags.h"

namespace trovik::waypoints {

// The four fixed lines that open every waypoint text the conversion writes.
const std::vector<std::string>& WptHeaderLines();

// Text between the first "<name>" and the first "</name>" of the record; empty
// when either is missing or the closing tag does not follow the opening one.
std::string GetTagText(std::string_view record, std::string_view name);
// Value of `lat="..."` (ended by the first `" ` of the record) or of any other
// attribute (ended by the first `">`); empty when absent or out of order.
std::string GetAttrValue(std::string_view record, std::string_view name);

// The current local time as the date field: day count, general format, ".".
std::string WptDateText();
// One waypoint line of the conversion from a record; `date` is WptDateText().
std::string ComposeGpxLine(long long number, std::string_view record, std::string_view date);

// The record scan, fed one GPX line at a time so that a caller may stream a
// file through it. Each finished record goes to `onRecord`.
//
// A line holding "<wpt " starts a record (the whole line), every following
// line is appended as it is, and the first line holding "</wpt>" ends it;
// the last line of the text never starts one. A waypoint that opens and
// closes on one line is a record of its own (from "<wpt " to "</wpt>"), as
// many as a line holds; text after a "</wpt>" is scanned again, so each
// waypoint is found once however the file is broken into lines.
class GpxRecordScanner {
 public:
  explicit GpxRecordScanner(std::function<void(std::string_view)> onRecord) : onRecord_(std::move(onRecord)) {}
  // `last` says this is the last line of the text.
  void line(std::string_view text, bool last);
  // End of text: a record still open (a truncated file) yields its line too.
  void finish();

 private:
  void scanOutside(std::string_view text, size_t from, bool last);
  std::function<void(std::string_view)> onRecord_;
  std::string record_;
  bool inRecord_ = false;
};

// Composes numbered lines from records: the number starts at 0 and each line
// takes the clock when it is composed.
class GpxLineWriter {
 public:
  explicit GpxLineWriter(std::function<void(std::string&&)> onLine) : onLine_(std::move(onLine)) {}
  void record(std::string_view record);
  long long count() const { return number_; }

 private:
  std::function<void(std::string&&)> onLine_;
  long long number_ = 0;
};

// gpx2wpt: replaces the waypoint text with the header and one line per
// waypoint of the GPX text, and sets the run's decimal separator to ".".
void gpx2wpt(const std::vector<std::string>& gpxText, std::vector<std::string>& wptText, RunFlags& flags);

}  // namespace trovik::waypoints
