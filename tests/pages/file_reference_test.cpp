// `trovik-cli pages` against the cases of tests/pages/file-reference/, as a
// user runs it: CASE/in/ holds the waypoint file (and its "-wpts" partner),
// CASE/args the command's options (one a line, optional), and CASE/expected/
// what the run must leave: every file of HTM/ and Pictures/ byte for byte,
// nothing more, and "status" and "stderr" when they differ from success in
// silence. The clock is fixed, so the pages' dates are too. A case is added
// by adding its folder.

#include <gtest/gtest.h>

#include <filesystem>
#include <map>
#include <string>
#include <vector>

#include "base/files.h"
#include "support/run_program.h"
#include "support/temp_dir.h"
#include "text/text.h"

namespace trovik::pages::test {
namespace {

namespace fs = std::filesystem;

const fs::path kFolder = fs::path(TROVIK_SOURCE_DIR) / "tests/pages/file-reference";

// Every regular file below `dir`, by its path relative to it.
std::map<std::string, std::string> FilesBelow(const fs::path& dir) {
  std::map<std::string, std::string> found;
  if (!fs::exists(dir)) return found;
  for (const auto& e : fs::recursive_directory_iterator(dir))
    if (e.is_regular_file()) found[fs::relative(e.path(), dir).string()] = files::ReadAll(e.path().string());
  return found;
}

std::string ReadOr(const fs::path& file, const std::string& otherwise) {
  return fs::exists(file) ? files::ReadAll(file.string()) : otherwise;
}

TEST(FileReference, EveryWaypointFileGivesItsPagesAndIndex) {
  int cases = 0;
  for (const auto& entry : fs::directory_iterator(kFolder)) {
    if (!entry.is_directory()) continue;
    const fs::path folder = entry.path();
    SCOPED_TRACE(folder.filename().string());
    testing::TempDir work;
    const fs::path home = fs::path(work.path()) / "home";
    const fs::path in = fs::path(work.path()) / "in";
    fs::create_directories(home);
    fs::copy(folder / "in", in);
    std::string main;
    for (const auto& f : fs::directory_iterator(in)) {
      const std::string name = f.path().filename().string();
      if (name.size() < 9 || name.substr(name.size() - 9) != "-wpts.gpx") main = f.path().string();
    }
    ASSERT_FALSE(main.empty()) << "the case has no waypoint file";

    testing::RunOptions run;
    run.args = {"--home", home.string(), "pages", main};
    for (const std::string& arg : text::SplitLines(ReadOr(folder / "args", ""))) run.args.push_back(arg);
    run.env = {"TROVIK_NOW=2026-12-08T12:00:00", "TROVIK_DEVICE_ROOT=" + (home / "PDA").string()};
    const testing::RunResult r = testing::RunCli(run);
    ASSERT_TRUE(r.exited()) << r.describe();

    const fs::path expected = folder / "expected";
    EXPECT_EQ(std::to_string(r.exitCode) + "\n", ReadOr(expected / "status", "0\n")) << r.err;
    // The waypoint file is named by its place in this run's folder.
    EXPECT_EQ(text::ReplaceAll(r.err, in.string() + "/", "in/"), ReadOr(expected / "stderr", ""));
    auto made = FilesBelow(home / "HTM");
    made.erase("getrawhtm.htm");  // not the road's
    EXPECT_EQ(made, FilesBelow(expected / "HTM"));
    EXPECT_EQ(FilesBelow(home / "Pictures"), FilesBelow(expected / "Pictures"));
    ++cases;
  }
  EXPECT_GE(cases, 7) << "cases missing in " << kFolder;
}

}  // namespace
}  // namespace trovik::pages::test
