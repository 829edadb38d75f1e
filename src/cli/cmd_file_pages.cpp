// Offline pages straight from a waypoint file, without the browser engine:
// the pictures come through the downloader library, loaded only when there
// are pictures to fetch.

#include <dlfcn.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <memory>
#include <set>
#include <string>

#include "app/lifecycle.h"
#include "app/main_state.h"
#include "app/settings.h"
#include "base/error.h"
#include "base/files.h"
#include "base/paths.h"
#include "cli/command.h"
#include "cli/session.h"
#include "device/device_link.h"
#include "download/download.h"
#include "pages/file_pages.h"
#include "text/text.h"

namespace trovik::cli {

namespace {

std::unique_ptr<site::Downloader> LoadDownloader(const app::MainState& state) {
  const std::string path = paths::ExecutableFolder() + "libtrovik-download.so";
  // Never closed: curl keeps global state for the rest of the run.
  void* library = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
  if (library == nullptr) throw Error("Obrázky sa nedajú sťahovať: "_1250 + text::Cp1250::FromUtf8(dlerror()));
  auto create = reinterpret_cast<TrovikDownloaderCreate>(dlsym(library, "trovik_downloader_create"));
  std::unique_ptr<site::Downloader> downloader(
      create ? create(download::kDownloadInterface, 0, state.maxPictureBytes) : nullptr);
  if (!downloader) throw Error("Obrázky sa nedajú sťahovať: "_1250 + text::Cp1250::FromUtf8(path) + " je z inej verzie programu."_1250);
  return downloader;
}

// For a run without pictures: nothing to fetch, so nothing is loaded.
class NoDownloader final : public site::Downloader {
 public:
  bool UrlToFile(const std::string& /*url*/, const std::string& /*localPath*/) override { return false; }
};

int FilePages(Args& args) {
  std::string codes, shrink, logs, from;
  const bool someCodes = args.option("--codes", codes);
  const bool device = args.flag("--device");
  const bool garminPhotos = args.flag("--garmin-photos");
  const bool noPictures = args.flag("--no-pictures");
  const bool shrinkGiven = args.option("--shrink", shrink);
  const bool logsGiven = args.option("--logs", logs);
  const bool fromGiven = args.option("--from", from);
  auto pos = args.positional();
  if (pos.size() != 1) throw UsageError{"Zadajte jeden súbor GPX."};

  app::MainState state(app::ProgramFolder1250());
  CliHost host;
  app::FormCreate(state, host);
  app::ReadDeviceFolders(state);
  app::ReadSetrenie(state);
  app::ReadFilePageSettings(state);
  app::ReadListOptions(state);
  Fields& f = state.fields;
  if (shrinkGiven) {
    f.radioButton1Original = false;
    f.radioButton2Vacsi = true;
    f.edit7Velkost = ArgTo1250(shrink);
  }
  if (logsGiven) {
    const auto n = text::ParseInt(logs);
    if (!n || *n < 0) throw UsageError{"--logs je počet záznamov (0 a viac)."};
    f.stranyLogy = logs;
  }
  if (fromGiven) f.domovPoloha = ArgTo1250(from);
  if (garminPhotos) f.checkBox8GarminFoto = true;
  if (!files::IsDirectory(files::PcPath(state.htmFolder)) || !files::IsDirectory(files::PcPath(state.picturesFolder)))
    throw Error("Priečinky HTM a Pictures sa nepodarilo vytvoriť v "_1250 + text::Cp1250::FromBytes(state.programFolder));

  pages::FilePagesOptions options;
  options.pictures = !noPictures;
  options.logs = app::FilePageLogs(f);
  options.codeFromName = state.waypoints.codeFromName;
  if (!text::Trim(f.domovPoloha).empty()) {
    options.home = pages::ParseHomePosition(text::Cp1250::FromBytes(f.domovPoloha));
    if (!options.home)
      throw UsageError{"Domov nie je v tvare N 48°20.000' E 018°05.000': " + text::Cp1250ToUtf8(f.domovPoloha)};
  }
  std::set<std::string> wanted;
  if (someCodes) {
    for (const std::string& code : SplitCommaList(codes)) {
      options.codes.push_back(text::UpperCase(code));
      wanted.insert(text::UpperCase(code));
    }
  }

  device::DeviceLink link;
  struct Release {
    device::DeviceLink& link;
    ~Release() { device::ReleaseDevice(link); }
  } release{link};
  device::LinkDeviceFiles deviceFiles(link, host, state.flags);
  if (device) {
    device::SetDefaultDeviceRoot();
    device::SpeedButton7Click(link, host);
    if (!link.copyOption.enabled) throw Error("PDA OFF"_1250);
    link.copyOption.ticked = true;
  }
  std::unique_ptr<site::Downloader> downloader =
      noPictures ? std::make_unique<NoDownloader>() : LoadDownloader(state);
  pages::PageOutput out{*downloader,  deviceFiles, link.copyOption,    host,
                        state.flags,  f,           state.htmFolder,    state.picturesFolder};

  const bool progress = isatty(STDERR_FILENO) != 0;
  pages::FilePagesEvents events;
  events.pageWritten = [progress](int done, int total, const text::Cp1250& /*code*/, const text::Cp1250& page) {
    if (progress) std::fputs("\r\033[K", stderr);
    PrintLine1250(page);
    if (progress) {
      std::fflush(stdout);  // the path above the progress line, as a person reads them
      const std::string line = total > 0 ? "Stránka " + std::to_string(done) + " z " + std::to_string(total)
                                         : "Stránka " + std::to_string(done);
      std::fputs(line.c_str(), stderr);
      std::fflush(stderr);
    }
  };
  events.pictureFailed = [progress](const std::string& code, const std::string& address) {
    if (progress) std::fputs("\r\033[K", stderr);
    std::fprintf(stderr, "Obrázok sa nepodarilo stiahnuť (%s): %s\n", code.c_str(), address.c_str());
  };
  events.duplicate = [](const std::string& code) {
    std::fprintf(stderr, "Kód %s je v súbore viackrát: stránka je z prvého výskytu.\n", code.c_str());
  };
  const std::string gpx = files::FromPcPath(std::filesystem::absolute(pos[0]).lexically_normal().string());
  pages::PagesState pagesState;
  pages::FilePagesResult result;
  try {
    result = pages::MakeFilePages(pagesState, out, gpx, options, events);
  } catch (...) {
    if (progress) std::fputs("\r\033[K", stderr);
    throw;
  }
  if (progress) std::fputs("\r\033[K", stderr);
  if (!result.index.empty()) PrintLine1250(text::Cp1250::FromBytes(result.index));
  int status = result.stopped || result.deviceOutcome == device::Outcome::Failed ? 1 : 0;
  std::set<std::string> made(result.codes.begin(), result.codes.end());
  for (const auto& code : wanted) {
    if (made.count(code)) continue;
    std::fprintf(stderr, "Kód %s nie je v súbore.\n", code.c_str());
    status = 1;
  }
  return status;
}

}  // namespace

void RegisterFilePageCommands(Registry& registry) {
  registry.add({"pages", "pages FILE [--codes GC1,GC2] [voľby]", "Offline stránky kešiek priamo zo súboru GPX.",
                FilePages,
                "Offline stránky kešiek priamo zo súboru GPX, bez webu: HTM/<meno>.htm s obrázkami v Pictures, "
                "index HTM/index.htm (s --from aj index-vzdialenost.htm). Vypíše zapísané stránky; obrázky, ktoré "
                "sa nepodarilo stiahnuť, vymenuje na stderr a beh pre ne nezlyhá.\n\n"
                "  --codes GC1,GC2   len tieto kešky\n"
                "  --device          aj do PDA (zariadenie musí odpovedať); kópie idú na konci, ak sa zmestia všetky\n"
                "  --garmin-photos   s --device aj fotky pre Garmin (PDA_FOTO, spoilery do Spoilers\\)\n"
                "  --no-pictures     bez sťahovania obrázkov\n"
                "  --shrink LIMIT    zmenšiť JPG väčšie ako LIMIT bajtov na 50 %\n"
                "  --logs N          počet najnovších záznamov na stránke (predvolene [Stranky] Logy=, 10)\n"
                "  --from POLOHA     domov: vzdialenosť a smer v indexe (predvolene [Domov] Poloha=), "
                "v tvare \"N 48°20.000' E 018°05.000'\""});
}

}  // namespace trovik::cli
