// The CLI on waypoint files, pictures and settings no user should produce:
// each run gives a result or a clear error, in time, and writes nothing
// outside the program's folders.

#include <random>
#include <string>

#include "base/files.h"
#include "hostile_fixture.h"
#include "jpeg_inputs.h"

namespace trovik::hostile {
namespace {

std::string Random(size_t n, unsigned seed) {
  std::mt19937 gen(seed);
  std::string s(n, '\0');
  for (auto& c : s) c = static_cast<char>(gen());
  return s;
}

std::string Gpx(int count, const std::string& name = "") {
  std::string s = "<?xml version=\"1.0\"?>\n<gpx>\n";
  for (int i = 0; i < count; ++i) {
    s += "<wpt lat=\"48." + std::to_string(i) + "\" lon=\"17." + std::to_string(i) + "\">\n";
    s += "<name>GC" + std::to_string(i) + "</name>\n<desc>" + (name.empty() ? "Kes" : name) + " (GC" +
         std::to_string(i) + ")</desc>\n</wpt>\n";
  }
  return s + "</gpx>\n";
}

using HostileWaypoints = HostileCase;

TEST_F(HostileWaypoints, TruncatedGpxAtEveryKindOfPlace) {
  const std::string whole = Gpx(50);
  std::vector<std::string> paths;
  for (size_t cut : {size_t{1}, whole.size() / 3, whole.size() / 2 + 7, whole.size() - 9}) {
    paths.push_back(input("cut" + std::to_string(cut) + ".gpx", whole.substr(0, cut)));
  }
  arm();
  for (const auto& p : paths) {
    expectSafe(cli({"gpx2wpt", p}));
    expectSafe(cli({"gpx2wpt", p, "-o", home + "out.wpt"}), {"home/out.wpt"});
    expectSafe(cli({"caches", p}));
  }
}

TEST_F(HostileWaypoints, BinaryGpxAndWpt) {
  std::string noise = Random(2 << 20, 1);
  // Some record openers so the scan has something to chew on.
  for (size_t i = 0; i < noise.size(); i += 4099) noise.replace(i, 5, "<wpt ");
  const std::string gpx = input("noise.gpx", noise);
  const std::string wpt = input("noise.wpt", noise);
  arm();
  expectSafe(cli({"gpx2wpt", gpx, "-o", home + "out.wpt"}), {"home/out.wpt"});
  expectSafe(cli({"caches", gpx}));
  expectSafe(cli({"caches", wpt}));
}

TEST_F(HostileWaypoints, HugeSingleLinesOfOpenersAndClosers) {
  std::string openers, closers;
  while (openers.size() < (10 << 20)) openers += "<wpt lat=\"1\" lon=\"2\">";
  while (closers.size() < (10 << 20)) closers += "</wpt><name>";
  const std::string a = input("openers.gpx", openers);
  const std::string b = input("closers.gpx", "<wpt \n" + closers + "\n</wpt>\n");
  arm();
  expectSafe(cli({"gpx2wpt", a, "-o", home + "a.wpt"}, 120), {"home/a.wpt"});
  expectSafe(cli({"gpx2wpt", b, "-o", home + "b.wpt"}, 120), {"home/b.wpt"});
}

TEST_F(HostileWaypoints, NamesWithSeparatorsNulAndThreeHundredBytes) {
  const std::vector<std::string> names = {"..", "../../evil", "a/b", "a\\b\\..\\c", std::string("a\0b", 3),
                                          std::string(300, 'n')};
  std::vector<std::string> paths;
  int i = 0;
  for (const auto& n : names) paths.push_back(input("n" + std::to_string(i++) + ".gpx", Gpx(3, n)));
  // A file whose own name is odd: dots and a backslash.
  paths.push_back(input("..\\..\\x..gpx", Gpx(2)));
  arm();
  for (const auto& p : paths) {
    expectSafe(cli({"caches", p}));
    expectSafe(cli({"gpx2wpt", p, "-o", home + "out.wpt"}), {"home/out.wpt"});
    // Saved into the program folder under the file's own name (a "\\" in it
    // separates, as on the PC it was written for), copied to the device.
    reportsOnOutput = true;
    expectSafe(cli({"upload", p, "--pda-wpt", "\\My Documents\\"}), {"home/n", "home/x..wpt"});
    reportsOnOutput = false;
  }
  // A file name of 300 bytes cannot even be created here; the CLI says so.
  expectSafe(cli({"caches", root.path() + "in/" + std::string(300, 'x') + ".gpx"}));
}

using HostilePictures = HostileCase;

TEST_F(HostilePictures, GigabyteDeclaredHeaderIsRefusedAndKept) {
  const std::string bytes = DeclaredJpeg(32768, 32768) + std::string(40000, '\0');
  const std::string p = input("huge.JPG", bytes);
  arm();
  RunResult r = cli({"shrink", p, "--limit", "0"});
  expectSafe(r);
  EXPECT_EQ(r.exitCode, 1) << r.describe();
  EXPECT_EQ(files::ReadAll(p), bytes);
}

TEST_F(HostilePictures, SmallFileClaimingEightyMegapixels) {
  // Under the pixel limit, so it is decoded (grey, the data is missing) and halved.
  const std::string p = input("bomb.JPG", DeclaredJpeg(9000, 9000) + std::string(40000, '\0'));
  arm();
  expectSafe(cli({"shrink", p, "--limit", "0"}, 180), {"in/bomb.JPG"});
}

TEST_F(HostilePictures, ThousandsOfProgressiveScans) {
  const std::string bytes = ScanBombJpeg(3000);
  const std::string p = input("scans.JPG", bytes);
  arm();
  RunResult r = cli({"shrink", p, "--limit", "0"}, 120);
  expectSafe(r, {"in/scans.JPG"});
}

TEST_F(HostilePictures, BinaryAndTruncatedPictures) {
  const std::string good = NoiseJpeg(64, 48);
  std::vector<std::string> paths = {input("noise.jpg", Random(100000, 2)),
                                    input("half.jpg", good.substr(0, good.size() / 2)),
                                    input("head.jpg", good.substr(0, 20)), input("empty.jpg", "")};
  arm();
  for (const auto& p : paths) expectSafe(cli({"shrink", p, "--limit", "0"}), {"in/"});
}

using HostileSettings = HostileCase;

TEST_F(HostileSettings, TenMegabyteLinesAndInvalidBytes) {
  std::string ini = "[PDA]\r\nPDA_WPT=" + std::string(10 << 20, 'w') + "\r\n";
  ini += Random(1 << 20, 3) + "\r\n[" + std::string(1 << 20, 's') + "\r\n" + std::string(10 << 20, '=') + "\r\n";
  ini += "[Adresy]\r\nsk=\xFF\xFE\x00\x01http://x\r\n";
  root.write("home/Trovik.ini", ini);
  const std::string wpt = input("a.wpt", "OziExplorer Waypoint File Version 1.1\r\nWGS 84\r\nx\r\nx\r\n"
                                         "1,Kes (GC1),48.1,17.1,45000,0,1,3,0,65535,,0,0,0,-777,6,0,17\r\n");
  const std::string page = input("p.htm", "<p>x</p>");
  arm();
  // The device folder comes from the settings: a 10 MB folder name is refused by the device.
  reportsOnOutput = true;
  expectSafe(cli({"upload", wpt}, 120), {"home/a.wpt"});
  expectSafe(cli({"upload", wpt, "--pda-wpt", "\\Geo\\"}, 120), {"home/a.wpt"});
  if (CliHasBrowser()) expectSafe(cli({"capture", page, "--timeout", "30"}, 120));
}

}  // namespace
}  // namespace trovik::hostile
