#include "waypoints/gpx_caches.h"

#include <gtest/gtest.h>
#include <sys/resource.h>

#include <chrono>
#include <cstdio>
#include <fstream>

#include "base/error.h"
#include "base/files.h"
#include "text/text.h"
#include "waypoint_test_util.h"

namespace trovik::waypoints {
namespace {

struct Read {
  GpxReadReport report;
  std::vector<CacheRecord> caches;
};

Read ReadAll(const std::string& path, const GpxReadOptions& options = {}) {
  Read r;
  r.report = ReadGpxCaches(path, options, [&r](CacheRecord&& c) {
    r.caches.push_back(std::move(c));
    return true;
  });
  return r;
}

// The error text of reading `path`, back in UTF-8 for readable comparisons.
std::string ErrorOf(const std::string& path) {
  bool reported = false;
  try {
    ReadGpxCaches(path, {}, [&reported](CacheRecord&&) {
      reported = true;
      return true;
    });
  } catch (const Error& e) {
    EXPECT_FALSE(reported) << "a cache reached the caller before the error";
    return text::Cp1250ToUtf8(e.text());
  }
  return "no error";
}

std::string Malformed(const std::string& path, int line, int column, const std::string& reason) {
  return "Chybný GPX súbor " + path + ": riadok " + std::to_string(line) + ", stĺpec " + std::to_string(column) +
         ": " + reason;
}

constexpr const char* kGpx10Head =
    "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
    "<gpx xmlns=\"http://www.topografix.com/GPX/1/0\" version=\"1.0\" creator=\"Trovik tests\">\n";

// A pocket-query cache of GPX 1.0, its cache data right in <wpt>; the prefix
// is not the usual one, as only the namespace counts.
std::string PqCache(const std::string& code, const std::string& name, const std::string& extra = "") {
  return "<wpt lat=\"48.123450\" lon=\"18.654320\"><time>2019-04-01T00:00:00Z</time><name>" + code +
         "</name><desc>" + name + " by Owner</desc><url>https://example.org/" + code +
         "</url><sym>Geocache</sym><type>Geocache|Traditional Cache</type>\n"
         "<g:cache id=\"1\" available=\"True\" archived=\"False\" xmlns:g=\"http://www.groundspeak.com/cache/1/0\">"
         "<g:name>" + name + "</g:name><g:placed_by>Owner</g:placed_by><g:owner id=\"7\">Owner</g:owner>"
         "<g:type>Traditional Cache</g:type><g:container>Small</g:container><g:difficulty>1.5</g:difficulty>"
         "<g:terrain>2</g:terrain><g:country>Slovakia</g:country><g:state>Nitriansky kraj</g:state>"
         "<g:short_description html=\"False\">Short</g:short_description>"
         "<g:long_description html=\"True\">&lt;p&gt;Long&lt;/p&gt;</g:long_description>"
         "<g:encoded_hints>pod kameňom</g:encoded_hints>" + extra + "</g:cache></wpt>\n";
}

std::string ChildWpt(const std::string& code, const std::string& kind, const std::string& lat = "48.1",
                     const std::string& lon = "18.6") {
  return "<wpt lat=\"" + lat + "\" lon=\"" + lon + "\"><name>" + code + "</name><cmt>note " + code + "</cmt><desc>" +
         kind + " of " + code + "</desc><sym>" + kind + "</sym><type>Waypoint|" + kind + "</type></wpt>\n";
}

// A pocket query of GPX 1.0 walked whole: every field of a cache, logs with
// an encoded one, attributes, travel bugs, and children before and after
// their cache, in the file and in the waypoint file beside it.
TEST(GpxCaches, PocketQueryWithItsWaypointFile) {
  TempDir dir;
  const std::string extra =
      "<g:attributes><g:attribute id=\"6\" inc=\"1\">Recommended for kids</g:attribute>"
      "<g:attribute id=\"1\" inc=\"0\">Dogs</g:attribute><g:attribute id=\"13\">Available at all times"
      "</g:attribute></g:attributes>"
      "<g:logs><g:log id=\"2\"><g:date>2024-05-02T19:00:00Z</g:date><g:type>Found it</g:type>"
      "<g:finder id=\"3\">Ďurko</g:finder><g:text encoded=\"False\">Díky 🙂 za keš</g:text></g:log>"
      "<g:log id=\"1\"><g:date>2024-05-01T19:00:00Z</g:date><g:type>Didn't find it</g:type>"
      "<g:finder id=\"4\">Anna</g:finder><g:text encoded=\"True\">Aranfyn fbz ib, gnžxé</g:text></g:log></g:logs>"
      "<g:travelbugs><g:travelbug id=\"9\" ref=\"TB1234\"><g:name>Putovný медведь</g:name></g:travelbug>"
      "</g:travelbugs>";
  const std::string main = dir.write(
      "pq.gpx", std::string(kGpx10Head) + ChildWpt("PK1A2B", "Parking Area") + PqCache("GC1A2B", "Starý mlyn", extra) +
                    PqCache("GC9ZZ9", "Hrad") + ChildWpt("RF1A2B", "Reference Point") + "</gpx>\n");
  dir.write("pq-wpts.gpx", std::string(kGpx10Head) + ChildWpt("FN1A2B", "Final Location", "0.000000", "0.000000") +
                               ChildWpt("ST9ZZ9", "Stages of a Multicache", "48.2", "18.7") +
                               ChildWpt("XX4444", "Parking Area") + "</gpx>\n");
  Read r = ReadAll(main);
  EXPECT_EQ(r.report.waypoints, 4);
  EXPECT_EQ(r.report.caches, 2);
  EXPECT_TRUE(r.report.duplicates.empty());
  ASSERT_EQ(r.caches.size(), 2u);

  const CacheRecord& c = r.caches[0];
  EXPECT_EQ(c.code, "GC1A2B");
  EXPECT_EQ(c.waypointName, "GC1A2B");
  EXPECT_EQ(c.name, "Starý mlyn");
  EXPECT_EQ(c.placedBy, "Owner");
  EXPECT_EQ(c.owner, "Owner");
  EXPECT_EQ(c.type, "Traditional Cache");
  EXPECT_EQ(c.container, "Small");
  EXPECT_EQ(c.difficulty, "1.5");
  EXPECT_EQ(c.terrain, "2");
  EXPECT_EQ(c.country, "Slovakia");
  EXPECT_EQ(c.state, "Nitriansky kraj");
  EXPECT_EQ(c.placed, "2019-04-01T00:00:00Z");
  EXPECT_EQ(c.url, "https://example.org/GC1A2B");
  EXPECT_TRUE(c.available);
  EXPECT_FALSE(c.archived);
  EXPECT_DOUBLE_EQ(c.position.lat, 48.12345);
  EXPECT_DOUBLE_EQ(c.position.lon, 18.65432);
  EXPECT_FALSE(c.original);
  EXPECT_EQ(c.shortDescription, "Short");
  EXPECT_FALSE(c.shortIsHtml);
  EXPECT_EQ(c.longDescription, "<p>Long</p>");
  EXPECT_TRUE(c.longIsHtml);
  EXPECT_EQ(c.hint, "pod kameňom");
  EXPECT_EQ(c.line, 4);
  ASSERT_EQ(c.attributes.size(), 3u);
  EXPECT_EQ(c.attributes[0].id, 6);
  EXPECT_TRUE(c.attributes[0].present);
  EXPECT_EQ(c.attributes[0].text, "Recommended for kids");
  EXPECT_FALSE(c.attributes[1].present);
  EXPECT_TRUE(c.attributes[2].present);  // no inc: present
  ASSERT_EQ(c.logs.size(), 2u);
  EXPECT_EQ(c.logs[0].date, "2024-05-02T19:00:00Z");
  EXPECT_EQ(c.logs[0].type, "Found it");
  EXPECT_EQ(c.logs[0].finder, "Ďurko");
  EXPECT_EQ(c.logs[0].text, "Díky 🙂 za keš");
  EXPECT_EQ(c.logs[1].type, "Didn't find it");
  EXPECT_EQ(c.logs[1].text, "Nenasla som vo, tažké");  // ROT13 over ASCII letters only
  ASSERT_EQ(c.travelBugs.size(), 1u);
  EXPECT_EQ(c.travelBugs[0].ref, "TB1234");
  EXPECT_EQ(c.travelBugs[0].name, "Putovný медведь");
  // Children: the file's own in file order, then the waypoint file's.
  ASSERT_EQ(c.children.size(), 3u);
  EXPECT_EQ(c.children[0].code, "PK1A2B");
  EXPECT_EQ(c.children[0].kind, "Parking Area");
  EXPECT_EQ(c.children[0].name, "Parking Area of PK1A2B");
  EXPECT_EQ(c.children[0].note, "note PK1A2B");
  ASSERT_TRUE(c.children[0].position);
  EXPECT_DOUBLE_EQ(c.children[0].position->lat, 48.1);
  EXPECT_EQ(c.children[1].code, "RF1A2B");
  EXPECT_EQ(c.children[2].code, "FN1A2B");
  EXPECT_EQ(c.children[2].kind, "Final Location");
  EXPECT_FALSE(c.children[2].position);  // 0,0: no coordinates

  ASSERT_EQ(r.caches[1].children.size(), 1u);
  EXPECT_EQ(r.caches[1].children[0].code, "ST9ZZ9");
  EXPECT_EQ(r.caches[1].logs.size(), 0u);

  // Only what was asked for: the waypoint file left aside, logs cut, reading
  // stopped once the one code wanted was met.
  GpxReadOptions some;
  some.codes = {"gc1a2b"};
  some.companionWaypoints = false;
  some.maxLogs = 1;
  Read picked = ReadAll(main, some);
  ASSERT_EQ(picked.caches.size(), 1u);
  EXPECT_EQ(picked.caches[0].logs.size(), 1u);
  EXPECT_EQ(picked.caches[0].children.size(), 2u);
  EXPECT_EQ(picked.report.caches, 2);  // the first pass counts them all
  int calls = 0;
  ReadGpxCaches(main, {}, [&calls](CacheRecord&&) { return ++calls < 1; });
  EXPECT_EQ(calls, 1);

  EXPECT_EQ(GpxWaypointCodes(main), (std::vector<std::string>{"", "GC1A2B", "GC9ZZ9", ""}));
}

// GPX 1.1 keeps the cache inside <extensions>, with the later versions of the
// cache extension; an element of the right name in another namespace is no
// cache data.
TEST(GpxCaches, Gpx11CacheInsideExtensions) {
  TempDir dir;
  const std::string gpx =
      "<?xml version=\"1.0\" encoding=\"utf-8\"?>\n"
      "<gpx xmlns=\"http://www.topografix.com/GPX/1/1\" version=\"1.1\" "
      "xmlns:groundspeak=\"http://www.example.org/not-a-cache\">\n"
      "<wpt lat=\"48.5\" lon=\"17.25\"><name>GC11AA</name><link href=\"https://example.org/GC11AA\"/>"
      "<extensions><groundspeak:cache><groundspeak:name>Decoy</groundspeak:name></groundspeak:cache>"
      "<c:cache xmlns:c=\"http://www.groundspeak.com/cache/1/1\" available=\"False\" archived=\"True\">"
      "<c:name>Tajnička</c:name><c:long_description html=\"False\"><![CDATA[a < b & c]]></c:long_description>"
      "</c:cache></extensions></wpt>\n"
      "<wpt lat=\"48.5\" lon=\"17.25\"><name>GC22BB</name><extensions>"
      "<groundspeak:cache xmlns:groundspeak=\"http://www.groundspeak.com/cache/1/0/1\">"
      "<groundspeak:name>Druhá</groundspeak:name></groundspeak:cache></extensions></wpt>\n"
      "<wpt lat=\"48.5\" lon=\"17.25\"><name>Plain</name><extensions>"
      "<groundspeak:cache><groundspeak:name>Decoy</groundspeak:name></groundspeak:cache></extensions></wpt>\n"
      "</gpx>\n";
  Read r = ReadAll(dir.write("x.gpx", gpx));
  EXPECT_EQ(r.report.waypoints, 3);
  ASSERT_EQ(r.caches.size(), 2u);
  EXPECT_EQ(r.caches[0].name, "Tajnička");
  EXPECT_EQ(r.caches[0].url, "https://example.org/GC11AA");
  EXPECT_FALSE(r.caches[0].available);
  EXPECT_TRUE(r.caches[0].archived);
  EXPECT_EQ(r.caches[0].longDescription, "a < b & c");
  EXPECT_EQ(r.caches[1].name, "Druhá");
}

// A desktop-database export names its waypoints "smartly": the code is in its
// own element, children name their parent, corrected coordinates keep the
// original ones.
TEST(GpxCaches, DatabaseExportWithSmartNamesChildrenAndCorrections) {
  TempDir dir;
  const std::string gpx =
      std::string(kGpx10Head) +
      "<wpt lat=\"48.200000\" lon=\"18.300000\"><name>StaryMlyn</name>"
      "<gsak:wptExtension xmlns:gsak=\"http://www.gsak.net/xmlv1/6\"><gsak:Code>GC7Q1X</gsak:Code>"
      "<gsak:UserData>Vyriešené: 12+3</gsak:UserData><gsak:LatBeforeCorrect>48.100000</gsak:LatBeforeCorrect>"
      "<gsak:LonBeforeCorrect>18.250000</gsak:LonBeforeCorrect></gsak:wptExtension>"
      "<groundspeak:cache xmlns:groundspeak=\"http://www.groundspeak.com/cache/1/0/1\">"
      "<groundspeak:name>Starý mlyn</groundspeak:name><groundspeak:type>Unknown Cache</groundspeak:type>"
      "</groundspeak:cache></wpt>\n"
      "<wpt lat=\"48.3\" lon=\"18.4\"><name>StaryMlyn Parking</name><type>Waypoint|Parking Area</type>"
      "<gsak:wptExtension xmlns:gsak=\"http://www.gsak.net/xmlv1/5\"><gsak:Parent>GC7Q1X</gsak:Parent>"
      "<gsak:Code>P17Q1X</gsak:Code></gsak:wptExtension></wpt>\n"
      "<wpt lat=\"47.9\" lon=\"18.1\"><name>Vlastný bod</name><sym>Flag</sym></wpt>\n"
      "</gpx>\n";
  const std::string path = dir.write("export.gpx", gpx);
  Read r = ReadAll(path);
  ASSERT_EQ(r.caches.size(), 1u);
  const CacheRecord& c = r.caches[0];
  EXPECT_EQ(c.code, "GC7Q1X");
  EXPECT_EQ(c.waypointName, "StaryMlyn");
  EXPECT_EQ(c.userNote, "Vyriešené: 12+3");
  EXPECT_DOUBLE_EQ(c.position.lat, 48.2);
  ASSERT_TRUE(c.original);
  EXPECT_DOUBLE_EQ(c.original->lat, 48.1);
  EXPECT_DOUBLE_EQ(c.original->lon, 18.25);
  ASSERT_EQ(c.children.size(), 1u);
  EXPECT_EQ(c.children[0].code, "P17Q1X");
  EXPECT_EQ(c.children[0].kind, "Parking Area");
  // The cache list lists the cache, not its parking place.
  EXPECT_EQ(GpxWaypointCodes(path), (std::vector<std::string>{"GC7Q1X", "", ""}));
}

// An opencaching file: OC codes, the cache extension and the site's own.
TEST(GpxCaches, OpencachingFile) {
  TempDir dir;
  const std::string gpx =
      std::string(kGpx10Head) +
      "<wpt lat=\"50.1\" lon=\"14.4\"><name>OC1A2B</name>"
      "<groundspeak:cache xmlns:groundspeak=\"http://www.groundspeak.com/cache/1/0\">"
      "<groundspeak:name>Skála</groundspeak:name></groundspeak:cache>"
      "<oc:cache xmlns:oc=\"http://www.opencaching.com/xmlschemas/opencaching/1/0\"><oc:type>Traditional</oc:type>"
      "<oc:size>Micro</oc:size><oc:trip_time>1.5</oc:trip_time></oc:cache></wpt>\n"
      "<wpt lat=\"50.2\" lon=\"14.5\"><name>OC9999</name>"
      "<oc:cache xmlns:oc=\"http://www.opencaching.com/xmlschemas/opencaching/1/0\"><oc:size>Regular</oc:size>"
      "</oc:cache></wpt>\n"
      "</gpx>\n";
  const std::string path = dir.write("oc.gpx", gpx);
  Read r = ReadAll(path);
  ASSERT_EQ(r.caches.size(), 2u);
  EXPECT_EQ(r.caches[0].code, "OC1A2B");
  EXPECT_EQ(r.caches[0].name, "Skála");
  EXPECT_EQ(r.caches[0].ocSize, "Micro");
  EXPECT_EQ(r.caches[0].ocTripTime, "1.5");
  EXPECT_EQ(r.caches[1].code, "OC9999");
  EXPECT_EQ(r.caches[1].ocSize, "Regular");
  EXPECT_EQ(GpxWaypointCodes(path), (std::vector<std::string>{"OC1A2B", "OC9999"}));
}

// Bad files: a clear answer and nothing reported from a broken one; what XML
// forbids is dropped wherever the file's pieces are cut; entities refused.
TEST(GpxCaches, BadFiles) {
  TempDir dir;
  const std::string good = PqCache("GC1111", "Prvá");

  // Malformed after a good cache: its line and column, no cache reported.
  const std::string broken = dir.write(
      "broken.gpx", std::string(kGpx10Head) + good + "<wpt lat=\"1\" lon=\"2\">\n  <name>GC2222</nam>\n</wpt></gpx>\n");
  EXPECT_EQ(ErrorOf(broken), Malformed(broken, 6, 17, "koncová značka nezodpovedá otvorenej"));
  const std::string truncated = dir.write("cut.gpx", std::string(kGpx10Head) + good + "<wpt lat=\"1\"");
  EXPECT_EQ(ErrorOf(truncated), Malformed(truncated, 5, 1, "súbor končí uprostred značky"));

  // Forbidden characters, also where a read piece (64 KiB) ends inside them.
  for (size_t shift = 0; shift < 80; ++shift) {
    const std::string desc = "a\x01" "b&#xB;c&#11;d&#0;e&#x1F;f\x0B" "g&#xFFFE;h\xC3" "(i\xF0\x9F\x99\x82"
                             "j&#x10FFFF;k&amp;l";
    std::string gpx = std::string(kGpx10Head) + "<!---->\n" + PqCache("GC3333", "Tretia") + "</gpx>\n";
    const size_t at = gpx.find("Short</g:short");
    gpx.replace(at, 5, desc);
    gpx.insert(gpx.find("-->"), 65536 - 78 + shift - at, 'x');
    Read r = ReadAll(dir.write("forbidden.gpx", gpx));
    ASSERT_EQ(r.caches.size(), 1u) << shift;
    EXPECT_EQ(r.caches[0].shortDescription, "abcdefgh\xEF\xBF\xBD(i\xF0\x9F\x99\x82j\xF4\x8F\xBF\xBFk&l") << shift;
  }

  // An entity bomb and an external entity stop at their declaration.
  const std::string bomb = dir.write(
      "bomb.gpx",
      "<?xml version=\"1.0\"?>\n<!DOCTYPE gpx [\n <!ENTITY a \"aaaaaaaaaa\">\n <!ENTITY b \"&a;&a;&a;&a;&a;&a;&a;\">\n"
      " <!ENTITY c \"&b;&b;&b;&b;&b;&b;&b;&b;\">\n]>\n" +
          std::string(kGpx10Head).substr(39) + PqCache("GC4444", "&c;&c;&c;&c;&c;&c;&c;&c;") + "</gpx>\n");
  EXPECT_EQ(ErrorOf(bomb), Malformed(bomb, 3, 13, "súbor deklaruje entity, tie sa nečítajú"));
  const std::string secret = dir.write("secret.txt", "tajomstvo");
  const std::string external = dir.write(
      "external.gpx", "<?xml version=\"1.0\"?>\n<!DOCTYPE gpx [<!ENTITY s SYSTEM \"file://" + secret + "\">]>\n" +
                          std::string(kGpx10Head).substr(39) + PqCache("GC5555", "&s;") + "</gpx>\n");
  const int declarationEnd = static_cast<int>(std::string("<!DOCTYPE gpx [<!ENTITY s SYSTEM \"file://").size() + secret.size()) + 2;
  EXPECT_EQ(ErrorOf(external), Malformed(external, 2, declarationEnd, "súbor deklaruje entity, tie sa nečítajú"));
  // A document type that only names an outside definition is read, never fetched.
  Read named = ReadAll(dir.write(
      "named.gpx", "<?xml version=\"1.0\"?>\n<!DOCTYPE gpx SYSTEM \"file://" + secret + "\">\n" +
                       std::string(kGpx10Head).substr(39) + PqCache("GC6666", "Šiesta") + "</gpx>\n"));
  ASSERT_EQ(named.caches.size(), 1u);
  EXPECT_EQ(named.caches[0].name, "Šiesta");

  // Waypoints without cache data; a file that is not there.
  const std::string plain = dir.write("plain.gpx", std::string(kGpx10Head) + ChildWpt("WP0001", "Flag") + "</gpx>");
  EXPECT_EQ(ErrorOf(plain), "Súbor neobsahuje popisy kešiek");
  EXPECT_EQ(text::Cp1250ToUtf8(NoCacheDescriptionsText()), "Súbor neobsahuje popisy kešiek");
  EXPECT_EQ(ErrorOf(dir.file("none.gpx")), "Cannot open file " + dir.file("none.gpx"));

  // A code met again: reported once, from its first occurrence.
  const std::string twice = dir.write(
      "twice.gpx", std::string(kGpx10Head) + PqCache("GC7777", "Prvý") + PqCache("GC8888", "Iný") +
                       PqCache("GC7777", "Druhý") + PqCache("GC7777", "Tretí") + ChildWpt("PK7777", "Parking Area") +
                       "</gpx>\n");
  Read r = ReadAll(twice);
  EXPECT_EQ(r.report.caches, 4);
  EXPECT_EQ(r.report.duplicates, std::vector<std::string>{"GC7777"});
  ASSERT_EQ(r.caches.size(), 2u);
  EXPECT_EQ(r.caches[0].name, "Prvý");
  EXPECT_EQ(r.caches[0].children.size(), 1u);
  EXPECT_EQ(r.caches[1].name, "Iný");
}

long PeakRssKb() {
  rusage u{};
  getrusage(RUSAGE_SELF, &u);
  return u.ru_maxrss;
}

// An export of some 200 MB, written here a piece at a time, is read in
// memory that does not grow with the file.
TEST(GpxCaches, LargeExportInBoundedMemory) {
#if defined(__SANITIZE_ADDRESS__)
  GTEST_SKIP() << "the sanitizer's quarantine keeps freed memory resident";
#endif
  TempDir dir;
  const std::string path = dir.file("big.gpx");
  {
    std::ofstream f(path, std::ios::binary);
    f << kGpx10Head;
    const std::string log = "<g:log><g:date>2024-01-01</g:date><g:type>Found it</g:type><g:finder>F</g:finder>"
                            "<g:text encoded=\"False\">" + std::string(2000, 'l') + "</g:text></g:log>";
    std::string logs = "<g:logs>";
    for (int i = 0; i < 20; ++i) logs += log;
    logs += "</g:logs>";
    for (int i = 0; i < 4000; ++i) {
      char code[16];
      std::snprintf(code, sizeof code, "GC%05X", i);
      std::string cache = PqCache(code, "Keš " + std::to_string(i), logs);
      cache.replace(cache.find("Short</g:"), 5, std::string(8000, 's'));
      f << cache << ChildWpt(std::string("PK") + (code + 2), "Parking Area");
    }
    f << "</gpx>\n";
  }
  ASSERT_GT(std::filesystem::file_size(path), 200000000u);
  const long before = PeakRssKb();
  long caches = 0, children = 0;
  size_t text = 0;
  GpxReadReport report = ReadGpxCaches(path, {}, [&](CacheRecord&& c) {
    ++caches;
    children += static_cast<long>(c.children.size());
    text += c.shortDescription.size() + c.logs.back().text.size();
    return true;
  });
  EXPECT_EQ(report.waypoints, 8000);
  EXPECT_EQ(caches, 4000);
  EXPECT_EQ(children, 4000);
  EXPECT_EQ(text, 4000u * 10000u);
  // Growth well below the file's size: pieces and one cache, not the file.
  EXPECT_LT(PeakRssKb() - before, 48 * 1024) << "peak RSS before " << before << " KB";
}

}  // namespace
}  // namespace trovik::waypoints
