#pragma once
// Logging in on the listing sites and fetching a cache's listing into the
// main browser ("Prihlás!", "GC", the names list's double click) and the main
// browser's document-complete handler that captures every page. The window,
// the CLI and the tests own the pieces and hand them over in a SiteContext;
// these functions keep no state of their own.

#include <string>
#include <vector>

#include "base/fields.h"
#include "base/flags.h"
#include "base/host.h"
#include "site/browser.h"
#include "waypoints/cache_list.h"

namespace trovik::site {

enum class UserFieldColour { Normal, Green, Red };  // Edit1 after a login

// What the window shows of this module.
struct SiteState {
  std::string loginLabel;  // the login state label, 1250; starts as LoginLabelInitial()
  UserFieldColour userFieldColour = UserFieldColour::Normal;
  int progress = 0;        // the page progress bar
  int progressMax = 100;
  std::string pageName;    // SafeFileName of the last requested cache, "" before the first

  SiteState();
};

struct SiteContext {
  Browser& browser;                     // WebBrowser1
  Host& host;
  RunFlags& flags;
  Fields& fields;
  SiteState& state;
  std::vector<std::string>& memo1;      // the service text area: the captured page, 1250 lines
  waypoints::CacheList& caches;
  bool& exportButtonEnabled;            // "Exportuj do wpt "
  // The run's paths (1250), referred to: the first start-up stage sets them.
  const std::string& htmFolder;         // program folder + "HTM" + separator
  const std::string& settingsPath;      // the settings file
};

// Texts (1250).
const std::string& LoginLabelInitial();     // "Na zobrazenie súradníc musíte byť prihlásený !"
const std::string& LoginLabelLoggedIn();    // "Ste prihlásený ako užívateľ s menom "
const std::string& LoggedInMarker(Site site);  // "odhlásiť" / "you are logged"

// Site literals over the configured base addresses.
std::string LoginAddress(Site site, const SiteAddresses& addresses);
std::string ListingAddress(Site site, const SiteAddresses& addresses, const std::string& code);
struct LoginElements {
  const char* user;
  const char* password;
  const char* button;
};
LoginElements LoginElementsOf(Site site);

// Each "/", ":", ";", "?" and "\" as "_".
std::string SafeFileName(const std::string& name);

// Until the browser is not busy and the page-done flag is set: pump, sleep 100 ms.
void WaitForLoad(SiteContext& c);

// "Prihlás!".
void SpeedButton5Click(SiteContext& c);
// "GC" and the names list's double click: the listing of the current entry.
void SpeedButton4Click(SiteContext& c);
void CheckListBox1DblClick(SiteContext& c);

// The main browser's document-complete: capture, raw copy, coordinates, login
// marker, page-done, 500 ms pause. Errors are shown with host.showMessage (the
// error box) and do not leave the page-done flag unset.
void WebBrowser1DocumentComplete(SiteContext& c);
// Login detection over the captured page (part of the capture).
void DetectLogin(SiteContext& c);
void WebBrowser1ProgressChange(SiteContext& c, int progress, int maximum);

// Wires browser events to the handlers above (replacing earlier ones).
void ConnectMainBrowser(SiteContext& c);

}  // namespace trovik::site
