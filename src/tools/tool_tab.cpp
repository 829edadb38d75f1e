#include "tools/tool_tab.h"

#include <optional>

#include "base/error.h"
#include "text/text.h"
#include "tools/coords.h"
#include "tools/geodesy.h"
#include "tools/hint.h"

namespace trovik::tools {

namespace {

// The distance panel reads and writes "." whatever the locale says.
double ReadField(const std::string& field) {
  const std::optional<double> v = text::ParseFloat(field, '.');
  if (!v) throw NotValidFloat(field);
  return *v;
}

std::string Rounded(double value, double scale) {
  return text::FormatGeneral(static_cast<double>(text::RoundHalfEven(value * scale)) / scale, '.');
}

}  // namespace

std::string SampleHintText() {
  // Slovak letters with diacritics are no ASCII letters and stay as they are.
  return "Xršxn wr hxelgá cbq xberňbz fgneéub ohxn, nfv qin zrger bq pubqaíxn.\r\n"
         "Cbmbe an žvuľnih! (Xóq an fpueáaxr: 42)"_1250.bytes();
}

void Edit9KeyUp(ToolFields& fields, RunFlags& flags) {
  flags.decimalSeparator = DegreeTextSeparator(fields.edit9);
  fields.edit10 = DegToDegMin(fields.edit9);
}

void Edit10KeyUp(ToolFields& fields) { fields.edit9 = DegMinToDeg(fields.edit10) + kDegree; }

void SpeedButton16Click(ToolFields& fields, RunFlags& flags) {
  flags.decimalSeparator = '.';
  const double lat1 = ReadField(fields.edit11);
  const double lon1 = ReadField(fields.edit12);
  const double lat2 = ReadField(fields.edit13);
  const double lon2 = ReadField(fields.edit14);
  const Bearings b = DistanceAndBearings(lat1, lon1, lat2, lon2);
  fields.edit15 = Rounded(b.distance, 1000);
  fields.edit16 = Rounded(b.forwardAzimuth, 10);
  fields.edit17 = Rounded(b.backAzimuth, 10);
}

std::string ProjectionText(const ToolFields& fields, RunFlags& flags) {
  flags.decimalSeparator = '.';
  const double lat1 = ReadField(fields.edit11);
  const double lon1 = ReadField(fields.edit12);
  const double bearing = ReadField(fields.edit16);
  const double distance = ReadField(fields.edit15);
  return VincentyDirect(lat1, lon1, bearing, distance);
}

void SpeedButton2Click(const ToolFields& fields, RunFlags& flags, Host& host) {
  host.showMessage(ProjectionText(fields, flags));
}

void SpeedButton15Click(ToolFields& fields) {
  // Line breaks are no letters, so decoding the whole memo decodes every line
  // in place and keeps the breaks and empty lines as they are.
  fields.memo5 = DecodeHint(fields.memo5);
}

void SpeedButton27Click(Host& host) { host.showMessage(ListingCoordsToDeg(std::string(kSelfTestListing))); }

}  // namespace trovik::tools
