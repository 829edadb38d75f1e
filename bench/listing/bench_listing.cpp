// bench_listing [ENTRIES] [ROUNDS]: makes a folder of ENTRIES (100,000) files
// and folders, then lists and sorts it as the device pane (GetDirPDA through
// the folder device library) and as the PC pane (DirectoryListBox1Change),
// each beside `ls -l` of the same folder, and prints the best times and ratios.

#include <fcntl.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>

#include "base/paths.h"
#include "device/device_link.h"
#include "device/listing.h"

extern char** environ;

namespace {

class BenchHost : public trovik::Host {
 public:
  void processMessages() override {}
  void sleepMs(int) override {}
  uint32_t tickCount() override {
    return static_cast<uint32_t>(std::chrono::duration_cast<std::chrono::milliseconds>(
                                     std::chrono::steady_clock::now().time_since_epoch())
                                     .count());
  }
  void showMessage(const std::string& text) override { std::fprintf(stderr, "message: %s\n", text.c_str()); }
};

double Seconds(std::chrono::steady_clock::time_point since) {
  return std::chrono::duration<double>(std::chrono::steady_clock::now() - since).count();
}

// ls -l of the folder, its output thrown away.
bool LsL(const std::string& folder) {
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
  char* argv[] = {const_cast<char*>("ls"), const_cast<char*>("-l"), const_cast<char*>(folder.c_str()), nullptr};
  pid_t pid;
  int rc = posix_spawnp(&pid, "ls", &actions, nullptr, argv, environ);
  posix_spawn_file_actions_destroy(&actions);
  if (rc != 0) return false;
  int status = 0;
  waitpid(pid, &status, 0);
  return WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

}  // namespace

int main(int argc, char** argv) {
  const int entries = argc > 1 ? std::atoi(argv[1]) : 100000;
  const int rounds = argc > 2 ? std::atoi(argv[2]) : 5;
  namespace fs = std::filesystem;
  fs::path work = fs::temp_directory_path() / ("trovik-bench-listing-" + std::to_string(getpid()));
  fs::path folder = work / "PDA" / "Storage Card" / "Geo";
  fs::create_directories(folder);
  setenv("TROVIK_DEVICE_ROOT", (work / "PDA").c_str(), 1);
  if (!getenv("TROVIK_RAPI"))
    setenv("TROVIK_RAPI", (trovik::paths::ExecutableFolder() + "libtrovik-folderdevice.so").c_str(), 1);

  // One folder in fifty; names in no particular order, sizes varied.
  for (int i = 0; i < entries; ++i) {
    unsigned key = static_cast<unsigned>(i) * 2654435761u;
    std::string name = "wpt" + std::to_string(key % 1000003) + "_" + std::to_string(i);
    fs::path p = folder / (i % 50 == 0 ? name : name + ".htm");
    if (i % 50 == 0) {
      mkdir(p.c_str(), 0777);
    } else {
      int fd = open(p.c_str(), O_WRONLY | O_CREAT, 0644);
      if (fd >= 0) {
        if (ftruncate(fd, key % 5000) != 0) std::perror("ftruncate");
        close(fd);
      }
    }
  }

  BenchHost host;
  trovik::device::DeviceLink link;
  const std::string dir = folder.string();
  double bestDevice = 1e9, bestPc = 1e9, bestLs = 1e9;
  size_t deviceRows = 0, pcRows = 0;
  for (int r = 0; r < rounds; ++r) {
    auto t = std::chrono::steady_clock::now();
    if (!LsL(dir)) {
      std::fprintf(stderr, "ls failed\n");
      return 1;
    }
    bestLs = std::min(bestLs, Seconds(t));

    trovik::device::DevicePane pda;
    t = std::chrono::steady_clock::now();
    trovik::device::GetDirPDA(link, host, pda, "\\Storage Card\\Geo\\*");
    bestDevice = std::min(bestDevice, Seconds(t));
    deviceRows = pda.grid.size();

    trovik::device::PcPane pc;
    t = std::chrono::steady_clock::now();
    trovik::device::DirectoryListBox1Change(pc, dir);
    bestPc = std::min(bestPc, Seconds(t));
    pcRows = pc.grid.size();
  }
  fs::remove_all(work);
  if (deviceRows != static_cast<size_t>(entries) + 2 || pcRows != static_cast<size_t>(entries) + 2) {
    std::fprintf(stderr, "rows listed: device %zu, PC %zu, expected %d\n", deviceRows, pcRows, entries + 2);
    return 1;
  }
  std::printf("folder of %d entries, list and sort by name, best of %d rounds\n", entries, rounds);
  std::printf("ls -l:       %8.1f ms\n", bestLs * 1000);
  std::printf("device pane: %8.1f ms  (%.2f x ls -l, goal <= 3)\n", bestDevice * 1000, bestDevice / bestLs);
  std::printf("PC pane:     %8.1f ms  (%.2f x ls -l, goal <= 3)\n", bestPc * 1000, bestPc / bestLs);
  return 0;
}
