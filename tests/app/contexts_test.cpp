#include "app/contexts.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "app/lifecycle.h"
#include "base/error.h"
#include "support/fake_browser.h"
#include "support/fake_host.h"
#include "support/temp_dir.h"

namespace trovik::app {
namespace {

using trovik::testing::FakeBrowser;
using trovik::testing::FakeHost;
using trovik::testing::PageWithBody;
using trovik::testing::TempDir;

class NoDownloader : public site::Downloader {
 public:
  bool UrlToFile(const std::string&, const std::string&) override { return false; }
};

class NoDevice : public device::DeviceFiles {
 public:
  bool DeviceFileExists(const std::string&) override { return false; }
  device::Outcome CopyFileToDevice(const std::string&, const std::string&) override { return device::Outcome::Failed; }
  device::Outcome CopyFileFromDevice(const std::string&, const std::string&) override {
    return device::Outcome::Failed;
  }
};

// What a front end owns, with both browsers fake.
struct FrontEnd {
  TempDir dir;
  MainState state{dir.path()};
  FakeHost host;
  FakeBrowser browser{host};
  FakeBrowser searchBrowser{host};
  NoDownloader downloader;
  NoDevice device;
  device::CopyToDeviceOption copyToDevice;
  site::SiteState siteState;
  nearby::NearbyState nearby;

  Adapters adapters(site::Browser* search) {
    return {.host = host,
            .browser = browser,
            .searchBrowser = search,
            .downloader = downloader,
            .deviceFiles = device,
            .copyToDevice = copyToDevice};
  }
};

// The front ends build the contexts before the first start-up stage has made
// the working folders; the pages the browsers bring later must land in them.
TEST(CommandContexts, BuiltBeforeTheFirstStageWorkInTheFoldersItMakesAndWireBothBrowsers) {
  FrontEnd r;
  CommandContexts contexts(r.state, {.site = r.siteState, .nearby = r.nearby}, r.adapters(&r.searchBrowser));
  ASSERT_TRUE(r.state.htmFolder.empty());
  FormCreate(r.state, r.host);

  r.browser.setPage("http://x/listing", PageWithBody("<P>listing</P>"));
  r.browser.Navigate("http://x/listing");
  r.host.processMessages();
  EXPECT_TRUE(r.state.flags.pageDone);
  EXPECT_EQ(r.dir.read("HTM/getrawhtm.htm"), "<P>listing</P>\r\n");
  EXPECT_EQ(contexts.pages().htmFolder, r.dir.path() + "HTM/");
  EXPECT_EQ(contexts.pages().picturesFolder, r.dir.path() + "Pictures/");

  // The listing request of the page commands is the site's, on the main browser.
  r.state.waypoints.caches.add("Hrad", "GC12345", "wpt file");
  r.state.waypoints.caches.itemIndex = 0;
  r.state.fields.site = Site::Com;
  r.state.fields.addresses.com = "http://x/com";
  contexts.pages().listingRequest();
  EXPECT_EQ(r.browser.navigations.back(), site::ListingAddress(Site::Com, r.state.fields.addresses, "GC12345"));
  EXPECT_EQ(r.siteState.pageName, "Hrad");

  r.searchBrowser.setPage("http://x/nearest", PageWithBody("<TR>a</TR>\r\n<TR>b</TR>"));
  r.state.flags.searchPageLoaded = false;
  contexts.search().webBrowser2.Navigate("http://x/nearest");
  r.host.processMessages();
  EXPECT_TRUE(r.state.flags.searchPageLoaded);
  EXPECT_EQ(r.nearby.memo3, (std::vector<std::string>{"<TR>a</TR>", "<TR>b</TR>"}));
  EXPECT_EQ(contexts.search().townFile, nearby::TownFilePath(r.dir.path()));
}

TEST(CommandContexts, WithoutASearchBrowserTheSearchIsRefused) {
  FrontEnd r;
  CommandContexts contexts(r.state, {.site = r.siteState, .nearby = r.nearby}, r.adapters(nullptr));
  EXPECT_THROW(contexts.search(), Error);
  EXPECT_FALSE(r.searchBrowser.onDocumentComplete);
}

}  // namespace
}  // namespace trovik::app
