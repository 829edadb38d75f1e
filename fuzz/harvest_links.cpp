// Picture harvesting on an arbitrary captured page and picture list: the
// header link splitting after "Obrázky:" and the page pictures. Nothing is
// downloaded; every file the harvest would write must be a plain name in the
// Pictures folder, and every device copy a plain name in its Pictures folder.

#include <unistd.h>

#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "base/device_files.h"
#include "base/fields.h"
#include "base/flags.h"
#include "base/host.h"
#include "fuzz_input.h"
#include "pages/page_filter.h"
#include "pages/pages.h"
#include "site/browser.h"
#include "support/still_browser.h"
#include "text/text.h"

namespace {

using namespace trovik;

struct QuietHost : Host {
  void processMessages() override {}
  void sleepMs(int) override {}
  uint32_t tickCount() override { return 0; }
  void showMessage(const std::string&) override {}
};

bool PlainNameIn(const std::string& path, const std::string& folder) {
  if (path.compare(0, folder.size(), folder) != 0) return false;
  std::string name = path.substr(folder.size());
  return !name.empty() && name != "." && name != ".." && name.find_first_of("/\\") == std::string::npos &&
         name.find('\0') == std::string::npos;
}

struct NoDownloads : site::Downloader {
  std::string folder;
  bool UrlToFile(const std::string&, const std::string& localPath) override {
    if (!PlainNameIn(localPath, folder)) __builtin_trap();
    return false;
  }
};

struct CheckedDevice : device::DeviceFiles {
  std::string folder;
  bool DeviceFileExists(const std::string&) override { return false; }
  device::Outcome CopyFileToDevice(const std::string&, const std::string& devicePath) override {
    if (!PlainNameIn(devicePath, folder)) __builtin_trap();
    return device::Outcome::Done;
  }
  device::Outcome CopyFileFromDevice(const std::string&, const std::string&) override { return device::Outcome::Done; }
};

const std::string& ProgramFolder() {
  static const std::string folder = [] {
    char pattern[] = "/tmp/fuzz_harvest_XXXXXX";
    std::string f = mkdtemp(pattern);
    static std::string removeAtExit = f;
    std::atexit([] { std::error_code ec; std::filesystem::remove_all(removeAtExit, ec); });
    return f + "/";
  }();
  return folder;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  fuzz::Input in(data, size);
  uint8_t choice = in.byte();
  std::string pictureText = in.piece(4096);
  std::string page = in.rest();

  QuietHost host;
  site::StillBrowser browser;
  browser.pictures = text::SplitLines(pictureText);
  NoDownloads downloader;
  CheckedDevice device;
  device::CopyToDeviceOption copy;
  copy.enabled = copy.ticked = (choice & 1) != 0;
  RunFlags flags;
  Fields fields;
  fields.addresses.obrazky = "http://img";
  fields.edit5PdaMht = "\\My Documents\\";
  fields.radioButton2Vacsi = (choice & 2) != 0;
  std::vector<std::string> memo1 = text::SplitLines(page);
  std::string pageName = "GC1";
  const std::string& home = ProgramFolder();
  const std::string htm = pages::HtmFolderPath(home), pictures = pages::PicturesFolderPath(home);
  pages::PageContext ctx{{downloader, device, copy, host, flags, fields, htm, pictures}, browser, memo1, pageName, nullptr};
  downloader.folder = ctx.picturesFolder;
  device.folder = fields.edit5PdaMht + "Pictures\\";
  pages::PagesState state;
  pages::ZistiCotrebaStiahnutZoZahlavia(state, ctx);
  pages::AllDownloads(state, ctx);
  for (const auto& line : browser.pictures) {
    std::string name = pages::LastSegment(line);
    if (pages::IsSafePictureName(name) && !PlainNameIn(ctx.picturesFolder + name, ctx.picturesFolder))
      __builtin_trap();
  }
  return 0;
}
