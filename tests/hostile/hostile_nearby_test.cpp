// The nearby search over a town file without sections and a results page of
// a hundred thousand rows. Runs when the CLI has the nearby command and the
// browser; the search address points nowhere, so nothing leaves the machine.

#include <string>

#include "hostile_fixture.h"

namespace trovik::hostile {
namespace {

bool CliHasNearby() {
  static const bool yes = [] {
    RunOptions o;
    o.args = {"nearby", "--help"};
    return RunCli(o).exitCode == 0 && CliHasBrowser();
  }();
  return yes;
}

class HostileNearby : public HostileCase {
 protected:
  void SetUp() override {
    if (!CliHasNearby()) GTEST_SKIP() << "trovik-cli without the nearby command or the browser";
  }
  RunResult nearby(std::vector<std::string> args, double timeout = 120) {
    args.insert(args.begin(), "nearby");
    for (const char* a : {"--com", "http://127.0.0.1:1", "--sk", "http://127.0.0.1:1", "--timeout", "20"})
      args.push_back(a);
    return cli(args, timeout);
  }
};

TEST_F(HostileNearby, TownFilesWithoutSectionsOrWithHugeLines) {
  const std::vector<std::string> files = {
      "Nitra=48.3,18.1\r\nBratislava=48.1,17.1\r\n",
      "\xFF\xFE\x00[\r\n]]]\r\n=\r\n==\r\nNitra\r\n",
      "[Mesta]\r\nNitra=" + std::string(10 << 20, '4') + "\r\n" + std::string(1 << 20, '[') + "\r\n",
      ""};
  for (const auto& f : files) {
    root.write("home/suradnicemiest.ini", f);
    arm();
    expectSafe(nearby({"--town", "Nitra"}));
    expectSafe(nearby({"--town", std::string(300, 'x')}));
  }
}

TEST_F(HostileNearby, ResultsPageWithHundredThousandRows) {
  std::string page = "<html><body><table>\n";
  for (int i = 0; i < 100000 / kScale; ++i) {
    const std::string code = "GC" + std::to_string(i);
    page += "<tr><td><IMG title=\"Traditional Cache\"></td><td><A href=\"/seek/cache_details.aspx?wp=" + code +
            "\">Ke\xC5\xA1ka " + std::to_string(i) + " &amp;lt;</A> by x (" + code + ")<BR></td></tr>\n";
  }
  page += "</table></body></html>\n";
  const std::string p = input("results.htm", page);
  const std::string list = input("list.wpt", "OziExplorer Waypoint File Version 1.1\r\nWGS 84\r\nx\r\nx\r\n");
  arm();
  expectSafe(nearby({"--page", p}, 240));
  expectSafe(nearby({"--page", p, "--add", list}, 240));
}

}  // namespace
}  // namespace trovik::hostile
