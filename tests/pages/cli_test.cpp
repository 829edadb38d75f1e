// trovik-cli's page commands as a user runs them.

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "base/files.h"
#include "pages/jpeg_halving.h"
#include "support/demo_site_process.h"
#include "support/run_program.h"
#include "support/temp_dir.h"
#include "text/text.h"

namespace trovik::pages::test {
namespace {

struct CliRun {
  int status = -1;
  std::string out;  // standard output, then standard error
};

CliRun Cli(std::vector<std::string> args) {
  const testing::RunResult r = testing::RunCli(std::move(args));
  EXPECT_TRUE(r.exited()) << r.describe();
  return {r.exitCode, r.out + r.err};
}

std::string Jpeg(int w, int h) {
  Bitmap b;
  b.width = w, b.height = h;
  b.bgr.assign(static_cast<size_t>(w) * h * 3, 90);
  return EncodeJpeg(b, 90, "t");
}

bool WithBrowser() {
  // A build without the window has no engine library for the page commands.
  static const bool yes = std::filesystem::exists(std::string(TROVIK_BIN_DIR) + "/libtrovik-webengine.so");
  return yes;
}

TEST(CliShrink, HalvesAboveTheLimitAndKeepsTheRest) {
  testing::TempDir dir;
  std::string p = dir.write("a.jpg", Jpeg(40, 20));
  CliRun kept = Cli({"shrink", p, "--limit", "100000"});
  EXPECT_EQ(kept.status, 0) << kept.out;
  EXPECT_EQ(DecodeJpeg(files::ReadAll(p), p).width, 40);
  CliRun halved = Cli({"shrink", p, "--limit", "0"});
  EXPECT_EQ(halved.status, 0) << halved.out;
  EXPECT_EQ(DecodeJpeg(files::ReadAll(p), p).width, 20);
  // The default limit is 30000 bytes.
  std::string big = dir.write("big.JPG", Jpeg(8, 8) + std::string(40000, '\0'));
  EXPECT_EQ(Cli({"shrink", big}).status, 0);
  EXPECT_EQ(DecodeJpeg(files::ReadAll(big), big).width, 4);
}

TEST(CliShrink, NotAJpegOrMissingFileFails) {
  testing::TempDir dir;
  std::string bad = dir.write("bad.jpg", "<html>error page</html>");
  CliRun r = Cli({"shrink", bad, "--limit", "0"});
  EXPECT_EQ(r.status, 1);
  EXPECT_NE(r.out.find("JPEG error"), std::string::npos) << r.out;
  EXPECT_EQ(files::ReadAll(bad), "<html>error page</html>");
  CliRun missing = Cli({"shrink", dir.file("none.jpg")});
  EXPECT_EQ(missing.status, 1);
  EXPECT_NE(missing.out.find("Cannot open file"), std::string::npos) << missing.out;
}

TEST(CliFilter, LocalTestPageWithPicturesFromTheDemoSite) {
  if (!WithBrowser()) GTEST_SKIP() << "trovik-cli without the browser";
  testing::DemoSiteProcess demo;
  ASSERT_TRUE(demo.running()) << "trovik-demo-site did not start";
  testing::TempDir home;
  // The hidden test run's page, its picture addresses pointed at this demo site.
  const std::string page = home.write(
      "listing_sk.htm",
      text::ReplaceAll(files::ReadAll(std::string(TROVIK_SOURCE_DIR) + "/data/testpages/listing_sk.htm"),
                       "http://127.0.0.1:8080", demo.address()));
  CliRun r = Cli({"--home", home.path(), "filter", "--site", "sk", "--images", demo.address() + "/img", "--shrink",
                "100", "--name", "Pod/Most: 1?", page});
  ASSERT_EQ(r.status, 0) << r.out;
  auto lines = text::SplitLines(files::ReadAll(home.path() + "HTM/Pod_Most_ 1_.htm"));
  ASSERT_EQ(lines.size(), 5u) << r.out;
  EXPECT_NE(text::UpperCase(lines[0]).find("SRC=\"../PICTURES/GC1A2B3_FOTO.JPG\""), std::string::npos) << lines[0];
  EXPECT_EQ(lines[0].find("stranka"), std::string::npos);
  EXPECT_EQ(lines[1], "<br><b><i>Pom\xF4" "cku odk\xF3" "doval Zorvik:</i><li>pod kame\xF2om</b><br>");
  EXPECT_EQ(lines[2], "<li><b>v kore\xF2" "a lipy</b><br>");
  // The page's pictures and its header pictures were fetched.
  EXPECT_TRUE(files::Exists(home.path() + "Pictures/gc1a2b3_spoiler.jpg"));
  EXPECT_TRUE(files::Exists(home.path() + "Pictures/gc1a2b3_foto.jpg"));
  EXPECT_TRUE(files::Exists(home.path() + "Pictures/gc1a2b3_mapa.png"));
  EXPECT_EQ(lines[3],
            "<img style=\"FLOAT: left\" src=\"../Pictures/gc1a2b3_spoiler.jpg\" target=_blank>Spoiler</A><BR>");
}

TEST(CliExport, MarkedCodesFromTheSampleFile) {
  if (!WithBrowser()) GTEST_SKIP() << "trovik-cli without the browser";
  testing::DemoSiteProcess demo;
  ASSERT_TRUE(demo.running()) << "trovik-demo-site did not start";
  testing::TempDir home;
  const std::string wpt = std::string(TROVIK_SOURCE_DIR) + "/data/Zlat\xC3\xA9 Moravce50km.wpt";
  const std::vector<std::string> sites = {"--sk",     demo.address() + "/sk", "--com",
                                          demo.address() + "/com", "--images", demo.address() + "/img"};
  auto exportArgs = [&](std::vector<std::string> options) {
    std::vector<std::string> all = {"--home", home.path(), "export"};
    all.insert(all.end(), sites.begin(), sites.end());
    all.insert(all.end(), options.begin(), options.end());
    all.push_back(wpt);
    return all;
  };
  CliRun r = Cli(exportArgs({"--site", "sk", "--codes", "GC1B7K4,GC1A2B3"}));
  ASSERT_EQ(r.status, 0) << r.out;
  // List order, not the order named.
  size_t first = r.out.find("[1/2] GC1A2B3"), second = r.out.find("[2/2] GC1B7K4");
  EXPECT_NE(first, std::string::npos) << r.out;
  EXPECT_NE(second, std::string::npos) << r.out;
  EXPECT_LT(first, second);
  EXPECT_TRUE(files::Exists(home.path() + "HTM/Star\xC3\xBD mlyn.htm"));
  EXPECT_TRUE(files::Exists(home.path() + "HTM/Hrad Hru\xC5\xA1ov.htm"));

  CliRun unknown = Cli(exportArgs({"--codes", "GC0NONE"}));
  EXPECT_EQ(unknown.status, 1);
}


// A pocket query's cache: its long description (HTML, escaped as the file
// holds it) with these pictures.
std::string PocketQuery(const std::vector<std::pair<std::string, std::string>>& caches) {
  std::string gpx =
      "<?xml version=\"1.0\" encoding=\"utf-8\"?>\n<gpx xmlns=\"http://www.topografix.com/GPX/1/0\" version=\"1.0\">\n";
  for (const auto& [code, html] : caches) {
    std::string escaped;
    for (char c : html) escaped += c == '<' ? "&lt;" : c == '>' ? "&gt;" : c == '&' ? "&amp;" : std::string(1, c);
    gpx += "<wpt lat=\"48.4\" lon=\"18.4\"><name>" + code + "</name><type>Geocache|Traditional Cache</type>"
           "<groundspeak:cache xmlns:groundspeak=\"http://www.groundspeak.com/cache/1/0/1\" available=\"True\" "
           "archived=\"False\"><groundspeak:name>Ke\xC5\xA1ka " + code + "</groundspeak:name>"
           "<groundspeak:long_description html=\"True\">" + escaped + "</groundspeak:long_description>"
           "</groundspeak:cache></wpt>\n";
  }
  return gpx + "</gpx>\n";
}

TEST(CliPages, PicturesFromTheFileFetchedHalvedOrKeptAsAddresses) {
  testing::DemoSiteProcess demo;
  ASSERT_TRUE(demo.running()) << "trovik-demo-site did not start";
  testing::TempDir home;
  const std::string img = demo.address() + "/img/cache/";
  // A 5 MB description: owner text is no reason to slow down or fail.
  std::string big(5 * 1024 * 1024, 'x');
  for (size_t i = 80; i < big.size(); i += 81) big[i] = ' ';
  const std::string gpx = home.write(
      "pq.gpx", PocketQuery({{"GC1AAAA", "<p>Foto <img src=\"" + img + "gc1a2b3_foto.jpg\"> a <img src=\"" + img +
                                             "nic-take.jpg\"></p>"},
                             {"GC2BBBB", "<p>" + big + "</p><img src=\"" + img + "gc1a2b3_foto.jpg\">"}}));
  testing::RunOptions run;
  run.args = {"--home", home.path(), "pages", gpx, "--shrink", "100"};
  run.timeoutSeconds = 60;
  const testing::RunResult r = testing::RunCli(run);
  ASSERT_EQ(r.exitCode, 0) << r.describe();
  EXPECT_NE(r.out.find("GC1AAAA.htm"), std::string::npos) << r.out;
  EXPECT_NE(r.out.find("index.htm"), std::string::npos) << r.out;
  // The missing picture is named and keeps its address; the other is the cache's own file, halved.
  EXPECT_NE(r.err.find(img + "nic-take.jpg"), std::string::npos) << r.err;
  const std::string page = files::ReadAll(home.path() + "HTM/GC1AAAA.htm");
  EXPECT_NE(page.find("src=\"../Pictures/GC1AAAA_1_gc1a2b3_foto.jpg\""), std::string::npos) << page;
  EXPECT_NE(page.find("src=\"" + img + "nic-take.jpg\""), std::string::npos) << page;
  const std::string picture = home.path() + "Pictures/GC1AAAA_1_gc1a2b3_foto.jpg";
  ASSERT_TRUE(files::Exists(picture));
  EXPECT_GT(files::Size(home.path() + "HTM/GC2BBBB.htm"), 5 * 1024 * 1024);
  // The same picture without the shrink rule, for its size.
  testing::TempDir whole;
  const testing::RunResult kept =
      testing::RunCli(std::vector<std::string>{"--home", whole.path(), "pages", gpx, "--codes", "GC1AAAA"});
  ASSERT_EQ(kept.exitCode, 0) << kept.describe();
  const std::string original = whole.path() + "Pictures/GC1AAAA_1_gc1a2b3_foto.jpg";
  ASSERT_TRUE(files::Exists(original)) << kept.err;
  const int halved = DecodeJpeg(files::ReadAll(picture), picture).width;
  const int full = DecodeJpeg(files::ReadAll(original), original).width;
  EXPECT_LE(std::abs(2 * halved - full), 1) << halved << " of " << full;

  // A code the file does not hold fails the run and is named.
  const testing::RunResult unknown = testing::RunCli(
      std::vector<std::string>{"--home", home.path(), "pages", gpx, "--codes", "GC1AAAA,GC0NONE", "--no-pictures"});
  EXPECT_EQ(unknown.exitCode, 1) << unknown.describe();
  EXPECT_NE(unknown.err.find("GC0NONE"), std::string::npos) << unknown.err;
}

// Pages are written behind the making of the next ones; a page that cannot
// be written still ends the run right there, with what came before it kept.
TEST(CliPages, APageThatCannotBeWrittenEndsTheRunAfterThePagesBeforeIt) {
  testing::TempDir home;
  std::vector<std::pair<std::string, std::string>> caches;
  for (int i = 100; i < 300; ++i) caches.push_back({"GC1A" + std::to_string(i), "<p>Text</p>"});
  const std::string gpx = home.write("pq.gpx", PocketQuery(caches));
  std::filesystem::create_directories(home.path() + "HTM");
  const std::string blocked = home.write("HTM/GC1A150.htm", "old page");
  std::filesystem::permissions(blocked, std::filesystem::perms::owner_read);
  const testing::RunResult r =
      testing::RunCli(std::vector<std::string>{"--home", home.path(), "pages", gpx, "--no-pictures"});
  EXPECT_EQ(r.exitCode, 1) << r.describe();
  EXPECT_NE(r.err.find("GC1A150.htm"), std::string::npos) << r.err;
  std::string expected;
  for (int i = 100; i < 150; ++i) expected += home.path() + "HTM/GC1A" + std::to_string(i) + ".htm\n";
  EXPECT_EQ(r.out, expected);
  EXPECT_EQ(home.read("HTM/GC1A150.htm"), "old page");
  for (int i = 151; i < 300; ++i) EXPECT_FALSE(files::Exists(home.path() + "HTM/GC1A" + std::to_string(i) + ".htm")) << i;
  EXPECT_FALSE(files::Exists(home.path() + "HTM/index.htm"));
}

}  // namespace
}  // namespace trovik::pages::test
