// The X driver of the journeys. Over 400 lines for a reason: the display,
// the window and the person share the spawning and the probe's protocol.

#include "driver/driver.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <sys/wait.h>
#include <unistd.h>

#include <QJsonDocument>
#include <cstdio>
#include <cstring>
#include <stdexcept>
#include <thread>

#include "support/run_program.h"

extern char** environ;

namespace trovik::journeys {
namespace {

using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;

std::vector<std::string> Environment(const std::map<std::string, std::string>& extra) {
  std::vector<std::string> out;
  for (char** e = environ; *e; ++e) {
    const std::string entry = *e;
    const std::string key = entry.substr(0, entry.find('='));
    if (!extra.count(key)) out.push_back(entry);
  }
  for (const auto& [key, value] : extra) {
    if (!value.empty()) out.push_back(key + "=" + value);
  }
  return out;
}

// posix_spawnp of a program that runs beside the journeys, with the given
// environment, its outputs into `logFile` and, optionally, an extra pipe end
// as fd 3.
pid_t Spawn(const std::vector<std::string>& argv, const std::map<std::string, std::string>& env,
            const std::string& logFile, int fd3 = -1) {
  std::vector<char*> args;
  for (const std::string& a : argv) args.push_back(const_cast<char*>(a.c_str()));
  args.push_back(nullptr);
  std::vector<std::string> envStrings = Environment(env);
  std::vector<char*> envp;
  for (std::string& e : envStrings) envp.push_back(e.data());
  envp.push_back(nullptr);
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
  posix_spawn_file_actions_addopen(&actions, 1, logFile.c_str(), O_WRONLY | O_CREAT | O_APPEND, 0644);
  posix_spawn_file_actions_addopen(&actions, 2, logFile.c_str(), O_WRONLY | O_CREAT | O_APPEND, 0644);
  if (fd3 >= 0) posix_spawn_file_actions_adddup2(&actions, fd3, 3);
  // Its own process group, so that ending it ends its helpers too.
  posix_spawnattr_t attr;
  posix_spawnattr_init(&attr);
  posix_spawnattr_setflags(&attr, POSIX_SPAWN_SETPGROUP);
  posix_spawnattr_setpgroup(&attr, 0);
  pid_t pid = -1;
  if (posix_spawnp(&pid, args[0], &actions, &attr, args.data(), envp.data()) != 0) pid = -1;
  posix_spawnattr_destroy(&attr);
  posix_spawn_file_actions_destroy(&actions);
  return pid;
}

// Waits for `pid` at most `limit`; its wait status, or -1.
int WaitPid(pid_t pid, std::chrono::milliseconds limit) {
  const auto end = Clock::now() + limit;
  while (true) {
    int status = 0;
    const pid_t r = waitpid(pid, &status, WNOHANG);
    if (r == pid) return status;
    if (r < 0) return -1;
    if (Clock::now() >= end) return -1;
    std::this_thread::sleep_for(20ms);
  }
}

void EndGroup(pid_t pid) {
  if (pid <= 0) return;
  kill(-pid, SIGTERM);
  if (WaitPid(pid, 3000ms) == -1) {
    kill(-pid, SIGKILL);
    WaitPid(pid, 3000ms);
  }
}

}  // namespace

Box Box::From(const QJsonValue& rect) {
  const QJsonObject r = rect.toObject();
  return {r["x"].toInt(), r["y"].toInt(), r["w"].toInt(), r["h"].toInt()};
}

int RunProgram(const std::vector<std::string>& argv, const std::map<std::string, std::string>& env,
               std::string* output) {
  testing::RunOptions options;
  options.args.assign(argv.begin() + 1, argv.end());
  for (const auto& [key, value] : env) {
    if (value.empty()) {
      options.unset.push_back(key);
    } else {
      options.env.push_back(key + "=" + value);
    }
  }
  // Longer than the window benchmark's longest run of the CLI.
  options.timeoutSeconds = 900;
  const testing::RunResult r = testing::RunProgram(argv.at(0), options);
  if (output) *output = r.out;
  // What a tool had to say about a failure shows in the test's log.
  if (!r.err.empty() && r.exitCode != 0) std::fprintf(stderr, "%s: %s", argv[0].c_str(), r.err.c_str());
  return r.exited() ? r.exitCode : -1;
}

XDisplay::XDisplay(int width, int height) {
  int fds[2];
  if (pipe(fds) != 0) return;
  const std::string screen = std::to_string(width) + "x" + std::to_string(height) + "x24";
  // Xvfb picks a free display number and writes it on fd 3.
  pid_ = Spawn({"Xvfb", "-displayfd", "3", "-screen", "0", screen, "-nolisten", "tcp", "-noreset"}, {}, "/dev/null",
               fds[1]);
  close(fds[1]);
  std::string number;
  pollfd p{fds[0], POLLIN, 0};
  const auto end = Clock::now() + 15s;
  while (pid_ > 0 && Clock::now() < end) {
    if (poll(&p, 1, 200) <= 0) continue;
    char c;
    if (read(fds[0], &c, 1) != 1) break;
    if (c == '\n') break;
    number += c;
  }
  close(fds[0]);
  if (number.empty()) return;
  name_ = ":" + number;
  // Slovak letters and the degree sign on keys of their own, set before any
  // window starts: a key that xdotool remaps while typing reaches a running
  // Qt program too late and is lost.
  static const char* const kLetters[] = {"aacute Aacute", "adiaeresis Adiaeresis", "ccaron Ccaron", "dcaron Dcaron",
                                         "eacute Eacute", "iacute Iacute", "lacute Lacute", "lcaron Lcaron",
                                         "ncaron Ncaron", "oacute Oacute", "ocircumflex Ocircumflex", "racute Racute",
                                         "scaron Scaron", "tcaron Tcaron", "uacute Uacute", "yacute Yacute",
                                         "zcaron Zcaron", "degree degree"};
  std::vector<std::string> argv{"xmodmap", "-display", name_};
  int keycode = 230;
  for (const char* letters : kLetters) {
    argv.push_back("-e");
    argv.push_back("keycode " + std::to_string(keycode++) + " = " + letters);
  }
  // A fresh server may take the first change back when it sets up its
  // keyboard for the first client: set it until it shows.
  for (int attempt = 0; attempt < 10; ++attempt) {
    RunProgram(argv);
    std::string keys;
    RunProgram({"xmodmap", "-display", name_, "-pke"}, {}, &keys);
    if (keys.find("= zcaron Zcaron") != std::string::npos && keys.find("= degree degree") != std::string::npos) return;
    std::this_thread::sleep_for(200ms);
  }
}

XDisplay::~XDisplay() { EndGroup(pid_); }

bool XDisplay::screenshot(const std::string& file) const {
  return running() && RunProgram({"import", "-display", name_, "-window", "root", file}) == 0;
}

bool XDisplay::screenshot(const std::string& file, const Box& box) const {
  const std::string crop =
      std::to_string(box.w) + "x" + std::to_string(box.h) + "+" + std::to_string(box.x) + "+" + std::to_string(box.y);
  return running() && RunProgram({"import", "-display", name_, "-window", "root", "-crop", crop, "+repage", file}) == 0;
}

Window::Window(const XDisplay& display, WindowOptions options) : options_(std::move(options)) {
  socket_ = options_.workDir + "probe.sock";
  std::map<std::string, std::string> env = options_.env;
  env["DISPLAY"] = display.name();
  env["QT_QPA_PLATFORM"] = "xcb";
  env["WAYLAND_DISPLAY"] = "";
  env["QT_PLUGIN_PATH"] = options_.pluginDir;
  env["QT_QPA_GENERIC_PLUGINS"] = "trovikprobe:" + socket_;
  env["TROVIK_HOME"] = options_.home;
  env["TROVIK_DEVICE_ROOT"] = options_.deviceRoot;
  pid_ = Spawn({options_.binDir + "/trovik"}, env, options_.workDir + "window.log");
}

Window::~Window() {
  if (fd_ >= 0) close(fd_);
  if (pid_ > 0 && status_ == -1) EndGroup(pid_);
}

bool Window::running() {
  if (pid_ <= 0 || status_ != -1) return false;
  int status = 0;
  if (waitpid(pid_, &status, WNOHANG) == pid_) {
    status_ = status;
    return false;
  }
  return true;
}

int Window::waitExit(std::chrono::milliseconds limit) {
  if (pid_ <= 0) return -1;
  if (status_ == -1) {
    const int status = WaitPid(pid_, limit);
    if (status == -1) return -1;
    status_ = status;
  }
  return WIFEXITED(status_) ? WEXITSTATUS(status_) : 128 + WTERMSIG(status_);
}

bool Window::connectProbe() {
  if (fd_ >= 0) return true;
  fd_ = socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
  sockaddr_un address{};
  address.sun_family = AF_UNIX;
  std::strncpy(address.sun_path, socket_.c_str(), sizeof address.sun_path - 1);
  if (connect(fd_, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0) {
    close(fd_);
    fd_ = -1;
    return false;
  }
  pending_.clear();
  return true;
}

QJsonObject Window::ask(const QString& request, std::chrono::milliseconds limit) {
  const auto end = Clock::now() + limit;
  while (!connectProbe()) {
    if (!running() || Clock::now() >= end) return {};
    std::this_thread::sleep_for(50ms);
  }
  const std::string line = request.toStdString() + "\n";
  if (send(fd_, line.data(), line.size(), MSG_NOSIGNAL) != static_cast<ssize_t>(line.size())) {
    close(fd_);
    fd_ = -1;
    return {};
  }
  while (true) {
    const size_t nl = pending_.find('\n');
    if (nl != std::string::npos) {
      const std::string answer = pending_.substr(0, nl);
      pending_.erase(0, nl + 1);
      return QJsonDocument::fromJson(QByteArray::fromStdString(answer)).object();
    }
    const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(end - Clock::now()).count();
    pollfd p{fd_, POLLIN, 0};
    char buffer[65536];
    ssize_t n = 0;
    if (left <= 0 || poll(&p, 1, static_cast<int>(left)) <= 0 || (n = read(fd_, buffer, sizeof buffer)) <= 0) {
      // A late answer would be taken for the next one: start afresh.
      close(fd_);
      fd_ = -1;
      return {};
    }
    pending_.append(buffer, static_cast<size_t>(n));
  }
}

QJsonObject Person::see(const QString& name) { return window_.ask(QStringLiteral("w ") + name); }

QJsonObject Person::front() { return window_.ask(QStringLiteral("front")); }

QString Person::focused() { return window_.ask(QStringLiteral("focus"))["name"].toString(); }

bool Person::shown(const QString& name) {
  const QJsonObject w = see(name);
  return w["found"].toBool() && w["visible"].toBool();
}

namespace {

// `take` of each element of a JSON array.
template <typename Out, typename Take>
Out EachOf(const QJsonValue& array, Take take) {
  Out out;
  for (const QJsonValue& e : array.toArray()) out.push_back(take(e));
  return out;
}

}  // namespace

QStringList Person::entries(const QString& list) {
  return EachOf<QStringList>(see(list)["entries"], [](const QJsonValue& e) { return e["text"].toString(); });
}

std::vector<int> Person::checks(const QString& list) {
  return EachOf<std::vector<int>>(see(list)["entries"], [](const QJsonValue& e) { return e["check"].toInt(); });
}

QStringList Person::panels(const QString& statusBar) {
  return EachOf<QStringList>(see(statusBar)["panels"], [](const QJsonValue& p) { return p["text"].toString(); });
}

std::vector<QStringList> Person::rows(const QString& grid) {
  return EachOf<std::vector<QStringList>>(see(grid)["rows"], [](const QJsonValue& r) {
    return EachOf<QStringList>(r["cells"], [](const QJsonValue& c) { return c.toString(); });
  });
}

QString Person::colourAt(int x, int y) {
  return window_.ask(QStringLiteral("pixel %1 %2").arg(x).arg(y))["colour"].toString();
}

void Person::xdo(const std::vector<std::string>& args) {
  std::vector<std::string> argv{"xdotool"};
  argv.insert(argv.end(), args.begin(), args.end());
  if (RunProgram(argv, {{"DISPLAY", display_.name()}}) != 0) throw std::runtime_error("xdotool failed");
}

Box Person::placeOf(const QString& name) {
  const QJsonObject w = see(name);
  if (!w["found"].toBool()) throw std::runtime_error("no widget " + name.toStdString() + " on the screen");
  if (!w["visible"].toBool()) throw std::runtime_error(name.toStdString() + " is not shown");
  if (!w["enabled"].toBool()) throw std::runtime_error(name.toStdString() + " is disabled");
  return Box::From(w["rect"]);
}

void Person::clickAt(int x, int y, int button, int count) {
  xdo({"mousemove", "--sync", std::to_string(x), std::to_string(y), "click", "--repeat", std::to_string(count),
       "--delay", "90", std::to_string(button)});
}

void Person::click(const QString& name) {
  const Box b = placeOf(name);
  clickAt(b.cx(), b.cy());
}

void Person::doubleClick(const QString& name) {
  const Box b = placeOf(name);
  clickAt(b.cx(), b.cy(), 1, 2);
}

void Person::clickTab(const QString& tabControl, const QString& caption) {
  const auto current = [&] {
    for (const QJsonValue& t : see(tabControl)["tabs"].toArray()) {
      if (t["text"].toString().remove(QLatin1Char('&')) == caption) return t["current"].toBool();
    }
    return false;
  };
  for (const QJsonValue& t : see(tabControl)["tabs"].toArray()) {
    if (t["text"].toString().remove(QLatin1Char('&')) == caption) {
      const Box b = Box::From(t["rect"]);
      clickAt(b.cx(), b.cy());
      // The page shows when the window has handled the click.
      if (!waitFor(current, std::chrono::milliseconds(10000)))
        throw std::runtime_error("the tab " + caption.toStdString() + " did not come to the front");
      return;
    }
  }
  throw std::runtime_error("no tab " + caption.toStdString() + " on " + tabControl.toStdString());
}

QJsonObject Person::entry(const QString& list, const QString& entryText) {
  for (const QJsonValue& e : see(list)["entries"].toArray()) {
    if (e["text"].toString() != entryText) continue;
    if (!e["shown"].toBool()) throw std::runtime_error(entryText.toStdString() + " is scrolled out of view");
    return e.toObject();
  }
  throw std::runtime_error("no entry " + entryText.toStdString() + " in " + list.toStdString());
}

void Person::clickEntry(const QString& list, const QString& entryText) {
  const Box b = Box::From(entry(list, entryText)["rect"]);
  // On the text, right of the check box.
  clickAt(b.x + std::min(b.w / 2, 60), b.cy());
}

void Person::clickEntryBox(const QString& list, const QString& entryText) {
  const Box b = Box::From(entry(list, entryText)["box"]);
  clickAt(b.cx(), b.cy());
}

void Person::doubleClickEntry(const QString& list, const QString& entryText) {
  const Box b = Box::From(entry(list, entryText)["rect"]);
  clickAt(b.x + std::min(b.w / 2, 60), b.cy(), 1, 2);
}

QJsonObject Person::row(const QString& grid, const QString& firstCell) {
  for (const QJsonValue& r : see(grid)["rows"].toArray()) {
    if (r["cells"].toArray().at(0).toString() != firstCell) continue;
    const QJsonValue rect = r["rects"].toArray().at(0);
    if (!rect.isObject()) throw std::runtime_error(firstCell.toStdString() + " is scrolled out of view");
    return r.toObject();
  }
  throw std::runtime_error("no row " + firstCell.toStdString() + " in " + grid.toStdString());
}

void Person::clickRow(const QString& grid, const QString& firstCell, bool ctrl) {
  const Box b = Box::From(row(grid, firstCell)["rects"].toArray().at(0));
  const std::string x = std::to_string(b.cx()), y = std::to_string(b.cy());
  if (ctrl) {
    xdo({"mousemove", "--sync", x, y, "keydown", "ctrl", "click", "1", "keyup", "ctrl"});
  } else {
    clickAt(b.cx(), b.cy());
  }
}

void Person::doubleClickRow(const QString& grid, const QString& firstCell) {
  const Box b = Box::From(row(grid, firstCell)["rects"].toArray().at(0));
  clickAt(b.cx(), b.cy(), 1, 2);
}

void Person::rightClickRow(const QString& grid, const QString& firstCell) {
  const Box b = Box::From(row(grid, firstCell)["rects"].toArray().at(0));
  clickAt(b.cx(), b.cy(), 3);
}

void Person::clickHeader(const QString& grid, const QString& caption) {
  for (const QJsonValue& h : see(grid)["headers"].toArray()) {
    if (h["text"].toString().startsWith(caption) && !h["hidden"].toBool()) {
      const Box b = Box::From(h["rect"]);
      clickAt(b.cx(), b.cy());
      return;
    }
  }
  throw std::runtime_error("no header " + caption.toStdString() + " on " + grid.toStdString());
}

void Person::menu(const std::vector<QString>& objectNames) {
  for (const QString& name : objectNames) {
    QJsonObject item;
    waitFor([&] { return (item = see(name))["found"].toBool(); }, std::chrono::milliseconds(3000));
    if (!item["found"].toBool()) throw std::runtime_error("menu item " + name.toStdString() + " is not shown");
    const Box b = Box::From(item["rect"]);
    clickAt(b.cx(), b.cy());
  }
}

void Person::choosePopup(const QString& caption) {
  QJsonObject popup;
  waitFor([&] { return (popup = front())["kind"].toString() == QStringLiteral("popup"); }, std::chrono::milliseconds(3000));
  for (const QJsonValue& i : popup["items"].toArray()) {
    if (i["text"].toString().remove(QLatin1Char('&')) == caption) {
      const Box b = Box::From(i["rect"]);
      clickAt(b.cx(), b.cy());
      return;
    }
  }
  throw std::runtime_error("no menu item " + caption.toStdString());
}

void Person::answer(const std::vector<QString>& captions) {
  const QJsonObject dialog = waitForDialog(std::chrono::milliseconds(5000));
  for (const QString& caption : captions) {
    for (const QJsonValue& b : dialog["buttons"].toArray()) {
      const bool named = b["text"].toString().remove(QLatin1Char('&')) == caption || b["name"].toString() == caption;
      if (named && b["enabled"].toBool()) {
        const Box box = Box::From(b["rect"]);
        clickAt(box.cx(), box.cy());
        return;
      }
    }
  }
  throw std::runtime_error("the dialog in front has no button " + captions.front().toStdString());
}

void Person::fill(const QString& name, const QString& text) {
  // Typing over the selection: the field never passes through empty, as
  // fields that convert at each key would complain about.
  click(name);
  key("ctrl+a");
  if (text.isEmpty()) {
    key("BackSpace");
  } else {
    type(text);
  }
}

namespace {

// The keysym name of a character a person types; empty when unknown.
std::string KeyName(QChar c) {
  static const std::map<char16_t, const char*> kNames = {
      {u' ', "space"},       {u'.', "period"},      {u',', "comma"},       {u'\'', "apostrophe"},
      {u'"', "quotedbl"},    {u'/', "slash"},       {u'\\', "backslash"}, {u'-', "minus"},
      {u'_', "underscore"},  {u':', "colon"},       {u';', "semicolon"},   {u'(', "parenleft"},
      {u')', "parenright"},  {u'!', "exclam"},      {u'?', "question"},    {u'@', "at"},
      {u'&', "ampersand"},   {u'+', "plus"},        {u'=', "equal"},       {u'<', "less"},
      {u'>', "greater"},     {u'[', "bracketleft"}, {u']', "bracketright"}, {u'#', "numbersign"},
      {u'%', "percent"},     {u'*', "asterisk"},    {u'°', "degree"},      {u'á', "aacute"},
      {u'Á', "Aacute"},      {u'ä', "adiaeresis"},  {u'Ä', "Adiaeresis"},  {u'č', "ccaron"},
      {u'Č', "Ccaron"},      {u'ď', "dcaron"},      {u'Ď', "Dcaron"},      {u'é', "eacute"},
      {u'É', "Eacute"},      {u'í', "iacute"},      {u'Í', "Iacute"},      {u'ĺ', "lacute"},
      {u'Ĺ', "Lacute"},      {u'ľ', "lcaron"},      {u'Ľ', "Lcaron"},      {u'ň', "ncaron"},
      {u'Ň', "Ncaron"},      {u'ó', "oacute"},      {u'Ó', "Oacute"},      {u'ô', "ocircumflex"},
      {u'Ô', "Ocircumflex"}, {u'ŕ', "racute"},      {u'Ŕ', "Racute"},      {u'š', "scaron"},
      {u'Š', "Scaron"},      {u'ť', "tcaron"},      {u'Ť', "Tcaron"},      {u'ú', "uacute"},
      {u'Ú', "Uacute"},      {u'ý', "yacute"},      {u'Ý', "Yacute"},      {u'ž', "zcaron"},
      {u'Ž', "Zcaron"}};
  if ((c >= u'a' && c <= u'z') || (c >= u'A' && c <= u'Z') || (c >= u'0' && c <= u'9')) {
    return std::string(1, static_cast<char>(c.unicode()));
  }
  const auto it = kNames.find(c.unicode());
  return it == kNames.end() ? std::string() : it->second;
}

}  // namespace

// Key by key on keys that carry the characters (see XDisplay): xdotool's
// own typing remaps keys as it goes, and a program reading the keyboard map
// meanwhile gets wrong characters.
void Person::type(const QString& text) {
  std::vector<std::string> args{"key", "--delay", "30"};
  for (QChar c : text) {
    const std::string name = KeyName(c);
    if (name.empty()) throw std::runtime_error("no key for a character of " + text.toStdString());
    args.push_back(name);
  }
  if (args.size() > 3) xdo(args);
}

void Person::key(const std::string& keys) { xdo({"key", "--delay", "30", keys}); }

void Person::focusWindow(const std::string& title) {
  xdo({"search", "--onlyvisible", "--name", title, "windowfocus", "--sync"});
}

bool Person::waitFor(const std::function<bool()>& ready, std::chrono::milliseconds limit) {
  const auto end = Clock::now() + limit;
  while (true) {
    if (ready()) return true;
    if (Clock::now() >= end || !window_.running()) return ready();
    std::this_thread::sleep_for(100ms);
  }
}

QJsonObject Person::waitForDialog(std::chrono::milliseconds limit) {
  QJsonObject dialog;
  if (!waitFor([&] { return (dialog = front())["kind"].toString() == QStringLiteral("modal"); }, limit)) return {};
  return dialog;
}

}  // namespace trovik::journeys
