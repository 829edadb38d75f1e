// The one session of the browser commands.

#include "cli/session.h"

#include <cstdio>
#include <filesystem>

#include "app/lifecycle.h"
#include "app/settings.h"
#include "base/error.h"
#include "base/files.h"
#include "cli/browser_engine.h"
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
    if (!t || *t < 1) throw UsageError{"--timeout je po\xC4\x8D" "et sek\xC3\xBAnd."};
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

const char* const kSessionOptionsHelp =
    "  --site sk|com            n\xC3\xA1rodn\xC3\xA1 (sk) alebo medzin\xC3\xA1rodn\xC3\xA1 (com) str\xC3\xA1nka\n"
    "  --sk URL --com URL --images URL   in\xC3\xA9 adresy str\xC3\xA1nok a obr\xC3\xA1zkov (inak z nastaven\xC3\xAD \"Adresy\")\n"
    "  --user U --password P    in\xC3\xA9 prihlasovacie \xC3\xBA" "daje ako v nastaveniach\n"
    "  --timeout S              str\xC3\xA1nka, ktor\xC3\xA1 sa nena\xC4\x8D\xC3\xADta do S sek\xC3\xBAnd, sa ukon\xC4\x8D\xC3\xAD ako Brejk" ", obr\xC3\xA1zok s\xC5\xA5" "ahovan\xC3\xBD dlh\xC5\xA1ie ako S sek\xC3\xBAnd sa vynech\xC3\xA1 (60)";

void PrintCacheList(const waypoints::CacheList& c) {
  for (int i = 0; i < c.count(); ++i) {
    const auto k = static_cast<size_t>(i);
    PrintLine1250(c.names[k] + "\t" + c.codes[k] + "\t" + c.positions[k]);
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
    std::fprintf(stderr, "Str\xC3\xA1nka sa nena\xC4\x8D\xC3\xADtala do %u s: Brejk.\n", timeoutMs_ / 1000u);
    ++brejks;
    return true;
  };
  if (expired(!flags_.pageDone || (browser && browser->Busy()), pageSince_)) {
    if (browser) browser->Stop();
    app::SpeedButton11Click(flags_);
  }
  if (endSearchWait && expired(!flags_.searchPageLoaded, searchSince_)) endSearchWait();
}

Session::Session(const SessionOptions& options, SessionNeeds needs)
    : state_(app::ProgramFolder1250()), host(state_.flags, options.timeoutS) {
  app::FormCreate(state_, host);
  app::ReadLogin(state_);
  app::ReadDeviceFolders(state_);
  app::ReadAddresses(state_);
  app::ReadSetrenie(state_);
  app::ReadFilePageSettings(state_);
  app::ReadListOptions(state_);
  options.apply(state_.fields);
  // A picture that does not come within the page time-out ends like a page.
  if (state_.htmFolder.empty() || !files::IsDirectory(files::PcPath(state_.htmFolder)))
    throw Error("Prie\x9Einok HTM sa nepodarilo vytvori\x9D v " + state_.programFolder);
  if (needs.pictures &&
      (state_.picturesFolder.empty() || !files::IsDirectory(files::PcPath(state_.picturesFolder))))
    throw Error("Prie\x9Einky HTM a Pictures sa nepodarilo vytvori\x9D v " + state_.programFolder);

  engine_ = LoadBrowserEngine(webengine::ProfileFolder(files::PcPath(state_.programFolder)), options.verbose);
  host.setEventPump([engine = engine_.get()] { engine->pumpEvents(); });
  host.setEventWait([engine = engine_.get()](int ms) { engine->pumpEventsFor(ms); });
  browser_ = CreateBrowser(*engine_);
  // A picture that does not come within the page time-out ends like a page.
  downloader_ = engine_->createDownloader(static_cast<long>(options.timeoutS) * 1000, state_.maxPictureBytes);
  host.browser = browser_.get();
  deviceFiles_ = std::make_unique<device::LinkDeviceFiles>(link_, host, state_.flags);
  if (needs.search) {
    nearby::NacitajMestaDoListboxu(nearby, nearby::TownFilePath(state_.programFolder));
    browser2_ = CreateBrowser(*engine_);
  }
  contexts_.emplace(state_, app::ModuleStates{.site = siteState, .nearby = nearby},
                    app::Adapters{.host = host,
                                  .browser = *browser_,
                                  .searchBrowser = browser2_.get(),
                                  .downloader = *downloader_,
                                  .deviceFiles = *deviceFiles_,
                                  .copyToDevice = link_.copyOption});

  if (needs.search) {
    // No search is waiting yet; a search command clears the flag before it navigates.
    state_.flags.searchPageLoaded = true;
    host.endSearchWait = [this] {
      browser2_->Stop();
      nearby.memo3.clear();  // the page that did not come is not counted as the old one
      state_.flags.searchPageLoaded = true;
    };
  }
}

Session::~Session() {
  device::ReleaseDevice(link_);
  host.browser = nullptr;
  host.endSearchWait = nullptr;
  contexts_.reset();
  browser2_.reset();
  browser_.reset();
  downloader_.reset();
  host.setEventPump(nullptr);
  host.setEventWait(nullptr);
  // Lets the engine write the cookie store, so a login holds for the next run.
  engine_.reset();
}

site::Browser& Session::browser() { return *browser_; }

site::Browser& Session::searchBrowser() {
  if (!browser2_) throw Error("Prehliada\xE8 h\xBE" "adania nie je spusten\xFD.");
  return *browser2_;
}

void Session::connectDevice() {
  device::SetDefaultDeviceRoot();
  device::SpeedButton7Click(link_, host);
  if (!link_.copyOption.enabled) throw Error("PDA OFF");
  link_.copyOption.ticked = true;
}

void Session::load(const std::string& address1250) {
  const std::string target = AddressOf(address1250);
  state_.flags.pageDone = false;
  browser_->Navigate(target);
  site::WaitForLoad(contexts_->site());
}

void Session::waitForPageDone() {
  while (!state_.flags.pageDone) {
    host.processMessages();
    host.sleepMs(100);
  }
  host.processMessages();
}

void Session::openWaypointFile(const std::string& path1250) {
  waypoints::OpenWaypointFile(state_.waypoints, state_.memo1, state_.flags, host, path1250);
}

}  // namespace trovik::cli
