#pragma once
// One fresh program folder, device root and demo site per test; trovik-cli
// runs in a child with the offscreen browser and a fixed clock.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "support/demo_site_process.h"
#include "support/temp_dir.h"

namespace trovik::e2e {

struct CliResult {
  int status = -1;
  std::string out;  // standard output (UTF-8)
  std::string err;  // standard error
};

class CliRig : public ::testing::Test {
 protected:
  void SetUp() override;

  // trovik-cli --home HOME ARGS..., each argument passed as it is.
  CliResult cli(const std::vector<std::string>& args) const;
  // The site addresses of the demo: --sk, --com and --images.
  std::vector<std::string> sites() const;
  // False when the build has no browser engine library or no demo site.
  bool ready() const;

  std::string sampleFile() const;  // the sample waypoint file, copied into the test folder
  std::string sampleBytes() const;

  std::vector<std::string> extraEnv;  // more of the child's environment ("NAME=value")
  testing::TempDir dir;  // home/, device/, work files
  testing::DemoSiteProcess demo;
  std::string home, deviceRoot;
};

#define E2E_READY()                                                               \
  do {                                                                            \
    if (!ready()) GTEST_SKIP() << "no browser engine library or demo site";  \
  } while (0)

using testing::ReadBytes;

std::vector<std::string> Lines(const std::string& text);
std::vector<std::string> Split(const std::string& line, char separator);

}  // namespace trovik::e2e
