// capture, login, fetch: the listing site client over the offscreen browser.
#include <cstdio>
#include <string>

#include "base/error.h"
#include "cli/command.h"
#include "cli/session.h"
#include "site/site_client.h"
#include "text/text.h"

namespace trovik::cli {
namespace {

int Capture(Args& args) {
  const SessionOptions options = SessionOptions::Take(args);
  const auto pos = args.positional();
  if (pos.size() != 1) throw UsageError{"Zadajte jednu adresu."};
  const std::string address = AddressOf(ArgTo1250(pos[0]));
  Session session(options, {});
  session.state().flags.pageDone = false;
  session.browser().Navigate(address);
  site::WaitForLoad(session.siteContext());
  for (const std::string& line : session.state().memo1) PrintLine1250(text::Cp1250::FromBytes(line));
  return 0;
}

int Login(Args& args) {
  const SessionOptions options = SessionOptions::Take(args);
  if (!args.positional().empty()) throw UsageError{"Príkaz login neberie žiadne súbory."};
  Session session(options, {});
  site::SpeedButton5Click(session.siteContext());
  PrintLine1250(text::Cp1250::FromBytes(session.siteState.loginLabel));
  if (!session.state().flags.loggedIn) {
    PrintError1250("Prihlásenie sa nepodarilo."_1250);
    return 1;
  }
  return 0;
}

int Fetch(Args& args) {
  const SessionOptions options = SessionOptions::Take(args);
  const auto pos = args.positional();
  if (pos.size() != 2) throw UsageError{"Zadajte súbor a kód kešky."};
  const std::string file = ArgTo1250(pos[0]);
  const std::string code = ArgTo1250(pos[1]);
  Session session(options, {});
  app::MainState& s = session.state();
  session.openWaypointFile(file);
  waypoints::CacheList& caches = s.waypoints.caches;
  int index = -1;
  for (int i = 0; i < static_cast<int>(caches.codes.size()); ++i) {
    if (caches.codes[i] == code) {
      index = i;
      break;
    }
  }
  if (index < 0) throw Error("Kód "_1250 + text::Cp1250::FromBytes(code) + " v zozname nie je."_1250);
  caches.itemIndex = index;
  site::SpeedButton4Click(session.siteContext());
  // The international request returns before its page: the capture is awaited here.
  if (s.fields.site == Site::Com) session.waitForPageDone();
  PrintLine1250(text::Cp1250::FromBytes(caches.codes[index] + " " + caches.names[index] + ": " + caches.positions[index]));
  return 0;
}

}  // namespace

void RegisterSiteCommands(Registry& registry) {
  registry.add({"capture", "capture ADRESA", "Vypíše zachytenú stránku.", Capture,
                "Načíta ADRESU (http adresa alebo súbor) a vypíše zachytenú "
                "stránku tak, ako ju ukazuje Služobná Page.",
                {&kBrowserOptions}});
  registry.add({"login", "login [--user U --password P]", "Prihlási sa na stránke.", Login,
                "Úspech (0) len keď sa ukáže značka prihlásenia, vtedy "
                "zapíše meno a heslo do nastavení.",
                {&kBrowserOptions}});
  registry.add({"fetch", "fetch SÚBOR KÓD", "Vyžiada listing kešky a vypíše jej polohu.",
                Fetch,
                "Načíta zoznam kešiek zo SÚBORU, vyberie KÓD, "
                "vyžiada jej listing a vypíše jej polohu.",
                {&kBrowserOptions}});
}

}  // namespace trovik::cli
