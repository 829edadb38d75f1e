#pragma once
// The demo listing sites started on a free loopback port for one test,
// stopped after it. address() is empty when the program was not built.

#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <string>
#include <vector>

extern char** environ;

namespace trovik::testing {

class DemoSiteProcess {
 public:
  // `extra`: more options, e.g. {"--data", DIR}.
  explicit DemoSiteProcess(const std::vector<std::string>& extra = {}) {
    const std::string exe = std::string(TROVIK_BIN_DIR) + "/trovik-demo-site";
    int fds[2];
    if (access(exe.c_str(), X_OK) != 0 || pipe(fds) != 0) return;
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, fds[1], 1);
    posix_spawn_file_actions_addclose(&actions, fds[0]);
    std::vector<char*> argv = {const_cast<char*>(exe.c_str()), const_cast<char*>("--port"), const_cast<char*>("0")};
    for (const std::string& e : extra) argv.push_back(const_cast<char*>(e.c_str()));
    argv.push_back(nullptr);
    if (posix_spawn(&pid_, exe.c_str(), &actions, nullptr, argv.data(), environ) != 0) pid_ = -1;
    posix_spawn_file_actions_destroy(&actions);
    close(fds[1]);
    // The first line the site prints is its address.
    if (FILE* out = fdopen(fds[0], "r")) {
      char line[256] = {0};
      if (pid_ > 0 && std::fgets(line, sizeof line, out)) address_ = line;
      std::fclose(out);
    } else {
      close(fds[0]);
    }
    while (!address_.empty() && (address_.back() == '\n' || address_.back() == '\r')) address_.pop_back();
  }
  ~DemoSiteProcess() {
    if (pid_ > 0) {
      kill(pid_, SIGTERM);
      int status = 0;
      waitpid(pid_, &status, 0);
    }
  }
  DemoSiteProcess(const DemoSiteProcess&) = delete;
  DemoSiteProcess& operator=(const DemoSiteProcess&) = delete;

  bool running() const { return pid_ > 0 && !address_.empty(); }
  // "http://127.0.0.1:PORT", or "" without the demo site.
  const std::string& address() const { return address_; }

 private:
  pid_t pid_ = -1;
  std::string address_;
};

}  // namespace trovik::testing
