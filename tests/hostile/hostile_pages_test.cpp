// The page filter over pages no site should serve: one line of 50 MB, a
// hundred thousand pictures, picture and page names that try to leave the
// Pictures and HTM folders. Runs only when the CLI has the browser.

#include <filesystem>
#include <string>

#include "base/files.h"
#include "hostile_fixture.h"
#include "jpeg_inputs.h"

namespace trovik::hostile {

bool CliHasBrowser() {
  // A build without the window has no engine library for the page commands.
  static const bool yes = std::filesystem::exists(std::string(TROVIK_BIN_DIR) + "/libtrovik-webengine.so");
  return yes;
}

namespace {

class HostilePages : public HostileCase {
 protected:
  void SetUp() override {
    if (!CliHasBrowser()) GTEST_SKIP() << "trovik-cli without the browser";
  }
  ChildResult filter(const std::string& name, const std::string& page, double timeout = 180) {
    return cli({"filter", "--name", name, "--timeout", "120", page}, timeout);
  }
};

TEST_F(HostilePages, FiftyMegabytesOnOneLine) {
  std::string page = "<html><body>HLAVNIPANEL ";
  const size_t size = (50u << 20) / kScale;
  page.reserve(size);
  while (page.size() < size) page += "<b>x</b><a href=\"http://127.0.0.1:1/a\">y</a> SRC=\"q/p.jpg\" ";
  page += "</body></html>";
  const std::string p = input("long.htm", page);
  page.clear();
  page.shrink_to_fit();
  arm();
  expectSafe(filter("long", p, 240));
}

TEST_F(HostilePages, HundredThousandPictures) {
  input("p.gif", "GIF89a");
  std::string page = "<html><body><p>HLAVNIPANEL</p>";
  for (int i = 0; i < 100000 / kScale; ++i) page += "<img src=\"p.gif\"><img src=\"sub/../p" + std::to_string(i % 10) + ".gif\">";
  page += "</body></html>";
  const std::string p = input("many.htm", page);
  arm();
  ChildResult r = filter("many", p, 240);
  expectSafe(r);
  EXPECT_TRUE(files::Exists(home + "Pictures/p.gif")) << r.describe();
}

TEST_F(HostilePages, PictureAndPageNamesThatTryToLeaveTheirFolders) {
  input("ok.jpg", NoiseJpeg(8, 8));
  std::string page = "<html><body><p>HLAVNIPANEL</p>";
  for (const char* src : {"ok.jpg", "x/..", "..", "a%2F..%2F..%2Fevil.jpg", "a%5C..%5C..%5Cevil.jpg", "%00.jpg",
                          "CON.jpg", "trail.jpg.", "ok.jpg?x=/../../evil.jpg"})
    page += std::string("<img src=\"") + src + "\">";
  page += "<img src=\"" + std::string(300, 'n') + ".jpg\">";
  page += "<p>Obr\xC3\xA1zky: <A href=\"http://127.0.0.1:1/img/cache/../../evil.jpg\">a</A>"
          "<A href=\"http://127.0.0.1:1/img/cache/a%2F..%2Fevil.jpg\">b</A></p></body></html>";
  const std::string p = input("names.htm", page);
  arm();
  for (const std::string& name : {std::string("../evil"), std::string("a/b"), std::string("a\\b"),
                                  std::string(".."), std::string(300, 'm')}) {
    expectSafe(cli({"filter", "--name", name, "--images", "http://127.0.0.1:1/img", "--timeout", "60", p}, 120));
  }
  EXPECT_FALSE(std::filesystem::exists(root.path() + "evil.jpg"));
  EXPECT_FALSE(std::filesystem::exists(home + "evil.htm"));
}

}  // namespace
}  // namespace trovik::hostile
