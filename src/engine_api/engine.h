#pragma once
// The browser engine as a program loads it at run time: the CLI links no Qt
// and no network library, and dlopen()s libtrovik-webengine.so (next to the
// executable) only for the commands that load pages. This header holds no Qt
// type, so the loader compiles without Qt; the library implements it over
// QtWebEngine and hands out the picture downloader (libcurl) as well.
//
// The library's one entry point is `trovik_engine_create`. The engine owns the
// Qt application object and the persistent profile; destroy every browser it
// made before the engine itself (the engine's destructor lets the cookie store
// reach the disk, then ends Qt).

#include <memory>
#include <string>

#include "site/browser.h"

namespace trovik::webengine {

// The profile folder every part of the program shares: program folder (a file
// system path with its trailing separator) + "browser-profile".
inline std::string ProfileFolder(const std::string& programFolderFs) { return programFolderFs + "browser-profile"; }

// The CLI carries its own C++ runtime and the library uses the shared one, so
// no exception may pass from the library into the CLI: each runtime keeps its
// own count of exceptions in flight, and one thrown by the other leaves that
// count wrong for the rest of the run. A browser of the library therefore
// never throws; a call that fails returns an empty value and leaves its error
// text for `takeFailure`, which the CLI's side turns back into trovik::Error.
// (The other way round is safe: the CLI's document-complete handlers throw
// and catch in the CLI's runtime, the library's frames only unwind.)
class EngineBrowser : public site::Browser {
 public:
  // The error text (1250) of the last call that failed, once; empty when
  // none did.
  virtual std::string takeFailure() = 0;
};

class Engine {
 public:
  virtual ~Engine() = default;

  // An offscreen browser on the engine's profile.
  virtual std::unique_ptr<EngineBrowser> createBrowser() = 0;
  // The downloader of pictures (net::CurlDownloader). `totalTimeoutMs` bounds
  // one picture (0: no bound beyond the stall time); `maxBytes` caps it.
  virtual std::unique_ptr<site::Downloader> createDownloader(long totalTimeoutMs, long long maxBytes) = 0;
  // Lets the events already pending run (the host's processMessages).
  virtual void pumpEvents() = 0;
  // Runs the event loop for `ms` milliseconds, so the engine keeps working
  // through a sleep.
  virtual void pumpEventsFor(int ms) = 0;
};

// Bumped whenever Engine or the entry point changes; a library of another
// build is refused instead of called with the wrong layout.
inline constexpr int kEngineInterfaceVersion = 3;

}  // namespace trovik::webengine

extern "C" {
// `profileFolder`: file-system path of the shared browser profile. `verbose`:
// nonzero lets the engine's start-up notes through to standard error. Returns
// nullptr when `interfaceVersion` is not the library's.
using TrovikEngineCreate = trovik::webengine::Engine* (*)(int interfaceVersion, const char* profileFolder,
                                                          int verbose);
}
