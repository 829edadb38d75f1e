// Login and listing retrieval through the real engine against the demo sites.
#include <gtest/gtest.h>

#include "base/files.h"
#include "base/profile.h"
#include "support/demo_site_process.h"
#include "support/site_parts.h"
#include "engine_rig.h"
#include "net/curl_downloader.h"
#include "site/site_client.h"
#include "text/text.h"

namespace trovik::testing {
namespace {

using trovik::Site;

struct SiteRig : SiteParts {
  explicit SiteRig(const DemoSiteProcess& demo, const std::string& profileFolder = "") : engine(profileFolder) {
    files::CreateDir(engine.dir.path() + "HTM");
    fields.addresses.sk = demo.address() + "/sk";
    fields.addresses.com = demo.address() + "/com";
    fields.addresses.obrazky = demo.address() + "/img";
    fields.edit1User = "geocacher";
    fields.edit2Password = "trovik";
    site::ConnectMainBrowser(context);
  }
  std::string setting(const char* key) {
    return profile::ReadString(context.settingsPath, "Prihlasovanie", key, "<none>");
  }

  EngineRig engine;
  site::SiteContext context = contextFor(*engine.browser, engine.host, engine.dir.path());
};

#define REQUIRE_DEMO(demo) \
  ASSERT_TRUE((demo).running()) << "trovik-demo-site did not start"

TEST(SiteEndToEnd, NationalLoginSucceedsAndIsRemembered) {
  DemoSiteProcess demo;
  REQUIRE_DEMO(demo);
  SiteRig rig(demo);
  site::SpeedButton5Click(rig.context);
  EXPECT_TRUE(rig.flags.loggedIn);
  EXPECT_EQ(rig.state.userFieldColour, site::UserFieldColour::Green);
  EXPECT_EQ(rig.state.loginLabel, site::LoginLabelLoggedIn() + "geocacher");
  EXPECT_EQ(rig.setting("username"), "geocacher");
  EXPECT_EQ(rig.setting("password"), "trovik");
}

TEST(SiteEndToEnd, NationalLoginWithWrongPasswordTurnsRed) {
  DemoSiteProcess demo;
  REQUIRE_DEMO(demo);
  SiteRig rig(demo);
  rig.fields.edit2Password = "zle";
  site::SpeedButton5Click(rig.context);
  EXPECT_FALSE(rig.flags.loggedIn);
  EXPECT_EQ(rig.state.userFieldColour, site::UserFieldColour::Red);
  EXPECT_FALSE(files::Exists(rig.context.settingsPath));
}

TEST(SiteEndToEnd, InternationalLoginSucceedsAndFails) {
  DemoSiteProcess demo;
  REQUIRE_DEMO(demo);
  {
    SiteRig rig(demo);
    rig.fields.site = Site::Com;
    rig.fields.edit2Password = "zle";
    site::SpeedButton5Click(rig.context);
    EXPECT_FALSE(rig.flags.loggedIn);
    EXPECT_EQ(rig.state.userFieldColour, site::UserFieldColour::Red);
  }
  SiteRig rig(demo);
  rig.fields.site = Site::Com;
  site::SpeedButton5Click(rig.context);
  EXPECT_TRUE(rig.flags.loggedIn);
  EXPECT_EQ(rig.state.userFieldColour, site::UserFieldColour::Green);
  EXPECT_EQ(rig.setting("password"), "trovik");
}

TEST(SiteEndToEnd, LoginLastsIntoTheNextRunAndFillsCoordinates) {
  DemoSiteProcess demo;
  REQUIRE_DEMO(demo);
  TempDir profileDir;
  {
    SiteRig first(demo, profileDir.path() + "WebProfile");
    site::SpeedButton5Click(first.context);
    ASSERT_TRUE(first.flags.loggedIn);
  }
  // A new profile object on the same folder, as the next start of the program has.
  SiteRig rig(demo, profileDir.path() + "WebProfile");
  rig.caches.add("Star\xFD mlyn", "GC1A2B3", "?");
  rig.caches.itemIndex = 0;
  site::SpeedButton4Click(rig.context);
  EXPECT_TRUE(rig.flags.loggedIn);
  EXPECT_EQ(rig.state.pageName, "Star\xFD mlyn");
  EXPECT_EQ(rig.caches.positions[0].size(), 17u) << rig.caches.positions[0];
  EXPECT_EQ(rig.caches.positions[0].substr(0, 6), "48.401");
  EXPECT_TRUE(rig.exportEnabled);
  EXPECT_TRUE(rig.engine.host.messages.empty());
}

TEST(SiteEndToEnd, CapturedListingIsTheServedBodyByteForByte) {
  DemoSiteProcess demo;
  REQUIRE_DEMO(demo);
  SiteRig rig(demo);
  rig.caches.add("Abeceda", "GC1D0F2", "wpt file");
  rig.caches.itemIndex = 0;
  site::SpeedButton4Click(rig.context);
  ASSERT_FALSE(rig.memo1.empty());

  net::CurlDownloader downloader;
  ASSERT_TRUE(downloader.UrlToFile(demo.address() + "/sk/hladaj.php?query=GC1D0F2", rig.engine.dir.file("raw.htm")));
  const std::string served = text::Utf8To1250Strict(files::ReadAll(rig.engine.dir.file("raw.htm")));
  const int from = text::PosPast("<BODY>", served);
  const int to = text::Pos("</BODY>", served);
  ASSERT_GT(from, 0);
  ASSERT_GT(to, from);
  const std::string body = text::Copy(served, from, to - from);
  EXPECT_EQ(text::JoinLinesCrLf(rig.memo1), text::JoinLinesCrLf(text::SplitLines(body)));
  // The raw copy holds the same text.
  EXPECT_EQ(files::ReadAll(rig.context.htmFolder + "getrawhtm.htm"), text::JoinLinesCrLf(rig.memo1));
}

TEST(SiteEndToEnd, InternationalRequestReturnsBeforeThePageAndUnknownCodeIsCaptured) {
  DemoSiteProcess demo;
  REQUIRE_DEMO(demo);
  SiteRig rig(demo);
  rig.fields.site = Site::Com;
  rig.caches.add("Nikde", "GCZZZZZ", "?");
  rig.caches.itemIndex = 0;
  site::SpeedButton4Click(rig.context);
  EXPECT_FALSE(rig.flags.pageDone);  // returned at once
  ASSERT_TRUE(rig.engine.pumpUntil([&] { return rig.flags.pageDone; }));
  EXPECT_FALSE(rig.memo1.empty());
  EXPECT_EQ(rig.caches.positions[0], "?");
  EXPECT_TRUE(rig.engine.host.messages.empty());
}

}  // namespace
}  // namespace trovik::testing
