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
  throw Error("Tento pr\xEDkaz potrebuje prehliada\xE8: " + text::Utf8To1250(why));
}

class RethrowingBrowser final : public site::Browser {
 public:
  explicit RethrowingBrowser(std::unique_ptr<webengine::EngineBrowser> engine) : engine_(std::move(engine)) {
    engine_->onDocumentComplete = [this] {
      if (onDocumentComplete) onDocumentComplete();
    };
    engine_->onProgressChange = [this](int progress, int maximum) {
      if (onProgressChange) onProgressChange(progress, maximum);
    };
  }

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
    std::string failure = engine_->takeFailure();
    if (!failure.empty()) throw Error(failure);
  }
  template <class T>
  T checked(T value) {
    rethrow();
    return value;
  }

  std::unique_ptr<webengine::EngineBrowser> engine_;
};

}  // namespace

std::unique_ptr<webengine::Engine> LoadBrowserEngine(const std::string& profileFolder, bool verbose) {
  const std::string path = paths::ExecutableFolder() + "libtrovik-webengine.so";
  // Never closed: Qt and Chromium keep threads and handlers that outlive any unload.
  void* library = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
  if (library == nullptr) NeedsBrowser(dlerror());
  auto create = reinterpret_cast<TrovikEngineCreate>(dlsym(library, "trovik_engine_create"));
  if (create == nullptr) NeedsBrowser(path + " nie je kni\xC5\xBEnica prehliada\xC4\x8D" "a.");
  std::unique_ptr<webengine::Engine> engine(create(webengine::kEngineInterfaceVersion, profileFolder.c_str(), verbose));
  if (!engine) NeedsBrowser(path + " je z inej verzie programu.");
  return engine;
}

std::unique_ptr<site::Browser> CreateBrowser(webengine::Engine& engine) {
  return std::make_unique<RethrowingBrowser>(engine.createBrowser());
}

}  // namespace trovik::cli
