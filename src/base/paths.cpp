#include "base/paths.h"

#include <pwd.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <vector>

#include "base/error.h"
#include "base/files.h"

namespace trovik::paths {

namespace {

namespace fs = std::filesystem;

std::string WithSlash(std::string s) {
  if (s.empty() || s.back() != '/') s += '/';
  return s;
}

// Process-wide like the program file's own folder; set once at start.
std::string& Override() {
  static std::string folder;
  return folder;
}

std::string HomeFolder() {
  if (const char* home = std::getenv("HOME"); home && *home) return home;
  if (const passwd* pw = ::getpwuid(::getuid()); pw && pw->pw_dir && *pw->pw_dir) return pw->pw_dir;
  return "/tmp";
}

// A marker line names a file below the executable's folder; anything that
// could reach outside it (absolute, "..") is ignored.
bool SafeRelative(const std::string& line) {
  if (line.empty() || line[0] == '/') return false;
  for (const auto& part : fs::path(line)) {
    if (part == "..") return false;
  }
  return true;
}

std::vector<std::string> SeedList(const std::string& executableFolder) {
  std::vector<std::string> names;
  std::vector<std::string> lines;
  try {
    lines = files::ReadLines(executableFolder + kInstalledMarker);
  } catch (const Error&) {
    return names;
  }
  for (auto& line : lines) {
    while (!line.empty() && (line.back() == '\r' || line.back() == ' ')) line.pop_back();
    if (line.empty() || line[0] == '#' || !SafeRelative(line)) continue;
    names.push_back(line);
  }
  return names;
}

}  // namespace

std::string ExecutableFolder() {
  char buf[4096];
  ssize_t n = ::readlink("/proc/self/exe", buf, sizeof buf - 1);
  if (n <= 0) return WithSlash(std::filesystem::current_path().string());
  std::string exe(buf, static_cast<size_t>(n));
  return WithSlash(std::filesystem::path(exe).parent_path().string());
}

std::string PerUserFolder() {
  // Relative values are invalid for XDG_DATA_HOME and are ignored.
  if (const char* data = std::getenv("XDG_DATA_HOME"); data && data[0] == '/') {
    return WithSlash(WithSlash(data) + "trovik");
  }
  return WithSlash(WithSlash(HomeFolder()) + ".local/share/trovik");
}

bool SeedFolder(const std::string& executableFolder, const std::string& folder) {
  std::error_code ec;
  fs::create_directories(folder, ec);
  if (!fs::is_directory(folder, ec)) return false;
  const std::string from = WithSlash(executableFolder);
  const std::string to = WithSlash(folder);
  for (const auto& name : SeedList(from)) {
    const std::string target = to + name;
    if (fs::exists(fs::symlink_status(target, ec))) continue;
    try {
      const std::string bytes = files::ReadAll(from + name);
      fs::create_directories(fs::path(target).parent_path(), ec);
      files::WriteAtomic(target, bytes);
    } catch (const Error&) {
      // A missing or unreadable data file only costs what it would offer.
    }
  }
  return true;
}

std::string ResolveProgramFolder(const std::string& executableFolder) {
  if (const char* home = std::getenv("TROVIK_HOME"); home && *home) {
    std::error_code ec;
    auto abs = std::filesystem::absolute(home, ec);
    return WithSlash(ec ? std::string(home) : abs.string());
  }
  const std::string exe = WithSlash(executableFolder);
  if (!files::Exists(exe + kInstalledMarker)) return exe;
  const std::string folder = PerUserFolder();
  // Seeded once per process: the program asks for its folder often.
  static std::string seeded;
  if (seeded != exe + '\n' + folder) {
    SeedFolder(exe, folder);
    seeded = exe + '\n' + folder;
  }
  return folder;
}

std::string ProgramFolder() {
  if (!Override().empty()) return Override();
  return ResolveProgramFolder(ExecutableFolder());
}

void SetProgramFolder(const std::string& folder) {
  std::error_code ec;
  auto abs = std::filesystem::absolute(folder, ec);
  Override() = WithSlash(ec ? folder : abs.string());
}

}  // namespace trovik::paths
