// capture, login, fetch: the listing site client over the offscreen browser.
#include <cstdio>
#include <filesystem>
#include <memory>
#include <optional>
#include <string>

#include "app/lifecycle.h"
#include "app/main_state.h"
#include "app/settings.h"
#include "base/error.h"
#include "base/files.h"
#include "cli/command.h"
#include "site/site_client.h"
#include "text/text.h"
#include "waypoints/cache_lists.h"
#include "waypoints/open_command.h"

#if defined(TROVIK_HAVE_WEBENGINE)
#include <QApplication>
#include <QEventLoop>

#include "webengine/web_browser.h"
#endif

namespace trovik::cli {
namespace {

struct SiteOptions {
  std::string site, sk, com, images;
  int timeoutS = 60;

  static SiteOptions Take(Args& args) {
    SiteOptions o;
    o.site = args.option("--site");
    if (!o.site.empty() && o.site != "sk" && o.site != "com") throw UsageError{"--site je sk alebo com."};
    o.sk = args.option("--sk");
    o.com = args.option("--com");
    o.images = args.option("--images");
    const std::string timeout = args.option("--timeout");
    if (!timeout.empty()) {
      auto t = text::ParseInt(timeout);
      if (!t || *t < 1) throw UsageError{"--timeout je po\xC4\x8D" "et sek\xC3\xBAnd."};
      o.timeoutS = *t;
    }
    return o;
  }
  // Over the settings' "Adresy" and the remembered login.
  void apply(Fields& f) const {
    if (site == "sk") f.site = Site::Sk;
    if (site == "com") f.site = Site::Com;
    if (!sk.empty()) f.addresses.sk = ArgTo1250(sk);
    if (!com.empty()) f.addresses.com = ArgTo1250(com);
    if (!images.empty()) f.addresses.obrazky = ArgTo1250(images);
  }
};

constexpr const char* kSiteOptionsHelp =
    "  --sk URL --com URL --images URL   in\xC3\xA9 adresy str\xC3\xA1nok a obr\xC3\xA1zkov (inak z nastaven\xC3\xAD \"Adresy\")\n"
    "  --timeout S              str\xC3\xA1nka, ktor\xC3\xA1 sa nena\xC4\x8D\xC3\xADta do S sek\xC3\xBAnd, sa ukon\xC4\x8D\xC3\xAD ako Brejk (60)";

#if defined(TROVIK_HAVE_WEBENGINE)

// The CLI's host with the Qt event loop as its pump. A wait that outlasts the
// time-out ends as "Brejk" would end it, and the load is stopped so that a
// wait for a busy browser ends too: a command never hangs.
class SiteHost : public CliHost {
 public:
  SiteHost(RunFlags& flags, int timeoutS) : flags_(flags), timeoutMs_(static_cast<uint32_t>(timeoutS) * 1000u) {
    setEventPump([] { QCoreApplication::processEvents(QEventLoop::AllEvents, 50); });
  }
  void processMessages() override {
    CliHost::processMessages();
    const uint32_t now = tickCount();
    const bool waiting = !flags_.pageDone || (browser && browser->Busy());
    if (!waiting) {
      since_.reset();
    } else if (!since_) {
      since_ = now;
    } else if (now - *since_ > timeoutMs_) {
      std::fprintf(stderr, "Str\xC3\xA1nka sa nena\xC4\x8D\xC3\xADtala do %u s: Brejk.\n", timeoutMs_ / 1000u);
      if (browser) browser->Stop();
      app::SpeedButton11Click(flags_);
      since_.reset();
    }
  }
  site::Browser* browser = nullptr;

 private:
  RunFlags& flags_;
  uint32_t timeoutMs_;
  std::optional<uint32_t> since_;
};

// What the window would own for these commands, with the browser offscreen.
class SiteSession {
 public:
  explicit SiteSession(const SiteOptions& options)
      : state_(app::ProgramFolder1250()), host(state_.flags, options.timeoutS) {
    app::FormCreate(state_, host);
    app::ReadLogin(state_);
    app::ReadAddresses(state_);
    options.apply(state_.fields);
    if (state_.htmFolder.empty()) throw Error("Prie\x9Einok HTM sa nepodarilo vytvori\x9D v " + state_.programFolder);

    webengine::PrepareEnvironment(/*offscreen=*/true);
    static int argc = 1;
    static char name[] = "trovik-cli";
    static char* argv[] = {name, nullptr};
    if (QCoreApplication::instance() == nullptr) qt_ = std::make_unique<QApplication>(argc, argv);
    profile_ = webengine::CreateProfile(webengine::ProfileFolder(files::PcPath(state_.programFolder)), nullptr);
    browser_ = std::make_unique<webengine::WebEngineBrowser>(profile_);
    host.browser = browser_.get();
    context_.emplace(site::SiteContext{*browser_, host, state_.flags, state_.fields, siteState, state_.memo1,
                                       state_.waypoints.caches, state_.waypoints.exportButtonEnabled,
                                       state_.htmFolder, state_.settingsPath});
    site::ConnectMainBrowser(*context_);
  }
  ~SiteSession() {
    host.browser = nullptr;
    context_.reset();
    browser_.reset();
    // Lets the engine write the cookie store, so a login holds for the next run.
    webengine::ReleaseProfile(profile_);
  }
  SiteSession(const SiteSession&) = delete;
  SiteSession& operator=(const SiteSession&) = delete;

  app::MainState& state() { return state_; }
  site::SiteContext& context() { return *context_; }

