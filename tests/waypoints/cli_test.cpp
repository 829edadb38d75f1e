// The waypoint commands of the built trovik-cli, run on files.

#include <gtest/gtest.h>

#include <cstdlib>

#include "support/temp_dir.h"
#include "waypoint_test_util.h"

namespace trovik::waypoints {
namespace {

using testing::DataFile;
using testing::FixClock;
using testing::ReadBytes;
using trovik::testing::TempDir;

struct CliRun {
  int status;
  std::string out, err;
};

class Cli : public ::testing::Test {
 protected:
  void SetUp() override { FixClock(); }
  CliRun run(const std::string& args) {
    std::string cmd = std::string("'") + TROVIK_BIN_DIR + "/trovik-cli' " + args + " >'" + dir.file("out") + "' 2>'" +
                      dir.file("err") + "'";
    int rc = std::system(cmd.c_str());
    return {WIFEXITED(rc) ? WEXITSTATUS(rc) : -1, dir.read("out"), dir.read("err")};
  }
  static std::string quoted(const std::string& s) { return "'" + s + "'"; }
  TempDir dir;
};

TEST_F(Cli, Gpx2wptToFileAndToStandardOutput) {
  CliRun r = run("gpx2wpt " + quoted(DataFile("three.gpx")) + " -o " + quoted(dir.file("out.wpt")));
  EXPECT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(dir.read("out.wpt"), ReadBytes(DataFile("three.wpt")));
  r = run("gpx2wpt " + quoted(DataFile("three.gpx")));
  EXPECT_EQ(r.status, 0);
  EXPECT_EQ(r.out, ReadBytes(DataFile("three.wpt")));
}

TEST_F(Cli, Gpx2wptErrors) {
  CliRun r = run("gpx2wpt " + quoted(dir.file("missing.gpx")));
  EXPECT_EQ(r.status, 1);
  EXPECT_EQ(r.err, "Cannot open file " + dir.file("missing.gpx") + "\n");
  EXPECT_EQ(r.out, "");
  EXPECT_EQ(run("gpx2wpt").status, 1);
  EXPECT_EQ(run("gpx2wpt a.gpx b.gpx").status, 1);
  EXPECT_EQ(run("gpx2wpt " + quoted(DataFile("three.gpx")) + " -o").status, 1);
  r = run("gpx2wpt --help");
  EXPECT_EQ(r.status, 0);
  EXPECT_NE(r.out.find("gpx2wpt IN.gpx [-o OUT]"), std::string::npos);
}

TEST_F(Cli, CachesPrintsTheListInUtf8) {
  CliRun r = run("caches " + quoted(DataFile("sample.wpt")));
  EXPECT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(r.out, "Starý mlyn\tGC1A2B3\twpt file\nHrad\tGC12345\twpt file\nStary mlyn\tGC1A2B3\twpt file\n");
  r = run("caches " + quoted(DataFile("three.gpx")));
  EXPECT_EQ(r.status, 0);
  EXPECT_EQ(r.out, "GC1A2B3\tGC1A2B3\twpt file\nGC2B3C4\tGC2B3C4\twpt file\n");
  r = run("caches " + quoted(dir.file("none.wpt")));
  EXPECT_EQ(r.status, 1);
  EXPECT_EQ(r.err, "Cannot open file " + dir.file("none.wpt") + "\n");
  EXPECT_EQ(run("caches").status, 1);
}

}  // namespace
}  // namespace trovik::waypoints
