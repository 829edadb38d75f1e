// Offline pages without a window: the page filter on one page, the shrink
// rule on one picture, and the batch export of a waypoint file's caches.

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <memory>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "app/lifecycle.h"
#include "app/main_state.h"
#include "app/settings.h"
#include "base/error.h"
#include "base/files.h"
#include "cli/command.h"
#include "device/device_link.h"
#include "net/curl_downloader.h"
#include "pages/jpeg_halving.h"
#include "pages/pages.h"
#include "site/site_client.h"
#include "text/text.h"

#if defined(TROVIK_HAVE_WEBENGINE)
#include <QApplication>
#include <QEventLoop>
#include <QWebEngineProfile>

#include "webengine/web_browser.h"
#endif

namespace trovik::cli {

namespace {

// The options `filter` and `export` share. The settings file gives the
// defaults; these override them for this run only.
struct PageOptions {
  std::string site;
  bool noHeaderPictures = false;
  bool shrinkGiven = false;
  std::string shrinkLimit;
  bool device = false;
  std::string sk, com, images;
  int timeoutS = 60;

  static PageOptions Take(Args& args) {
    PageOptions o;
    o.site = args.option("--site");
    if (!o.site.empty() && o.site != "sk" && o.site != "com") throw UsageError{"--site je sk alebo com."};
    o.noHeaderPictures = args.flag("--no-header-pictures");
    o.shrinkGiven = args.option("--shrink", o.shrinkLimit);
    o.device = args.flag("--device");
    o.sk = args.option("--sk");
    o.com = args.option("--com");
    o.images = args.option("--images");
    std::string timeout = args.option("--timeout");
    if (!timeout.empty()) {
      auto t = text::ParseInt(timeout);
      if (!t || *t < 1) throw UsageError{"--timeout je počet sekúnd."};
      o.timeoutS = *t;
    }
    return o;
  }

  void apply(Fields& f) const {
    if (site == "sk") f.site = Site::Sk;
    if (site == "com") f.site = Site::Com;
    if (noHeaderPictures) f.checkBox2Spooler = false;
    if (shrinkGiven) {
      f.radioButton1Original = false;
      f.radioButton2Vacsi = true;
      f.edit7Velkost = ArgTo1250(shrinkLimit);
    }
    if (!sk.empty()) f.addresses.sk = ArgTo1250(sk);
    if (!com.empty()) f.addresses.com = ArgTo1250(com);
    if (!images.empty()) f.addresses.obrazky = ArgTo1250(images);
  }
};

constexpr const char* kPageOptionsHelp =
    "  --site sk|com            národná (sk) alebo medzinárodná (com) stránka\n"
    "  --no-header-pictures     bez fotiek zo záhlavia\n"
    "  --shrink LIMIT           zmenšiť JPG väčšie ako LIMIT bajtov na 50 %\n"
    "  --device                 aj do PDA (zariadenie musí odpovedať)\n"
    "  --sk URL --com URL --images URL   iné adresy stránok a obrázkov\n"
    "  --timeout S              stránka, ktorá sa nenačíta do S sekúnd, sa ukončí ako Brejk (60)";

int Shrink(Args& args) {
  std::string limit = "30000";
  args.option("--limit", limit);
  auto pos = args.positional();
  if (pos.size() != 1) throw UsageError{"Zadajte jeden súbor."};
  const std::string path = ArgTo1250(pos[0]);
  if (!files::Exists(files::PcPath(path))) throw CannotOpenFile(path);
  const int64_t before = files::Size(files::PcPath(path));
  if (pages::ShrinkRule(path, true, ArgTo1250(limit))) {
    PrintLine1250("Zmen\x9A" "en\xE9: " + path + " (" + std::to_string(before) + " -> " +
                  std::to_string(files::Size(files::PcPath(path))) + " bajtov)");
  } else {
    PrintLine1250("Ponechan\xE9: " + path);
  }
  return 0;
}

#if defined(TROVIK_HAVE_WEBENGINE)

// The picture-saving and device settings as the window reads them at start-up.
void ReadPageSettings(app::MainState& s) {
  app::ReadLogin(s);
  app::ReadDeviceFolders(s);
  app::ReadAddresses(s);
  app::ReadSetrenie(s);
}

// A host whose pump runs the Qt event loop. A wait for a page that outlasts
// the time-out is ended the way a user would end it, with "Brejk", so the
// command never hangs.
class PumpingHost : public CliHost {
 public:
  PumpingHost(RunFlags& flags, int timeoutS) : flags_(flags), timeoutMs_(static_cast<uint32_t>(timeoutS) * 1000u) {}
  void processMessages() override {
    QCoreApplication::processEvents(QEventLoop::AllEvents, 50);
    const uint32_t now = tickCount();
    if (flags_.pageDone) {
      waitingSince_.reset();
    } else if (!waitingSince_) {
      waitingSince_ = now;
    } else if (now - *waitingSince_ > timeoutMs_) {
      std::fprintf(stderr, "Stránka sa nenačítala do %u s: Brejk.\n", timeoutMs_ / 1000u);
      app::SpeedButton11Click(flags_);
      waitingSince_.reset();
      ++brejks;
    }
  }
  int brejks = 0;

