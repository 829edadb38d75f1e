// trovik-cli's tool commands, run as the user runs them (UTF-8 in and out).

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <string>

namespace {

const std::string kCli = std::string(TROVIK_BIN_DIR) + "/trovik-cli";

struct CliRun {
  int status;
  std::string out;
};

// `args` go to the shell as written; `input` (with \n escapes) is standard
// input; stderr joins stdout.
CliRun RunCli(const std::string& args, const std::string& input = "") {
  std::string command = "printf '%b' '" + input + "' | '" + kCli + "' " + args + " 2>&1";
  FILE* pipe = popen(command.c_str(), "r");
  CliRun r{-1, ""};
  if (!pipe) return r;
  char buf[4096];
  size_t n;
  while ((n = fread(buf, 1, sizeof buf, pipe)) > 0) r.out.append(buf, n);
  const int status = pclose(pipe);
  r.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  return r;
}

class ToolCli : public ::testing::Test {
 protected:
  void SetUp() override {
    if (!std::filesystem::exists(kCli)) GTEST_SKIP() << "trovik-cli is not built in " << TROVIK_BIN_DIR;
  }
};

TEST_F(ToolCli, ConvertersSpeakUtf8) {
  EXPECT_EQ(RunCli("deg2dm '48.123456°'").out, "48°07.407'\n");
  EXPECT_EQ(RunCli("dm2deg \"48°07.407'\"").out, "48.12345°\n");
  EXPECT_EQ(RunCli("listing2deg \"N 48°35.218' E 017°50.628'\"").out, "48.58697,17.84380\n");
}

TEST_F(ToolCli, DistanceAndProjection) {
  EXPECT_EQ(RunCli("distance 48.0 19.0 48.0 18.0").out, "74624.83\n-89.6\n-270.4\n");
  const CliRun p = RunCli("project 48.0 19.0 -89.6 74624.83");
  EXPECT_EQ(p.status, 0);
  EXPECT_EQ(p.out.rfind("48.000", 0), 0u) << p.out;
}

TEST_F(ToolCli, Rot13FromArgumentsAndLines) {
  EXPECT_EQ(RunCli("rot13 Keška je 'pod koreňom'").out, "Xršxn wr cbq xberňbz\n");
  EXPECT_EQ(RunCli("rot13", "nop\\n\\nŽltý\\n").out, "abc\n\nŽygý\n");
}

TEST_F(ToolCli, ErrorsGoToStderrWithStatusOne) {
  const CliRun bad = RunCli("distance 48 19 48,0 18");
  EXPECT_EQ(bad.status, 1);
  EXPECT_EQ(bad.out, "'48,0' is not a valid floating point value\n");
  EXPECT_EQ(RunCli("dm2deg \"48°07\"").out, "'48°07' is not a valid integer value\n");
  EXPECT_EQ(RunCli("distance 1 2 3").status, 1);
}

}  // namespace
