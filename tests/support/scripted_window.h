#pragma once
// The window built whole for a test, as the program builds it, but with
// scripted browsers (FakeBrowser) in place of the engine's: every command of
// every tab is wired, and a load completes from the window's event loop, as
// an engine's does, when the test gave its address a page.
//
//   trovik::testing::ScriptedWindow window;
//   window.webBrowser2.setDefaultPage(trovik::testing::PageWithBody("..."));
//   ... click the window's controls ...
//
// Header-only: only the QtTest programs of the window use it.

#include <QTimer>

#include "gui/main_window.h"
#include "support/fake_browser.h"
#include "support/fake_host.h"

namespace trovik::testing {

class ScriptedBrowsers {
 public:
  ScriptedBrowsers() {
    // The window's pauses run its event loop; this timer runs with it and
    // delivers the completions the browsers queued.
    QObject::connect(&pump_, &QTimer::timeout, [this] { completions.processMessages(); });
    pump_.start(5);
  }
  ScriptedBrowsers(const ScriptedBrowsers&) = delete;
  ScriptedBrowsers& operator=(const ScriptedBrowsers&) = delete;

  gui::WindowOptions options() { return {.browser = &webBrowser1, .searchBrowser = &webBrowser2}; }

  FakeHost completions;  // only queues the browsers' completions
  FakeBrowser webBrowser1{completions};
  FakeBrowser webBrowser2{completions};

 private:
  QTimer pump_;
};

// The browsers are a base, so they exist before the window and go after it.
class ScriptedWindow : public ScriptedBrowsers, public gui::TForm1 {
 public:
  ScriptedWindow() : gui::TForm1(options()) {}
};

}  // namespace trovik::testing