  // Waits for the page-done flag the way the national request does.
  void waitForPageDone() {
    while (!state_.flags.pageDone) {
      host.processMessages();
      host.sleepMs(100);
    }
    host.processMessages();
  }

 private:
  app::MainState state_;

 public:
  SiteHost host;
  site::SiteState siteState;

 private:
  std::unique_ptr<QApplication> qt_;
  QWebEngineProfile* profile_ = nullptr;
  std::unique_ptr<webengine::WebEngineBrowser> browser_;
  std::optional<site::SiteContext> context_;
};

// An http(s) or file:// address as given; anything else is a file path.
std::string AddressOf(const std::string& arg1250) {
  if (text::StartsWith(arg1250, "http://") || text::StartsWith(arg1250, "https://") ||
      text::StartsWith(arg1250, "file://"))
    return arg1250;
  const std::string fs = files::PcPath(arg1250);
  if (!files::Exists(fs)) throw CannotOpenFile(arg1250);
  return "file://" + files::FromPcPath(std::filesystem::absolute(fs).lexically_normal().string());
}

int Capture(Args& args) {
  const SiteOptions options = SiteOptions::Take(args);
  const auto pos = args.positional();
  if (pos.size() != 1) throw UsageError{"Zadajte jednu adresu."};
  const std::string address = AddressOf(ArgTo1250(pos[0]));
  SiteSession session(options);
  session.state().flags.pageDone = false;
  session.context().browser.Navigate(address);
  site::WaitForLoad(session.context());
  for (const std::string& line : session.state().memo1) PrintLine1250(line);
  return 0;
}

int Login(Args& args) {
  const SiteOptions options = SiteOptions::Take(args);
  std::string user, password;
  const bool userGiven = args.option("--user", user);
  const bool passwordGiven = args.option("--password", password);
  if (!args.positional().empty()) throw UsageError{"Pr\xC3\xADkaz login neberie \xC5\xBEiadne s\xC3\xBA" "bory."};
  SiteSession session(options);
  Fields& fields = session.state().fields;
  if (userGiven) fields.edit1User = ArgTo1250(user);
  if (passwordGiven) fields.edit2Password = ArgTo1250(password);
  site::SpeedButton5Click(session.context());
  PrintLine1250(session.siteState.loginLabel);
  if (!session.state().flags.loggedIn) {
    PrintError1250("Prihl\xE1senie sa nepodarilo.");
    return 1;
  }
  return 0;
}

int Fetch(Args& args) {
  const SiteOptions options = SiteOptions::Take(args);
  const auto pos = args.positional();
  if (pos.size() != 2) throw UsageError{"Zadajte s\xC3\xBA" "bor a k\xC3\xB3" "d ke\xC5\xA1ky."};
  const std::string file = ArgTo1250(pos[0]);
  const std::string code = ArgTo1250(pos[1]);
  SiteSession session(options);
  app::MainState& s = session.state();
  waypoints::OpenWaypointFile(s.waypoints, s.memo1, s.flags, session.host, file);
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
  site::SpeedButton4Click(session.context());
  // The international request returns before its page: the capture is awaited here.
  if (s.fields.site == Site::Com) session.waitForPageDone();
  PrintLine1250(caches.codes[index] + " " + caches.names[index] + ": " + caches.positions[index]);
  return 0;
}

#else

int NeedsBrowser(Args&) {
  throw Error("Tento pr\xEDkaz potrebuje prehliada\xE8 (program je zostaven\xFD bez QtWebEngine).");
}

#endif

}  // namespace

void RegisterSiteCommands(Registry& registry) {
#if defined(TROVIK_HAVE_WEBENGINE)
  auto capture = Capture;
  auto login = Login;
  auto fetch = Fetch;
#else
  auto capture = NeedsBrowser;
  auto login = NeedsBrowser;
  auto fetch = NeedsBrowser;
#endif
  registry.add({"capture", "capture [--site sk|com] ADRESA [vo\xC4\xBE" "by]",
                std::string("Na\xC4\x8D\xC3\xADta ADRESU (http adresa alebo s\xC3\xBA" "bor) a vyp\xC3\xAD\xC5\xA1" "e "
                            "zachyten\xC3\xBA str\xC3\xA1nku tak, ako ju ukazuje Slu\xC5\xBE" "obn\xC3\xA1 Page.\n") +
                    kSiteOptionsHelp,
                capture});
  registry.add({"login", "login --site sk|com [--user U --password P] [vo\xC4\xBE" "by]",
                std::string("Prihl\xC3\xA1si sa na str\xC3\xA1nke; \xC3\xBAspech (0) len ke\xC4\x8F sa uk\xC3\xA1\xC5\xBE"
                            "e zna\xC4\x8Dka prihl\xC3\xA1senia, vtedy zap\xC3\xAD\xC5\xA1" "e meno a heslo do nastaven\xC3\xAD.\n") +
                    kSiteOptionsHelp,
                login});
  registry.add({"fetch", "fetch --site sk|com S\xC3\x9A" "BOR K\xC3\x93" "D [vo\xC4\xBE" "by]",
                std::string("Na\xC4\x8D\xC3\xADta zoznam ke\xC5\xA1iek zo S\xC3\x9A" "BORU, vyberie K\xC3\x93" "D, "
                            "vy\xC5\xBEiada jej listing a vyp\xC3\xAD\xC5\xA1" "e jej polohu.\n") +
                    kSiteOptionsHelp,
                fetch});
}

}  // namespace trovik::cli
