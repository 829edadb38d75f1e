// trovik-cli's page commands as a user runs them.

#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cstdio>
#include <filesystem>
#include <string>

#include "base/files.h"
#include "support/demo_site_process.h"
#include "pages/jpeg_halving.h"
#include "support/temp_dir.h"
#include "text/text.h"

namespace trovik::pages::test {
namespace {

struct CliRun {
  int status = -1;
  std::string out;  // standard output and error together
};

CliRun Cli(const std::string& arguments) {
  CliRun r;
  std::string command = std::string(TROVIK_BIN_DIR) + "/trovik-cli " + arguments + " 2>&1";
  FILE* p = popen(command.c_str(), "r");
  if (!p) return r;
  char buf[4096];
  size_t n;
  while ((n = std::fread(buf, 1, sizeof buf, p)) > 0) r.out.append(buf, n);
  int st = pclose(p);
  r.status = WIFEXITED(st) ? WEXITSTATUS(st) : -1;
  return r;
}

std::string Quote(const std::string& s) { return "'" + s + "'"; }

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
  CliRun kept = Cli("shrink " + Quote(p) + " --limit 100000");
  EXPECT_EQ(kept.status, 0) << kept.out;
  EXPECT_EQ(DecodeJpeg(files::ReadAll(p), p).width, 40);
  CliRun halved = Cli("shrink " + Quote(p) + " --limit 0");
  EXPECT_EQ(halved.status, 0) << halved.out;
  EXPECT_EQ(DecodeJpeg(files::ReadAll(p), p).width, 20);
  // The default limit is 30000 bytes.
  std::string big = dir.write("big.JPG", Jpeg(8, 8) + std::string(40000, '\0'));
  EXPECT_EQ(Cli("shrink " + Quote(big)).status, 0);
  EXPECT_EQ(DecodeJpeg(files::ReadAll(big), big).width, 4);
}

TEST(CliShrink, NotAJpegOrMissingFileFails) {
  testing::TempDir dir;
  std::string bad = dir.write("bad.jpg", "<html>error page</html>");
  CliRun r = Cli("shrink " + Quote(bad) + " --limit 0");
  EXPECT_EQ(r.status, 1);
  EXPECT_NE(r.out.find("JPEG error"), std::string::npos) << r.out;
  EXPECT_EQ(files::ReadAll(bad), "<html>error page</html>");
  CliRun missing = Cli("shrink " + Quote(dir.file("none.jpg")));
  EXPECT_EQ(missing.status, 1);
  EXPECT_NE(missing.out.find("Cannot open file"), std::string::npos) << missing.out;
}

TEST(CliFilter, LocalTestPageWithPicturesFromTheDemoSite) {
  if (!WithBrowser()) GTEST_SKIP() << "trovik-cli without the browser";
  testing::DemoSiteProcess demo;
  if (demo.address().empty()) GTEST_SKIP() << "trovik-demo-site not built";
  testing::TempDir home;
  // The hidden test run's page, its picture addresses pointed at this demo site.
  const std::string page = home.write(
      "listing_sk.htm",
      text::ReplaceAll(files::ReadAll(std::string(TROVIK_SOURCE_DIR) + "/data/testpages/listing_sk.htm"),
                       "http://127.0.0.1:8080", demo.address()));
  CliRun r = Cli("--home " + Quote(home.path()) + " filter --site sk --images " + demo.address() +
              "/img --shrink 100 --name 'Pod/Most: 1?' " + Quote(page));
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
  if (demo.address().empty()) GTEST_SKIP() << "trovik-demo-site not built";
  testing::TempDir home;
  const std::string wpt = std::string(TROVIK_SOURCE_DIR) + "/data/Zlat\xC3\xA9 Moravce50km.wpt";
  const std::string sites = " --sk " + demo.address() + "/sk --com " + demo.address() + "/com --images " +
                            demo.address() + "/img ";
  CliRun r = Cli("--home " + Quote(home.path()) + " export --site sk" + sites + "--codes GC1B7K4,GC1A2B3 " + Quote(wpt));
  ASSERT_EQ(r.status, 0) << r.out;
  // List order, not the order named.
  size_t first = r.out.find("[1/2] GC1A2B3"), second = r.out.find("[2/2] GC1B7K4");
  EXPECT_NE(first, std::string::npos) << r.out;
  EXPECT_NE(second, std::string::npos) << r.out;
  EXPECT_LT(first, second);
  EXPECT_TRUE(files::Exists(home.path() + "HTM/Star\xC3\xBD mlyn.htm"));
  EXPECT_TRUE(files::Exists(home.path() + "HTM/Hrad Hru\xC5\xA1ov.htm"));

  CliRun unknown = Cli("--home " + Quote(home.path()) + " export" + sites + "--codes GC0NONE " + Quote(wpt));
  EXPECT_EQ(unknown.status, 1);
}

}  // namespace
}  // namespace trovik::pages::test
