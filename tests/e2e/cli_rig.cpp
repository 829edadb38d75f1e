#include "cli_rig.h"

#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "base/files.h"

extern char** environ;

namespace trovik::e2e {
namespace {

const char* const kSample = "Zlat\xC3\xA9 Moravce50km.wpt";

std::string ReadFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream s;
  s << in.rdbuf();
  return s.str();
}

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
  std::vector<std::string> words = {std::string(TROVIK_BIN_DIR) + "/trovik-cli", "--home", home};
  words.insert(words.end(), args.begin(), args.end());
  std::vector<char*> argv;
  for (auto& w : words) argv.push_back(const_cast<char*>(w.c_str()));
  argv.push_back(nullptr);

  // The child's own environment: offscreen browser, fixed clock, the folder device.
  std::vector<std::string> env;
  std::string asan, lsan;
  for (char** e = environ; *e; ++e) {
    const std::string v = *e;
    if (v.rfind("ASAN_OPTIONS=", 0) == 0) {
      asan = v.substr(13);
    } else if (v.rfind("LSAN_OPTIONS=", 0) == 0) {
      lsan = v;
    } else if (v.rfind("TROVIK_", 0) != 0 && v.rfind("QT_QPA_PLATFORM=", 0) != 0) {
      env.push_back(v);
    }
  }
  // A sanitizer build of the CLI hosts the browser engine, whose own code
  // frees with a mismatched size and keeps memory to the end: neither is ours.
  if (asan.find("new_delete_type_mismatch") == std::string::npos)
    asan += std::string(asan.empty() ? "" : ":") + "new_delete_type_mismatch=0";
  env.push_back("ASAN_OPTIONS=" + asan);
  env.push_back(lsan.empty() ? std::string("LSAN_OPTIONS=suppressions=") + TROVIK_SOURCE_DIR + "/tests/lsan.supp" : lsan);
  env.push_back("QT_QPA_PLATFORM=offscreen");
  env.push_back("TROVIK_NOW=2026-12-01T10:00:00");
  env.push_back("TROVIK_DEVICE_ROOT=" + deviceRoot);
  env.push_back(std::string("TROVIK_RAPI=") + TROVIK_BIN_DIR + "/libtrovik-folderdevice.so");
  std::vector<char*> envp;
  for (auto& v : env) envp.push_back(const_cast<char*>(v.c_str()));
  envp.push_back(nullptr);

  const std::string outPath = dir.path() + "stdout", errPath = dir.path() + "stderr";
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
  posix_spawn_file_actions_addopen(&actions, 1, outPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
  posix_spawn_file_actions_addopen(&actions, 2, errPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
  CliResult r;
  pid_t pid = -1;
  if (posix_spawn(&pid, argv[0], &actions, nullptr, argv.data(), envp.data()) == 0) {
    int status = 0;
    waitpid(pid, &status, 0);
    r.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  }
  posix_spawn_file_actions_destroy(&actions);
  r.out = ReadFile(outPath);
  r.err = ReadFile(errPath);
  return r;
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

std::string CliRig::sampleBytes() const { return ReadFile(sampleFile()); }

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
