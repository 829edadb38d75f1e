#pragma once
// Drives the real window as a person does: X input through xdotool at the
// places the probe plugin reports, and reading back only what is shown.
//
//   XDisplay   one Xvfb (no window manager) for a whole program
//   Window     one running `trovik` on that display, with the probe loaded
//   Person     clicks, double clicks, right clicks, keys and typing; waits
//              for what the window shows

#include <QJsonArray>
#include <QJsonObject>
#include <QString>
#include <sys/types.h>

#include <chrono>
#include <functional>
#include <map>
#include <string>
#include <vector>

namespace trovik::journeys {

struct Box {
  int x = 0, y = 0, w = 0, h = 0;
  bool empty() const { return w <= 0 || h <= 0; }
  int cx() const { return x + w / 2; }
  int cy() const { return y + h / 2; }
  static Box From(const QJsonValue& rect);
};

// Xvfb on a free display number, 24-bit, no window manager.
class XDisplay {
 public:
  explicit XDisplay(int width = 1280, int height = 1024);
  ~XDisplay();
  XDisplay(const XDisplay&) = delete;
  XDisplay& operator=(const XDisplay&) = delete;

  bool running() const { return pid_ > 0 && !name_.empty(); }
  const std::string& name() const { return name_; }  // ":N"
  // The whole screen as PNG; false when it could not be taken.
  bool screenshot(const std::string& file) const;
  // The screen area `box` as PNG.
  bool screenshot(const std::string& file, const Box& box) const;

 private:
  pid_t pid_ = -1;
  std::string name_;
};

// Runs a program to its end through the tests' runner, with extra environment
// (an empty value removes the variable); the result is its exit status, -1
// when it could not be started or was killed.
int RunProgram(const std::vector<std::string>& argv, const std::map<std::string, std::string>& env = {},
               std::string* output = nullptr);

struct WindowOptions {
  std::string home;         // program folder (TROVIK_HOME)
  std::string deviceRoot;   // the simulated card (TROVIK_DEVICE_ROOT)
  std::string binDir;       // where trovik lies
  std::string pluginDir;    // holds generic/libtrovikprobe.so
  std::string workDir;      // the probe's socket and the window's output
  std::map<std::string, std::string> env;
};

// One `trovik` process with the probe inside; killed at the end if still running.
class Window {
 public:
  Window(const XDisplay& display, WindowOptions options);
  ~Window();
  Window(const Window&) = delete;
  Window& operator=(const Window&) = delete;

  bool running();
  // Waits for the process to end; its exit status, or -1 on time-out.
  int waitExit(std::chrono::milliseconds limit);
  // One request to the probe; an empty object when the window does not answer
  // within `limit` (a window busy in a sleeping wait answers late).
  QJsonObject ask(const QString& request, std::chrono::milliseconds limit = std::chrono::milliseconds(3000));
  pid_t pid() const { return pid_; }
  const WindowOptions& options() const { return options_; }

 private:
  bool connectProbe();

  WindowOptions options_;
  std::string socket_;
  pid_t pid_ = -1;
  int status_ = -1;
  int fd_ = -1;
  std::string pending_;
};

class Person {
 public:
  Person(const XDisplay& display, Window& window) : display_(display), window_(window) {}

  // What the probe reports for an object name ({"found": false} when absent).
  QJsonObject see(const QString& name);
  // The dialog or popup menu in front ({"kind": "none"} without).
  QJsonObject front();
  // The object name of the control with the keyboard focus, as its focus
  // frame shows it ("" for none).
  QString focused();
  QString text(const QString& name) { return see(name)["text"].toString(); }
  bool shown(const QString& name);
  bool enabled(const QString& name) { return see(name)["enabled"].toBool(); }
  bool checked(const QString& name) { return see(name)["checked"].toBool(); }
  // The texts of a list's entries, and their check states (-1 for no box).
  QStringList entries(const QString& list);
  std::vector<int> checks(const QString& list);
  QStringList panels(const QString& statusBar);
  // Rows of a grid, each its cells.
  std::vector<QStringList> rows(const QString& grid);
  QString colourAt(int x, int y);

  // Mouse at a widget's middle (it must be shown and enabled).
  void click(const QString& name);
  void doubleClick(const QString& name);
  void clickAt(int x, int y, int button = 1, int count = 1);
  // A tab of a tab control, by its caption.
  void clickTab(const QString& tabControl, const QString& caption);
  // A list entry by its text: on the text, on its check box, or twice.
  void clickEntry(const QString& list, const QString& entryText);
  void clickEntryBox(const QString& list, const QString& entryText);
  void doubleClickEntry(const QString& list, const QString& entryText);
  // A grid row, by the text of its first cell: left click (with ctrl to add
  // it to the selection), double click, or right click.
  void clickRow(const QString& grid, const QString& firstCell, bool ctrl = false);
  void doubleClickRow(const QString& grid, const QString& firstCell);
  void rightClickRow(const QString& grid, const QString& firstCell);
  void clickHeader(const QString& grid, const QString& caption);
  // A menu bar item, then items of the menus it opens, by object name.
  void menu(const std::vector<QString>& objectNames);
  // An item of the popup menu in front, by its caption.
  void choosePopup(const QString& caption);
  // A button of the dialog in front, by one of its possible captions (or its object name).
  void answer(const std::vector<QString>& captions);
  // Replaces a field's text the way a person does: click, select all, type over it.
  void fill(const QString& name, const QString& text);
  void type(const QString& text);
  void key(const std::string& keys);  // xdotool key names: "Return", "ctrl+a"
  // Gives the keyboard to the shown window whose title holds `title`, as a
  // window manager does for a window that comes up or comes back to the
  // front (the journeys' display has none).
  void focusWindow(const std::string& title);

  // Polls what is shown until `ready` holds; false after `limit`.
  bool waitFor(const std::function<bool()>& ready, std::chrono::milliseconds limit);
  // Waits for a dialog in front (kind "modal"); its description, or {} on time-out.
  QJsonObject waitForDialog(std::chrono::milliseconds limit);

 private:
  Box placeOf(const QString& name);
  QJsonObject entry(const QString& list, const QString& entryText);
  QJsonObject row(const QString& grid, const QString& firstCell);
  void xdo(const std::vector<std::string>& args);

  const XDisplay& display_;
  Window& window_;
};

}  // namespace trovik::journeys
