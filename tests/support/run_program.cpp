#include "support/run_program.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <map>

extern char** environ;

namespace trovik::testing {

namespace {

void ApplyLimits(const RunOptions& o) {
  if (o.fileSizeLimit >= 0) {
    rlimit lim{static_cast<rlim_t>(o.fileSizeLimit), static_cast<rlim_t>(o.fileSizeLimit)};
    setrlimit(RLIMIT_FSIZE, &lim);
  }
  signal(SIGXFSZ, o.ignoreFileSizeSignal ? SIG_IGN : SIG_DFL);
  signal(SIGPIPE, SIG_DFL);
  // A core file of a killed child would count as a file written.
  rlimit noCore{0, 0};
  setrlimit(RLIMIT_CORE, &noCore);
}

// Feeds the input, reads both outputs, until the child ends or the deadline passes.
RunResult Supervise(pid_t pid, int inFd, int outFd, int errFd, const RunOptions& o) {
  RunResult r;
  r.started = true;
  const auto start = std::chrono::steady_clock::now();
  auto elapsed = [&] { return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count(); };
  size_t written = 0;
  if (o.input.empty()) {
    close(inFd);
    inFd = -1;
  }
  bool open[2] = {true, true};
  int status = 0;
  bool reaped = false;
  for (;;) {
    pollfd fds[3] = {{outFd, POLLIN, 0}, {errFd, POLLIN, 0}, {inFd, POLLOUT, 0}};
    const int n = poll(fds, inFd >= 0 ? 3 : 2, 5);
    for (int i = 0; n > 0 && i < 2; ++i) {
      if (!open[i] || !(fds[i].revents & (POLLIN | POLLHUP | POLLERR))) continue;
      char buf[65536];
      const ssize_t got = read(fds[i].fd, buf, sizeof buf);
      if (got > 0) {
        std::string& sink = i == 0 ? r.out : r.err;
        // Keep the start of a flood of output; the rest is read and dropped.
        if (sink.size() < (8u << 20)) sink.append(buf, static_cast<size_t>(got));
      } else {
        open[i] = false;
      }
    }
    if (inFd >= 0 && n > 0 && (fds[2].revents & (POLLOUT | POLLERR | POLLHUP))) {
      const ssize_t put = write(inFd, o.input.data() + written, o.input.size() - written);
      if (put > 0) written += static_cast<size_t>(put);
      if (put <= 0 || written == o.input.size()) {
        close(inFd);
        inFd = -1;
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
  if (inFd >= 0) close(inFd);
  close(outFd);
  close(errFd);
  return r;
}

// One pipe, both ends closed on exec; closes its ends unless released.
struct Pipe {
  int fd[2] = {-1, -1};
  bool ok = pipe2(fd, O_CLOEXEC) == 0;
  ~Pipe() {
    for (int f : fd)
      if (f >= 0) close(f);
  }
  int release(int end) {
    const int f = fd[end];
    fd[end] = -1;
    return f;
  }
};

template <typename Child>
RunResult Spawn(const RunOptions& o, Child child) {
  Pipe in, out, err;
  if (!in.ok || !out.ok || !err.ok) return {};
  // The parent writes the input without blocking, between reads of the outputs.
  fcntl(in.fd[1], F_SETFL, O_NONBLOCK);
  const pid_t pid = fork();
  if (pid < 0) return {};
  if (pid == 0) {
    dup2(in.fd[0], 0);
    dup2(out.fd[1], 1);
    dup2(err.fd[1], 2);
    ApplyLimits(o);
    child();
    _exit(127);
  }
  // The child's ends: the outputs reach their end once the child's copies close.
  close(in.release(0));
  close(out.release(1));
  close(err.release(1));
  // A child gone before reading all its input must not end the test.
  signal(SIGPIPE, SIG_IGN);
  return Supervise(pid, in.release(1), out.release(0), err.release(0), o);
}

bool Unset(const std::string& name, const std::vector<std::string>& unset) {
  for (const std::string& u : unset) {
    if (!u.empty() && u.back() == '*' ? name.rfind(u.substr(0, u.size() - 1), 0) == 0 : name == u) return true;
  }
  return false;
}

// A program name without a folder, as the shell finds it.
std::string OnPath(const std::string& name) {
  const char* path = getenv("PATH");
  std::string folders = path ? path : "/usr/bin:/bin";
  size_t start = 0;
  while (start <= folders.size()) {
    size_t end = folders.find(':', start);
    if (end == std::string::npos) end = folders.size();
    const std::string candidate = folders.substr(start, end - start) + "/" + name;
    if (end > start && access(candidate.c_str(), X_OK) == 0) return candidate;
    start = end + 1;
  }
  return name;
}

// A program's path, argument vector and environment, built before a fork:
// the child only calls async-signal-safe functions. Built in place and never
// moved, for the vectors point into the strings.
class Command {
 public:
  Command(const std::string& program, const RunOptions& o) : path_(program), args_(o.args) {
    if (path_.find('/') == std::string::npos) path_ = OnPath(path_);
    std::map<std::string, std::string> env;
    for (char** e = environ; *e; ++e) {
      const std::string kv = *e;
      const size_t eq = kv.find('=');
      if (eq != std::string::npos && !Unset(kv.substr(0, eq), o.unset)) env[kv.substr(0, eq)] = kv;
    }
    env["QT_QPA_PLATFORM"] = "QT_QPA_PLATFORM=offscreen";
    // A sanitizer build of the CLI hosts the browser engine, whose own code
    // frees with a mismatched size and keeps memory to the end: neither is ours.
    const std::string asan = env.count("ASAN_OPTIONS") ? env["ASAN_OPTIONS"].substr(13) : "";
    if (asan.find("new_delete_type_mismatch") == std::string::npos)
      env["ASAN_OPTIONS"] = "ASAN_OPTIONS=" + asan + (asan.empty() ? "" : ":") + "new_delete_type_mismatch=0";
    if (!env.count("LSAN_OPTIONS"))
      env["LSAN_OPTIONS"] = std::string("LSAN_OPTIONS=suppressions=") + TROVIK_SOURCE_DIR + "/tests/lsan.supp";
    for (const auto& kv : o.env) env[kv.substr(0, kv.find('='))] = kv;
    for (auto& [k, v] : env) envStrings_.push_back(v);
    for (auto& e : envStrings_) envp_.push_back(e.data());
    envp_.push_back(nullptr);
    argv_.push_back(path_.data());
    for (auto& a : args_) argv_.push_back(a.data());
    argv_.push_back(nullptr);
  }
  Command(const Command&) = delete;
  Command& operator=(const Command&) = delete;

  // In the child: becomes the program, or returns when it cannot.
  void exec() const { execve(path_.c_str(), argv_.data(), envp_.data()); }

 private:
  std::string path_;
  std::vector<std::string> args_, envStrings_;
  std::vector<char*> argv_, envp_;
};

// The exit code, or 128 + the signal that ended it.
int CodeOf(int status) { return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status); }

}  // namespace

std::string RunResult::describe() const {
  std::string s = !started     ? std::string("not started")
                  : timedOut   ? "timed out"
                  : signal     ? "signal " + std::to_string(signal)
                               : "exit " + std::to_string(exitCode);
  s += " after " + std::to_string(seconds) + " s";
  if (!err.empty()) s += "; stderr: " + err.substr(0, 2000);
  return s;
}

std::string BinPath(const std::string& name) { return std::string(TROVIK_BIN_DIR) + "/" + name; }

std::string CliPath() { return BinPath("trovik-cli"); }

RunResult RunCli(std::vector<std::string> args) {
  RunOptions o;
  o.args = std::move(args);
  return RunCli(o);
}

RunResult RunProgram(const std::string& program, const RunOptions& o) {
  const Command command(program, o);
  return Spawn(o, [&] { command.exec(); });
}

RunResult RunForked(const std::function<int()>& body, const RunOptions& o) {
  return Spawn(o, [&] { _exit(body()); });
}

BackgroundProgram::BackgroundProgram(const std::string& program, const RunOptions& o) {
  const Command command(program, o);
  Pipe out;
  const int devNull = open("/dev/null", O_RDONLY | O_CLOEXEC);
  if (!out.ok || devNull < 0) {
    if (devNull >= 0) close(devNull);
    return;
  }
  pid_ = fork();
  if (pid_ == 0) {
    dup2(devNull, 0);
    dup2(out.fd[1], 1);
    signal(SIGPIPE, SIG_DFL);
    command.exec();
    _exit(127);
  }
  close(devNull);
  if (pid_ > 0) out_ = out.release(0);
}

BackgroundProgram::BackgroundProgram(const std::string& program, std::vector<std::string> args)
    : BackgroundProgram(program, [&] {
        RunOptions o;
        o.args = std::move(args);
        return o;
      }()) {}

BackgroundProgram::~BackgroundProgram() {
  if (pid_ > 0 && status_ == -1 && stop(SIGTERM, std::chrono::seconds(3)) == -1) {
    kill(pid_, SIGKILL);
    waitpid(pid_, &status_, 0);
  }
  if (out_ >= 0) close(out_);
}

std::string BackgroundProgram::readLine(std::chrono::milliseconds limit) {
  const auto end = std::chrono::steady_clock::now() + limit;
  for (;;) {
    const size_t nl = pending_.find('\n');
    if (nl != std::string::npos) {
      std::string line = pending_.substr(0, nl);
      pending_.erase(0, nl + 1);
      if (!line.empty() && line.back() == '\r') line.pop_back();
      return line;
    }
    const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(end - std::chrono::steady_clock::now());
    pollfd p{out_, POLLIN, 0};
    char buf[4096];
    ssize_t got = 0;
    if (out_ < 0 || left.count() <= 0 || poll(&p, 1, static_cast<int>(left.count())) <= 0 ||
        (got = read(out_, buf, sizeof buf)) <= 0) {
      return "";
    }
    pending_.append(buf, static_cast<size_t>(got));
  }
}

int BackgroundProgram::wait(std::chrono::milliseconds limit) {
  if (pid_ <= 0) return -1;
  const auto end = std::chrono::steady_clock::now() + limit;
  while (status_ == -1) {
    int status = 0;
    if (waitpid(pid_, &status, WNOHANG) == pid_) {
      status_ = status;
      break;
    }
    if (std::chrono::steady_clock::now() >= end) return -1;
    usleep(10000);
  }
  return CodeOf(status_);
}

int BackgroundProgram::stop(int sig, std::chrono::milliseconds limit) {
  if (pid_ > 0 && status_ == -1) kill(pid_, sig);
  return wait(limit);
}

}  // namespace trovik::testing
