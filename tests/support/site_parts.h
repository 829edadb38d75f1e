#pragma once
// What a site::SiteContext refers to besides its browser and host, for tests
// that build one: the parts live as long as the test's object that holds them.
//
//   struct Rig : trovik::testing::SiteParts {
//     ...browser, host, dir...
//     site::SiteContext context = contextFor(browser, host, dir.path());
//   };

#include <string>
#include <vector>

#include "base/fields.h"
#include "base/flags.h"
#include "site/site_client.h"
#include "waypoints/cache_list.h"

namespace trovik::testing {

struct SiteParts {
  RunFlags flags;
  Fields fields;
  site::SiteState state;
  std::vector<std::string> memo1;
  waypoints::CacheList caches;
  bool exportEnabled = false;
  std::string htmFolder;     // the context refers to these two
  std::string settingsPath;

  // The context over these parts, with the HTM folder and the settings file
  // of the program folder `folder` (ending with a separator).
  site::SiteContext contextFor(site::Browser& browser, Host& host, const std::string& folder) {
    htmFolder = folder + "HTM/";
    settingsPath = folder + "Trovik.ini";
    return {.browser = browser,
            .host = host,
            .flags = flags,
            .fields = fields,
            .state = state,
            .memo1 = memo1,
            .caches = caches,
            .exportButtonEnabled = exportEnabled,
            .htmFolder = htmFolder,
            .settingsPath = settingsPath};
  }
};

}  // namespace trovik::testing
