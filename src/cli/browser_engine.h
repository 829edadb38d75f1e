#pragma once
// The browser engine of the page commands, loaded when one of them runs.

#include <memory>
#include <string>

#include "site/browser.h"
#include "webengine/engine.h"

namespace trovik::cli {

// Loads libtrovik-webengine.so from the executable's folder and starts the
// engine on the profile folder (a file-system path). Throws trovik::Error,
// "this command needs the browser", when the library is missing or unusable.
std::unique_ptr<webengine::Engine> LoadBrowserEngine(const std::string& profileFolder, bool verbose);

// A browser of the engine as the core uses it: a call that failed in the
// library throws its trovik::Error here, on the CLI's side of the border.
std::unique_ptr<site::Browser> CreateBrowser(webengine::Engine& engine);

}  // namespace trovik::cli
