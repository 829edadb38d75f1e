#pragma once
// The page commands over a temporary program folder, the fake host and
// browser, and fakes of the downloader and the device.

#include <filesystem>
#include <map>
#include <memory>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "base/files.h"
#include "pages/pages.h"
#include "support/fake_browser.h"
#include "support/fake_host.h"
#include "support/temp_dir.h"

namespace trovik::pages::test {

class FakeDownloader : public site::Downloader {
 public:
  bool UrlToFile(const std::string& url, const std::string& localPath) override {
    calls.emplace_back(url, localPath);
    if (throwFor.count(url)) throw std::runtime_error("connection reset");
    auto it = files.find(url);
    if (it == files.end()) return false;
    files::WriteAtomic(files::PcPath(localPath), it->second);
    return true;
  }
  std::map<std::string, std::string> files;  // address -> bytes served
  std::set<std::string> throwFor;
  std::vector<std::pair<std::string, std::string>> calls;
};

class FakeDevice : public device::DeviceFiles {
 public:
  bool DeviceFileExists(const std::string& devicePath) override {
    ++existsCalls;
    return present.count(devicePath) > 0;
  }
  device::Outcome CopyFileToDevice(const std::string& pcPath, const std::string& devicePath) override {
    copies.emplace_back(pcPath, devicePath);
    present.insert(devicePath);
    if (onCopy) onCopy();
    return device::Outcome::Done;
  }
  device::Outcome CopyFileFromDevice(const std::string&, const std::string&) override {
    return device::Outcome::Failed;
  }
  std::set<std::string> present;
  std::vector<std::pair<std::string, std::string>> copies;
  int existsCalls = 0;
  std::function<void()> onCopy;
};

inline const std::string kImages = "http://127.0.0.1:8080/img";

class PagesFixture : public ::testing::Test {
 protected:
  PagesFixture() {
    std::filesystem::create_directories(home.path() + "HTM");
    std::filesystem::create_directories(home.path() + "Pictures");
    fields.addresses.obrazky = kImages;
    ctx = std::make_unique<PageContext>(PageContext{
        {downloader, device, copyToDevice, host, flags, fields, htmFolder, picturesFolder}, browser, memo1, pageName, nullptr});
  }
  std::string htm(const std::string& name) { return files::ReadAll(home.path() + "HTM/" + name); }
  bool picture(const std::string& name) { return files::Exists(home.path() + "Pictures/" + name); }
  // The browser shows a page with these pictures.
  void showPictures(std::vector<std::string> pictures) {
    testing::FakePage page;
    page.pictures = std::move(pictures);
    browser.setPage("about:listing", std::move(page));
    browser.Navigate("about:listing");
    host.processMessages();
  }
  void filter() { OdfiltrujLenZaujimave(state, *ctx); }

  testing::TempDir home;
  testing::FakeHost host;
  testing::FakeBrowser browser{host};
  FakeDownloader downloader;
  FakeDevice device;
  device::CopyToDeviceOption copyToDevice;
  RunFlags flags;
  Fields fields;
  std::vector<std::string> memo1;
  std::string pageName = "Test";
  std::string htmFolder = HtmFolderPath(home.path());
  std::string picturesFolder = PicturesFolderPath(home.path());
  PagesState state;
  std::unique_ptr<PageContext> ctx;
};

}  // namespace trovik::pages::test
