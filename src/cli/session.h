#pragma once
// What the window owns for the commands that need a browser, with the browsers
// offscreen: the state, a host whose time-out ends a wait like "Brejk", the main
// browser and on request the search browser, the downloader, the device link,
// and the contexts of the site, pages and nearby commands.

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>

#include "app/contexts.h"
#include "app/main_state.h"
#include "base/fields.h"
#include "cli/command.h"
#include "nearby/nearby.h"
#include "pages/pages.h"
#include "site/site_client.h"
#include "waypoints/cache_list.h"

namespace trovik::cli {

// The options every browser command takes. The settings file gives the
// defaults; these override them for this run only.
struct SessionOptions {
  std::string site, sk, com, images;
  int timeoutS = 60;
  bool verbose = false;  // the engine's own notes on standard error
  bool userGiven = false, passwordGiven = false;
  std::string user, password;

  static SessionOptions Take(Args& args);
  void apply(Fields& f) const;
};

// Their help, shared by every browser command's --help.
extern const OptionGroup kBrowserOptions;
// The options of the commands that write offline pages (cmd_pages.cpp).
extern const OptionGroup kPageOptions;

// name TAB code TAB position, one cache a line, as `caches` prints them.
void PrintCacheList(const waypoints::CacheList& caches);

// "A,B,C" as a list of trimmed, non-empty items.
std::vector<std::string> SplitCommaList(const std::string& list);

// An http(s) or file:// address as given; anything else is a file path made a file:// address.
std::string AddressOf(const std::string& arg1250);

// The CLI's host with the engine's event loop as its pump. A wait that outlasts the
// time-out ends as "Brejk" would end it, and the load is stopped so that a
// wait for a busy browser ends too; a search wait is ended the same way. A
// command never hangs.
class SessionHost : public CliHost {
 public:
  SessionHost(RunFlags& flags, int timeoutS);
  void processMessages() override;

  site::Browser* browser = nullptr;
  std::function<void()> endSearchWait;  // stops the search browser and ends its wait
  int brejks = 0;

 private:
  RunFlags& flags_;
  uint32_t timeoutMs_;
  std::optional<uint32_t> pageSince_, searchSince_;
};

struct SessionNeeds {
  bool pictures = false;  // the "Pictures" folder must exist too
  bool search = false;    // the search browser WebBrowser2
};

// The browser engine is loaded here, so only the commands that make a
// session pay for Qt and Chromium. What a session owns is its run
// (`Session::Run`, defined in the source, shaped like the window's
// `TForm1::Run`): its members go in their order, so no hand-written sequence
// takes the session down.
class Session {
  struct Run;

 public:
  Session(const SessionOptions& options, SessionNeeds needs);
  ~Session();
  Session(const Session&) = delete;
  Session& operator=(const Session&) = delete;

  app::MainState& state();
  site::SiteContext& siteContext();
  pages::PageContext pageContext();
  // Only with SessionNeeds::search.
  nearby::SearchContext searchContext();
  site::Browser& browser();
  site::Browser& searchBrowser();
  site::Downloader& downloader();

  // "Aj do PDA" on: the device must answer. Throws "PDA OFF" otherwise.
  void connectDevice();
  // Loads an address or a file path in the main browser and waits for it.
  void load(const std::string& address1250);
  // Waits for the page-done flag the way the national request does.
  void waitForPageDone();
  // Opens a waypoint file as the open command does, without its dialog.
  void openWaypointFile(const std::string& path1250);

  // The parts of the run the commands work on directly.
  SessionHost& host;
  site::SiteState& siteState;
  pages::PagesState& pages;
  nearby::NearbyState& nearby;

 private:
  explicit Session(std::unique_ptr<Run> run);

  std::unique_ptr<Run> run_;
};

}  // namespace trovik::cli
