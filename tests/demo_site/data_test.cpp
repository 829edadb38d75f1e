// The sample data files beside the program come from the demo site's own
// data: the committed files must be exactly what the generator writes, and
// they must read back, by the program's rules, as the caches and towns served.

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <set>

#include "catalog.h"
#include "data_files.h"
#include "demo_fixture.h"
#include "html.h"
#include "pocket_query.h"
#include "text/text.h"

namespace trovik::demo::testing {
namespace {

std::string ReadFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

const std::string kWpt = std::string(TROVIK_SOURCE_DIR) + "/data/Zlaté Moravce50km.wpt";
const std::string kTowns = std::string(TROVIK_SOURCE_DIR) + "/data/suradnicemiest.ini";
const std::string kPocketQuery = std::string(TROVIK_SOURCE_DIR) + "/data/pocket-query.gpx";

TEST(DemoData, CommittedFilesAreWhatTheGeneratorWrites) {
  Catalog catalog;
  EXPECT_EQ(ReadFile(kWpt), SampleWpt(catalog)) << "run trovik-demo-site --write-wpt";
  EXPECT_EQ(ReadFile(kTowns), TownList()) << "run trovik-demo-site --write-towns";
  EXPECT_EQ(WaypointsFileFor(kPocketQuery), std::string(TROVIK_SOURCE_DIR) + "/data/pocket-query-wpts.gpx");
  EXPECT_EQ(ReadFile(kPocketQuery), PocketQuery(catalog, kDefaultBase)) << "run trovik-demo-site --write-pq";
  EXPECT_EQ(ReadFile(WaypointsFileFor(kPocketQuery)), PocketQueryWaypoints(catalog, kDefaultBase))
      << "run trovik-demo-site --write-pq";
}

// Every text between <tag> and </tag>, in order.
std::vector<std::string> Elements(const std::string& xml, const std::string& tag) {
  std::vector<std::string> out;
  const std::string open = "<" + tag + ">", close = "</" + tag + ">";
  for (size_t at = xml.find(open); at != std::string::npos; at = xml.find(open, at)) {
    at += open.size();
    out.push_back(xml.substr(at, xml.find(close, at) - at));
  }
  return out;
}

// The pocket query holds the sample waypoint file's caches, and what its
// descriptions point at is what the server has: the caches' pictures, the one
// missing picture missing, each header picture under its caption.
TEST(DemoPocketQuery, HoldsTheSampleCachesAndPointsAtTheServersPictures) {
  RunningServer server;
  const std::string base = server.origin();
  const std::string pq = PocketQuery(server.catalog(), base);
  std::vector<const Cache*> samples = server.catalog().samples();
  std::vector<std::string> names = Elements(pq, "name");
  ASSERT_EQ(names.size(), samples.size() + 1);  // and the query's own name
  std::vector<std::string> cacheNames = Elements(pq, "urlname");
  ASSERT_EQ(cacheNames.size(), samples.size() + 1);
  for (size_t i = 0; i < samples.size(); ++i) {
    EXPECT_EQ(names[i + 1], samples[i]->code);
    EXPECT_EQ(cacheNames[i + 1], Esc(samples[i]->name));  // "Kameň &amp; voda", "Srdce &lt;3 Tekova"
  }
  EXPECT_EQ(Elements(pq, "groundspeak:logs").size(), samples.size());
  EXPECT_NE(pq.find("inc=\"0\""), std::string::npos);
  EXPECT_NE(pq.find("<groundspeak:travelbug "), std::string::npos);
  EXPECT_NE(pq.find("archived=\"True\""), std::string::npos);

  auto http = server.client();
  const std::string imgAt = "src=\"" + base, linkAt = "href=\"" + base;
  int served = 0, missing = 0, links = 0;
  for (const std::string& prefix : {imgAt, linkAt}) {
    for (size_t at = pq.find(prefix); at != std::string::npos; at = pq.find(prefix, at + 1)) {
      const size_t from = at + prefix.size();
      const std::string path = pq.substr(from, pq.find('"', from) - from);
      SCOPED_TRACE(path);
      auto res = http->Get(path.c_str());
      ASSERT_TRUE(res);
      if (path.find("_chyba.jpg") != std::string::npos) {
        EXPECT_EQ(res->status, 404);
        ++missing;
        continue;
      }
      ASSERT_EQ(res->status, 200);
      EXPECT_EQ(res->get_header_value("Content-Type").rfind("image/", 0), 0u);
      (prefix == imgAt ? served : links)++;
    }
  }
  EXPECT_GE(served, static_cast<int>(samples.size()));
  EXPECT_EQ(missing, 1);
  EXPECT_NE(pq.find("&gt;Spoiler&lt;/a&gt;"), std::string::npos);
  EXPECT_GE(links, 20);

  // The children: kinds after "Waypoint|", codes after their cache's, one at 0,0.
  const std::string wpts = PocketQueryWaypoints(server.catalog(), base);
  std::vector<std::string> codes = Elements(wpts, "name");
  ASSERT_GE(codes.size(), 5u);
  for (size_t i = 1; i < codes.size(); ++i) {
    EXPECT_NE(server.catalog().find("GC" + codes[i].substr(2)), nullptr) << codes[i];
    EXPECT_NE(codes[i].substr(0, 2), "GC");
  }
  for (const std::string& type : Elements(wpts, "type")) EXPECT_EQ(type.rfind("Waypoint|", 0), 0u) << type;
  EXPECT_NE(wpts.find("<wpt lat=\"0.00000\" lon=\"0.00000\">"), std::string::npos);
  EXPECT_NE(wpts.find("Waypoint|Parking Area"), std::string::npos);
}

TEST(DemoData, WaypointFileListsTheSampleCachesByTheListRule) {
  Catalog catalog;
  std::string bytes = ReadFile(kWpt);
  ASSERT_FALSE(bytes.empty());
  EXPECT_EQ(bytes.find("\r\n"), bytes.find('\n') - 1);  // CR LF
  for (size_t p = bytes.find('\n'); p != std::string::npos; p = bytes.find('\n', p + 1)) ASSERT_EQ(bytes[p - 1], '\r');
  std::vector<std::string> lines = text::SplitLines(bytes);
  ASSERT_GE(lines.size(), 4u);
  EXPECT_EQ(lines[0], "OziExplorer Waypoint File Version 1.1");
  EXPECT_EQ(lines[1], "WGS 84");
  EXPECT_EQ(lines[2], "Reserved 2");
  EXPECT_EQ(lines[3], "garmin");

  std::vector<const Cache*> samples = catalog.samples();
  ASSERT_EQ(lines.size(), 4 + samples.size());
  for (size_t i = 0; i < samples.size(); ++i) {
    const std::string& line = lines[4 + i];
    SCOPED_TRACE(line);
    // The code: between the last "(" and the first ")" after it.
    size_t open = line.rfind('(');
    size_t close = line.find(')', open);
    ASSERT_NE(open, std::string::npos);
    EXPECT_EQ(line.substr(open + 1, close - open - 1), samples[i]->code);
    // The name: between the first and second comma.
    size_t c1 = line.find(',');
    size_t c2 = line.find(',', c1 + 1);
    EXPECT_EQ(text::Cp1250ToUtf8(line.substr(c1 + 1, c2 - c1 - 1)), samples[i]->name);
    std::vector<std::string> fields;
    size_t at = 0;
    while (true) {
      size_t comma = line.find(',', at);
      fields.push_back(line.substr(at, comma == std::string::npos ? std::string::npos : comma - at));
      if (comma == std::string::npos) break;
      at = comma + 1;
    }
    ASSERT_EQ(fields.size(), 24u);
    EXPECT_NEAR(std::stod(fields[2]), samples[i]->lat, 1e-6);
    EXPECT_NEAR(std::stod(fields[3]), samples[i]->lon, 1e-6);
    EXPECT_EQ(fields[5] + fields[6] + fields[7] + fields[8] + fields[9], "1170306553" "5");
  }
}

TEST(DemoData, SampleCachesLieWithinFiftyKilometresOfZlateMoravce) {
  Catalog catalog;
  std::vector<const Cache*> samples = catalog.samples();
  EXPECT_GE(samples.size(), 28u);
  for (const Cache* c : samples) {
    double km = 0, bearing = 0;
    Inverse(48.385, 18.40, c->lat, c->lon, km, bearing);
    EXPECT_LE(km, 50) << c->code;
    EXPECT_EQ(c->name.find(','), std::string::npos) << c->code;  // a comma would end the name field
    EXPECT_FALSE(c->hint.empty()) << c->code;
    EXPECT_FALSE(c->logs.empty()) << c->code;
  }
}

TEST(DemoData, TownListHasTheTownsWithTheirPositions) {
  std::string bytes = ReadFile(kTowns);
  std::vector<std::string> lines = text::SplitLines(bytes);
  ASSERT_GE(lines.size(), 42u);
  EXPECT_EQ(lines[0][0], ';');
  EXPECT_EQ(lines[1], "[Mesta]");
  std::set<std::string> names;
  for (size_t i = 2; i < lines.size(); ++i) {
    size_t eq = lines[i].find('=');
    ASSERT_NE(eq, std::string::npos) << lines[i];
    std::string value = lines[i].substr(eq + 1);
    size_t comma = value.find(',');
    ASSERT_NE(comma, std::string::npos);
    double lat = std::stod(value.substr(0, comma)), lon = std::stod(value.substr(comma + 1));
    // Inside Slovakia's bounding box, written with "." and no blanks.
    EXPECT_GT(lat, 47.7);
    EXPECT_LT(lat, 49.62);
    EXPECT_GT(lon, 16.8);
    EXPECT_LT(lon, 22.6);
    EXPECT_EQ(value.find(' '), std::string::npos);
    EXPECT_TRUE(names.insert(text::Cp1250ToUtf8(lines[i].substr(0, eq))).second) << lines[i];
  }
  EXPECT_GE(names.size(), 40u);
  for (const char* town : {"Zlaté Moravce", "Nitra", "Bratislava", "Košice", "Banská Bystrica", "Žilina"})
    EXPECT_EQ(names.count(town), 1u) << town;
}

TEST(DemoData, GeneratedCachesAreTheSameOnEveryRunAndCodesAreUnique) {
  Catalog a, b;
  ASSERT_EQ(a.all().size(), b.all().size());
  EXPECT_GE(a.all().size(), 300u);
  std::set<std::string> codes;
  for (size_t i = 0; i < a.all().size(); ++i) {
    const Cache& x = a.all()[i];
    const Cache& y = b.all()[i];
    EXPECT_EQ(x.code, y.code);
    EXPECT_EQ(x.name, y.name);
    EXPECT_DOUBLE_EQ(x.lat, y.lat);
    EXPECT_DOUBLE_EQ(x.lon, y.lon);
    EXPECT_TRUE(codes.insert(x.code).second) << x.code;
    EXPECT_EQ(x.code.rfind("GC", 0), 0u);
    EXPECT_EQ(text::Cp1250ToUtf8(text::Utf8To1250Strict(x.name)), x.name) << x.code;
  }
}

TEST(DemoData, ListingCoordinatesAndHintText) {
  EXPECT_EQ(ListingCoords(48.58697, 17.8438), "N 48°35.218' E 017°50.628'");
  // A value that rounds up to the next minute does not print 60 minutes.
  EXPECT_EQ(ListingCoords(48.9999999, 9.5), "N 49°00.000' E 009°30.000'");
  EXPECT_EQ(Rot13("Abc xyz, ňô 12"), "Nop klm, ňô 12");
  EXPECT_EQ(Rot13(Rot13("pod kameňom")), "pod kameňom");
}

}  // namespace
}  // namespace trovik::demo::testing
