// trovik-cli's tool commands, run as the user runs them (UTF-8 in and out).

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "support/run_program.h"

namespace {

using trovik::testing::RunResult;

// trovik-cli ARGS..., `input` on standard input.
RunResult Cli(std::vector<std::string> args, std::string input = "") {
  trovik::testing::RunOptions o;
  o.args = std::move(args);
  o.input = std::move(input);
  RunResult r = trovik::testing::RunCli(o);
  EXPECT_TRUE(r.exited()) << r.describe();
  return r;
}

TEST(ToolCli, ConvertersSpeakUtf8) {
  EXPECT_EQ(Cli({"deg2dm", "48.123456°"}).out, "48°07.407'\n");
  EXPECT_EQ(Cli({"dm2deg", "48°07.407'"}).out, "48.12345°\n");
  EXPECT_EQ(Cli({"listing2deg", "N 48°35.218' E 017°50.628'"}).out, "48.58697,17.84380\n");
}

TEST(ToolCli, DistanceAndProjection) {
  EXPECT_EQ(Cli({"distance", "48.0", "19.0", "48.0", "18.0"}).out, "74624.83\n-89.6\n-270.4\n");
  const RunResult p = Cli({"project", "48.0", "19.0", "-89.6", "74624.83"});
  EXPECT_EQ(p.exitCode, 0);
  EXPECT_EQ(p.out.rfind("48.000", 0), 0u) << p.out;
}

TEST(ToolCli, Rot13FromArgumentsAndLines) {
  EXPECT_EQ(Cli({"rot13", "Keška", "je", "pod koreňom"}).out, "Xršxn wr cbq xberňbz\n");
  EXPECT_EQ(Cli({"rot13"}, "nop\n\nŽltý\n").out, "abc\n\nŽygý\n");
}

TEST(ToolCli, ErrorsGoToStderrWithStatusOne) {
  const RunResult bad = Cli({"distance", "48", "19", "48,0", "18"});
  EXPECT_EQ(bad.exitCode, 1);
  EXPECT_EQ(bad.out, "");
  EXPECT_EQ(bad.err, "'48,0' is not a valid floating point value\n");
  EXPECT_EQ(Cli({"dm2deg", "48°07"}).err, "'48°07' is not a valid integer value\n");
  EXPECT_EQ(Cli({"distance", "1", "2", "3"}).exitCode, 1);
}

}  // namespace
