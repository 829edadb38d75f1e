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
  for (const std::string& line : session.state().memo1) PrintLine1250(line);
  return 0;
}

int Login(Args& args) {
  const SessionOptions options = SessionOptions::Take(args);
  if (!args.positional().empty()) throw UsageError{"Pr\xC3\xADkaz login neberie \xC5\xBEiadne s\xC3\xBA" "bory."};
  Session session(options, {});
  site::SpeedButton5Click(session.siteContext());
  PrintLine1250(session.siteState.loginLabel);
  if (!session.state().flags.loggedIn) {
    PrintError1250("Prihl\xE1senie sa nepodarilo.");
    return 1;
  }
  return 0;
}

int Fetch(Args& args) {
  const SessionOptions options = SessionOptions::Take(args);
  const auto pos = args.positional();
  if (pos.size() != 2) throw UsageError{"Zadajte s\xC3\xBA" "bor a k\xC3\xB3" "d ke\xC5\xA1ky."};
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
  if (index < 0) throw Error("K\xF3" "d " + code + " v zozname nie je.");
  caches.itemIndex = index;
  site::SpeedButton4Click(session.siteContext());
  // The international request returns before its page: the capture is awaited here.
  if (s.fields.site == Site::Com) session.waitForPageDone();
  PrintLine1250(caches.codes[index] + " " + caches.names[index] + ": " + caches.positions[index]);
  return 0;
}

}  // namespace

void RegisterSiteCommands(Registry& registry) {
  registry.add({"capture", "capture ADRESA", "Vyp\xC3\xAD\xC5\xA1" "e zachyten\xC3\xBA str\xC3\xA1nku.", Capture,
                "Na\xC4\x8D\xC3\xADta ADRESU (http adresa alebo s\xC3\xBA" "bor) a vyp\xC3\xAD\xC5\xA1" "e zachyten\xC3\xBA "
                "str\xC3\xA1nku tak, ako ju ukazuje Slu\xC5\xBE" "obn\xC3\xA1 Page.",
                {&kBrowserOptions}});
  registry.add({"login", "login [--user U --password P]", "Prihl\xC3\xA1si sa na str\xC3\xA1nke.", Login,
                "\xC3\x9Aspech (0) len ke\xC4\x8F sa uk\xC3\xA1\xC5\xBE" "e zna\xC4\x8Dka prihl\xC3\xA1senia, vtedy "
                "zap\xC3\xAD\xC5\xA1" "e meno a heslo do nastaven\xC3\xAD.",
                {&kBrowserOptions}});
  registry.add({"fetch", "fetch S\xC3\x9A" "BOR K\xC3\x93" "D", "Vy\xC5\xBEiada listing ke\xC5\xA1ky a vyp\xC3\xAD\xC5\xA1" "e jej polohu.",
                Fetch,
                "Na\xC4\x8D\xC3\xADta zoznam ke\xC5\xA1iek zo S\xC3\x9A" "BORU, vyberie K\xC3\x93" "D, "
                "vy\xC5\xBEiada jej listing a vyp\xC3\xAD\xC5\xA1" "e jej polohu.",
                {&kBrowserOptions}});
}

}  // namespace trovik::cli
