#pragma once
// A browser without an engine: it loads nothing, and its document is what its
// owner puts in `body`, `pictures` and `links`. For runs of the core that need
// a browser but no pages (benchmarks, fuzzing). Header only, so they need not
// link the tests' support library.

#include <string>
#include <vector>

#include "site/browser.h"

namespace trovik::site {

class StillBrowser : public Browser {
 public:
  void Navigate(const std::string& /*address*/) override {}
  void Stop() override {}
  bool Busy() override { return false; }
  std::string BodyHtml() override { return body; }
  void SetElementText(const std::string& /*nameOrId*/, const std::string& /*text*/) override {}
  void ClickElement(const std::string& /*nameOrId*/) override {}
  std::vector<std::string> Pictures() override { return pictures; }
  std::vector<std::string> Links() override { return links; }

  std::string body;
  std::vector<std::string> pictures, links;
};

}  // namespace trovik::site
