#pragma once
// A scriptable site::Browser for tests. Navigate records the address and, when
// the test gave that address a page, queues its document-complete on the
// FakeHost: it fires at the next processMessages, as a real engine's event
// arrives from the message loop. Body HTML, pictures and links are what the
// test set for the page last completed (already 1250 old-style text).
//
//   #include "support/fake_browser.h"
//   trovik::testing::FakeHost host;
//   trovik::testing::FakeBrowser browser(host);
//   browser.setPage("http://x/sk/index.php", PageWithBody("<FORM id=f>..."));
//   browser.page("http://x/sk/index.php").elements = {"username", "password", "login-b"};
//   browser.page("http://x/sk/index.php").clicks["login-b"] = "http://x/sk/home.php";

#include <functional>
#include <map>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "fake_host.h"
#include "site/browser.h"

namespace trovik::testing {

struct FakePage {
  std::string bodyHtml;                   // what BodyHtml returns once the page completed
  std::vector<std::string> pictures;      // Pictures()
  std::vector<std::string> links;         // Links()
  std::set<std::string> elements;         // names or ids SetElementText/ClickElement find
  std::map<std::string, std::string> clicks;  // element -> address a click navigates to
  int completions = 1;   // document-complete events per load (a page with frames: 2 or more)
  int busyPolls = 0;     // Busy() still answers true this many times after the last completion
  bool completes = true; // false: the load never ends (until the test calls complete())
};

// A page with that body, completing once (or `completions` times, as a page
// with frames does). Spelled out so tests need no designated initializers,
// which this compiler warns about when a member is left out.
inline FakePage PageWithBody(std::string bodyHtml, int completions = 1) {
  FakePage page;
  page.bodyHtml = std::move(bodyHtml);
  page.completions = completions;
  return page;
}

class FakeBrowser : public site::Browser {
 public:
  explicit FakeBrowser(FakeHost& host) : host_(host) {}

  // The page served at `address` (exact match).
  void setPage(const std::string& address, FakePage page) { pages_[address] = std::move(page); }
  FakePage& page(const std::string& address) { return pages_[address]; }
  // Served for any address without a page of its own; unset: such a load never completes.
  void setDefaultPage(FakePage page) {
    defaultPage_ = std::move(page);
    hasDefault_ = true;
  }

  // Fires the pending load's completion now (for a page with completes = false).
  void complete();

  void Navigate(const std::string& address) override;
  void Stop() override;
  bool Busy() override;
  std::string BodyHtml() override;
  void SetElementText(const std::string& nameOrId, const std::string& text) override;
  void ClickElement(const std::string& nameOrId) override;
  std::vector<std::string> Pictures() override;
  std::vector<std::string> Links() override;

  // What the code under test did.
  std::vector<std::string> navigations;                        // every Navigate, in order
  std::vector<std::pair<std::string, std::string>> textsSet;   // SetElementText calls
  std::vector<std::string> clicked;                            // ClickElement calls
  std::vector<std::string> scripts;                            // "javascript:" code run
  int stops = 0;
  int completionsFired = 0;
  // Called for a "javascript:" address with its code; the page stays as it is.
  std::function<void(const std::string& code)> onJavaScript;
  // When set, BodyHtml throws trovik::Error with this text.
  std::string bodyHtmlError;

  std::string currentAddress() const { return current_; }

 private:
  const FakePage* find(const std::string& address) const;
  void fire(int generation, int remaining);

  FakeHost& host_;
  std::map<std::string, FakePage> pages_;
  FakePage defaultPage_;
  bool hasDefault_ = false;
  std::string loading_;     // address of the load in progress
  std::string current_;     // address of the page shown (last completion)
  bool loadPending_ = false;
  int generation_ = 0;      // a new Navigate or Stop orphans queued completions
  int busyLeft_ = 0;
};

}  // namespace trovik::testing
