#include "cli_rig.h"

#include <filesystem>

#include "base/files.h"
#include "support/run_program.h"

namespace trovik::e2e {
namespace {

const char* const kSample = "Zlat\xC3\xA9 Moravce50km.wpt";

}  // namespace

void CliRig::SetUp() {
  home = dir.path() + "home/";
  deviceRoot = dir.path() + "device";
  std::filesystem::create_directories(home);
  std::filesystem::create_directories(deviceRoot + "/Storage Card/OZI_Maps/WP");
  // The town list the window reads from its program folder.
  std::filesystem::copy_file(std::string(TROVIK_SOURCE_DIR) + "/data/suradnicemiest.ini", home + "suradnicemiest.ini");
}

CliResult CliRig::cli(const std::vector<std::string>& args) const {
  testing::RunOptions o;
  o.args = {"--home", home};
  o.args.insert(o.args.end(), args.begin(), args.end());
  // The child's own environment: offscreen browser, fixed clock, the folder device.
  o.unset = {"TROVIK_*"};
  o.timeoutSeconds = 240;  // the sanitizer build's browser is slow
  o.env = {"TROVIK_NOW=2026-12-01T10:00:00", "TROVIK_DEVICE_ROOT=" + deviceRoot,
           "TROVIK_RAPI=" + testing::BinPath("libtrovik-folderdevice.so")};
  o.env.insert(o.env.end(), extraEnv.begin(), extraEnv.end());
  const testing::RunResult run = testing::RunCli(o);
  EXPECT_FALSE(run.timedOut) << "trovik-cli did not end: " << run.describe();
  return {run.exited() ? run.exitCode : -1, run.out, run.err};
}

std::vector<std::string> CliRig::sites() const {
  return {"--sk", demo.address() + "/sk", "--com", demo.address() + "/com", "--images", demo.address() + "/img"};
}

bool CliRig::ready() const {
  // A build without the window has no engine library for the page commands.
  return std::filesystem::exists(std::string(TROVIK_BIN_DIR) + "/libtrovik-webengine.so") && demo.running();
}

std::string CliRig::sampleFile() const {
  const std::string copy = dir.path() + kSample;
  if (!std::filesystem::exists(copy))
    std::filesystem::copy_file(std::string(TROVIK_SOURCE_DIR) + "/data/" + kSample, copy);
  return copy;
}

std::string CliRig::sampleBytes() const { return ReadBytes(sampleFile()); }

std::vector<std::string> Lines(const std::string& text) {
  std::vector<std::string> lines;
  std::string line;
  std::istringstream in(text);
  while (std::getline(in, line)) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    lines.push_back(line);
  }
  return lines;
}

std::vector<std::string> Split(const std::string& line, char separator) {
  std::vector<std::string> parts;
  size_t start = 0;
  for (size_t i = 0; i <= line.size(); ++i) {
    if (i == line.size() || line[i] == separator) {
      parts.push_back(line.substr(start, i - start));
      start = i + 1;
    }
  }
  return parts;
}

}  // namespace trovik::e2e
