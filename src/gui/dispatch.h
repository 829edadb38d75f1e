#pragma once
// Every command of the window runs through here: what the user typed into the
// text areas goes to the core first, an error of the core ends the command in
// the default error box (the window stays usable), and the views show the
// state the command left.

#include <QPointer>
#include <QString>
#include <QWidget>
#include <functional>

namespace trovik::gui {

class Dispatcher {
 public:
  void setWindow(QWidget* window) { window_ = window; }
  std::function<void()> beforeCommand;  // views -> core (only what the user changed)
  std::function<void()> afterCommand;   // core -> views
  // Tests see the error texts instead of a modal box.
  std::function<void(const QString&)> errorHook;

  // Runs `command`; commands may nest (a click during a wait for a page).
  void run(const std::function<void()>& command);
  void showError(const QString& text);

  int depth() const { return depth_; }
  // The window has closed: the commands still unwinding report to standard
  // error instead of a box no one would answer.
  void setClosing() { closing_ = true; }

 private:
  QPointer<QWidget> window_;
  int depth_ = 0;
  bool closing_ = false;
};

}  // namespace trovik::gui
