// Files that are not what they claim to be: every one gives a result or a
// clear error, never a crash or a hang.

#include <gtest/gtest.h>

#include <random>

#include "base/error.h"
#include "dialog_host.h"
#include "support/temp_dir.h"
#include "waypoint_test_util.h"
#include "waypoints/gpx_convert.h"
#include "waypoints/open_command.h"
#include "waypoints/wpt_export.h"

namespace trovik::waypoints {
namespace {

using testing::DialogHost;

class BadInput : public ::testing::Test {
 protected:
  void SetUp() override { FixClock(); }
  void open(const std::string& name, const std::string& bytes) {
    std::string path = dir.write(name, bytes);
    state = WaypointState();
    memo1.clear();
    OpenWaypointFile(state, memo1, flags, host, path);
  }
  TempDir dir;
  DialogHost host;
  WaypointState state;
  std::vector<std::string> memo1;
  RunFlags flags;
};

std::string RandomBytes(size_t n, unsigned seed) {
  std::mt19937 rng(seed);
  std::string s(n, '\0');
  for (auto& c : s) c = static_cast<char>(rng());
  return s;
}

TEST_F(BadInput, BinaryFiles) {
  std::string bytes = RandomBytes(1 << 20, 1);
  open("noise.gpx", bytes);
  EXPECT_GE(state.wptText.size(), 4u);
  EXPECT_EQ(state.caches.count(), static_cast<int>(state.caches.codes.size()));
  open("noise.wpt", bytes);
  EXPECT_FALSE(state.wptText.empty());
  // Noise with waypoint markers sprinkled in.
  std::string marked = bytes;
  for (size_t at = 1000; at + 40 < marked.size(); at += 50000) marked.replace(at, 12, "<wpt lat=\"1\"");
  for (size_t at = 30000; at + 40 < marked.size(); at += 70000) marked.replace(at, 6, "</wpt>");
  open("marked.gpx", marked);
  EXPECT_GT(state.wptText.size(), 4u);
}

TEST_F(BadInput, EmptyFiles) {
  open("empty.gpx", "");
  EXPECT_EQ(state.wptText, WptHeaderLines());
  EXPECT_TRUE(memo1.empty());
  EXPECT_EQ(state.caches.count(), 0);
  open("empty.wpt", "");
  EXPECT_TRUE(state.wptText.empty());
  EXPECT_EQ(state.caches.count(), 0);
  EXPECT_EQ(state.fileNameField, "empty.wpt");
}

TEST_F(BadInput, OneLineOf50MB) {
  std::string line(50u << 20, 'x');
  line.replace(1000, 60, "<wpt lat=\"1\" lon=\"2\"><name>N</name><desc>(GC1)</desc></wpt>");
  line += "<wpt lat=\"3\" lon=\"4\">";  // opens on the last line: not a start
  open("long.gpx", line);
  ASSERT_EQ(state.wptText.size(), 5u);
  EXPECT_EQ(state.caches.codes, (std::vector<std::string>{"GC1"}));
  EXPECT_EQ(memo1.size(), 1u);
  memo1.clear();
  line += " (GC2)";
  open("long.wpt", line);
  EXPECT_EQ(state.wptText.size(), 1u);
  EXPECT_EQ(state.caches.codes, (std::vector<std::string>{"GC2"}));
}

TEST_F(BadInput, NulBytesStayInTheText) {
  std::string gpx("<wpt lat=\"1\" lon=\"2\">\n<name>A\0B</name>\n<desc>x\0(GC1)</desc>\n</wpt>\n", 66);
  open("nul.gpx", gpx);
  ASSERT_EQ(state.wptText.size(), 5u);
  EXPECT_EQ(state.caches.names, (std::vector<std::string>{std::string("A\0B", 3)}));
  EXPECT_EQ(state.caches.codes, (std::vector<std::string>{"GC1"}));
  open("nul.wpt", std::string("1,N\0ame,x (GC2)\r\n\0\0\0", 21));
  EXPECT_EQ(state.wptText.size(), 2u);
  EXPECT_EQ(state.caches.codes, (std::vector<std::string>{"GC2"}));
}

TEST_F(BadInput, InvalidUtf8CostsOneCharacterEach) {
  open("bad.gpx", "<wpt lat=\"1\" lon=\"2\">\n<name>M\xFF\xFEyn \xC3 \xC5\xBE</name>\n<desc>(GC1)</desc>\n</wpt>\n");
  ASSERT_EQ(state.caches.count(), 1);
  EXPECT_EQ(state.caches.names[0], "M??yn ? \x9E");
}

TEST_F(BadInput, TwoHundredThousandWaypoints) {
  std::string gpx = "<?xml version=\"1.0\"?>\n<gpx>\n";
  const int n = 200000;
  gpx.reserve(static_cast<size_t>(n) * 80);
  for (int i = 0; i < n; ++i) {
    std::string code = "GC" + std::to_string(i);
    gpx += "<wpt lat=\"48.1\" lon=\"18.1\">\n<name>" + code + "</name><desc>(" + code + ")</desc>\n</wpt>\n";
  }
  gpx += "</gpx>\n";
  open("many.gpx", gpx);
  ASSERT_EQ(state.wptText.size(), 4u + n);
  EXPECT_EQ(state.wptText.back().substr(0, 16), "199999,GC199999,");
  ASSERT_EQ(state.caches.count(), n);
  EXPECT_EQ(state.caches.codes.back(), "GC199999");
}

TEST_F(BadInput, WptLineOf1MB) {
  std::string name(1 << 20, 'n');
  open("wide.wpt", "1," + name + ", 1, 2, 3,117,0,1,16777215,32768,x (GC1),0\r\n");
  ASSERT_EQ(state.caches.count(), 1);
  EXPECT_EQ(state.caches.names[0].size(), name.size());
  state.caches.positions[0] = "48.1,18.1";
  SpeedButton26Click(state, host);
  EXPECT_EQ(state.wptText.size(), 2u);
  EXPECT_EQ(state.wptText.back().substr(0, 2), "2,");
}

}  // namespace
}  // namespace trovik::waypoints
