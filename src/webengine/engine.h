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

class Engine {
 public:
  virtual ~Engine() = default;

  // An offscreen browser on the engine's profile.
  virtual std::unique_ptr<site::Browser> createBrowser() = 0;
  // The downloader of pictures (net::CurlDownloader).
  virtual std::unique_ptr<site::Downloader> createDownloader() = 0;
  // Lets the events already pending run (the host's processMessages).
  virtual void pumpEvents() = 0;
  // Runs the event loop for `ms` milliseconds, so the engine keeps working
  // through a sleep.
  virtual void pumpEventsFor(int ms) = 0;
};

// Bumped whenever Engine or the entry point changes; a library of another
// build is refused instead of called with the wrong layout.
inline constexpr int kEngineInterfaceVersion = 1;

}  // namespace trovik::webengine

extern "C" {
// `profileFolder`: file-system path of the shared browser profile. `verbose`:
// nonzero lets the engine's start-up notes through to standard error. Returns
// nullptr when `interfaceVersion` is not the library's.
using TrovikEngineCreate = trovik::webengine::Engine* (*)(int interfaceVersion, const char* profileFolder,
                                                          int verbose);
}
