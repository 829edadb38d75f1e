#pragma once
// The contexts of the commands that drive a browser (site, pages, nearby),
// built in one place for the window and the CLI. They refer to the run's
// state, never copy it, so the folders the first start-up stage sets are what
// every later command sees.

#include "app/main_state.h"
#include "base/device_files.h"
#include "base/host.h"
#include "nearby/nearby.h"
#include "pages/pages.h"
#include "site/browser.h"
#include "site/site_client.h"

namespace trovik::app {

// What a front end owns for these commands.
struct Adapters {
  Host& host;
  site::Browser& browser;                    // WebBrowser1
  site::Browser* searchBrowser = nullptr;    // WebBrowser2; null in a run without the search
  site::Downloader& downloader;
  device::DeviceFiles& deviceFiles;
  device::CopyToDeviceOption& copyToDevice;  // "Aj do PDA"
};

// The module states a front end keeps beside the main state.
struct ModuleStates {
  site::SiteState& site;
  nearby::NearbyState& nearby;
};

// Wires the browsers' handlers once, at construction: the main browser's to
// the capture, the search browser's to the nearby search. A front end that
// runs them differently (the window, as commands) wraps them afterwards.
// The handlers keep this object, so it neither moves nor outlives the parts.
class CommandContexts {
 public:
  CommandContexts(MainState& state, ModuleStates modules, const Adapters& adapters);
  CommandContexts(const CommandContexts&) = delete;
  CommandContexts& operator=(const CommandContexts&) = delete;

  site::SiteContext& site() { return site_; }
  pages::PageContext pages();
  // Throws when the run has no search browser.
  nearby::SearchContext search();

 private:
  MainState& state_;
  ModuleStates modules_;
  Adapters adapters_;
  site::SiteContext site_;
};

}  // namespace trovik::app
