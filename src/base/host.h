#pragma once
// What the core needs from whoever runs it (the GUI, the CLI or a test):
// letting pending window messages run, sleeping, a millisecond tick counter
// and the system's simple message boxes. Waits for pages are written once in
// the core over these, so they behave the same everywhere.

#include <cstdint>
#include <optional>
#include <string>

namespace trovik {

class Host {
 public:
  virtual ~Host() = default;

  // Application.ProcessMessages: runs pending events (browser callbacks,
  // clicks such as "Brejk") and returns.
  virtual void processMessages() = 0;
  virtual void sleepMs(int ms) = 0;
  // Milliseconds since some start; wraps like a 32-bit tick counter.
  virtual uint32_t tickCount() = 0;
  // A simple message box with a Slovak or English text of the system (1250 bytes).
  virtual void showMessage(const std::string& text1250) = 0;
  // A message box with its own title and the warning icon (the open command's
  // "Couldn't execute the application" titled "Error").
  virtual void showWarning(const std::string& /*title1250*/, const std::string& text1250) { showMessage(text1250); }
  // A simple message box that reports a failure (or a lesser warning) of an
  // operation, such as a device copy's. The window shows it like any other;
  // a command line writes it on standard error.
  virtual void showError(const std::string& text1250) { showMessage(text1250); }
  // The hourglass while long work runs.
  virtual void setBusyCursor(bool /*busy*/) {}
  // Core state shown by the window changed; views re-read what they show.
  virtual void stateChanged() {}

  // The open dialog. `filter` is "description|pattern|description|pattern...",
  // `filterIndex` counts from 1. Returns the chosen full path (1250 text), or
  // nothing when the user cancels. Without a window there is no dialog.
  struct OpenDialog {
    std::string filter;
    int filterIndex = 1;
    std::string defaultExt;
    std::string initialFile;
  };
  virtual std::optional<std::string> openFileDialog(const OpenDialog& /*dialog*/) { return std::nullopt; }
};

// The hourglass for as long as a command's long work runs, also when it throws.
class BusyCursor {
 public:
  explicit BusyCursor(Host& host) : host_(host) { host_.setBusyCursor(true); }
  ~BusyCursor() { host_.setBusyCursor(false); }
  BusyCursor(const BusyCursor&) = delete;
  BusyCursor& operator=(const BusyCursor&) = delete;

 private:
  Host& host_;
};

}  // namespace trovik
