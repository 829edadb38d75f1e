// From "caches near a town" to a waypoint file on the device: the sample file,
// the nearby search, the national listings while logged in, "Exportuj do wpt ",
// the upload, and the device copy byte for byte.

#include <filesystem>
#include <fstream>
#include <map>

#include "cli_rig.h"

namespace trovik::e2e {
namespace {

// The UTF-8 text as Windows-1250 for the few letters the demo's names use.
std::string To1250(const std::string& utf8) {
  static const std::vector<std::pair<std::string, std::string>> map = {
      {"\xC3\xA1", "\xE1"}, {"\xC3\xA9", "\xE9"}, {"\xC3\xAD", "\xED"}, {"\xC3\xB3", "\xF3"}, {"\xC3\xBA", "\xFA"},
      {"\xC3\xBD", "\xFD"}, {"\xC3\xA4", "\xE4"}, {"\xC3\xB4", "\xF4"}, {"\xC4\x8D", "\xE8"}, {"\xC4\x8F", "\xEF"},
      {"\xC4\xBE", "\xBE"}, {"\xC5\x88", "\xF2"}, {"\xC5\x95", "\xE0"}, {"\xC5\xA1", "\x9A"}, {"\xC5\xA5", "\x9D"},
      {"\xC5\xBE", "\x9E"}, {"\xC3\x81", "\xC1"}, {"\xC5\xA0", "\x8A"}, {"\xC4\x8C", "\xC8"}, {"\xC5\xBD", "\x8E"},
      {"\xC4\xBD", "\xBC"}, {"\xC3\x9A", "\xDA"}, {"\xE2\x80\x93", "\x96"}};
  std::string out;
  for (size_t i = 0; i < utf8.size();) {
    bool done = false;
    for (const auto& [u, w] : map)
      if (utf8.compare(i, u.size(), u) == 0) {
        out += w, i += u.size(), done = true;
        break;
      }
    if (!done) out += utf8[i++];
  }
  return out;
}

class ExportRoad : public CliRig {
 protected:
  CliResult exportCommand(std::vector<std::string> args) const {
    args.insert(args.begin(), {"export", "--site", "sk"});
    for (const auto& s : sites()) args.push_back(s);
    return cli(args);
  }
};

TEST_F(ExportRoad, NearbyCachesFetchedExportedAndUploadedByteForByte) {
  E2E_READY();
  const std::string sample = sampleFile();
  const std::string before = sampleBytes();

  // Which caches the search adds to the sample list: two of them go the whole road.
  CliResult found = cli({"nearby", "--com", demo.address() + "/com", "--town", "Zlat\xC3\xA9 Moravce", "--add", sample});
  ASSERT_EQ(found.status, 0) << found.err;
  std::vector<std::vector<std::string>> added;
  for (const auto& line : Lines(found.out)) {
    auto row = Split(line, '\t');
    if (row.size() == 3 && row[2] == "?") added.push_back(row);
  }
  ASSERT_GE(added.size(), 2u);
  const std::string codes = added[0][1] + "," + added[1][1];

  const std::string out = dir.file("Okolie.wpt");
  CliResult r = exportCommand({sample, "--nearby", "Zlat\xC3\xA9 Moravce", "--codes", codes, "--login", "--user",
                               "geocacher", "--password", "trovik", "--wpt", out});
  ASSERT_EQ(r.status, 0) << r.out << r.err;
  EXPECT_NE(r.out.find("Pridal som " + std::to_string(added.size()) + " nov"), std::string::npos) << r.out;
  EXPECT_NE(r.out.find("geocacher"), std::string::npos) << "logged in: " << r.out;
  EXPECT_NE(r.out.find("[2/2] " + added[1][1]), std::string::npos) << r.out;
  EXPECT_NE(r.out.find("Do WPT str\xC3\xA1nky bolo pridan\xC3\xBD" "ch 2 z\xC3\xA1znamov"), std::string::npos) << r.out;
  EXPECT_EQ(sampleBytes(), before) << "the file that was read is not written";

  // The sample's lines as they were, then one line per fetched cache.
  const std::string wpt = ReadBytes(out);
  ASSERT_EQ(wpt.compare(0, before.size(), before), 0);
  const std::string tail = wpt.substr(before.size());
  ASSERT_EQ(tail.size() >= 2 ? tail.substr(tail.size() - 2) : "", "\r\n");
  const auto sampleLines = Lines(before);
  const long long last = std::stoll(sampleLines.back().substr(0, sampleLines.back().find(',')));
  const auto lines = Lines(tail);
  ASSERT_EQ(lines.size(), 2u);
  for (size_t i = 0; i < lines.size(); ++i) {
    const auto f = Split(lines[i], ',');
    ASSERT_GE(f.size(), 11u) << lines[i];
    EXPECT_EQ(f[0], std::to_string(last + 1 + static_cast<long long>(i)));
    const std::string name = To1250(added[i][0]);
    EXPECT_EQ(f[1], name);
    EXPECT_EQ(f[10], name + "[" + added[i][1] + "]");
    // The position captured from the national listing, near the town.
    const double lat = std::stod(f[2]), lon = std::stod(f[3]);
    EXPECT_NEAR(lat, 48.39, 1.0) << lines[i];
    EXPECT_NEAR(lon, 18.40, 1.5) << lines[i];
    // The date as a day number with "." and no leading space.
    EXPECT_NE(f[4].find('.'), std::string::npos) << f[4];
    EXPECT_NE(f[4].front(), ' ');
    EXPECT_EQ(f[4].substr(0, 5), "46357") << "2026-12-01 as a day number";
  }

  // The upload to the folder device stores the same bytes.
  CliResult up = cli({"upload", out});
  ASSERT_EQ(up.status, 0) << up.out << up.err;
  const std::string onDevice = deviceRoot + "/Storage Card/OZI_Maps/WP/Okolie.wpt";
  ASSERT_TRUE(std::filesystem::exists(onDevice)) << up.out;
  EXPECT_EQ(ReadBytes(onDevice), wpt);
}

// The listing GC1A2B3 to the card: pictures the card holds are never copied
// again, in one run or the next; failed device copies fail the command.
TEST_F(ExportRoad, ToTheCardPicturesItHoldsStayAndFailedCopiesFailTheCommand) {
  E2E_READY();
  namespace fs = std::filesystem;
  const std::string card = deviceRoot + "/Storage Card/Geo/";
  fs::create_directories(card + "Pictures");
  fs::create_directories(card + "HTM");
  std::ofstream(card + "Pictures/hviezda.gif") << "the card's star";
  std::ofstream(card + "Pictures/gc1a2b3_spoiler.jpg") << "the card's spoiler";
  const std::vector<std::string> filter = {"filter", "--site", "sk", "--sk", demo.address() + "/sk", "--images",
                                           demo.address() + "/img", "--name", "GC1A2B3", "--device",
                                           demo.address() + "/sk/hladaj.php?query=GC1A2B3"};
  CliResult r = cli(filter);
  ASSERT_EQ(r.status, 0) << r.out << r.err;
  EXPECT_EQ(r.err.find("PDA"), std::string::npos) << r.err;
  EXPECT_EQ(ReadBytes(card + "Pictures/hviezda.gif"), "the card's star");
  EXPECT_EQ(ReadBytes(card + "Pictures/gc1a2b3_spoiler.jpg"), "the card's spoiler");
  EXPECT_EQ(ReadBytes(card + "HTM/GC1A2B3.htm"), ReadBytes(home + "HTM/GC1A2B3.htm"));
  // Every other picture of the page went to the card as the PC has it.
  int copied = 0;
  for (const auto& e : fs::directory_iterator(home + "Pictures")) {
    const std::string name = e.path().filename().string();
    if (name == "hviezda.gif" || name == "gc1a2b3_spoiler.jpg") continue;
    ASSERT_TRUE(fs::exists(card + "Pictures/" + name)) << name;
    EXPECT_EQ(ReadBytes(card + "Pictures/" + name), ReadBytes(e.path().string())) << name;
    ++copied;
  }
  EXPECT_GE(copied, 3);

  // The next run finds them all on the card, also one changed there.
  std::string changed;
  for (const auto& e : fs::directory_iterator(card + "Pictures"))
    if (e.path().filename() != "hviezda.gif" && e.path().filename() != "gc1a2b3_spoiler.jpg") changed = e.path();
  std::ofstream(changed) << "changed on the card";
  r = cli(filter);
  ASSERT_EQ(r.status, 0) << r.out << r.err;
  EXPECT_EQ(ReadBytes(changed), "changed on the card");
  EXPECT_EQ(ReadBytes(card + "Pictures/hviezda.gif"), "the card's star");

  // The card lost its page folder: the page cannot be copied. The device's
  // message is on standard error and the command fails, the batch too.
  fs::remove_all(card + "HTM");
  r = cli(filter);
  EXPECT_EQ(r.status, 1) << r.out;
  EXPECT_NE(r.err.find("neviem vytvori\xC5\xA5 file v PDA.\nCesty pre su v poriadku \\Storage Card\\Geo\\HTM\\GC1A2B3.htm?"),
            std::string::npos)
      << r.err;
  r = exportCommand({sampleFile(), "--codes", "GC1A2B3", "--device"});
  EXPECT_EQ(r.status, 1) << r.out;
  EXPECT_NE(r.err.find("neviem vytvori\xC5\xA5 file v PDA."), std::string::npos) << r.err;
  EXPECT_EQ(r.out.find("Hotovo"), std::string::npos) << r.out;
}

// Files on the card below a folder, with their bytes.
std::map<std::string, std::string> CardFiles(const std::string& folder) {
  std::map<std::string, std::string> out;
  std::error_code ec;
  for (const auto& e : std::filesystem::recursive_directory_iterator(folder, ec)) {
    if (e.is_regular_file()) out[e.path().lexically_relative(folder).string()] = ReadBytes(e.path().string());
  }
  return out;
}

// A card that reports too little room gets nothing of a batch, Garmin photos
// included, nor of a pocket query's GPX files; with room, the GPX files
// arrive unchanged, and a copy the card already had is replaced whole.
TEST_F(ExportRoad, NothingGoesToACardWithoutRoomAndGpxFilesGoUnchanged) {
  E2E_READY();
  namespace fs = std::filesystem;
  const std::string card = deviceRoot + "/";
  fs::create_directories(card + "Storage Card/Geo/HTM");
  fs::create_directories(card + "Storage Card/Geo/Pictures");
  fs::create_directories(card + "Garmin/GPX");
  std::ofstream(card + "Garmin/GPX/1234567.gpx") << "the card's older query";
  const auto before = CardFiles(card);

  extraEnv = {"TROVIK_DEVICE_FREE_BYTES=40000"};
  CliResult r = exportCommand({sampleFile(), "--codes", "GC1A2B3,GC1B7K4", "--device", "--garmin-photos"});
  EXPECT_EQ(r.status, 1) << r.out << r.err;
  EXPECT_NE(r.err.find("Na zariaden\xC3\xAD je vo\xC4\xBEn\xC3\xBD" "ch 0 MB, treba "), std::string::npos) << r.err;
  EXPECT_EQ(CardFiles(card), before) << "the card was written to";
  // The pages were made on the PC all the same.
  EXPECT_TRUE(fs::exists(home + "HTM/Star\xC3\xBD mlyn.htm"));
  EXPECT_TRUE(fs::exists(home + "Pictures/gc1a2b3_spoiler.jpg"));

  const std::string query = dir.file("1234567.gpx"), waypoints = dir.file("1234567-wpts.gpx");
  std::ofstream(query) << "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\r\n<gpx><wpt lat=\"48.4\" lon=\"18.4\"/></gpx>\r\n";
  std::ofstream(waypoints) << "<?xml version=\"1.0\"?>\n<gpx><!-- waypoints of the caches --></gpx>\n";
  extraEnv = {"TROVIK_DEVICE_FREE_BYTES=10"};
  r = cli({"upload", "--gpx", query});
  EXPECT_EQ(r.status, 1) << r.out << r.err;
  EXPECT_NE(r.err.find("treba 1 MB."), std::string::npos) << r.err;
  EXPECT_EQ(CardFiles(card), before);

  extraEnv.clear();
  r = cli({"upload", "--gpx", query});
  ASSERT_EQ(r.status, 0) << r.out << r.err;
  EXPECT_EQ(ReadBytes(card + "Garmin/GPX/1234567.gpx"), ReadBytes(query));
  EXPECT_EQ(ReadBytes(card + "Garmin/GPX/1234567-wpts.gpx"), ReadBytes(waypoints));
  EXPECT_EQ(CardFiles(card + "Garmin/GPX").size(), 2u) << "a work file was left behind";
}

TEST_F(ExportRoad, FromAnEmptyListAndNeverOverTheGpxThatWasRead) {
  E2E_READY();
  // Without a file the list starts empty and holds the search's caches only: a code from elsewhere is refused
  // before anything is fetched or written.
  const std::string fromSearch = dir.file("search.wpt");
  CliResult none = exportCommand({"--nearby", "Snina", "--codes", "NOPE", "--wpt", fromSearch});
  EXPECT_EQ(none.status, 1);
  EXPECT_NE(none.err.find("NOPE"), std::string::npos) << none.err;
  EXPECT_FALSE(std::filesystem::exists(fromSearch));
  // Nothing to start from, or pages without a search: refused before any page is loaded.
  EXPECT_EQ(exportCommand({"--wpt", fromSearch}).status, 1);
  EXPECT_EQ(exportCommand({sampleFile(), "--pages", "2"}).status, 1);
  EXPECT_EQ(exportCommand({sampleFile(), "--wpt"}).status, 1);

  const std::string gpxText =
      "<?xml version=\"1.0\" encoding=\"utf-8\"?>\n<gpx version=\"1.0\" creator=\"e2e\">\n"
      "  <wpt lat=\"48.1\" lon=\"18.1\">\n    <name>GC9ZZZ</name>\n    <desc>Nikde (GC9ZZZ)</desc>\n"
      "    <type>Geocache</type>\n  </wpt>\n</gpx>\n";
  const std::string gpx = dir.write("Okolie.gpx", gpxText);
  CliResult found = cli({"nearby", "--com", demo.address() + "/com", "--town", "Snina", "--add", gpx});
  ASSERT_EQ(found.status, 0) << found.err;
  std::string code;
  for (const auto& line : Lines(found.out)) {
    auto row = Split(line, '\t');
    if (row.size() == 3 && row[2] == "?") {
      code = row[1];
      break;
    }
  }
  ASSERT_FALSE(code.empty()) << found.out;
  // Logged in, so that the listing shows the position the export needs.
  CliResult r = exportCommand(
      {gpx, "--nearby", "Snina", "--codes", code, "--login", "--user", "geocacher", "--password", "trovik", "--wpt", gpx});
  ASSERT_EQ(r.status, 0) << r.out << r.err;
  EXPECT_EQ(ReadBytes(gpx), gpxText);
  const std::string beside = dir.file("Okolie.wpt");
  ASSERT_TRUE(std::filesystem::exists(beside)) << r.out;
  EXPECT_NE(r.out.find(beside), std::string::npos) << r.out;
  const auto lines = Lines(ReadBytes(beside));
  ASSERT_FALSE(lines.empty());
  EXPECT_NE(lines.back().find("[" + code + "]"), std::string::npos) << lines.back();
}

}  // namespace
}  // namespace trovik::e2e
