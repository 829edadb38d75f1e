#pragma once
// A real offscreen browser with its own profile folder, and a Host whose pump
// runs the Qt event loop, as the CLI's does.

#include <QCoreApplication>
#include <QEventLoop>
#include <QWebEngineProfile>
#include <chrono>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "base/host.h"
#include "support/temp_dir.h"
#include "webengine/web_browser.h"

namespace trovik::testing {

class QtHost : public Host {
 public:
  void processMessages() override { QCoreApplication::processEvents(QEventLoop::AllEvents, 50); }
  void sleepMs(int ms) override { webengine::RunEventsFor(ms); }
  uint32_t tickCount() override {
    using namespace std::chrono;
    return static_cast<uint32_t>(duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count());
  }
  void showMessage(const std::string& text1250) override { messages.push_back(text1250); }
  std::vector<std::string> messages;
};

struct EngineRig {
  explicit EngineRig(const std::string& profileFolder = "") {
    profile = webengine::CreateProfile(profileFolder.empty() ? dir.path() + "WebProfile" : profileFolder, nullptr);
    browser = std::make_unique<webengine::WebEngineBrowser>(profile);
  }
  ~EngineRig() {
    browser.reset();
    webengine::ReleaseProfile(profile);
  }
  // Navigates and runs the event loop until document-complete or `timeoutMs`.
  bool load(const std::string& address, int timeoutMs = 20000) {
    bool done = false;
    browser->onDocumentComplete = [&] { done = true; };
    browser->Navigate(address);
    bool ok = pumpUntil([&] { return done; }, timeoutMs);
    browser->onDocumentComplete = nullptr;
    return ok;
  }
  template <typename F>
  bool pumpUntil(F condition, int timeoutMs = 20000) {
    const uint32_t start = host.tickCount();
    while (!condition()) {
      if (host.tickCount() - start > static_cast<uint32_t>(timeoutMs)) return false;
      host.processMessages();
    }
    return true;
  }

  TempDir dir;
  QtHost host;
  QWebEngineProfile* profile = nullptr;
  std::unique_ptr<webengine::WebEngineBrowser> browser;
};

}  // namespace trovik::testing
