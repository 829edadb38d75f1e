// Offline pages without a window: the page filter on one page, the shrink
// rule on one picture, and the batch export of a cache list (a waypoint
// file's, grown by a nearby search) with its waypoint lines.

#include <cstdio>
#include <filesystem>
#include <set>
#include <string>
#include <vector>

#include "app/lifecycle.h"
#include "app/main_state.h"
#include "app/settings.h"
#include "base/error.h"
#include "base/files.h"
#include "cli/command.h"
#include "cli/nearby_run.h"
#include "cli/session.h"
#include "pages/jpeg_halving.h"
#include "pages/pages.h"
#include "site/site_client.h"
#include "text/text.h"
#include "waypoints/cache_lists.h"
#include "waypoints/wpt_export.h"

namespace trovik::cli {

const OptionGroup kPageOptions{"Voľby stránok",
                               {{"--no-header-pictures", "bez fotiek zo záhlavia"},
                                {"--shrink LIMIT", "zmenšiť JPG väčšie ako LIMIT bajtov na 50 %"},
                                {"--device", "aj do PDA (zariadenie musí odpovedať)"},
                                {"--garmin-photos", "s --device aj fotky pre Garmin (PDA_FOTO, spoilery do Spoilers\\)"}}};

namespace {

// The options `filter` and `export` add to the session's. The settings file
// gives the defaults; these override them for this run only.
struct PageOptions {
  SessionOptions session;
  bool noHeaderPictures = false;
  bool shrinkGiven = false;
  std::string shrinkLimit;
  bool device = false;
  bool garminPhotos = false;

  static PageOptions Take(Args& args) {
    PageOptions o;
    o.session = SessionOptions::Take(args);
    o.noHeaderPictures = args.flag("--no-header-pictures");
    o.shrinkGiven = args.option("--shrink", o.shrinkLimit);
    o.device = args.flag("--device");
    o.garminPhotos = args.flag("--garmin-photos");
    return o;
  }

