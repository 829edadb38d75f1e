#pragma once
// The browser engine of the page commands, loaded when one of them runs.

#include <exception>
#include <memory>
#include <string>

#include "engine_api/engine.h"
#include "site/browser.h"

namespace trovik::cli {

// What a handler of the CLI threw while the library's code was running (a
// document-complete inside the engine's event dispatch, a download's pump):
// kept there, and thrown again once the library's call has returned, so no
// exception unwinds through the library or Qt's event loop.
class HeldException {
 public:
  template <class Call>
  void run(Call&& call) noexcept {
    try {
      call();
    } catch (...) {
      if (!thrown_) thrown_ = std::current_exception();
    }
  }
  bool held() const { return static_cast<bool>(thrown_); }
  void rethrow();

 private:
  std::exception_ptr thrown_;
};

// libtrovik-webengine.so from the executable's folder, as the core uses it:
// its browsers and downloader throw their failures as trovik::Error on the
// CLI's side of the border, and the event pump throws what a handler threw
// during the events, after they have run. Destroy what it made first.
class BrowserEngine {
 public:
  // Starts the engine on the profile folder (a file-system path). Throws
  // trovik::Error, "this command needs the browser", when the library is
  // missing, is no engine library, or was built for another interface.
  BrowserEngine(const std::string& profileFolder, bool verbose);

  std::unique_ptr<site::Browser> createBrowser();
  std::unique_ptr<site::Downloader> createDownloader(long totalTimeoutMs, long long maxBytes);
  void pumpEvents();
  void pumpEventsFor(int ms);

 private:
  HeldException held_;
  std::unique_ptr<webengine::Engine> engine_;
};

}  // namespace trovik::cli
