// The waypoint commands of the built trovik-cli, run on files.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "support/run_program.h"
#include "support/temp_dir.h"
#include "waypoint_test_util.h"

namespace trovik::waypoints {
namespace {

using CliRun = trovik::testing::RunResult;

class Cli : public ::testing::Test {
 protected:
  void SetUp() override { FixClock(); }
  CliRun run(std::vector<std::string> args) {
    CliRun r = trovik::testing::RunCli(std::move(args));
    EXPECT_TRUE(r.exited()) << r.describe();
    return r;
  }
  TempDir dir;
};

TEST_F(Cli, Gpx2wptToFileAndToStandardOutput) {
  CliRun r = run({"gpx2wpt", DataFile("three.gpx"), "-o", dir.file("out.wpt")});
  EXPECT_EQ(r.exitCode, 0) << r.err;
  EXPECT_EQ(dir.read("out.wpt"), ReadBytes(DataFile("three.wpt")));
  r = run({"gpx2wpt", DataFile("three.gpx")});
  EXPECT_EQ(r.exitCode, 0);
  EXPECT_EQ(r.out, ReadBytes(DataFile("three.wpt")));
}

TEST_F(Cli, Gpx2wptErrors) {
  CliRun r = run({"gpx2wpt", dir.file("missing.gpx")});
  EXPECT_EQ(r.exitCode, 1);
  EXPECT_EQ(r.err, "Cannot open file " + dir.file("missing.gpx") + "\n");
  EXPECT_EQ(r.out, "");
  EXPECT_EQ(run({"gpx2wpt"}).exitCode, 1);
  EXPECT_EQ(run({"gpx2wpt", "a.gpx", "b.gpx"}).exitCode, 1);
  EXPECT_EQ(run({"gpx2wpt", DataFile("three.gpx"), "-o"}).exitCode, 1);
  r = run({"gpx2wpt", "--help"});
  EXPECT_EQ(r.exitCode, 0);
  EXPECT_NE(r.out.find("gpx2wpt IN.gpx [-o OUT]"), std::string::npos);
}

TEST_F(Cli, CachesPrintsTheListInUtf8) {
  CliRun r = run({"caches", DataFile("sample.wpt")});
  EXPECT_EQ(r.exitCode, 0) << r.err;
  EXPECT_EQ(r.out, "Starý mlyn\tGC1A2B3\twpt file\nHrad\tGC12345\twpt file\nStary mlyn\tGC1A2B3\twpt file\n");
  r = run({"caches", DataFile("three.gpx")});
  EXPECT_EQ(r.exitCode, 0);
  EXPECT_EQ(r.out, "GC1A2B3\tGC1A2B3\twpt file\nGC2B3C4\tGC2B3C4\twpt file\n");
  r = run({"caches", dir.file("none.wpt")});
  EXPECT_EQ(r.exitCode, 1);
  EXPECT_EQ(r.err, "Cannot open file " + dir.file("none.wpt") + "\n");
  EXPECT_EQ(run({"caches"}).exitCode, 1);
}

}  // namespace
}  // namespace trovik::waypoints
