// The files geocachers download, taken the whole road: a pocket query lists
// its caches by code, and a listing is then fetched and exported by its code.
// And a login: a wrong password after a good one is a failure, whatever
// session the browser still holds, and the good password stays stored.

#include <filesystem>

#include "cli_rig.h"

namespace trovik::e2e {
namespace {

const std::string kReference = std::string(TROVIK_SOURCE_DIR) + "/tests/waypoints/reference/";

class WaypointFiles : public CliRig {
 protected:
  CliResult withSites(std::vector<std::string> args) const {
    for (const auto& s : sites()) args.push_back(s);
    return cli(args);
  }
};

TEST_F(WaypointFiles, APocketQueryListsItsCachesAndOneIsFetchedAndExportedByCode) {
  E2E_READY();
  const std::string pq = kReference + "pocket-query-gpx101.gpx";
  CliResult list = cli({"caches", pq});
  ASSERT_EQ(list.status, 0) << list.err;
  EXPECT_NE(list.out.find("Nitriansky hrad\tGC1M7P4\twpt file\n"), std::string::npos) << list.out;

  CliResult fetched = withSites({"fetch", "--site", "com", pq, "GC1M7P4"});
  ASSERT_EQ(fetched.status, 0) << fetched.out << fetched.err;
  EXPECT_NE(fetched.out.find("GC1M7P4 Nitriansky hrad"), std::string::npos) << fetched.out;

  CliResult exported = withSites({"export", "--site", "com", pq, "--codes", "GC1M7P4"});
  ASSERT_EQ(exported.status, 0) << exported.out << exported.err;
  const std::string page = ReadBytes(home + "HTM/Nitriansky hrad.htm");
  EXPECT_NE(page.find("Nitriansky hrad"), std::string::npos) << exported.out;
  // Only the asked cache: no other listing of the file became a page.
  EXPECT_FALSE(std::filesystem::exists(home + "HTM/Levick\xFD hrad.htm"));
}

TEST_F(WaypointFiles, AWrongPasswordAfterAGoodOneFailsAndLeavesTheStoredOne) {
  E2E_READY();
  for (const std::string site : {"sk", "com"}) {
    SCOPED_TRACE(site);
    CliResult good = withSites({"login", "--site", site, "--user", "geocacher", "--password", "trovik"});
    ASSERT_EQ(good.status, 0) << good.out << good.err;
    EXPECT_NE(good.out.find("Ste prihl\xC3\xA1sen\xC3\xBD"), std::string::npos) << good.out;
    const std::string stored = ReadBytes(home + "Trovik.ini");
    ASSERT_NE(stored.find("password=trovik"), std::string::npos) << stored;

    // The browser's profile still holds the session of the good login.
    CliResult wrong = withSites({"login", "--site", site, "--user", "geocacher", "--password", "zle-heslo"});
    EXPECT_EQ(wrong.status, 1) << wrong.out;
    EXPECT_EQ(wrong.out.find("Ste prihl\xC3\xA1sen\xC3\xBD"), std::string::npos) << wrong.out;
    EXPECT_EQ(ReadBytes(home + "Trovik.ini"), stored);

    // The stored name and password still log in.
    CliResult again = withSites({"login", "--site", site});
    EXPECT_EQ(again.status, 0) << again.out << again.err;
  }
}

}  // namespace
}  // namespace trovik::e2e
