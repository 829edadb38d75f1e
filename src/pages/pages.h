#pragma once
// Offline listing pages: the page filter, picture harvesting and the batch
// export of marked caches. The state is what the window's hidden controls
// and the "Browser" tab's bars hold; the commands work over the context.

#include <functional>
#include <set>
#include <string>
#include <vector>

#include "base/device_files.h"
#include "base/fields.h"
#include "base/flags.h"
#include "base/host.h"
#include "site/browser.h"
#include "text/cp1250.h"
#include "waypoints/cache_list.h"

namespace trovik::pages {

// The device copies of a run, sent together at its end after one look at the
// card's room, so that a run that cannot fit sends nothing.
struct DevicePlan {
  struct Copy {
    std::string pcPath;
    std::string devicePath;
  };
  std::vector<Copy> copies;
  std::set<std::string> targets;           // device paths planned, upper-cased, to copy each once
  std::vector<std::string> folders;        // device folders to make first (the Garmin photo folders)
  std::vector<std::string> skippedPhotos;  // pictures a Garmin unit cannot show, each once
  int runs = 0;                            // DeviceRun nesting: the outermost one sends
};

struct PagesState {
  // Hidden working buffers of the "HTML" tab.
  std::vector<std::string> workingList;   // the cut page, later the header picture lines
  std::vector<std::string> outputList;    // the lines of the offline page
  std::vector<std::string> pagePictures;  // file names of the document's GIF/JPG/PNG pictures
  std::vector<std::string> headerLinks;   // ListBox2: "<A ...</A>" fragments after "Obrázky:"
  std::string hintPart1;
  std::string hintPart2;
  // Second progress bar of the "Browser" tab.
  bool pictureProgressVisible = true;
  int pictureProgressMax = 100;
  int pictureProgress = 0;
  // Status bar text of the batch: the cache being worked on and how many are left.
  std::string statusText;
  // The worst outcome of the device copies since the filter or the batch
  // started: its messages were shown, this tells the caller.
  device::Outcome deviceOutcome = device::Outcome::Done;
  DevicePlan devicePlan;
  // The code of the cache the batch works on, for its Garmin photo folder.
  std::string cacheCode;
};

// What writes pages and pictures: no browser, so a page can also be made
// straight from a waypoint file. Paths are 1250 text; the folders end with a
// separator.
struct PageOutput {
  site::Downloader& downloader;
  device::DeviceFiles& device;
  device::CopyToDeviceOption& copyToDevice;  // "Aj do PDA"
  Host& host;
  RunFlags& flags;
  const Fields& fields;
  const std::string& htmFolder;       // program folder + "HTM/"
  const std::string& picturesFolder;  // program folder + "Pictures/"
};

// The commands that work on the main browser's listing add the browser and
// what the listing request leaves behind.
struct PageContext : PageOutput {
  site::Browser& browser;  // WebBrowser1, the main browser
  std::vector<std::string>& memo1;  // the captured page
  std::string& pageName;
  // The listing request of the selected cache (SpeedButton4Click): sets the
  // page name and navigates; on the national site it also waits.
  std::function<void()> listingRequest;
};

// A run whose device copies wait for its end: they are planned while it runs
// (PlanDeviceCopy) and sent by finish(), after the card's room was asked for
// the lot. Runs nest: an inner run (the filter inside the batch) leaves the
// sending to the outer one. A run left without finish() sends nothing.
class DeviceRun {
 public:
  DeviceRun(PagesState& state, PageOutput& ctx);
  ~DeviceRun();
  DeviceRun(const DeviceRun&) = delete;
  DeviceRun& operator=(const DeviceRun&) = delete;
  // Sends the plan when this is the outermost run: nothing at all, with the
  // message "Na zariadení je voľných 12 MB, treba 85 MB.", when it cannot
  // fit. The outcomes add to state.deviceOutcome.
  void finish();

