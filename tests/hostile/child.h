#pragma once
// Runs a program (or a function in a forked child) with a deadline, an
// optional file-size limit and an optional kill, and collects what it said.
// The hostile-input and durability tests use it so a hang or a crash of the
// program under test is a test failure, never a stuck test.

#include <functional>
#include <string>
#include <vector>

namespace trovik::hostile {

struct ChildOptions {
  std::vector<std::string> args;  // argv[1...]
  std::vector<std::string> env;   // extra "KEY=VALUE" entries, overriding the inherited ones
  double timeoutSeconds = 60;     // SIGKILL once this passes
  long long fileSizeLimit = -1;   // RLIMIT_FSIZE in bytes, -1 for none
  bool ignoreFileSizeSignal = false;  // SIGXFSZ ignored: the write fails with EFBIG instead
  // Polled every few milliseconds while the child runs; true sends SIGKILL.
  std::function<bool()> killWhen;
};

struct ChildResult {
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
  std::string describe() const;
};

// The CLI of this build, TROVIK_BIN_DIR/trovik-cli.
std::string CliPath();

ChildResult RunProgram(const std::string& program, const ChildOptions& options);
inline ChildResult RunCli(const ChildOptions& options) { return RunProgram(CliPath(), options); }

// `body` in a forked child (its return value is the exit code), with the
// same limits; for writes the CLI cannot reach on its own.
ChildResult RunForked(const std::function<int()>& body, const ChildOptions& options);

}  // namespace trovik::hostile