 private:
  RunFlags& flags_;
  uint32_t timeoutMs_;
  std::optional<uint32_t> waitingSince_;
};

// Everything the window would own for these commands, with the browser offscreen.
class PageSession {
 public:
  explicit PageSession(const PageOptions& options)
      : state_(app::ProgramFolder1250()), host(state_.flags, options.timeoutS) {
    app::FormCreate(state_, host);
    ReadPageSettings(state_);
    options.apply(state_.fields);
    if (state_.htmFolder.empty() || state_.picturesFolder.empty() ||
        !files::IsDirectory(files::PcPath(state_.htmFolder)) ||
        !files::IsDirectory(files::PcPath(state_.picturesFolder))) {
      throw Error("Prie\x9Einky HTM a Pictures sa nepodarilo vytvori\x9D v " + state_.programFolder);
    }

    webengine::PrepareEnvironment(/*offscreen=*/true);
    static int argc = 1;
    static char name[] = "trovik-cli";
    static char* argv[] = {name, nullptr};
    if (QCoreApplication::instance() == nullptr) qt_ = std::make_unique<QApplication>(argc, argv);
    profile_ = webengine::CreateProfile(files::PcPath(state_.programFolder) + "browser-profile", nullptr);
    browser = std::make_unique<webengine::WebEngineBrowser>(profile_);
    site_.emplace(site::SiteContext{*browser, host, state_.flags, state_.fields, siteState, state_.memo1,
                                    state_.waypoints.caches, state_.waypoints.exportButtonEnabled,
                                    state_.htmFolder, state_.settingsPath});
    site::ConnectMainBrowser(*site_);
    deviceFiles_ = std::make_unique<device::LinkDeviceFiles>(link_, host, state_.flags);

    if (options.device) {
      device::SetDefaultDeviceRoot();
      device::SpeedButton7Click(link_, host);
      if (!link_.copyOption.enabled) throw Error("PDA OFF");
      link_.copyOption.ticked = true;
    }
  }

  ~PageSession() {
    device::ReleaseDevice(link_);
    site_.reset();
    browser.reset();
    delete profile_;
  }

  PageSession(const PageSession&) = delete;
  PageSession& operator=(const PageSession&) = delete;

  app::MainState& state() { return state_; }
  site::SiteContext& siteContext() { return *site_; }
  pages::PageContext pageContext() {
    pages::PageContext pc{*browser,          downloader_,  *deviceFiles_, link_.copyOption, host,
                          state_.flags,      state_.fields, state_.memo1, siteState.pageName, state_.htmFolder,
                          state_.picturesFolder, {}};
    pc.listingRequest = [this] { site::SpeedButton4Click(*site_); };
    return pc;
  }

  // Loads an http address, a "file://" address or a file path and waits for it.
  void load(const std::string& address) {
    std::string target = address;
    if (!text::StartsWith(address, "http://") && !text::StartsWith(address, "https://") &&
        !text::StartsWith(address, "file://")) {
      std::string fs = files::PcPath(address);
      if (!files::Exists(fs)) throw CannotOpenFile(address);
      target = "file://" + files::FromPcPath(std::filesystem::absolute(fs).lexically_normal().string());
    }
    state_.flags.pageDone = false;
    browser->Navigate(target);
    site::WaitForLoad(*site_);
  }

 private:
  app::MainState state_;

 public:
  PumpingHost host;
  site::SiteState siteState;
  std::unique_ptr<webengine::WebEngineBrowser> browser;
  pages::PagesState pages;