 private:
  PagesState& state_;
  PageOutput& ctx_;
  bool open_ = true;
};

// Plans the copy of a PC file to the device when "Aj do PDA" is ticked; with
// `keepExisting` a file the device has is left as it is. Each target once.
void PlanDeviceCopy(PagesState& state, PageOutput& ctx, const std::string& pcPath, const std::string& devicePath,
                    bool keepExisting);

// A picture of a cache for the Garmin units' photo folder.
struct GarminPhoto {
  std::string localPath;  // the picture in the Pictures folder (1250), halved as for the pages
  text::Cp1250 caption;   // its caption, alternative or link text, may be empty
  bool spoiler = false;   // goes to "Spoilers\"
};
// Whether a picture's caption, alternative or link text marks it as a
// spoiler: a word in it begins with Spoiler, Nápoved or Hilfe, or is Hint,
// in any case ("Spoilery", "NÁPOVEDA k finálke"; not "Hinter dem Baum").
bool SaysSpoiler(const text::Cp1250& caption);
// The Garmin folder of a cache: PDA_FOTO + last character of the code + "\" +
// second-last ("0" for a code of three characters) + "\" + CODE + "\"; ""
// for a code shorter than three characters.
std::string GarminPhotoFolder(const std::string& photoRoot, const std::string& code);
// The file name of a photo in a folder: from the caption (letters, digits,
// spaces and _), else from the picture's own name, at most 60 characters with
// ".jpg", made unique among `used` (which it joins).
std::string GarminPhotoName(const text::Cp1250& caption, const std::string& pictureName,
                            std::vector<std::string>& used);
// When "Fotky aj pre Garmin" and "Aj do PDA" are ticked: plans the copies of
// the cache's JPEG pictures into its Garmin folder (spoilers into
// "Spoilers\" below it); other pictures are noted as skipped. A photo the
// unit already has stays. Sent with the run's other copies.
void CopyGarminPhotos(PagesState& state, PageOutput& ctx, const text::Cp1250& code,
                      const std::vector<GarminPhoto>& photos);
// The web road's photos of the page just filtered: the page pictures its
// offline page kept, and the header pictures as spoilers with their link
// texts as captions.
std::vector<GarminPhoto> WebRoadPhotos(const PagesState& state, const PageContext& ctx);

// The working folders below a program folder (1250, trailing separator).
std::string HtmFolderPath(const std::string& programFolder);
std::string PicturesFolderPath(const std::string& programFolder);

// The listing page filter: writes HTM folder + page name + ".htm" (and the
// device copy when "Aj do PDA" is ticked), harvesting the pictures on the
// way. The device copies' outcomes add to state.deviceOutcome.
void OdfiltrujLenZaujimave(PagesState& state, PageContext& ctx);

// Page pictures of the main browser's document into the Pictures folder.
void AllDownloads(PagesState& state, PageContext& ctx);
// Header ("spoiler") pictures linked after "Obrázky:" in the captured page.
void ZistiCotrebaStiahnutZoZahlavia(PagesState& state, PageContext& ctx);
// Downloads `address` to `localPath`, then the shrink rule; a failed download
// is not reported. Errors of the shrink rule go to the caller.
bool DownloadPicture(PageOutput& out, const std::string& address, const std::string& localPath);
// Whether a name taken from an address may become a file in the Pictures
// folder: not empty, ".", "..", no separator, no byte the PC or the
// handheld's file system refuses, and not longer than a file name may be.
bool IsSafePictureName(const std::string& name);

// "Exportuj označené kešky" (and its tool button): every marked cache in list
// order; state.deviceOutcome starts afresh.
void SpeedButton6Click(PagesState& state, PageContext& ctx, waypoints::CacheList& caches);
// "Brejk": ends whichever wait is running.
void SpeedButton11Click(RunFlags& flags);
// Hidden test run of the filter on the local test page of the chosen site.
void SpeedButton17Click(PagesState& state, PageContext& ctx, const std::string& programFolder);
// Hidden diagnostic: clears the town list and lists the document's links in the working list.
void SpeedButton19Click(PagesState& state, site::Browser& browser, std::vector<std::string>& townList);

// The local test pages of SpeedButton17Click, laid next to the program.
std::string TestPageAddress(const std::string& programFolder, Site site);

}  // namespace trovik::pages
