#pragma once
// The browser engine as a program loads it at run time: the CLI links no Qt
// and no network library, and dlopen()s libtrovik-webengine.so (next to the
// executable) only for the commands that load pages. This header holds no Qt
// type, so the loader compiles without Qt; the library implements it over
// QtWebEngine and hands out the picture downloader (libcurl) as well. It is
// the only header of the engine the CLI sees.
//
// The library's entry points are `trovik_engine_interface` and
// `trovik_engine_create`. The engine owns the Qt application object and the
// persistent profile; destroy every browser and downloader it made before the
// engine itself (the engine's destructor lets the cookie store reach the
// disk, then ends Qt).

#include <memory>
#include <string>

#include "site/browser.h"

// The build defines it: a hash of this header and of site/browser.h, whose
// classes the library's objects implement (src/CMakeLists.txt).
#ifndef TROVIK_ENGINE_INTERFACE
#error "TROVIK_ENGINE_INTERFACE is set by the build (target trovik_engine_api)"
#endif

namespace trovik::webengine {

// The interface this build was compiled against; a library of another one is
// refused before anything of it is called.
inline constexpr const char* kEngineInterface = TROVIK_ENGINE_INTERFACE;

// The profile folder every part of the program shares: program folder (a file
// system path with its trailing separator) + "browser-profile".
inline std::string ProfileFolder(const std::string& programFolderFs) { return programFolderFs + "browser-profile"; }

// The CLI carries its own C++ runtime and the library uses the shared one, so
// no exception may pass the border either way: each runtime keeps its own
// count of exceptions in flight, and one thrown by the other leaves that
// count wrong for the rest of the run; and an exception must not unwind
// through Qt's event dispatch. So an object of the library never throws: a
// call that fails returns an empty value and leaves its error text for
// `takeFailure`, which the CLI's side turns back into trovik::Error. And the
// callbacks the CLI hands in (document-complete, progress, a download's pump)
// never throw either: the CLI keeps what they threw and throws it again once
// the library's call has returned (cli/browser_engine.cpp).
class EngineBrowser : public site::Browser {
 public:
  // The error text (1250) of the last call that failed, once; empty when
  // none did.
  virtual std::string takeFailure() = 0;
};

class EngineDownloader : public site::Downloader {
 public:
  // As EngineBrowser::takeFailure.
  virtual std::string takeFailure() = 0;
};

class Engine {
 public:
  virtual ~Engine() = default;

  // An offscreen browser on the engine's profile.
  virtual std::unique_ptr<EngineBrowser> createBrowser() = 0;
  // The downloader of pictures (net::CurlDownloader). `totalTimeoutMs` bounds
  // one picture (0: no bound beyond the stall time); `maxBytes` caps it.
  virtual std::unique_ptr<EngineDownloader> createDownloader(long totalTimeoutMs, long long maxBytes) = 0;
  // Lets the events already pending run (the host's processMessages).
  virtual void pumpEvents() = 0;
  // Runs the event loop for `ms` milliseconds, so the engine keeps working
  // through a sleep.
  virtual void pumpEventsFor(int ms) = 0;
};

}  // namespace trovik::webengine

extern "C" {
// The interface the library was built against (kEngineInterface of its build).
using TrovikEngineInterface = const char* (*)();
// `interfaceHash`: the caller's kEngineInterface; nullptr comes back when it
// is not the library's. `profileFolder`: file-system path of the shared
// browser profile. `verbose`: nonzero lets the engine's start-up notes
// through to standard error.
using TrovikEngineCreate = trovik::webengine::Engine* (*)(const char* interfaceHash, const char* profileFolder,
                                                          int verbose);
}
