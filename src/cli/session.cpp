// The one session of the browser commands.

#include "cli/session.h"

#include <cstdio>
#include <filesystem>

#include "app/lifecycle.h"
#include "app/settings.h"
#include "base/error.h"
#include "base/files.h"
#include "cli/browser_engine.h"
#include "device/device_link.h"
#include "text/text.h"
#include "waypoints/open_command.h"

namespace trovik::cli {

SessionOptions SessionOptions::Take(Args& args) {
  SessionOptions o;
  o.site = args.option("--site");
  if (!o.site.empty() && o.site != "sk" && o.site != "com") throw UsageError{"--site je sk alebo com."};
  o.sk = args.option("--sk");
  o.com = args.option("--com");
  o.images = args.option("--images");
  const std::string timeout = args.option("--timeout");
  if (!timeout.empty()) {
    auto t = text::ParseInt(timeout);
    if (!t || *t < 1) throw UsageError{"--timeout je počet sekúnd."};
    o.timeoutS = *t;
  }
  o.verbose = args.verbose;
  o.userGiven = args.option("--user", o.user);
  o.passwordGiven = args.option("--password", o.password);
  return o;
}

void SessionOptions::apply(Fields& f) const {
  if (site == "sk") f.site = Site::Sk;
  if (site == "com") f.site = Site::Com;
  if (!sk.empty()) f.addresses.sk = ArgTo1250(sk);
  if (!com.empty()) f.addresses.com = ArgTo1250(com);
  if (!images.empty()) f.addresses.obrazky = ArgTo1250(images);
  if (userGiven) f.edit1User = ArgTo1250(user);
  if (passwordGiven) f.edit2Password = ArgTo1250(password);
}

const OptionGroup kBrowserOptions{
    "Voľby prehliadača",
    {{"--site sk|com", "národná (sk) alebo medzinárodná (com) stránka"},
     {"--sk URL, --com URL", "iné adresy stránok (inak z nastavení \"Adresy\")"},
     {"--images URL", "iná adresa obrázkov"},
     {"--user U --password P", "iné prihlasovacie údaje ako v nastaveniach"},
     {"--timeout S", "stránka nenačítaná do S sekúnd končí ako Brejk, "
                     "obrázok sa vynechá (60)"},
     {"--verbose", "aj vlastné hlásenia prehliadača"}}};

void PrintCacheList(const waypoints::CacheList& c) {
  for (int i = 0; i < c.count(); ++i) {
    const auto k = static_cast<size_t>(i);
    PrintLine1250(text::Cp1250::FromBytes(c.names[k] + "\t" + c.codes[k] + "\t" + c.positions[k]));
  }
  std::fflush(stdout);
}

std::vector<std::string> SplitCommaList(const std::string& list) {
  std::vector<std::string> items;
  for (size_t start = 0; start <= list.size();) {
    const size_t comma = list.find(',', start);
    std::string item = text::Trim(list.substr(start, comma == std::string::npos ? std::string::npos : comma - start));
    if (!item.empty()) items.push_back(std::move(item));
    if (comma == std::string::npos) break;
    start = comma + 1;
  }
  return items;
}

std::string AddressOf(const std::string& arg1250) {
  if (text::StartsWith(arg1250, "http://") || text::StartsWith(arg1250, "https://") ||
      text::StartsWith(arg1250, "file://"))
    return arg1250;
  const std::string fs = files::PcPath(arg1250);
  if (!files::Exists(fs)) throw CannotOpenFile(arg1250);
  return "file://" + files::FromPcPath(std::filesystem::absolute(fs).lexically_normal().string());
}

SessionHost::SessionHost(RunFlags& flags, int timeoutS)
    : flags_(flags), timeoutMs_(static_cast<uint32_t>(timeoutS) * 1000u) {}

void SessionHost::processMessages() {
  CliHost::processMessages();
  const uint32_t now = tickCount();
  auto expired = [&](bool waiting, std::optional<uint32_t>& since) {
    if (!waiting) {
      since.reset();
      return false;
    }
    if (!since) since = now;
    if (now - *since <= timeoutMs_) return false;
    since.reset();
    std::fprintf(stderr, "Stránka sa nenačítala do %u s: Brejk.\n", timeoutMs_ / 1000u);
    ++brejks;
    return true;
  };
  if (expired(!flags_.pageDone || (browser && browser->Busy()), pageSince_)) {
    if (browser) browser->Stop();
    app::SpeedButton11Click(flags_);
  }
  if (endSearchWait && expired(!flags_.searchPageLoaded, searchSince_)) endSearchWait();
}

namespace {

// Last in the run, so first to go: the device connection ends before the
// rest of the run.
struct DeviceRelease {
  device::DeviceLink& link;
  ~DeviceRelease() { device::ReleaseDevice(link); }
};

}  // namespace

struct Session::Run {
  Run(const SessionOptions& options, SessionNeeds needs);

