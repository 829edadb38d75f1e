// bench_device_copy [MB] [ROUNDS]: copies a file of MB megabytes (50) to the
// folder device and back with CopyFileToDevice / CopyFileFromDevice, and the
// same file between the same two folders with cp, alternating, and prints the
// best time of each, the speeds and the ratio.

#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cstring>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <random>
#include <string>
#include <vector>

#include "base/flags.h"
#include "base/paths.h"
#include "device/device_link.h"

extern char** environ;

namespace {

class QuietHost : public trovik::Host {
 public:
  void processMessages() override {}
  void sleepMs(int) override {}
  uint32_t tickCount() override { return 0; }
  void showMessage(const std::string& text) override { std::fprintf(stderr, "message: %s\n", text.c_str()); failed = true; }
  bool failed = false;
};

double Seconds(std::chrono::steady_clock::time_point since) {
  return std::chrono::duration<double>(std::chrono::steady_clock::now() - since).count();
}

bool Cp(const std::string& from, const std::string& to) {
  std::vector<char*> argv = {const_cast<char*>("cp"), const_cast<char*>(from.c_str()), const_cast<char*>(to.c_str()),
                             nullptr};
  pid_t pid;
  if (posix_spawnp(&pid, "cp", nullptr, nullptr, argv.data(), environ) != 0) return false;
  int status = 0;
  waitpid(pid, &status, 0);
  return WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

}  // namespace

int main(int argc, char** argv) {
  const long mb = argc > 1 ? std::atol(argv[1]) : 50;
  const int rounds = argc > 2 ? std::atoi(argv[2]) : 7;
  namespace fs = std::filesystem;
  fs::path work = fs::temp_directory_path() / ("trovik-bench-copy-" + std::to_string(getpid()));
  fs::create_directories(work / "pc");
  fs::create_directories(work / "PDA" / "Storage Card" / "Geo");
  setenv("TROVIK_DEVICE_ROOT", (work / "PDA").c_str(), 1);
  if (!getenv("TROVIK_RAPI")) setenv("TROVIK_RAPI", (trovik::paths::ExecutableFolder() + "libtrovik-folderdevice.so").c_str(), 1);

  const std::string src = (work / "pc" / "big.bin").string();
  {
    std::vector<char> data(static_cast<size_t>(mb) << 20);
    std::mt19937_64 rng(42);
    for (size_t i = 0; i + 8 <= data.size(); i += 8) {
      uint64_t v = rng();
      std::memcpy(&data[i], &v, 8);
    }
    std::ofstream(src, std::ios::binary).write(data.data(), static_cast<std::streamsize>(data.size()));
  }
  const std::string cardFile = (work / "PDA" / "Storage Card" / "Geo" / "big.bin").string();
  const std::string back = (work / "pc" / "back.bin").string();
  const std::string cpBack = (work / "pc" / "cpback.bin").string();

  QuietHost host;
  trovik::RunFlags flags;
  trovik::device::DeviceLink link;
  double bestLink = 1e9, bestCp = 1e9;
  for (int r = 0; r < rounds; ++r) {
    fs::remove(cardFile);
    fs::remove(back);
    auto t = std::chrono::steady_clock::now();
    trovik::device::CopyFileToDevice(link, host, flags, src, "\\Storage Card\\Geo\\big.bin");
    trovik::device::CopyFileFromDevice(link, host, "\\Storage Card\\Geo\\big.bin", back);
    bestLink = std::min(bestLink, Seconds(t));

    fs::remove(cardFile);
    fs::remove(cpBack);
    t = std::chrono::steady_clock::now();
    bool ok = Cp(src, cardFile) && Cp(cardFile, cpBack);
    bestCp = std::min(bestCp, Seconds(t));
    if (!ok) {
      std::fprintf(stderr, "cp failed\n");
      return 1;
    }
  }
  bool same = fs::file_size(back) == fs::file_size(src);
  fs::remove_all(work);
  if (host.failed || !same) {
    std::fprintf(stderr, "the device copy failed\n");
    return 1;
  }
  double mbBoth = 2.0 * static_cast<double>(mb);
  std::printf("file: %ld MB, to the device and back, best of %d rounds\n", mb, rounds);
  std::printf("device link: %8.1f ms  %8.1f MB/s\n", bestLink * 1000, mbBoth / bestLink);
  std::printf("cp:          %8.1f ms  %8.1f MB/s\n", bestCp * 1000, mbBoth / bestCp);
  std::printf("speed of the device link / speed of cp: %.2f (goal >= 0.80)\n", bestCp / bestLink);
  return 0;
}
