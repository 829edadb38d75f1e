#include "waypoints/gpx_file.h"

#include <gtest/gtest.h>

#include <random>

#include "base/error.h"
#include "base/files.h"
#include "support/temp_dir.h"
#include "text/text.h"
#include "waypoint_test_util.h"
#include "waypoints/gpx_convert.h"

namespace trovik::waypoints {
namespace {

struct Read {
  std::vector<std::string> lines;
  int lastFlags = 0;
  bool lastOnFinal = false;
};

Read ReadFile(const std::string& path) {
  Read r;
  ForEachFileLine(path, [&r](std::string_view line, bool last) {
    r.lines.emplace_back(line);
    if (last) ++r.lastFlags;
    r.lastOnFinal = last;
  });
  return r;
}

void ExpectSplitLikeText(const TempDir& dir, const std::string& bytes) {
  Read r = ReadFile(dir.write("f.txt", bytes));
  std::vector<std::string> want = text::SplitLines(bytes);
  ASSERT_EQ(r.lines, want);
  EXPECT_EQ(r.lastFlags, want.empty() ? 0 : 1);
  if (!want.empty()) {
    EXPECT_TRUE(r.lastOnFinal);
  }
}

TEST(ForEachFileLine, SplitsLikeTheTextRules) {
  TempDir dir;
  for (std::string s : {"", "a", "a\r\n", "a\r\n\r\n", "\r", "\n", "a\n\rb", "a\rb\nc\r\nd", "\r\n\r\n\r", "x\r"})
    ExpectSplitLikeText(dir, s);
}

TEST(ForEachFileLine, LineEndsAcrossReadPieces) {
  TempDir dir;
  const size_t piece = 1 << 20;
  // CR LF, lone CR and a last CR right at the border between two reads.
  for (size_t at : {piece - 2, piece - 1, piece, piece + 1}) {
    for (std::string end : {"\r\n", "\r", "\n"}) {
      std::string s(at, 'x');
      s += end;
      ExpectSplitLikeText(dir, s);
      ExpectSplitLikeText(dir, s + "tail");
      ExpectSplitLikeText(dir, s + end + "y");
    }
  }
  // Random line ends over several pieces.
  std::mt19937 rng(7);
  std::string s;
  const char alphabet[] = {'a', 'b', '\r', '\n', '\0', '\xC3'};
  for (size_t i = 0; i < 3 * piece + 17; ++i) s += alphabet[rng() % 6];
  ExpectSplitLikeText(dir, s);
}

TEST(ForEachFileLine, UnreadableFileNamesThe1250Path) {
  TempDir dir;
  std::string missing = files::FromPcPath(dir.file("Starý.gpx"));
  try {
    ForEachFileLine(missing, [](std::string_view, bool) {});
    FAIL() << "no error";
  } catch (const Error& e) {
    EXPECT_EQ(e.text(), "Cannot open file " + missing);
  }
  EXPECT_THROW(ForEachFileLine(files::FromPcPath(dir.path()), [](std::string_view, bool) {}), Error);
}

TEST(ReencodeLine, SameBytesAsTheSharedConverter) {
  std::vector<std::string> samples = {"plain ascii", "", std::string("nul\0byte", 8)};
  std::string all;
  for (int b = 0x80; b <= 0xFF; ++b) all += text::Cp1250ToUtf8(std::string(1, static_cast<char>(b)));
  samples.push_back(all);
  samples.push_back("Žltý kôň úpäl ďábelské ódy");
  samples.push_back("Ñandú – “quoted” • €5 ™ ł ő");  // some to transliterate
  samples.push_back("smile \xF0\x9F\x98\x80 end");   // four-byte character
  samples.push_back("bad \xC3 lead, \xC0\x80 overlong, \xED\xA0\x80 surrogate, \x80 lone, \xE2\x82 cut");
  samples.push_back("ends cut \xC5");
  for (const auto& s : samples) EXPECT_EQ(ReencodeLine(s), text::Utf8To1250(s)) << s;
  EXPECT_EQ(ReencodeLine("Starý mlyn"), "Star\xFD mlyn");
  EXPECT_EQ(ReencodeLine("a\xFFz"), "a?z");
}

TEST(ReadGpxText, ThreeCachesConvertByteForByte) {
  FixClock();
  RunFlags flags;
  std::vector<std::string> wpt;
  std::vector<std::string> gpx = ReadGpxText(DataFile("three.gpx"));
  ASSERT_EQ(gpx.size(), 18u);
  EXPECT_EQ(gpx[5], "    <desc>Star\xFD mlyn (GC1A2B3)</desc>");
  gpx2wpt(gpx, wpt, flags);
  EXPECT_EQ(text::JoinLinesCrLf(wpt), ReadBytes(DataFile("three.wpt")));
}

TEST(ConvertGpxFile, StreamsTheSameTextAsGpx2wpt) {
  FixClock();
  TempDir dir;
  std::vector<std::string> inputs = {
      ReadBytes(DataFile("three.gpx")),
      "",
      "<gpx><wpt lat=\"1\" lon=\"2\"><name>A</name></wpt><wpt lat=\"3\" lon=\"4\"><name>Ž</name></wpt></gpx>",
      "<wpt lat=\"1\" lon=\"2\">\n<name>cut off",
      "\r\n\r\n<wpt lat=\"1\" lon=\"2\">",
  };
  for (const auto& bytes : inputs) {
    std::string path = dir.write("in.gpx", bytes);
    RunFlags streamed;
    std::vector<std::string> got;
    ConvertGpxFile(path, streamed, [&got](std::string&& l) { got.push_back(std::move(l)); });
    RunFlags kept;
    std::vector<std::string> want;
    gpx2wpt(ReadGpxText(path), want, kept);
    EXPECT_EQ(got, want) << bytes;
    EXPECT_EQ(streamed.decimalSeparator, '.');
  }
  RunFlags untouched;
  EXPECT_THROW(ConvertGpxFile(dir.file("none.gpx"), untouched, [](std::string&&) {}), Error);
  EXPECT_EQ(untouched.decimalSeparator, ',');
}

}  // namespace
}  // namespace trovik::waypoints