 private:
  std::unique_ptr<QApplication> qt_;
  QWebEngineProfile* profile_ = nullptr;
  std::optional<site::SiteContext> site_;
  net::CurlDownloader downloader_;
  device::DeviceLink link_;
  std::unique_ptr<device::LinkDeviceFiles> deviceFiles_;
};

int Filter(Args& args) {
  PageOptions options = PageOptions::Take(args);
  std::string name;
  if (!args.option("--name", name)) throw UsageError{"Chýba --name."};
  auto pos = args.positional();
  if (pos.size() != 1) throw UsageError{"Zadajte jednu adresu alebo súbor."};

  PageSession session(options);
  session.load(ArgTo1250(pos[0]));
  session.siteState.pageName = site::SafeFileName(ArgTo1250(name));
  pages::PageContext pc = session.pageContext();
  pages::OdfiltrujLenZaujimave(session.pages, pc);
  PrintLine1250(session.state().htmFolder + session.siteState.pageName + ".htm");
  return 0;
}

int Export(Args& args) {
  PageOptions options = PageOptions::Take(args);
  std::string codes;
  bool someCodes = args.option("--codes", codes);
  bool login = args.flag("--login");
  std::string user, password;
  bool userGiven = args.option("--user", user);
  bool passwordGiven = args.option("--password", password);
  auto pos = args.positional();
  if (pos.size() != 1) throw UsageError{"Zadajte jeden súbor s kešami."};

  PageSession session(options);
  app::MainState& s = session.state();
  if (userGiven) s.fields.edit1User = ArgTo1250(user);
  if (passwordGiven) s.fields.edit2Password = ArgTo1250(password);
  s.waypoints.currentFile = files::FromPcPath(std::filesystem::absolute(pos[0]).lexically_normal().string());
  app::ReloadWaypointFile(s, session.host);
  waypoints::CacheList& caches = s.waypoints.caches;

  // Marks: every cache, or the codes named.
  std::set<std::string> wanted;
  if (someCodes) {
    std::string list = ArgTo1250(codes);
    for (size_t start = 0; start <= list.size();) {
      size_t comma = list.find(',', start);
      std::string code = text::Trim(list.substr(start, comma == std::string::npos ? std::string::npos : comma - start));
      if (!code.empty()) wanted.insert(text::UpperCase(code));
      if (comma == std::string::npos) break;
      start = comma + 1;
    }
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
    if (!found.count(code)) throw Error("K\xF3" "d " + code + " nie je v zozname k\x9A" "iek.");
  }

  if (login) {
    site::SpeedButton5Click(session.siteContext());
    if (!s.flags.loggedIn) throw Error("Prihl\xE1senie sa nepodarilo.");
    PrintLine1250(session.siteState.loginLabel);
  }

  pages::PageContext pc = session.pageContext();
  int done = 0;
  auto request = pc.listingRequest;
  pc.listingRequest = [&] {
    const int i = caches.itemIndex;
    PrintLine1250("[" + std::to_string(++done) + "/" + std::to_string(marked) + "] " +
                  caches.codes[static_cast<size_t>(i)] + " " + caches.names[static_cast<size_t>(i)]);
    std::fflush(stdout);
    request();
  };
  try {
    pages::SpeedButton6Click(session.pages, pc, caches);
  } catch (const Error&) {
    PrintError1250(session.pages.statusText);
    throw;
  }
  if (!session.pages.statusText.empty()) PrintLine1250(session.pages.statusText);
  return 0;
}

#else

int NeedsBrowser(Args&) {
  throw Error("Tento pr\xEDkaz potrebuje prehliada\xE8 (program je zostaven\xFD bez QtWebEngine).");
}

#endif

}  // namespace

void RegisterPageCommands(Registry& registry) {
#if defined(TROVIK_HAVE_WEBENGINE)
  auto filter = Filter;
  auto exportCommand = Export;
#else
  auto filter = NeedsBrowser;
  auto exportCommand = NeedsBrowser;
#endif
  registry.add({"filter", "filter --name NAME [voľby] ADRESA",
                std::string("Načíta ADRESU (http adresa alebo súbor), zachytí ju a zapíše offline stránku "
                            "HTM/NAME.htm s obrázkami.\n") +
                    kPageOptionsHelp,
                filter});
  registry.add({"shrink", "shrink SÚBOR [--limit TEXT]",
                "Pravidlo zmenšenia: JPG väčší ako limit (predvolene 30000 bajtov) zmenší na polovicu.", Shrink});
  registry.add({"export", "export FILE [--codes GC1,GC2] [--login] [voľby]",
                std::string("Označí kešky súboru (alebo len uvedené kódy), pri --login sa najprv prihlási "
                            "(--user, --password inak ako v nastaveniach), a exportuje ich offline stránky.\n") +
                    kPageOptionsHelp,
                exportCommand});
}

}  // namespace trovik::cli