  app::MainState state;
  SessionHost host;
  site::SiteState site;
  pages::PagesState pages;
  nearby::NearbyState nearby;
  device::DeviceLink deviceLink;
  device::LinkDeviceFiles deviceFiles;
  // After the host, whose pump runs the engine's events; before what it makes,
  // which goes first.
  std::optional<BrowserEngine> engine;
  std::unique_ptr<site::Browser> browser, searchBrowser;
  std::unique_ptr<site::Downloader> downloader;
  // Built once the browsers exist; their handlers keep it for the whole run.
  std::optional<app::CommandContexts> commands;
  DeviceRelease deviceRelease{deviceLink};
};

Session::Run::Run(const SessionOptions& options, SessionNeeds needs)
    : state(app::ProgramFolder1250()),
      host(state.flags, options.timeoutS),
      deviceFiles(deviceLink, host, state.flags) {
  app::FormCreate(state, host);
  app::ReadLogin(state);
  app::ReadDeviceFolders(state);
  app::ReadAddresses(state);
  app::ReadSetrenie(state);
  app::ReadFilePageSettings(state);
  app::ReadListOptions(state);
  options.apply(state.fields);
  if (state.htmFolder.empty() || !files::IsDirectory(files::PcPath(state.htmFolder)))
    throw Error("Priečinok HTM sa nepodarilo vytvoriť v "_1250 + text::Cp1250::FromBytes(state.programFolder));
  if (needs.pictures && (state.picturesFolder.empty() || !files::IsDirectory(files::PcPath(state.picturesFolder))))
    throw Error("Priečinky HTM a Pictures sa nepodarilo vytvoriť v "_1250 + text::Cp1250::FromBytes(state.programFolder));

  engine.emplace(webengine::ProfileFolder(files::PcPath(state.programFolder)), options.verbose);
  host.setEventPump([this] { engine->pumpEvents(); });
  host.setEventWait([this](int ms) { engine->pumpEventsFor(ms); });
  browser = engine->createBrowser();
  // A picture that does not come within the page time-out ends like a page.
  downloader = engine->createDownloader(static_cast<long>(options.timeoutS) * 1000, state.maxPictureBytes);
  host.browser = browser.get();
  if (needs.search) {
    nearby::NacitajMestaDoListboxu(nearby, nearby::TownFilePath(state.programFolder));
    searchBrowser = engine->createBrowser();
  }
  commands.emplace(state, app::ModuleStates{.site = site, .nearby = nearby},
                   app::Adapters{.host = host,
                                 .browser = *browser,
                                 .searchBrowser = searchBrowser.get(),
                                 .downloader = *downloader,
                                 .deviceFiles = deviceFiles,
                                 .copyToDevice = deviceLink.copyOption});
  if (needs.search) {
    // No search is waiting yet; a search command clears the flag before it navigates.
    state.flags.searchPageLoaded = true;
    host.endSearchWait = [this] {
      searchBrowser->Stop();
      nearby.memo3.clear();  // the page that did not come is not counted as the old one
      state.flags.searchPageLoaded = true;
    };
  }
}

Session::Session(const SessionOptions& options, SessionNeeds needs)
    : Session(std::make_unique<Run>(options, needs)) {}

Session::Session(std::unique_ptr<Run> run)
    : host(run->host), siteState(run->site), pages(run->pages), nearby(run->nearby), run_(std::move(run)) {}

Session::~Session() = default;

app::MainState& Session::state() { return run_->state; }
site::SiteContext& Session::siteContext() { return run_->commands->site(); }
pages::PageContext Session::pageContext() { return run_->commands->pages(); }
nearby::SearchContext Session::searchContext() { return run_->commands->search(); }
site::Browser& Session::browser() { return *run_->browser; }
site::Downloader& Session::downloader() { return *run_->downloader; }

site::Browser& Session::searchBrowser() {
  if (!run_->searchBrowser) throw Error("Prehliadač hľadania nie je spustený."_1250);
  return *run_->searchBrowser;
}

void Session::connectDevice() {
  device::SetDefaultDeviceRoot();
  if (!device::SpeedButton7Click(run_->deviceLink, host)) throw Error("PDA OFF"_1250);
  run_->deviceLink.copyOption.ticked = true;
}

void Session::load(const std::string& address1250) {
  const std::string target = AddressOf(address1250);
  run_->state.flags.pageDone = false;
  run_->browser->Navigate(target);
  site::WaitForLoad(siteContext());
}

void Session::waitForPageDone() {
  while (!run_->state.flags.pageDone) {
    host.processMessages();
    host.sleepMs(100);
  }
  host.processMessages();
}

void Session::openWaypointFile(const std::string& path1250) {
  waypoints::OpenWaypointFile(run_->state.waypoints, run_->state.memo1, run_->state.flags, host, path1250);
}

}  // namespace trovik::cli
