#pragma once
// The CLI's command table. Each core module registers its commands from its
// own file (cmd_<module>.cpp), so the dispatcher never grows with features.

#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "base/host.h"
#include "text/cp1250.h"

namespace trovik::cli {

struct Args {
  std::vector<std::string> items;  // the words after the command name, UTF-8
  bool verbose = false;            // --verbose: the browser engine's own notes too

  // Removes "--name VALUE" (or "--name=VALUE") and returns VALUE; empty when absent.
  // Throws UsageError when the option has no value.
  std::string option(const std::string& name);
  bool option(const std::string& name, std::string& value);
  // Removes a bare "--name" and says whether it was there.
  bool flag(const std::string& name);
  // What is left once options are taken; throws UnknownArgument on a leftover "--x".
  std::vector<std::string> positional() const;
};

// Wrong use of a command: the text and the command's usage, exit status 1.
struct UsageError {
  std::string text;
};

// An option or a word the command does not know: named, with a pointer to
// the command's --help, exit status 2.
struct UnknownArgument {
  std::string text;  // "Neznáma voľba --x."
};

// Options several commands share, listed once by `trovik-cli --help` under
// their heading and in full by each command's --help.
struct OptionGroup {
  std::string heading;  // "Voľby prehliadača"
  std::vector<std::pair<std::string, std::string>> options;  // "--timeout S", what it does
};

struct Command {
  std::string name;
  std::string usage;    // one line: "gpx2wpt IN.gpx [-o OUT]"
  std::string summary;  // one short sentence, beside the usage in trovik-cli --help
  std::function<int(Args&)> run;  // exit status; throws trovik::Error, UsageError or UnknownArgument
  std::string details = {};  // the rest of the command's --help: what it does in full, its own options
  std::vector<const OptionGroup*> shared = {};  // groups of options it takes besides its own
};

class Registry {
 public:
  void add(Command command) { commands_.push_back(std::move(command)); }
  const std::vector<Command>& commands() const { return commands_; }
  const Command* find(const std::string& name) const;

  // trovik-cli --help: one aligned line per command, then each shared group once.
  std::string overview() const;
  // trovik-cli COMMAND --help.
  static std::string usageOf(const Command& command);

 private:
  std::vector<Command> commands_;
};

// Terminal output: the core's 1250 text as UTF-8.
void PrintLine1250(const text::Cp1250& text);
void PrintError1250(const text::Cp1250& text);
// Command-line words (UTF-8) as 1250 text.
std::string ArgTo1250(const std::string& utf8);

// The CLI's Host: no window; messages print to standard output, waits sleep.
// Commands that run a browser install an event pump (pending events) and an
// event wait (events for up to N ms, in place of a sleep, as the browser
// engine works only while its events run).
class CliHost : public Host {
 public:
  void processMessages() override;
  void sleepMs(int ms) override;
  uint32_t tickCount() override;
  void showMessage(const std::string& text1250) override;
  // Failures and warnings go to standard error, a CR as a line break.
  void showError(const std::string& text1250) override;
  void setEventPump(std::function<void()> pump) { pump_ = std::move(pump); }
  void setEventWait(std::function<void(int ms)> wait) { wait_ = std::move(wait); }

 private:
  std::function<void()> pump_;
  std::function<void(int ms)> wait_;
};

// For commands whose every message box reports a failure or a warning (the
// device copies report nothing else): all messages go to standard error, a
// CR as a line break. The exit status follows the operations' outcomes.
class FailureCountingHost : public CliHost {
 public:
  void showMessage(const std::string& text1250) override;
  int messages = 0;
};

// One function per module, each in its own cmd_<module>.cpp.
void RegisterWaypointCommands(Registry& registry);
void RegisterToolCommands(Registry& registry);
void RegisterSiteCommands(Registry& registry);
void RegisterPageCommands(Registry& registry);
void RegisterFilePageCommands(Registry& registry);
void RegisterNearbyCommands(Registry& registry);
void RegisterDeviceCommands(Registry& registry);

}  // namespace trovik::cli
