#pragma once
// One hostile case: a fresh program folder, device root and temporary folder
// under one test folder; the CLI runs with a deadline, and afterwards the
// test folder may differ only where the program is meant to write.

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "support/run_program.h"
#include "support/temp_dir.h"
#include "tree.h"

namespace trovik::hostile {

using testing::RunCli;
using testing::RunForked;
using testing::RunOptions;
using testing::RunResult;

// The sanitizer build runs the same cases on inputs a tenth as large: the
// faults it looks for do not need the full size, and its browser is slow.
#if defined(__SANITIZE_ADDRESS__)
inline constexpr int kScale = 10;
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
inline constexpr int kScale = 10;
#else
inline constexpr int kScale = 1;
#endif
#else
inline constexpr int kScale = 1;
#endif

class HostileCase : public ::testing::Test {
 protected:
  HostileCase() {
    for (const char* d : {"home", "device", "in", "tmp"}) std::filesystem::create_directories(root.path() + d);
    home = root.path() + "home/";
    device = root.path() + "device/";
  }
  // An input file, written before arm().
  std::string input(const std::string& name, const std::string& bytes) { return root.write("in/" + name, bytes); }
  // Takes the "before" picture of the test folder.
  void arm() { before = Snapshot(root.path()); }

  RunResult cli(std::vector<std::string> args, double timeoutSeconds = 60, std::vector<std::string> env = {}) {
    RunOptions o;
    o.args = {"--home", home};
    o.args.insert(o.args.end(), args.begin(), args.end());
    o.env = {"TROVIK_DEVICE_ROOT=" + device, "TMPDIR=" + root.path() + "tmp", "HOME=" + root.path() + "tmp",
             "XDG_CACHE_HOME=" + root.path() + "tmp/cache", "XDG_DATA_HOME=" + root.path() + "tmp/data",
             "XDG_CONFIG_HOME=" + root.path() + "tmp/config", "XDG_RUNTIME_DIR=" + root.path() + "tmp"};
    o.env.insert(o.env.end(), env.begin(), env.end());
    o.timeoutSeconds = timeoutSeconds;
    return RunCli(o);
  }

  // A result or a clear error, in time, and no write outside the program's
  // own folders (HTM, Pictures, the browser's storage, the device root, the
  // temporary folder) and `alsoAllowed`.
  void expectSafe(const RunResult& r, std::vector<std::string> alsoAllowed = {}) {
    EXPECT_FALSE(r.timedOut) << r.describe();
    EXPECT_EQ(r.signal, 0) << r.describe();
    EXPECT_TRUE(r.clean() || (reportsOnOutput && r.exitCode == 1 && !r.out.empty())) << r.describe();
    std::vector<std::string> allowed = {"home/HTM/", "home/Pictures/", "home/browser-profile/", "device/", "tmp/"};
    allowed.insert(allowed.end(), alsoAllowed.begin(), alsoAllowed.end());
    Tree after = Snapshot(root.path());
    auto changed = ChangedOutside(before, after, allowed);
    EXPECT_TRUE(changed.empty()) << "written outside: " << ::testing::PrintToString(changed);
    before = std::move(after);  // the next run is judged on its own writes
  }

  testing::TempDir root;
  std::string home, device;
  // The device commands print the device's error boxes on the output, as
  // the other messages of a run; their exit code still tells.
  bool reportsOnOutput = false;
  Tree before;
};

// Whether this CLI has the page commands (built with the browser).
bool CliHasBrowser();

}  // namespace trovik::hostile
