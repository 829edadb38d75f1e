// Picture harvesting. Pictures are named by the last segment of their
// address and shared by all caches: a picture already in the folder is never
// fetched again and a device copy that exists is never replaced.

#include <cctype>
#include <exception>

#include "base/files.h"
#include "pages/jpeg_halving.h"
#include "pages/page_filter.h"
#include "pages/pages.h"
#include "text/text.h"

namespace trovik::pages {

namespace {

constexpr size_t kMaxFileNameBytes = 255;
constexpr int kHeaderNameLength = 100;

bool reservedDeviceName(const std::string& name) {
  // Windows refuses these with any extension; the pictures end up on a handheld.
  int dot = text::Pos(".", name);
  std::string stem = text::UpperCase(dot > 0 ? text::Copy(name, 1, dot - 1) : name);
  static const char* const reserved[] = {"CON", "PRN", "AUX", "NUL"};
  for (const char* r : reserved)
    if (stem == r) return true;
  return stem.size() == 4 && (stem.rfind("COM", 0) == 0 || stem.rfind("LPT", 0) == 0) && stem[3] >= '1' &&
         stem[3] <= '9';
}

std::string devicePicturePath(const PageOutput& ctx, const std::string& name) {
  return ctx.fields.edit5PdaMht + "Pictures\\" + name;
}

// One picture: fetched when the folder lacks it, copied when the device lacks it.
void harvestOne(PagesState& state, PageContext& ctx, const std::string& address, const std::string& name) {
  const std::string local = ctx.picturesFolder + name;
  const std::string fs = files::PcPath(local);
  if (files::IsDirectory(fs)) return;
  if (!files::Exists(fs)) DownloadPicture(ctx, address, local);
  if (ctx.copyToDevice.ticked && !ctx.device.DeviceFileExists(devicePicturePath(ctx, name))) {
    state.deviceOutcome =
        device::Worse(state.deviceOutcome, ctx.device.CopyFileToDevice(local, devicePicturePath(ctx, name)));
  }
}

}  // namespace

bool IsSafePictureName(const std::string& name) {
  if (name.empty() || name == "." || name == "..") return false;
  for (unsigned char c : name) {
    if (c < 0x20 || c == 0x7F) return false;
    switch (c) {
      case '/': case '\\': case ':': case '*': case '?': case '"': case '<': case '>': case '|':
        return false;
      default:
        break;
    }
  }
  // Windows drops a trailing dot or blank, so such a name would land on another file.
  if (name.back() == '.' || name.back() == ' ') return false;
  if (files::PcPath(name).size() > kMaxFileNameBytes) return false;
  return !reservedDeviceName(name);
}

bool DownloadPicture(PageOutput& ctx, const std::string& address, const std::string& localPath) {
  bool ok = false;
  // The window stays live while a picture downloads; "Brejk" or closing the
  // window abandons it.
  const unsigned brejks = ctx.flags.brejks;
  const site::Downloader::Watch watch{
      [&ctx] { ctx.host.processMessages(); },
      [&ctx, brejks] { return ctx.flags.shutDown || ctx.flags.brejks != brejks; }};
  try {
    ok = ctx.downloader.UrlToFileWatched(address, localPath, watch);
  } catch (const std::exception&) {
    ok = false;  // a failed download is not reported
  }
  ShrinkRule(localPath, ctx.fields.radioButton2Vacsi, ctx.fields.edit7Velkost);
  return ok;
}

void AllDownloads(PagesState& state, PageContext& ctx) {
  state.pagePictures.clear();
  const std::vector<std::string> pictures = ctx.browser.Pictures();
  state.pictureProgressVisible = true;
  state.pictureProgressMax = static_cast<int>(pictures.size());
  ctx.host.stateChanged();
  try {
    for (size_t i = 0; i < pictures.size(); ++i) {
      const std::string& address = pictures[i];
      std::string extension = text::UpperCase(text::CopyFrom(address, text::LastPos(".", address) + 1));
      if (extension != "GIF" && extension != "JPG" && extension != "PNG") continue;
      std::string name = LastSegment(address);
      state.pagePictures.push_back(name);
      // An unsafe name is left out; the page still refers to it.
      if (IsSafePictureName(name)) harvestOne(state, ctx, address, name);
      state.pictureProgress = static_cast<int>(i);
      ctx.host.stateChanged();
    }
  } catch (...) {
    state.pictureProgressVisible = false;
    throw;
  }
  state.pictureProgressVisible = false;
  ctx.host.stateChanged();
}

void ZistiCotrebaStiahnutZoZahlavia(PagesState& state, PageContext& ctx) {
  size_t line = 0;
  int at = 0;
  for (; line < ctx.memo1.size(); ++line) {
    at = text::Pos(kHeaderLabel, ctx.memo1[line]);
    if (at > 0) break;
  }
  if (line == ctx.memo1.size()) return;
  std::string block = text::CopyFrom(ctx.memo1[line], at + static_cast<int>(kHeaderLabel.size()));
  if (line + 1 < ctx.memo1.size()) block += ctx.memo1[line + 1];

  // Fragments from "<A" through the next "</A>"; without an "<A" before it
  // the fragment starts at the block's start.
  std::string_view rest = block;
  for (;;) {
    size_t e = rest.find("</A>");
    if (e == std::string_view::npos) break;
    size_t a = rest.find("<A");
    std::string fragment;
    if (a == std::string_view::npos) a = 0;
    if (a <= e) fragment = std::string(rest.substr(a, e + 4 - a));
    if (fragment.find("/log/") == std::string::npos) state.headerLinks.push_back(fragment);
    rest.remove_prefix(e + 4);
  }

  const std::string base = ctx.fields.addresses.obrazky + "/cache/";
  for (const auto& entry : state.headerLinks) {
    int s = text::Pos(base, entry);
    if (s == 0) continue;
    int q = text::LastPos("\"", entry);
    std::string address = text::Copy(entry, s, q - s);
    std::string name = text::Copy(LastSegment(address), 1, kHeaderNameLength);
    if (!IsSafePictureName(name)) continue;
    const std::string local = ctx.picturesFolder + name;
    const std::string fs = files::PcPath(local);
    if (files::IsDirectory(fs)) continue;
    if (!files::Exists(fs)) DownloadPicture(ctx, address, local);
    if (ctx.copyToDevice.ticked && !ctx.device.DeviceFileExists(devicePicturePath(ctx, name))) {
      state.deviceOutcome =
          device::Worse(state.deviceOutcome, ctx.device.CopyFileToDevice(local, devicePicturePath(ctx, name)));
      ctx.host.processMessages();
    }
  }
}

}  // namespace trovik::pages
