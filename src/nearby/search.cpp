// The town list, the nearest-caches request, paging and the transfer.

#include <string>
#include <tuple>

#include "base/profile.h"
#include "nearby/nearby.h"
#include "text/text.h"

namespace trovik::nearby {

namespace {

constexpr const char* kSection = "Mesta";


// Waits for the search browser's page; no time limit, as a page may be slow.
void WaitForSearchPage(SearchContext& ctx) {
  while (!ctx.flags.searchPageLoaded && !ctx.flags.shutDown) {
    ctx.host.processMessages();
    ctx.host.sleepMs(100);
  }
}

void SendNearestRequest(NearbyState& state, SearchContext& ctx, const std::string& value) {
  BusyCursor busy(ctx.host);
  ctx.flags.searchPageLoaded = false;
  ctx.webBrowser2.Navigate(NearestAddress(ctx.fields.addresses.com, value));
  WaitForSearchPage(ctx);
  state.addMode = false;
  waypoints::CacheList unused;  // count mode never touches the lists
  VyhodnotmemoHTM(state, unused);
  state.statusPanel1 = "Načítal som "_1250.bytes() + std::to_string(state.rowCount) + " záznamov"_1250.bytes();
  ctx.host.stateChanged();
}

bool HasNextPageLink(const NearbyState& state) {
  for (const auto& line : state.memo3)
    if (text::Pos("pgrTop$_ctl16", line) > 0) return true;
  return false;
}

}  // namespace

std::string TownFilePath(const std::string& programFolder) { return programFolder + "suradnicemiest.ini"; }

void NacitajMestaDoListboxu(NearbyState& state, const std::string& townFile) {
  // The name buffer of the platform is not kept: every town of the file is listed.
  state.listBox1 = profile::KeyNames(townFile, kSection);
  state.listBox1Index = -1;
}

std::string MestoSuradnice(const NearbyState& state, const std::string& townFile, int index) {
  if (index < 0 || index >= static_cast<int>(state.listBox1.size())) return {};
  return profile::ReadString(townFile, kSection, state.listBox1[static_cast<size_t>(index)], "");
}

void ListBox1Click(NearbyState& state, const std::string& townFile) {
  if (state.listBox1Index < 0) return;
  state.edit3 = MestoSuradnice(state, townFile, state.listBox1Index);
}

std::string NearestAddress(const std::string& comBase, const std::string& value) {
  int comma = text::Pos(",", value);
  std::string lat = comma > 0 ? text::Copy(value, 1, comma - 1) : std::string();
  std::string lon = text::Copy(value, comma + 1, 100);
  return comBase + "/seek/nearest.aspx?lat_ns=1&lat_h=" + lat + "&lat_mmss=0&long_ew=1&long_h=" + lon +
         "&long_mmss=0&dist=100&submit8=Search";
}

void ListBox1DblClick(NearbyState& state, SearchContext& ctx) {
  if (state.listBox1Index < 0 || state.listBox1Index >= static_cast<int>(state.listBox1.size())) return;
  SendNearestRequest(state, ctx, MestoSuradnice(state, ctx.townFile, state.listBox1Index));
}

void SpeedButton23Click(NearbyState& state, SearchContext& ctx) {
  if (text::Trim(state.edit3).empty()) return;
  SendNearestRequest(state, ctx, text::Trim(state.edit3));
}

void WebBrowser2DocumentComplete(NearbyState& state, site::Browser& webBrowser2, RunFlags& flags) {
  state.memo3.clear();
  state.memo3 = text::SplitLines(webBrowser2.BodyHtml());
  flags.searchPageLoaded = true;
}

void WebBrowser2ProgressChange(NearbyState& state, int progress, int maximum) {
  state.progressMax = maximum;
  state.progress = progress;
}

void Next20(NearbyState& state, SearchContext& ctx) {
  if (!HasNextPageLink(state)) {
    // Without a pager no page would ever complete.
    state.statusPanel1 = "Ďalšia stránka nie je"_1250.bytes();
    ctx.host.stateChanged();
    return;
  }
  BusyCursor busy(ctx.host);
  ctx.flags.searchPageLoaded = false;
  ctx.webBrowser2.Navigate(kNextPageScript);
  // The bound counts from the last sign of life of the page: the post-back
  // that leads nowhere ends, a slow page that is still coming does not.
  uint32_t lastSign = ctx.host.tickCount();
  auto sign = std::make_tuple(state.progress, state.progressMax);
  while (!ctx.flags.searchPageLoaded) {
    if (ctx.flags.shutDown) return;
    const auto now = std::make_tuple(state.progress, state.progressMax);
    if (ctx.webBrowser2.Busy() || now != sign) {
      sign = now;
      lastSign = ctx.host.tickCount();
    }
    if (static_cast<uint32_t>(ctx.host.tickCount() - lastSign) >= static_cast<uint32_t>(kNextPageWaitMs)) {
      state.statusPanel1 = "Ďalšia stránka nie je"_1250.bytes();
      ctx.host.stateChanged();
      return;
    }
    ctx.host.processMessages();
    ctx.host.sleepMs(100);
  }
  state.addMode = false;
  waypoints::CacheList unused;
  VyhodnotmemoHTM(state, unused);
  ctx.host.stateChanged();
}

void SpeedButton24Click(NearbyState& state, waypoints::CacheList& caches) {
  state.addMode = true;
  VyhodnotmemoHTM(state, caches);
  state.statusPanel1 = "Pridal som " + std::to_string(state.rowCount) + " nových"_1250.bytes();
  state.speedButton24Enabled = false;
}

}  // namespace trovik::nearby
