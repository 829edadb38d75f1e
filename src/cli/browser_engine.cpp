#include "cli/browser_engine.h"

#include <dlfcn.h>

#include "base/error.h"
#include "base/paths.h"
#include "text/text.h"

namespace trovik::cli {
namespace {

[[noreturn]] void NeedsBrowser(const std::string& why) {
  throw Error("Tento pr\xEDkaz potrebuje prehliada\xE8: " + text::Utf8To1250(why));
}

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

}  // namespace trovik::cli
