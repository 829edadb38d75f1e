#pragma once
// Shared pieces of the window tests: a scratch program folder per test, the
// window built whole (tests/support/scripted_window.h) and look-ups of
// controls by object name inside the window's tabs.

#include <QAbstractButton>
#include <QCoreApplication>
#include <QTemporaryDir>
#include <QTest>
#include <QWidget>
#include <memory>

#include "app/main_state.h"
#include "base/paths.h"
#include "gui/main_window.h"
#include "support/scripted_window.h"

namespace trovik::gui::testing {

// A program folder of its own, so no test sees another's settings file.
class ScratchHome {
 public:
  ScratchHome() {
    qputenv("TROVIK_HOME", dir_.path().toUtf8());
    paths::SetProgramFolder(dir_.path().toStdString() + "/");
  }
  QString path() const { return dir_.path(); }
  QString file(const QString& name) const { return dir_.filePath(name); }

 private:
  QTemporaryDir dir_;
};

using trovik::testing::ScriptedWindow;

// A control of the main window's tabs (not of the confirmation dialog, which
// has controls of the same names).
template <typename W = QWidget>
W* Control(TForm1& window, const char* name) {
  return window.pages()->findChild<W*>(QString::fromLatin1(name));
}

}  // namespace trovik::gui::testing