  void apply(Fields& f) const {
    if (noHeaderPictures) f.checkBox2Spooler = false;
    if (garminPhotos) f.checkBox8GarminFoto = true;
    if (shrinkGiven) {
      f.radioButton1Original = false;
      f.radioButton2Vacsi = true;
      f.edit7Velkost = ArgTo1250(shrinkLimit);
    }
  }
};

int Shrink(Args& args) {
  std::string limit = "30000";
  args.option("--limit", limit);
  auto pos = args.positional();
  if (pos.size() != 1) throw UsageError{"Zadajte jeden súbor."};
  const std::string path = ArgTo1250(pos[0]);
  if (!files::Exists(files::PcPath(path))) throw CannotOpenFile(path);
  const int64_t before = files::Size(files::PcPath(path));
  if (pages::ShrinkRule(path, true, ArgTo1250(limit))) {
    PrintLine1250("Zmenšené: "_1250 + text::Cp1250::FromBytes(path + " (" + std::to_string(before) + " -> " +
                                                             std::to_string(files::Size(files::PcPath(path))) +
                                                             " bajtov)"));
  } else {
    PrintLine1250("Ponechané: "_1250 + text::Cp1250::FromBytes(path));
  }
  return 0;
}

// The page session: the pictures folder is needed, and the page options
// override the settings just read.
struct PageSession : Session {
  PageSession(const PageOptions& options, bool search) : Session(options.session, SessionNeeds{true, search}) {
    options.apply(state().fields);
    if (options.device) connectDevice();
  }
};

int Filter(Args& args) {
  PageOptions options = PageOptions::Take(args);
  std::string name;
  if (!args.option("--name", name)) throw UsageError{"Chýba --name."};
  auto pos = args.positional();
  if (pos.size() != 1) throw UsageError{"Zadajte jednu adresu alebo súbor."};

  PageSession session(options, false);
  session.load(ArgTo1250(pos[0]));
  session.siteState.pageName = site::SafeFileName(ArgTo1250(name));
  pages::PageContext pc = session.pageContext();
  pages::OdfiltrujLenZaujimave(session.pages, pc);
  PrintLine1250(text::Cp1250::FromBytes(session.state().htmFolder + session.siteState.pageName + ".htm"));
  // The device's messages went to standard error as they came.
  return session.pages.deviceOutcome == device::Outcome::Failed ? 1 : 0;
}

// The file the waypoint text is written to: OUT, unless OUT is the GPX file
// that was read; that one is never replaced, its ".wpt" name beside it is used.
std::string WptOutPath(const std::string& out1250, const std::string& gpxRead1250) {
  if (gpxRead1250.empty() || text::UpperCase(files::ExtensionOf(gpxRead1250)) != ".GPX") return out1250;
  std::error_code ec;
  const std::filesystem::path out(files::PcPath(out1250)), gpx(files::PcPath(gpxRead1250));
  const bool same = std::filesystem::equivalent(out, gpx, ec) ||
                    std::filesystem::weakly_canonical(out, ec) == std::filesystem::weakly_canonical(gpx, ec);
  if (!same) return out1250;
  return files::FromPcPath(gpx.parent_path().string()) + "/" + waypoints::WptSaveName(gpxRead1250);
}

int Export(Args& args) {
  PageOptions options = PageOptions::Take(args);
  std::string codes;
  const bool someCodes = args.option("--codes", codes);
  const bool login = args.flag("--login");
  std::string nearbyTown;
  const bool withNearby = args.option("--nearby", nearbyTown);
  const int nearbyPages = TakePages(args, 1);
  if (!withNearby && nearbyPages != 1) throw UsageError{"--pages patrí k --nearby."};
  std::string wptOut;
  const bool withWpt = args.option("--wpt", wptOut);
  if (withWpt && wptOut.empty()) throw UsageError{"--wpt potrebuje meno súboru."};
  auto pos = args.positional();
  if (pos.size() > 1) throw UsageError{"Zadajte najviac jeden súbor s kešami."};
  if (pos.empty() && !withNearby) throw UsageError{"Zadajte súbor s kešami alebo --nearby MESTO."};

  PageSession session(options, withNearby);
  app::MainState& s = session.state();
  // A list from the file, or an empty one that the nearby search fills.
  if (!pos.empty()) {
    s.waypoints.currentFile = files::FromPcPath(std::filesystem::absolute(pos[0]).lexically_normal().string());
    app::ReloadWaypointFile(s, session.host);
  }
  waypoints::CacheList& caches = s.waypoints.caches;

  if (withNearby) {
    NearbyRequest request;
    request.town = ArgTo1250(nearbyTown);
    request.pages = nearbyPages;
    request.add = true;
    RunNearby(session, request);
  }

  // Marks: every cache, or the codes named.
  std::set<std::string> wanted;
  if (someCodes) {
    for (const std::string& code : SplitCommaList(ArgTo1250(codes))) wanted.insert(text::UpperCase(code));
  }
  int marked = 0;
  std::set<std::string> found;
  for (int i = 0; i < caches.count(); ++i) {
    std::string code = text::UpperCase(caches.codes[static_cast<size_t>(i)]);
    bool mark = !someCodes || wanted.count(code) > 0;
    caches.nameMarks[static_cast<size_t>(i)] = mark;
    if (mark) ++marked, found.insert(code);
  }
  for (const auto& code : wanted) {
    if (!found.count(code)) throw Error("Kód "_1250 + text::Cp1250::FromBytes(code) + " nie je v zozname kešiek."_1250);
  }

  if (login) {
    site::SpeedButton5Click(session.siteContext());
    if (!s.flags.loggedIn) throw Error("Prihlásenie sa nepodarilo."_1250);
    PrintLine1250(text::Cp1250::FromBytes(session.siteState.loginLabel));
  }

  pages::PageContext pc = session.pageContext();
  int done = 0;
  auto request = pc.listingRequest;
  pc.listingRequest = [&] {
    const int i = caches.itemIndex;
    PrintLine1250(text::Cp1250::FromBytes("[" + std::to_string(++done) + "/" + std::to_string(marked) + "] " +
                  caches.codes[static_cast<size_t>(i)] + " " + caches.names[static_cast<size_t>(i)]));
    std::fflush(stdout);
    request();
  };
  try {
    pages::SpeedButton6Click(session.pages, pc, caches);
  } catch (const Error&) {
    PrintError1250(text::Cp1250::FromBytes(session.pages.statusText));
    throw;
  }
  // Pages whose device copies failed are not done: the device's messages
  // went to standard error as they came.
  const bool deviceFailed = session.pages.deviceOutcome == device::Outcome::Failed;
  if (!session.pages.statusText.empty() && !deviceFailed) PrintLine1250(text::Cp1250::FromBytes(session.pages.statusText));

  if (withWpt) {
    // "Exportuj do wpt ": found caches appended to the waypoint text, then saved as the device copy saves it.
    waypoints::SpeedButton26Click(s.waypoints, session.host);
    const std::string out = WptOutPath(ArgTo1250(wptOut), pos.empty() ? std::string() : s.waypoints.currentFile);
    files::WriteLinesCrLf(files::PcPath(out), s.waypoints.wptText);
    PrintLine1250(text::Cp1250::FromBytes(out));
  }
  return deviceFailed ? 1 : 0;
}

}  // namespace

void RegisterPageCommands(Registry& registry) {
  registry.add({"filter", "filter --name NAME ADRESA", "Zapíše offline stránku HTM/NAME.htm s obrázkami.", Filter,
                "Načíta ADRESU (http adresa alebo súbor), zachytí ju a zapíše z nej offline stránku s obrázkami.",
                {&kPageOptions, &kBrowserOptions}});
  registry.add({"shrink", "shrink SÚBOR [--limit TEXT]", "Zmenší JPG väčší ako limit na polovicu.", Shrink,
                "Pravidlo zmenšenia: JPG väčší ako limit (predvolene 30000 bajtov) zmenší na polovicu."});
  registry.add({"export", "export [FILE] [--nearby MESTO] [voľby]",
                "Exportuje offline stránky kešiek zo zoznamu.", Export,
                "Začne zoznamom kešiek súboru FILE (alebo prázdnym), s --nearby doň najprv pridá výsledky hľadania "
                "pri MESTE, označí všetky kešky (alebo len uvedené kódy), pri --login sa najprv prihlási, a "
                "exportuje ich offline stránky. S --wpt potom \"Exportuj do wpt \" a uloží waypointy do OUT "
                "(CR LF, Windows-1250).\n\n"
                "  --nearby MESTO   najprv hľadanie pri MESTE zo zoznamu miest\n"
                "  --pages N        s --nearby: N stránok výsledkov (1)\n"
                "  --codes GC1,GC2  len tieto kešky\n"
                "  --login          najprv sa prihlási\n"
                "  --wpt OUT        potom waypointy nájdených kešiek do OUT",
                {&kPageOptions, &kBrowserOptions}});
}

}  // namespace trovik::cli
