#include "cli/nearby_run.h"

#include <cstdio>

#include "base/error.h"
#include "text/text.h"

namespace trovik::cli {

int TakePages(Args& args, int fallback) {
  const std::string pages = args.option("--pages");
  if (pages.empty()) return fallback;
  auto n = text::ParseInt(pages);
  if (!n || *n < 1) throw UsageError{"--pages je počet stránok (aspoň 1)."};
  return *n;
}

NearbyRequest TakeNearbyRequest(Args& args, const char* townOption) {
  NearbyRequest r;
  r.town = ArgTo1250(args.option(townOption));
  r.at = ArgTo1250(args.option("--at"));
  r.page = ArgTo1250(args.option("--page"));
  r.pages = TakePages(args, 1);
  std::string filter;
  if (args.option("--filter", filter)) r.filter = ArgTo1250(filter);
  return r;
}

namespace {

const std::string& NoNextPage() {
  static const std::string text = "Ďalšia stránka nie je"_1250.bytes();
  return text;
}

std::string CountMessage(int rows) {
  return "Načítal som "_1250.bytes() + std::to_string(rows) + " záznamov"_1250.bytes();
}

// "Uplatni filter z menu" ticked, with only the named items checked.
void ApplyFilter(nearby::NearbyState& state, const std::string& list) {
  for (bool& checked : state.typeChecked) checked = false;
  const std::vector<std::string> names = SplitCommaList(list);
  if (names.empty()) throw UsageError{"--filter potrebuje aspoň jeden typ."};
  for (const std::string& name : names) {
    int found = -1;
    for (int i = 0; i < nearby::kCacheTypeCount; ++i)
      if (text::UpperCase(name) == text::UpperCase(nearby::CacheTypeCaption(static_cast<nearby::CacheType>(i))))
        found = i;
    if (found < 0) {
      std::string known;
      for (int i = 0; i < nearby::kCacheTypeCount; ++i)
        known += std::string(i ? "," : "") + std::string(nearby::CacheTypeCaption(static_cast<nearby::CacheType>(i)));
      throw UsageError{"Neznámy typ v --filter: " + std::string(text::Cp1250ToUtf8(name)) + " (typy: " +
                       text::Cp1250ToUtf8(known) + ")."};
    }
    state.typeChecked[found] = true;
  }
  state.checkBox5 = true;
}

int TownIndex(const nearby::NearbyState& state, const std::string& town) {
  const auto& list = state.listBox1;
  for (size_t i = 0; i < list.size(); ++i)
    if (list[i] == town) return static_cast<int>(i);
  // Profile key names match without regard to case.
  for (size_t i = 0; i < list.size(); ++i)
    if (text::UpperCase(list[i]) == text::UpperCase(town)) return static_cast<int>(i);
  return -1;
}

void Transfer(Session& session) {
  nearby::SpeedButton24Click(session.nearby, session.state().waypoints.caches);
  PrintLine1250(text::Cp1250::FromBytes(session.nearby.statusPanel1));
}

}  // namespace

void RunNearby(Session& session, const NearbyRequest& request) {
  nearby::NearbyState& state = session.nearby;
  nearby::SearchContext ctx = session.searchContext();
  if (request.filter) ApplyFilter(state, *request.filter);
  const int brejksBefore = session.host.brejks;
  auto checkLoaded = [&] {
    if (session.host.brejks != brejksBefore) throw Error("Stránka výsledkov sa nenačítala."_1250);
  };

  if (!request.town.empty()) {
    const int index = TownIndex(state, request.town);
    if (index < 0) throw Error(text::Cp1250::FromBytes("Mesto " + request.town + " v zozname miest (" + ctx.townFile + ") nie je."));
    state.listBox1Index = index;
    nearby::ListBox1Click(state, ctx.townFile);
    nearby::ListBox1DblClick(state, ctx);
  } else if (!request.at.empty()) {
    state.edit3 = request.at;
    state.addMode = false;
    nearby::SpeedButton23Click(state, ctx);
  } else {
    const std::string address = AddressOf(request.page);
    session.state().flags.searchPageLoaded = false;
    ctx.webBrowser2.Navigate(address);
    while (!session.state().flags.searchPageLoaded) {
      session.host.processMessages();
      session.host.sleepMs(100);
    }
    state.addMode = false;
    waypoints::CacheList unused;
    nearby::VyhodnotmemoHTM(state, unused);
    state.statusPanel1 = CountMessage(state.rowCount);
  }
  checkLoaded();
  PrintLine1250(text::Cp1250::FromBytes(state.statusPanel1));
  if (request.add) Transfer(session);
  std::fflush(stdout);

  for (int page = 2; page <= request.pages; ++page) {
    state.statusPanel1.clear();
    nearby::Next20(state, ctx);
    checkLoaded();
    if (state.statusPanel1 == NoNextPage()) {
      PrintLine1250(text::Cp1250::FromBytes(state.statusPanel1));
      break;
    }
    // The button writes no message of its own; the command reports each page's count alike.
    PrintLine1250(text::Cp1250::FromBytes(CountMessage(state.rowCount)));
    if (request.add) Transfer(session);
    std::fflush(stdout);
  }
}

}  // namespace trovik::cli
