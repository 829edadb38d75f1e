#pragma once
// The nearby search of the tab "Novinky v okolí miest": the town list, the
// nearest-caches request in the search browser, the results parser with the
// cache-type filter, further result pages and the transfer into the cache list.

#include <string>
#include <string_view>
#include <vector>

#include "base/fields.h"
#include "base/flags.h"
#include "base/host.h"
#include "site/browser.h"
#include "waypoints/cache_list.h"

namespace trovik::nearby {

// The six check items of "Filtre" / "Typ kešky", in menu order.
enum class CacheType { Tradicna, Multi, Zahadna, Webkamera, Stretavka, Ostatne };
inline constexpr int kCacheTypeCount = 6;
// The menu captions, 1250 text.
std::string_view CacheTypeCaption(CacheType type);

struct NearbyState {
  std::vector<std::string> listBox1;  // town names, file order
  int listBox1Index = -1;             // selected town, -1 for none
  std::string edit3;                  // coordinates field
  std::vector<std::string> memo3;     // captured search page, one line per HTML line
  bool addMode = false;               // parser mode: false counts, true adds
  int rowCount = 0;
  bool speedButton24Enabled = false;  // "Pridaj do zoznamu kešiek"
  bool checkBox5 = false;             // "Uplatni filter z menu"
  bool typeChecked[kCacheTypeCount] = {true, true, true, true, true, true};
  std::string statusPanel1;           // second panel of StatusBar6
  int progressMax = 100;              // ProgressBar3
  int progress = 0;
};

// What the search commands need besides the state.
struct SearchContext {
  site::Browser& webBrowser2;
  Host& host;
  RunFlags& flags;
  const Fields& fields;               // the international site's base address
  std::string townFile;               // 1250 path of "suradnicemiest.ini"
};

// Program folder (1250, trailing separator) + "suradnicemiest.ini".
std::string TownFilePath(const std::string& programFolder);

void NacitajMestaDoListboxu(NearbyState& state, const std::string& townFile);
// The town's value in "Mesta", read afresh from the file; "" without one.
std::string MestoSuradnice(const NearbyState& state, const std::string& townFile, int index);
void ListBox1Click(NearbyState& state, const std::string& townFile);

// The request address for a coordinates value "lat,lon" (split at the first
// comma, the longitude cut to 100 characters).
std::string NearestAddress(const std::string& comBase, const std::string& value);

// Double click on a town: request, wait, count, "Načítal som %d záznamov".
// Nothing is sent when no town is selected.
void ListBox1DblClick(NearbyState& state, SearchContext& ctx);
// "Hľadaj tu!": the same request for the coordinates typed into Edit3.
void SpeedButton23Click(NearbyState& state, SearchContext& ctx);

// Every document-complete of the search browser.
void WebBrowser2DocumentComplete(NearbyState& state, site::Browser& webBrowser2, RunFlags& flags);
void WebBrowser2ProgressChange(NearbyState& state, int progress, int maximum);

// The results parser over memo3 in the state's mode; in add mode it appends to `caches`.
void VyhodnotmemoHTM(NearbyState& state, waypoints::CacheList& caches);
std::string DecodeEntities(std::string_view text);

// The cache type a row names (the IMG title), mapped to a menu item; rows
// without a type count as "Ostatné".
CacheType TypeOfSiteName(std::string_view siteTypeName);
// Toggles one type item's check mark (Tradin1Click, Multi1Click, ...).
void ToggleType(NearbyState& state, CacheType type);

// "Ďalšia stránka": the next result page. The wait gives up ("Ďalšia stránka
// nie je") after 30 seconds without a sign of life of the page (the browser
// loading, a new progress report), so a slow page that is coming is waited
// for. A page without a next-page link reports it at once.
void Next20(NearbyState& state, SearchContext& ctx);
// "Pridaj do zoznamu kešiek".
void SpeedButton24Click(NearbyState& state, waypoints::CacheList& caches);

inline constexpr const char* kNextPageScript = "javascript:__doPostBack('pgrTop$_ctl16','')";
inline constexpr int kNextPageWaitMs = 30000;

}  // namespace trovik::nearby
