// The nearest search of "Novinky v okolí miest" without a window.

#include <string>

#include "base/error.h"
#include "cli/command.h"
#include "cli/nearby_run.h"
#include "cli/session.h"

namespace trovik::cli {

namespace {

int Nearby(Args& args) {
  const SessionOptions options = SessionOptions::Take(args);
  NearbyRequest request = TakeNearbyRequest(args);
  std::string file;
  request.add = args.option("--add", file);
  if (!args.positional().empty()) throw UsageError{"Príkaz nearby neberie žiadne súbory (súbor patrí k --add)."};
  const int given = !request.town.empty() + !request.at.empty() + !request.page.empty();
  if (given != 1) throw UsageError{"Zadajte práve jedno z --town, --at, --page."};

  Session session(options, SessionNeeds{false, true});
  if (request.add) session.openWaypointFile(ArgTo1250(file));
  RunNearby(session, request);
  if (request.add) PrintCacheList(session.state().waypoints.caches);
  return 0;
}

}  // namespace

void RegisterNearbyCommands(Registry& registry) {
  registry.add({"nearby", "nearby --town MESTO|--at LAT,LON|--page ADRESA",
                "Hľadá najbližšie kešky a vypíše počty výsledkov.", Nearby,
                "Hľadá najbližšie kešky pri meste zo zoznamu miest (suradnicemiest.ini), pri súradniciach alebo na "
                "uloženej stránke výsledkov, ide na \"Ďalšia stránka\", kým nespočíta N stránok, a vypíše počet "
                "záznamov každej.\n\n"
                "  --pages N      N stránok výsledkov (1)\n"
                "  --add SÚBOR    najprv načíta zoznam kešiek zo SÚBORU, pridá doň každú stránku a vypíše zoznam\n"
                "  --filter TYPY  len tieto typy: Tradičná,Multi,Záhadná,Webkamera,Stretávka,Ostatné",
                {&kBrowserOptions}});
}

}  // namespace trovik::cli
