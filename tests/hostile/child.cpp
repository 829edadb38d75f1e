#include "child.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstring>
#include <map>

extern char** environ;

namespace trovik::hostile {

namespace {

void ApplyLimits(const ChildOptions& o) {
  if (o.fileSizeLimit >= 0) {
    rlimit lim{static_cast<rlim_t>(o.fileSizeLimit), static_cast<rlim_t>(o.fileSizeLimit)};
    setrlimit(RLIMIT_FSIZE, &lim);
  }
  signal(SIGXFSZ, o.ignoreFileSizeSignal ? SIG_IGN : SIG_DFL);
  // A core file of a killed child would count as a file written.
  rlimit noCore{0, 0};
  setrlimit(RLIMIT_CORE, &noCore);
}

// Waits for the child, reading both pipes, until it ends or the deadline passes.
ChildResult Supervise(pid_t pid, int outFd, int errFd, const ChildOptions& o) {
  ChildResult r;
  r.started = true;
  auto start = std::chrono::steady_clock::now();
  auto elapsed = [&] { return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count(); };
  bool open[2] = {true, true};
  int status = 0;
  bool reaped = false;
  for (;;) {
    pollfd fds[2] = {{outFd, POLLIN, 0}, {errFd, POLLIN, 0}};
    int n = poll(fds, 2, 5);
    for (int i = 0; n > 0 && i < 2; ++i) {
      if (!open[i] || !(fds[i].revents & (POLLIN | POLLHUP | POLLERR))) continue;
      char buf[65536];
      ssize_t got = read(fds[i].fd, buf, sizeof buf);
      if (got > 0) {
        std::string& sink = i == 0 ? r.out : r.err;
        // Keep the start of a flood of output; the rest is read and dropped.
        if (sink.size() < (8u << 20)) sink.append(buf, static_cast<size_t>(got));
      } else {
        open[i] = false;
      }
    }
    if (!reaped && waitpid(pid, &status, WNOHANG) == pid) reaped = true;
    if (reaped && !open[0] && !open[1]) break;
    if (reaped && elapsed() > o.timeoutSeconds + 5) break;  // a grandchild holds the pipes
    if (!reaped && !r.killedByUs && o.killWhen && o.killWhen()) {
      r.killedByUs = true;
      kill(pid, SIGKILL);
    }
    if (!reaped && !r.timedOut && elapsed() > o.timeoutSeconds) {
      r.timedOut = true;
      kill(pid, SIGKILL);
    }
  }
  r.seconds = elapsed();
  if (WIFEXITED(status)) r.exitCode = WEXITSTATUS(status);
  if (WIFSIGNALED(status)) r.signal = WTERMSIG(status);
  close(outFd);
  close(errFd);
  return r;
}

template <typename Child>
ChildResult Spawn(const ChildOptions& o, Child child) {
  int out[2], err[2];
  if (pipe2(out, O_CLOEXEC) != 0) return {};
  if (pipe2(err, O_CLOEXEC) != 0) {
    close(out[0]), close(out[1]);
    return {};
  }
  pid_t pid = fork();
  if (pid < 0) return {};
  if (pid == 0) {
    dup2(out[1], 1);
    dup2(err[1], 2);
    int devnull = open("/dev/null", O_RDONLY);
    if (devnull >= 0) dup2(devnull, 0);
    ApplyLimits(o);
    child();
    _exit(127);
  }
  close(out[1]);
  close(err[1]);
  return Supervise(pid, out[0], err[0], o);
}

}  // namespace

std::string ChildResult::describe() const {
  std::string s = timedOut ? "timed out" : signal ? "signal " + std::to_string(signal) : "exit " + std::to_string(exitCode);
  s += " after " + std::to_string(seconds) + " s";
  if (!err.empty()) s += "; stderr: " + err.substr(0, 2000);
  return s;
}

std::string CliPath() { return std::string(TROVIK_BIN_DIR) + "/trovik-cli"; }

ChildResult RunProgram(const std::string& program, const ChildOptions& o) {
  // Built before the fork: the child only calls async-signal-safe functions.
  std::map<std::string, std::string> env;
  for (char** e = environ; *e; ++e) {
    std::string kv = *e;
    size_t eq = kv.find('=');
    if (eq != std::string::npos) env[kv.substr(0, eq)] = kv;
  }
  env["QT_QPA_PLATFORM"] = "QT_QPA_PLATFORM=offscreen";
  // A sanitizer build of the CLI hosts the browser engine, whose own code
  // frees with a mismatched size and keeps memory to the end: neither is ours.
  std::string asan = env.count("ASAN_OPTIONS") ? env["ASAN_OPTIONS"].substr(13) : "";
  if (asan.find("new_delete_type_mismatch") == std::string::npos)
    env["ASAN_OPTIONS"] = "ASAN_OPTIONS=" + asan + (asan.empty() ? "" : ":") + "new_delete_type_mismatch=0";
  if (!env.count("LSAN_OPTIONS"))
    env["LSAN_OPTIONS"] = std::string("LSAN_OPTIONS=suppressions=") + TROVIK_SOURCE_DIR + "/tests/lsan.supp";
  for (const auto& kv : o.env) env[kv.substr(0, kv.find('='))] = kv;
  std::vector<std::string> envStrings;
  for (auto& [k, v] : env) envStrings.push_back(v);
  std::vector<char*> envp, argv;
  for (auto& s : envStrings) envp.push_back(s.data());
  envp.push_back(nullptr);
  std::vector<std::string> args = o.args;
  std::string prog = program;
  argv.push_back(prog.data());
  for (auto& a : args) argv.push_back(a.data());
  argv.push_back(nullptr);
  return Spawn(o, [&] { execve(prog.c_str(), argv.data(), envp.data()); });
}

ChildResult RunForked(const std::function<int()>& body, const ChildOptions& o) {
  return Spawn(o, [&] { _exit(body()); });
}

}  // namespace trovik::hostile
