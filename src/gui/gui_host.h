#pragma once
// The core's Host in the window: pending events run through Qt's event loop,
// messages are simple message boxes with the application's title, and the
// open dialog is Qt's file dialog.

#include <QElapsedTimer>
#include <QPointer>
#include <QWidget>
#include <functional>

#include "base/host.h"

namespace trovik::gui {

class GuiHost : public Host {
 public:
  GuiHost();

  void setWindow(QWidget* window) { window_ = window; }
  // Called on stateChanged: the window re-reads what it shows.
  void setOnStateChanged(std::function<void()> callback) { onStateChanged_ = std::move(callback); }

  void processMessages() override;
  // Runs the event loop for `ms` (the browser engine works on this thread);
  // returns at once once the window is closing.
  void sleepMs(int ms) override;
  uint32_t tickCount() override;
  void showMessage(const std::string& text1250) override;
  void showWarning(const std::string& title1250, const std::string& text1250) override;
  void setBusyCursor(bool busy) override;
  void stateChanged() override;
  std::optional<std::string> openFileDialog(const OpenDialog& dialog) override;

  // The window has closed: pauses end at once and message boxes, which no
  // one would see any more, go to standard error, so every wait unwinds.
  void setClosing() { closing_ = true; }
  bool closing() const { return closing_; }

  // Tests replace the modal boxes and dialogs, which would wait for a user.
  std::function<void(const QString&)> messageHook;
  std::function<std::optional<QString>(const QString& filter, const QString& selectedFilter,
                                       const QString& initialFile)>
      fileDialogHook;

 private:
  QPointer<QWidget> window_;
  QElapsedTimer clock_;
  std::function<void()> onStateChanged_;
  int busyDepth_ = 0;
  bool closing_ = false;
};


// "desc|pattern|desc|pattern" as Qt's name filters: "desc (pattern pattern)".
// A pattern list "a;b" becomes "a b". Odd leftovers are dropped.
QStringList QtNameFilters(const QString& filter);

// The application's title, the caption of every simple message box.
QString ApplicationTitle();

}  // namespace trovik::gui
