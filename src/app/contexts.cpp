#include "app/contexts.h"

#include "base/error.h"

namespace trovik::app {

CommandContexts::CommandContexts(MainState& state, ModuleStates modules, const Adapters& adapters)
    : state_(state),
      modules_(modules),
      adapters_(adapters),
      site_{.browser = adapters.browser,
            .host = adapters.host,
            .flags = state.flags,
            .fields = state.fields,
            .state = modules.site,
            .memo1 = state.memo1,
            .caches = state.waypoints.caches,
            .exportButtonEnabled = state.waypoints.exportButtonEnabled,
            .htmFolder = state.htmFolder,
            .settingsPath = state.settingsPath} {
  site::ConnectMainBrowser(site_);
  if (site::Browser* search = adapters_.searchBrowser) {
    search->onDocumentComplete = [this, search] {
      nearby::WebBrowser2DocumentComplete(modules_.nearby, *search, state_.flags);
    };
    search->onProgressChange = [this](int position, int maximum) {
      nearby::WebBrowser2ProgressChange(modules_.nearby, position, maximum);
    };
  }
}

pages::PageContext CommandContexts::pages() {
  const pages::PageOutput output{.downloader = adapters_.downloader,
                                 .device = adapters_.deviceFiles,
                                 .copyToDevice = adapters_.copyToDevice,
                                 .host = adapters_.host,
                                 .flags = state_.flags,
                                 .fields = state_.fields,
                                 .htmFolder = state_.htmFolder,
                                 .picturesFolder = state_.picturesFolder};
  return {output, adapters_.browser, state_.memo1, modules_.site.pageName, [this] { site::SpeedButton4Click(site_); }};
}

nearby::SearchContext CommandContexts::search() {
  if (adapters_.searchBrowser == nullptr) throw Error("Prehliadač hľadania nie je spustený."_1250);
  return {.webBrowser2 = *adapters_.searchBrowser,
          .host = adapters_.host,
          .flags = state_.flags,
          .fields = state_.fields,
          .townFile = nearby::TownFilePath(state_.programFolder)};
}

}  // namespace trovik::app
