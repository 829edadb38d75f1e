#include "cli/browser_engine.h"

#include <dlfcn.h>

#include <utility>
#include <vector>

#include "base/error.h"
#include "base/paths.h"
#include "text/text.h"

namespace trovik::cli {
namespace {

[[noreturn]] void NeedsBrowser(const std::string& why) {
  throw Error("Tento príkaz potrebuje prehliadač: "_1250 + text::Cp1250::FromUtf8(why));
}

// The library's failure of the last call, as the core expects it.
template <class Contained>
void ThrowFailure(Contained& contained) {
  std::string failure = contained.takeFailure();
  if (!failure.empty()) throw Error(text::Cp1250::FromBytes(failure));
}

class RethrowingBrowser final : public site::Browser {
 public:
  RethrowingBrowser(std::unique_ptr<webengine::EngineBrowser> engine, HeldException& held)
      : engine_(std::move(engine)), held_(held) {
    engine_->onDocumentComplete = [this] {
      held_.run([this] {
        if (onDocumentComplete) onDocumentComplete();
      });
    };
    engine_->onProgressChange = [this](int progress, int maximum) {
      held_.run([&] {
        if (onProgressChange) onProgressChange(progress, maximum);
      });
    };
  }

  // A page call runs the engine's events while it waits for its answer.
  void Navigate(const std::string& address) override {
    engine_->Navigate(address);
    rethrow();
  }
  void Stop() override {
    engine_->Stop();
    rethrow();
  }
  bool Busy() override { return checked(engine_->Busy()); }
  std::string BodyHtml() override { return checked(engine_->BodyHtml()); }
  void SetElementText(const std::string& nameOrId, const std::string& text) override {
    engine_->SetElementText(nameOrId, text);
    rethrow();
  }
  void ClickElement(const std::string& nameOrId) override {
    engine_->ClickElement(nameOrId);
    rethrow();
  }
  std::vector<std::string> Pictures() override { return checked(engine_->Pictures()); }
  std::vector<std::string> Links() override { return checked(engine_->Links()); }

 private:
  void rethrow() {
    ThrowFailure(*engine_);
    held_.rethrow();
  }
  template <class T>
  T checked(T value) {
    rethrow();
    return value;
  }

  std::unique_ptr<webengine::EngineBrowser> engine_;
  HeldException& held_;
};

class RethrowingDownloader final : public site::Downloader {
 public:
  RethrowingDownloader(std::unique_ptr<webengine::EngineDownloader> engine, HeldException& held)
      : engine_(std::move(engine)), held_(held) {}

  bool UrlToFile(const std::string& url, const std::string& localPath) override {
    const bool done = engine_->UrlToFile(url, localPath);
    ThrowFailure(*engine_);
    return done;
  }

  // The pump runs the CLI's handlers: what they throw abandons the download
  // and is thrown once the library has returned.
  bool UrlToFileWatched(const std::string& url, const std::string& localPath, const Watch& watch) override {
    Watch contained;
    if (watch.pump) contained.pump = [&] { held_.run(watch.pump); };
    contained.abandoned = [&] {
      bool abandoned = false;
      held_.run([&] { abandoned = watch.abandoned && watch.abandoned(); });
      return abandoned || held_.held();
    };
    const bool done = engine_->UrlToFileWatched(url, localPath, contained);
    held_.rethrow();
    ThrowFailure(*engine_);
    return done;
  }

 private:
  std::unique_ptr<webengine::EngineDownloader> engine_;
  HeldException& held_;
};

}  // namespace

void HeldException::rethrow() {
  if (thrown_) std::rethrow_exception(std::exchange(thrown_, nullptr));
}

BrowserEngine::BrowserEngine(const std::string& profileFolder, bool verbose) {
  const std::string path = paths::ExecutableFolder() + "libtrovik-webengine.so";
  // Never closed: Qt and Chromium keep threads and handlers that outlive any unload.
  void* library = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
  if (library == nullptr) NeedsBrowser(dlerror());
  auto interfaceOf = reinterpret_cast<TrovikEngineInterface>(dlsym(library, "trovik_engine_interface"));
  auto create = reinterpret_cast<TrovikEngineCreate>(dlsym(library, "trovik_engine_create"));
  if (interfaceOf == nullptr || create == nullptr)
    NeedsBrowser(path + " nie je knižnica prehliadača.");
  const std::string theirs = interfaceOf();
  if (theirs != webengine::kEngineInterface)
    NeedsBrowser(path + " je z inej verzie programu (rozhranie " + theirs + ", tento program potrebuje " +
                 webengine::kEngineInterface + ").");
  engine_.reset(create(webengine::kEngineInterface, profileFolder.c_str(), verbose));
  if (!engine_) NeedsBrowser(path + ": prehliadač sa nespustil.");
}

std::unique_ptr<site::Browser> BrowserEngine::createBrowser() {
  return std::make_unique<RethrowingBrowser>(engine_->createBrowser(), held_);
}

std::unique_ptr<site::Downloader> BrowserEngine::createDownloader(long totalTimeoutMs, long long maxBytes) {
  return std::make_unique<RethrowingDownloader>(engine_->createDownloader(totalTimeoutMs, maxBytes), held_);
}

void BrowserEngine::pumpEvents() {
  engine_->pumpEvents();
  held_.rethrow();
}

void BrowserEngine::pumpEventsFor(int ms) {
  engine_->pumpEventsFor(ms);
  held_.rethrow();
}

}  // namespace trovik::cli
