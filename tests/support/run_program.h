#pragma once
// The one way tests start a program of this build (or a forked function):
// an argument vector, never a shell; its own environment on top of the
// inherited one; standard input from a string; standard output and error
// collected; a deadline after which the child is killed, so a hang of the
// program under test is a test failure, never a stuck test. The programs a
// test runs are named as RUNS of its trovik_test, so they are built first.
// A server a test talks to runs as a BackgroundProgram, owned by its handle.

#include <chrono>
#include <functional>
#include <string>
#include <vector>

namespace trovik::testing {

struct RunOptions {
  std::vector<std::string> args;   // argv[1...], each passed as it is
  std::vector<std::string> env;    // "KEY=VALUE" entries, overriding the inherited ones
  std::vector<std::string> unset;  // inherited names removed; "PREFIX*" removes every name it starts
  std::string input;               // standard input (empty: an empty input)
  double timeoutSeconds = 120;     // SIGKILL once this passes
  long long fileSizeLimit = -1;    // RLIMIT_FSIZE in bytes, -1 for none
  bool ignoreFileSizeSignal = false;  // SIGXFSZ ignored: the write fails with EFBIG instead
  // Polled every few milliseconds while the child runs; true sends SIGKILL.
  std::function<bool()> killWhen;
};

struct RunResult {
  bool started = false;
  bool timedOut = false;
  bool killedByUs = false;  // killWhen fired
  int exitCode = -1;        // when it exited
  int signal = 0;           // when a signal ended it
  double seconds = 0;
  std::string out, err;
  bool exited() const { return exitCode >= 0; }
  // A result or a clear error: exit 0, or 1 with text on the error stream.
  bool clean() const { return exitCode == 0 || (exitCode == 1 && !err.empty()); }
  // "exit 1 after 0.2 s; stderr: ...", for failure messages.
  std::string describe() const;
};

// A program of this build's program folder (TROVIK_BIN_DIR/name).
std::string BinPath(const std::string& name);
std::string CliPath();  // trovik-cli

// Runs `program` (a path, or a name looked up on PATH) with the offscreen Qt platform, and the sanitizer
// options the CLI's embedded browser needs, set unless `options.env` says otherwise.
RunResult RunProgram(const std::string& program, const RunOptions& options);
inline RunResult RunCli(const RunOptions& options) { return RunProgram(CliPath(), options); }
RunResult RunCli(std::vector<std::string> args);

// `body` in a forked child (its return value is the exit code), with the
// same limits; for writes no program reaches on its own.
RunResult RunForked(const std::function<int()>& body, const RunOptions& options);

// A program left running while the test talks to it, a server say, with
// the environment RunProgram gives. Its standard output is read a line at a
// time (unread output waits in the pipe), its standard error is the test's.
// The handle owns the child: when it goes, so does the child (SIGTERM, then
// SIGKILL if that is not enough), and the child is reaped.
class BackgroundProgram {
 public:
  // `options.args`, `env` and `unset` as for RunProgram; the rest does not apply.
  BackgroundProgram(const std::string& program, const RunOptions& options);
  BackgroundProgram(const std::string& program, std::vector<std::string> args);
  ~BackgroundProgram();
  BackgroundProgram(const BackgroundProgram&) = delete;
  BackgroundProgram& operator=(const BackgroundProgram&) = delete;

  bool started() const { return pid_ > 0; }
  int pid() const { return pid_; }
  // The next line of standard output without its line end; empty when no
  // whole line came within `limit` or the output ended first.
  std::string readLine(std::chrono::milliseconds limit);
  // Waits at most `limit` for the end: the exit code, 128 + the signal that
  // ended it, or -1 while it still runs.
  int wait(std::chrono::milliseconds limit);
  // Sends `signal`, then waits as wait() does.
  int stop(int signal, std::chrono::milliseconds limit);

 private:
  int pid_ = -1;
  int out_ = -1;
  int status_ = -1;  // the wait status, once reaped
  std::string pending_;  // read beyond the lines returned
};

}  // namespace trovik::testing
