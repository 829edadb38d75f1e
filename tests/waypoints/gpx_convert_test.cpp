#include "waypoints/gpx_convert.h"

#include <gtest/gtest.h>

#include "waypoint_test_util.h"

namespace trovik::waypoints {
namespace {

using testing::kNowDate;
using testing::PrettyWpt;

std::vector<std::string> Split(const std::string& line) {
  std::vector<std::string> out(1);
  for (char c : line) {
    if (c == ',')
      out.emplace_back();
    else
      out.back() += c;
  }
  return out;
}

std::vector<std::string> Convert(const std::vector<std::string>& gpx) {
  RunFlags flags;
  std::vector<std::string> wpt = {"old text"};
  gpx2wpt(gpx, wpt, flags);
  return wpt;
}

std::vector<std::string> Join(std::initializer_list<std::vector<std::string>> parts) {
  std::vector<std::string> out;
  for (const auto& p : parts) out.insert(out.end(), p.begin(), p.end());
  return out;
}

class Gpx2Wpt : public ::testing::Test {
 protected:
  void SetUp() override { FixClock(); }
};

TEST(GetTagText, TakesTextBetweenFirstOpeningAndFirstClosingTag) {
  EXPECT_EQ(GetTagText("  <name>GC1</name>  <name>GC2</name>", "name"), "GC1");
  EXPECT_EQ(GetTagText("<desc>a &amp; <b>b</b></desc>", "desc"), "a &amp; <b>b</b>");
  EXPECT_EQ(GetTagText("<name></name>", "name"), "");
  // Missing tags, a closing tag first, attributes on the opening tag.
  EXPECT_EQ(GetTagText("<name>GC1", "name"), "");
  EXPECT_EQ(GetTagText("GC1</name>", "name"), "");
  EXPECT_EQ(GetTagText("</name><name>GC1</name>", "name"), "");
  EXPECT_EQ(GetTagText("<name id=\"1\">GC1</name>", "name"), "");
  // Case-sensitive, and a prefixed element is another element.
  EXPECT_EQ(GetTagText("<Name>GC1</Name>", "name"), "");
  EXPECT_EQ(GetTagText("<tc:type>Multi</tc:type><type>Geocache</type>", "type"), "Geocache");
}

TEST(GetAttrValue, LatEndsAtQuoteBlankOtherAtQuoteBracket) {
  std::string rec = "  <wpt lat=\"48.123\" lon=\"18.456\">";
  EXPECT_EQ(GetAttrValue(rec, "lat"), "48.123");
  EXPECT_EQ(GetAttrValue(rec, "lon"), "18.456");
  // lon first: no latitude, and the longitude runs on to the first quote before ">".
  std::string swapped = "<wpt lon=\"18.456\" lat=\"48.123\">";
  EXPECT_EQ(GetAttrValue(swapped, "lat"), "");
  EXPECT_EQ(GetAttrValue(swapped, "lon"), "18.456\" lat=\"48.123");
  EXPECT_EQ(GetAttrValue("<wpt lat=\"48.1\">", "lat"), "");
  EXPECT_EQ(GetAttrValue("<wpt>", "lon"), "");
  EXPECT_EQ(GetAttrValue("<wpt lat=\"\" lon=\"\">", "lat"), "");
}

TEST_F(Gpx2Wpt, HeaderAndOneLinePerWaypointNumberedFromZero) {
  auto wpt = Convert(
      Join({{"<gpx>"}, PrettyWpt("1", "2", "A"), PrettyWpt("3", "4", "B"), PrettyWpt("5", "6", "C"), {"</gpx>"}}));
  ASSERT_EQ(wpt.size(), 7u);
  EXPECT_EQ(wpt[0], "OziExplorer Waypoint File Version 1.1");
  EXPECT_EQ(wpt[1], "WGS 84");
  EXPECT_EQ(wpt[2], "Reserved 2");
  EXPECT_EQ(wpt[3], "garmin");
  EXPECT_EQ(wpt[4], std::string("0,A, 1, 2, ") + kNowDate + ",117,0,1,16777215,32768,,0,0,0,0, 6, 0,17,0,10.0,2,,,");
  EXPECT_EQ(Split(wpt[5])[0], "1");
  EXPECT_EQ(Split(wpt[6])[0], "2");
  EXPECT_EQ(Split(wpt[6])[1], "C");
}

TEST_F(Gpx2Wpt, GeocacheTypeOnlyWhenExact) {
  auto wpt = Convert(Join({PrettyWpt("1", "2", "A", "d", "Geocache"),
                           PrettyWpt("1", "2", "B", "d", "Geocache|Traditional Cache"),
                           PrettyWpt("1", "2", "C"),
                           {"</gpx>"}}));
  ASSERT_EQ(wpt.size(), 7u);
  auto f = Split(wpt[4]);
  ASSERT_EQ(f.size(), 24u);
  EXPECT_EQ((std::vector<std::string>(f.begin() + 5, f.begin() + 10)),
            (std::vector<std::string>{"117", "0", "3", "0", "65535"}));
  for (int i : {5, 6}) {
    auto g = Split(wpt[i]);
    EXPECT_EQ((std::vector<std::string>(g.begin() + 5, g.begin() + 10)),
              (std::vector<std::string>{"117", "0", "1", "16777215", "32768"}));
  }
}

TEST_F(Gpx2Wpt, FieldLayoutBlanksAndCommas) {
  auto wpt = Convert(Join({PrettyWpt("48.5", "18.25", "Mlyn, starý", "Popis, s čiarkou"), {"</gpx>"}}));
  ASSERT_EQ(wpt.size(), 5u);
  EXPECT_EQ(wpt[4], std::string("0,Mlyn, starý, 48.5, 18.25, ") + kNowDate +
                        ",117,0,1,16777215,32768,Popis, s čiarkou,0,0,0,0, 6, 0,17,0,10.0,2,,,");
}

TEST_F(Gpx2Wpt, DateUsesPointAndTheRunSwitchesToPoint) {
  RunFlags flags;
  ASSERT_EQ(flags.decimalSeparator, ',');
  std::vector<std::string> wpt;
  gpx2wpt(Join({PrettyWpt("1", "2", "A"), {"</gpx>"}}), wpt, flags);
  EXPECT_EQ(flags.decimalSeparator, '.');
  EXPECT_EQ(Split(wpt.at(4))[4], std::string(" ") + kNowDate);
  // The separator switches even when there is nothing to convert.
  RunFlags other;
  gpx2wpt({}, wpt, other);
  EXPECT_EQ(other.decimalSeparator, '.');
  EXPECT_EQ(wpt, WptHeaderLines());
}

TEST_F(Gpx2Wpt, DayCountGeneralFormat) {
  FixClock("2026-12-08T12:00:00");
  EXPECT_EQ(WptDateText(), "46364.5");
  FixClock("1899-12-30T00:00:00");
  EXPECT_EQ(WptDateText(), "0");
}

TEST_F(Gpx2Wpt, LastLineIsNeverAPrettyStartLine) {
  EXPECT_EQ(Convert({"<gpx>", "  <wpt lat=\"1\" lon=\"2\">"}), WptHeaderLines());
  // A start on the line before last, ended by the last line, is converted.
  auto wpt = Convert({"  <wpt lat=\"1\" lon=\"2\">", "  </wpt>"});
  ASSERT_EQ(wpt.size(), 5u);
  EXPECT_EQ(Split(wpt[4])[2], " 1");
}

TEST_F(Gpx2Wpt, RecordIsLinesJoinedWithoutSeparators) {
  auto wpt =
      Convert({"<wpt lat=\"1\" lon=\"2\">", "<name>Ab", "cd</name>", "</wpt>", "<name>outside</name>", "</gpx>"});
  ASSERT_EQ(wpt.size(), 5u);
  EXPECT_EQ(Split(wpt[4])[1], "Abcd");
}

TEST_F(Gpx2Wpt, StartLineIsTakenWholeWithItsQuirks) {
  // Text before "<wpt " on a start line stays in the record: here a quote and
  // blank of the gpx tag come first, so both coordinates come out empty.
  auto wpt = Convert({"<gpx a=\"1\" b=\"2\"><wpt lat=\"5\" lon=\"6\">", "<name>N</name>", "</wpt>", "</gpx>"});
  ASSERT_EQ(wpt.size(), 5u);
  auto f = Split(wpt[4]);
  EXPECT_EQ(f[1], "N");
  EXPECT_EQ(f[2], " ");
  EXPECT_EQ(f[3], " ");
}

TEST_F(Gpx2Wpt, EmptyRecordStillYieldsALine) {
  auto wpt = Convert({"<wpt >", "</wpt>", "</gpx>"});
  ASSERT_EQ(wpt.size(), 5u);
  EXPECT_EQ(wpt[4], std::string("0,, , , ") + kNowDate + ",117,0,1,16777215,32768,,0,0,0,0, 6, 0,17,0,10.0,2,,,");
}

TEST_F(Gpx2Wpt, NotGpxGivesHeaderOnly) {
  EXPECT_EQ(Convert({"hello", "world", "</wpt>"}), WptHeaderLines());
  EXPECT_EQ(Convert({}), WptHeaderLines());
}

TEST_F(Gpx2Wpt, TruncatedFileStopsAndKeepsItsLastRecord) {
  auto wpt = Convert(Join({PrettyWpt("1", "2", "A"), {"  <wpt lat=\"3\" lon=\"4\">", "    <name>B</name>"}}));
  ASSERT_EQ(wpt.size(), 6u);
  EXPECT_EQ(Split(wpt[5])[0], "1");
  EXPECT_EQ(Split(wpt[5])[1], "B");
  EXPECT_EQ(Split(wpt[5])[3], " 4");
}

TEST_F(Gpx2Wpt, OneLineWaypointsEachOnce) {
  auto wpt = Convert({"<gpx>", "<wpt lat=\"1\" lon=\"2\"><name>A</name></wpt>",
                      "<wpt lat=\"3\" lon=\"4\"><name>B</name><type>Geocache</type></wpt>",
                      "<wpt lat=\"5\" lon=\"6\"><name>C</name></wpt>"});
  ASSERT_EQ(wpt.size(), 7u);
  EXPECT_EQ(Split(wpt[4])[1], "A");
  EXPECT_EQ(Split(wpt[5])[1], "B");
  EXPECT_EQ(Split(wpt[5])[7], "3");
  // The last line holds a whole waypoint, so it is converted.
  EXPECT_EQ(Split(wpt[6])[1], "C");
  EXPECT_EQ(Split(wpt[6])[3], " 6");
}

TEST_F(Gpx2Wpt, WholeDocumentOnOneLine) {
  std::string doc =
      "<?xml version=\"1.0\"?><gpx version=\"1.1\" creator=\"x\"><metadata><bounds minlat=\"1\" minlon=\"2\"/>"
      "</metadata><wpt lat=\"48.1\" lon=\"18.1\"><name>A</name><desc>a (GC1)</desc></wpt>"
      "<wpt lat=\"48.2\" lon=\"18.2\"><name>B</name></wpt><wpt lat=\"48.3\" lon=\"18.3\"><name>C</name></wpt></gpx>";
  auto wpt = Convert({doc});
  ASSERT_EQ(wpt.size(), 7u);
  auto a = Split(wpt[4]);
  EXPECT_EQ(a[1], "A");
  EXPECT_EQ(a[2], " 48.1");
  EXPECT_EQ(a[3], " 18.1");
  EXPECT_EQ(a[10], "a (GC1)");
  EXPECT_EQ(Split(wpt[5])[2], " 48.2");
  EXPECT_EQ(Split(wpt[6])[1], "C");
}

TEST_F(Gpx2Wpt, MixedLayoutsFindEveryWaypointOnce) {
  auto wpt = Convert({"<gpx>", "  <wpt lat=\"1\" lon=\"1\">", "    <name>A</name>",
                      // A closing line that also holds the next waypoints.
                      "  </wpt><wpt lat=\"2\" lon=\"2\"><name>B</name></wpt><wpt lat=\"3\" lon=\"3\">",
                      "    <name>C</name>", "  </wpt>",
                      // A waypoint opening on the line that closes the open record.
                      "  <wpt lat=\"4\" lon=\"4\">", "<name>D</name>", "<wpt lat=\"5\" lon=\"5\"><name>E</name></wpt>",
                      "  <wpt lat=\"6\" lon=\"6\">", "    <name>F</name><desc>f</desc></wpt>", "</gpx>"});
  std::vector<std::string> names;
  for (size_t i = 4; i < wpt.size(); ++i) names.push_back(Split(wpt[i])[1] + Split(wpt[i])[2]);
  EXPECT_EQ(names, (std::vector<std::string>{"A 1", "B 2", "C 3", "D 4", "E 5", "F 6"}));
  // Text before the closing tag of a record belongs to it.
  EXPECT_EQ(Split(wpt.back())[10], "f");
}

TEST_F(Gpx2Wpt, PrettyRecordSwallowsAStartLineBeforeItsEnd) {
  // As before: an unclosed waypoint runs on to the next closing line.
  auto wpt = Convert({"<wpt lat=\"1\" lon=\"1\">", "<name>A</name>", "<wpt lat=\"2\" lon=\"2\">", "<name>B</name>",
                      "</wpt>", "</gpx>"});
  ASSERT_EQ(wpt.size(), 5u);
  EXPECT_EQ(Split(wpt[4])[1], "A");
}

}  // namespace
}  // namespace trovik::waypoints
