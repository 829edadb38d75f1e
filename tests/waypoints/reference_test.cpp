// The waypoint files geocachers have, each beside what trovik-cli makes of it:
// for NAME.gpx the expected NAME.wpt of gpx2wpt and NAME.caches of caches, for
// NAME.wpt its NAME.caches. A new case is two (or three) new files in the folder.

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <string>
#include <vector>

#include "support/run_program.h"
#include "support/temp_dir.h"
#include "waypoint_test_util.h"

namespace trovik::waypoints {
namespace {

namespace fs = std::filesystem;

const fs::path kFolder = fs::path(TROVIK_SOURCE_DIR) / "tests" / "waypoints" / "reference";
const char* kNoCache = "Súbor neobsahuje žiadnu kešku s kódom GC.\n";  // UTF-8, as the CLI prints

using CliRun = trovik::testing::RunResult;

class Reference : public ::testing::Test {
 protected:
  void SetUp() override { FixClock(); }
  // trovik-cli in a home of its own, so no settings file but the test's counts.
  CliRun cli(std::vector<std::string> args) {
    args.insert(args.begin(), {"--home", dir.path()});
    CliRun r = trovik::testing::RunCli(std::move(args));
    EXPECT_TRUE(r.exited()) << r.describe();
    return r;
  }
  // The expected file beside `input`; it must be there and must not be where the output goes.
  fs::path expected(const fs::path& input, const char* extension, const std::string& output) {
    fs::path path = input;
    path.replace_extension(extension);
    EXPECT_TRUE(fs::is_regular_file(path)) << "missing " << path;
    EXPECT_NE(fs::weakly_canonical(path), fs::weakly_canonical(output)) << path;
    return path;
  }
  void expectCaches(const fs::path& input) {
    SCOPED_TRACE(input.filename().string());
    const fs::path want = expected(input, ".caches", dir.file("out"));
    const CliRun r = cli({"caches", input.string()});
    EXPECT_EQ(r.exitCode, 0) << r.err;
    const std::string list = ReadBytes(want.string());
    EXPECT_EQ(r.out, list);
    // A file without caches says so; one with caches says nothing more.
    EXPECT_EQ(r.err, list.empty() ? kNoCache : "");
  }
  TempDir dir;
};

TEST_F(Reference, EveryFileGivesItsExpectedWaypointsAndCaches) {
  std::vector<fs::path> inputs;
  for (const auto& entry : fs::directory_iterator(kFolder)) {
    const std::string ext = entry.path().extension().string();
    if (ext == ".gpx" || ext == ".wpt") inputs.push_back(entry.path());
  }
  std::sort(inputs.begin(), inputs.end());
  int gpx = 0, listed = 0;
  for (const fs::path& input : inputs) {
    if (input.extension() == ".gpx") {
      SCOPED_TRACE(input.filename().string());
      ++gpx;
      const std::string out = dir.file("converted.wpt");
      const fs::path want = expected(input, ".wpt", out);
      const CliRun r = cli({"gpx2wpt", input.string(), "-o", out});
      EXPECT_EQ(r.exitCode, 0) << r.err;
      EXPECT_EQ(ReadBytes(out), ReadBytes(want.string()));
    }
    // Every .wpt, also the one converted from a .gpx, lists what its .gpx lists.
    expectCaches(input);
    if (!ReadBytes((fs::path(input).replace_extension(".caches")).string()).empty()) ++listed;
  }
  // A folder that the glob no longer finds must not pass as empty.
  EXPECT_GE(gpx, 8);
  EXPECT_GE(static_cast<int>(inputs.size()), 20);
  EXPECT_GE(listed, 10);
}

// "[Zoznam] KodZNazvu=0": the lists of before, where only "(GC...)" counts.
TEST_F(Reference, TheSettingTurnsTheCodeFromTheNameOff) {
  dir.write("Trovik.ini", "[Zoznam]\r\nKodZNazvu=0\r\n");
  CliRun r = cli({"caches", (kFolder / "pocket-query-gpx10.gpx").string()});
  EXPECT_EQ(r.exitCode, 0);
  EXPECT_EQ(r.out, "");
  EXPECT_EQ(r.err, kNoCache);
  r = cli({"caches", (kFolder / "seed.wpt").string()});
  EXPECT_EQ(r.out, ReadBytes((kFolder / "seed.caches").string()));
  EXPECT_EQ(r.err, "");
}

}  // namespace
}  // namespace trovik::waypoints
