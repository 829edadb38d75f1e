#include "base/paths.h"

#include <unistd.h>

#include <cstdlib>
#include <filesystem>

namespace trovik::paths {

namespace {

std::string WithSlash(std::string s) {
  if (s.empty() || s.back() != '/') s += '/';
  return s;
}

// Process-wide like the program file's own folder; set once at start.
std::string& Override() {
  static std::string folder;
  return folder;
}

}  // namespace

std::string ExecutableFolder() {
  char buf[4096];
  ssize_t n = ::readlink("/proc/self/exe", buf, sizeof buf - 1);
  if (n <= 0) return WithSlash(std::filesystem::current_path().string());
  std::string exe(buf, static_cast<size_t>(n));
  return WithSlash(std::filesystem::path(exe).parent_path().string());
}

std::string ProgramFolder() {
  if (!Override().empty()) return Override();
  if (const char* home = std::getenv("TROVIK_HOME"); home && *home) {
    std::error_code ec;
    auto abs = std::filesystem::absolute(home, ec);
    return WithSlash(ec ? std::string(home) : abs.string());
  }
  return ExecutableFolder();
}

void SetProgramFolder(const std::string& folder) {
  std::error_code ec;
  auto abs = std::filesystem::absolute(folder, ec);
  Override() = WithSlash(ec ? folder : abs.string());
}

}  // namespace trovik::paths
