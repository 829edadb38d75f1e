// trovik-cli nearby against the demo site: paging to the last page, the
// transfer into a loaded cache list, the type filter.

#include <chrono>
#include <set>

#include "cli_rig.h"
#include "support/silent_server.h"

namespace trovik::e2e {
namespace {

const std::string kNoNextPage = "\xC4\x8E" "al\xC5\xA1ia str\xC3\xA1nka nie je";
std::string Counted(int n) { return "Na\xC4\x8D\xC3\xADtal som " + std::to_string(n) + " z\xC3\xA1znamov"; }

class Nearby : public CliRig {
 protected:
  CliResult nearby(std::vector<std::string> args) const {
    args.insert(args.begin(), "nearby");
    for (const auto& s : sites()) args.push_back(s);
    return cli(args);
  }
  // The cache list part of an --add run: the lines after the count messages.
  static std::vector<std::vector<std::string>> CacheRows(const std::string& out) {
    std::vector<std::vector<std::string>> rows;
    for (const auto& line : Lines(out))
      if (line.find('\t') != std::string::npos) rows.push_back(Split(line, '\t'));
    return rows;
  }
};

TEST_F(Nearby, PagesToTheLastPageAndStopsThere) {
  E2E_READY();
  // Snina has three result pages: two full, one of 14.
  CliResult all = nearby({"--town", "Snina", "--pages", "5"});
  ASSERT_EQ(all.status, 0) << all.err;
  EXPECT_EQ(Lines(all.out), (std::vector<std::string>{Counted(20), Counted(20), Counted(14), kNoNextPage}));

  // Fewer pages asked for than there are: no last-page message.
  CliResult two = nearby({"--town", "snina", "--pages", "2"});
  ASSERT_EQ(two.status, 0) << two.err;
  EXPECT_EQ(Lines(two.out), (std::vector<std::string>{Counted(20), Counted(20)}));

  // The coordinates of the town, and the result page's address, give the same first page.
  CliResult at = nearby({"--at", "48.9881,22.1567"});
  ASSERT_EQ(at.status, 0) << at.err;
  EXPECT_EQ(Lines(at.out), (std::vector<std::string>{Counted(20)}));
  CliResult page = nearby({"--page", demo.address() +
                                         "/com/seek/nearest.aspx?lat_ns=1&lat_h=48.9881&lat_mmss=0&long_ew=1"
                                         "&long_h=22.1567&long_mmss=0&dist=100&submit8=Search",
                           "--pages", "3"});
  ASSERT_EQ(page.status, 0) << page.err;
  EXPECT_EQ(Lines(page.out), (std::vector<std::string>{Counted(20), Counted(20), Counted(14)}));

  // A results page saved as a file is counted as it stands.
  CliResult saved = cli({"capture", demo.address() + "/com/seek/nearest.aspx?lat_ns=1&lat_h=48.9881&lat_mmss=0"
                                                     "&long_ew=1&long_h=22.1567&long_mmss=0&dist=100&submit8=Search"});
  ASSERT_EQ(saved.status, 0) << saved.err;
  CliResult file = nearby({"--page", dir.write("Snina.htm", "<HTML><BODY>" + saved.out + "</BODY></HTML>")});
  ASSERT_EQ(file.status, 0) << file.err;
  EXPECT_EQ(Lines(file.out), (std::vector<std::string>{Counted(20)}));
}

TEST_F(Nearby, AddTransfersEveryPageIntoTheLoadedListWithoutDuplicates) {
  E2E_READY();
  CliResult file = cli({"caches", sampleFile()});
  ASSERT_EQ(file.status, 0) << file.err;
  const std::vector<std::string> fileLines = Lines(file.out);
  ASSERT_GT(fileLines.size(), 20u);

  // The first page of Zlaté Moravce holds caches the sample file lists already.
  CliResult r = nearby({"--town", "Zlat\xC3\xA9 Moravce", "--pages", "2", "--add", sampleFile()});
  ASSERT_EQ(r.status, 0) << r.err;
  const std::vector<std::string> out = Lines(r.out);
  ASSERT_GE(out.size(), 4u + fileLines.size());
  EXPECT_EQ(out[0], Counted(20));
  EXPECT_EQ(out[2], Counted(20));
  auto addedOf = [](const std::string& line) {
    EXPECT_EQ(line.rfind("Pridal som ", 0), 0u) << line;
    return std::stoi(line.substr(11));
  };
  const int added1 = addedOf(out[1]), added2 = addedOf(out[3]);
  EXPECT_GT(added1, 0);
  EXPECT_LT(added1, 20) << "the caches of the file are not added again";

  // The file's list first, unchanged, then the new caches with an unknown position.
  const auto rows = CacheRows(r.out);
  ASSERT_EQ(rows.size(), fileLines.size() + static_cast<size_t>(added1 + added2));
  for (size_t i = 0; i < fileLines.size(); ++i) EXPECT_EQ(out[4 + i], fileLines[i]);
  std::set<std::string> codes;
  for (size_t i = 0; i < rows.size(); ++i) {
    ASSERT_EQ(rows[i].size(), 3u);
    EXPECT_TRUE(codes.insert(rows[i][1]).second) << "twice: " << rows[i][1];
    if (i >= fileLines.size()) {
      EXPECT_EQ(rows[i][2], "?");
    }
  }
}

TEST_F(Nearby, FilterLeavesOutTheTypesNotChecked) {
  E2E_READY();
  auto addedCodes = [&](const std::vector<std::string>& extra, int& counted) {
    std::vector<std::string> args = {"--town", "Zlat\xC3\xA9 Moravce", "--add", dir.write("empty.wpt", "")};
    args.insert(args.end(), extra.begin(), extra.end());
    std::set<std::string> codes;
    counted = -1;
    CliResult r = nearby(args);
    EXPECT_EQ(r.status, 0) << r.err;
    const auto out = Lines(r.out);
    if (!out.empty() && out[0].rfind("Na\xC4\x8D\xC3\xADtal som ", 0) == 0) counted = std::stoi(out[0].substr(13));
    for (const auto& row : CacheRows(r.out)) codes.insert(row[1]);
    return codes;
  };
  // An empty list to add to.
  int all = 0, traditional = 0, others = 0;
  const auto allCodes = addedCodes({}, all);
  const auto traditionalCodes = addedCodes({"--filter", "Tradi\xC4\x8Dn\xC3\xA1"}, traditional);
  const auto otherCodes =
      addedCodes({"--filter", "Multi,Z\xC3\xA1hadn\xC3\xA1,Webkamera,Stret\xC3\xA1vka,Ostatn\xC3\xA9"}, others);
  EXPECT_EQ(all, 20);
  EXPECT_EQ(allCodes.size(), 20u);
  EXPECT_GT(traditional, 0);
  EXPECT_GT(others, 0);
  EXPECT_EQ(traditional + others, all);
  EXPECT_EQ(traditionalCodes.size() + otherCodes.size(), allCodes.size());
  for (const auto& code : traditionalCodes) {
    EXPECT_EQ(otherCodes.count(code), 0u) << code;
    EXPECT_EQ(allCodes.count(code), 1u) << code;
  }
  for (const auto& code : otherCodes) EXPECT_EQ(allCodes.count(code), 1u) << code;
}

TEST_F(Nearby, RefusesWhatItCannotDo) {
  E2E_READY();
  CliResult unknownType = nearby({"--town", "Snina", "--filter", "Multi,Vir\xC3\xA1lna"});
  EXPECT_EQ(unknownType.status, 1);
  EXPECT_NE(unknownType.err.find("Vir\xC3\xA1lna"), std::string::npos) << unknownType.err;
  EXPECT_NE(unknownType.err.find("Stret\xC3\xA1vka"), std::string::npos) << "the known types are named";

  CliResult unknownTown = nearby({"--town", "Atlantis"});
  EXPECT_EQ(unknownTown.status, 1);
  EXPECT_NE(unknownTown.err.find("Atlantis"), std::string::npos) << unknownTown.err;
  EXPECT_EQ(unknownTown.out, "");

  EXPECT_EQ(nearby({}).status, 1);
  EXPECT_EQ(nearby({"--town", "Snina", "--at", "48,22"}).status, 1);
  EXPECT_EQ(nearby({"--town", "Snina", "--pages", "0"}).status, 1);
  CliResult missingPage = nearby({"--page", dir.file("none.htm")});
  EXPECT_EQ(missingPage.status, 1);
  EXPECT_NE(missingPage.err.find("Cannot open file"), std::string::npos) << missingPage.err;
}

// A results page from a server that takes the connection and never answers:
// the wait ends at the time-out and the command fails instead of hanging.
TEST_F(Nearby, AResultsPageThatNeverComesEndsAtTheTimeOut) {
  E2E_READY();
  testing::SilentServer server;
  ASSERT_NE(server.port(), 0);
  const std::string silent = server.origin();

  const auto start = std::chrono::steady_clock::now();
  CliResult r = cli({"nearby", "--com", silent, "--town", "Snina", "--pages", "3", "--timeout", "2"});
  const auto seconds = std::chrono::duration_cast<std::chrono::seconds>(std::chrono::steady_clock::now() - start);
  EXPECT_EQ(r.status, 1);
  EXPECT_NE(r.err.find("Brejk"), std::string::npos) << r.err;
  EXPECT_EQ(r.out, "") << "no count is reported for a page that did not come";
  EXPECT_LT(seconds.count(), 30);
}

}  // namespace
}  // namespace trovik::e2e
