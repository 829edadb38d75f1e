// Login, listing requests and the page capture against the fake browser.
#include "site/site_client.h"

#include <gtest/gtest.h>

#include "base/files.h"
#include "base/profile.h"
#include "support/fake_browser.h"
#include "support/site_parts.h"
#include "support/temp_dir.h"
#include "text/text.h"

namespace trovik::site {
namespace {

using testing::FakeBrowser;
using testing::FakeHost;
using testing::FakePage;
using testing::PageWithBody;
using testing::TempDir;

const std::string kSk = "http://demo/sk";
const std::string kCom = "http://demo/com";
std::string L(const char* utf8) { return text::Utf8To1250Strict(utf8); }

struct Rig : testing::SiteParts {
  TempDir dir;
  FakeHost host;
  FakeBrowser browser{host};
  SiteContext context = contextFor(browser, host, dir.path());

  Rig() {
    files::CreateDir(dir.path() + "HTM");
    fields.addresses.sk = kSk;
    fields.addresses.com = kCom;
    fields.edit1User = "geocacher";
    fields.edit2Password = "tajne";
    ConnectMainBrowser(context);
  }
  std::string setting(const char* key) {
    return profile::ReadString(context.settingsPath, "Prihlasovanie", key, "<none>");
  }
};

TEST(SiteLiterals, AddressesAndSafeFileName) {
  SiteAddresses a;
  a.sk = "http://127.0.0.1:8080/sk";
  a.com = "http://127.0.0.1:8080/com";
  EXPECT_EQ(LoginAddress(Site::Sk, a), "http://127.0.0.1:8080/sk/index.php");
  EXPECT_EQ(LoginAddress(Site::Com, a),
            "http://127.0.0.1:8080/com/login/default.aspx?RESET=Y&redir="
            "http%3a%2f%2f127.0.0.1%3a8080%2fcom%2fDefault.aspx");
  EXPECT_EQ(ListingAddress(Site::Sk, a, "GC1A2B"), "http://127.0.0.1:8080/sk/hladaj.php?query=GC1A2B");
  EXPECT_EQ(ListingAddress(Site::Com, a, "GC 1&x"),
            "http://127.0.0.1:8080/com/seek/cache_details.aspx?wp=GC 1&x&Submit6=Go");
  EXPECT_EQ(SafeFileName("Pod/Most: 1?"), "Pod_Most_ 1_");
  EXPECT_EQ(SafeFileName("a;b\\c\xBE"), "a_b_c\xBE");
}

// A login page whose button leads to `after`.
void LoginSite(Rig& rig, Site site, const std::string& afterBody) {
  const LoginElements e = LoginElementsOf(site);
  FakePage login = PageWithBody("<FORM id=f>login</FORM>");
  login.elements = {e.user, e.password, e.button};
  login.clicks[e.button] = "after";
  rig.browser.setPage(LoginAddress(site, rig.fields.addresses), login);
  rig.browser.setPage("after", PageWithBody(afterBody));
}

TEST(SiteLogin, NationalSuccessTurnsGreenAndWritesTheSettings) {
  Rig rig;
  LoginSite(rig, Site::Sk, L("<A href=\"/sk/logout.php\">odhlásiť</A>\r\nviac"));
  SpeedButton5Click(rig.context);
  EXPECT_EQ(rig.browser.stops, 1);
  EXPECT_TRUE(rig.flags.loggedIn);
  EXPECT_EQ(rig.state.userFieldColour, UserFieldColour::Green);
  EXPECT_EQ(rig.state.loginLabel, L("Ste prihlásený ako užívateľ s menom geocacher"));
  EXPECT_EQ(rig.setting("username"), "geocacher");
  EXPECT_EQ(rig.setting("password"), "tajne");
  EXPECT_EQ(rig.browser.textsSet,
            (std::vector<std::pair<std::string, std::string>>{{"username", "geocacher"}, {"password", "tajne"}}));
  EXPECT_EQ(rig.browser.clicked, std::vector<std::string>{"login-b"});
}

TEST(SiteLogin, WrongCredentialsWaitTheWatchAndTurnRedWithoutSettings) {
  Rig rig;
  LoginSite(rig, Site::Sk, "<P>Nespr\xE1vne meno</P>");
  SpeedButton5Click(rig.context);
  EXPECT_FALSE(rig.flags.loggedIn);
  EXPECT_EQ(rig.state.userFieldColour, UserFieldColour::Red);
  EXPECT_EQ(rig.state.loginLabel, LoginLabelInitial());
  EXPECT_FALSE(files::Exists(rig.context.settingsPath));
  EXPECT_GE(rig.host.now, 1000u + 3000u);  // the 3000 ms watch ran out
}

TEST(SiteLogin, InternationalCountsOnlyItsOwnMarker) {
  Rig rig;
  rig.fields.site = Site::Com;
  LoginSite(rig, Site::Com, L("odhlásiť"));
  SpeedButton5Click(rig.context);
  EXPECT_FALSE(rig.flags.loggedIn);
  EXPECT_EQ(rig.state.userFieldColour, UserFieldColour::Red);

  Rig ok;
  ok.fields.site = Site::Com;
  LoginSite(ok, Site::Com, "Hello, you are logged in as geocacher");
  ok.browser.page(LoginAddress(Site::Com, ok.fields.addresses)).busyPolls = 3;  // busy after completing
  SpeedButton5Click(ok.context);
  EXPECT_TRUE(ok.flags.loggedIn);
  EXPECT_EQ(ok.browser.clicked, std::vector<std::string>{"Button1"});
  EXPECT_EQ(ok.setting("username"), "geocacher");
}

TEST(SiteLogin, NationalIgnoresTheInternationalMarkerAndSplitMarkers) {
  Rig rig;
  LoginSite(rig, Site::Sk, L("you are logged\r\nodhl\r\násiť"));
  SpeedButton5Click(rig.context);
  EXPECT_FALSE(rig.flags.loggedIn);
}

TEST(SiteLogin, MarkerOnALaterDocumentWithinTheWatch) {
  Rig rig;
  LoginSite(rig, Site::Sk, "redirecting");
  rig.browser.setPage("home", PageWithBody(L("<A>odhlásiť</A>")));
  bool redirected = false;
  rig.host.everyPump = [&] {
    if (!redirected && rig.browser.currentAddress() == "after" && rig.flags.pageDone) {
      redirected = true;
      rig.browser.Navigate("home");
    }
  };
  SpeedButton5Click(rig.context);
  EXPECT_TRUE(rig.flags.loggedIn);
  EXPECT_EQ(rig.state.userFieldColour, UserFieldColour::Green);
  EXPECT_LT(rig.host.now, 1000u + 3000u);  // left the watch early
}

TEST(SiteLogin, MissingElementIsDroppedAndNothingSubmittedIsNoLogin) {
  Rig rig;
  rig.browser.setPage(LoginAddress(Site::Sk, rig.fields.addresses), PageWithBody("no form"));
  SpeedButton5Click(rig.context);
  EXPECT_EQ(rig.state.userFieldColour, UserFieldColour::Red);
  EXPECT_TRUE(rig.browser.clicked.empty());

  // Logged in from an earlier page: a login that submitted nothing is still no login.
  rig.flags.loggedIn = true;
  SpeedButton5Click(rig.context);
  EXPECT_EQ(rig.state.userFieldColour, UserFieldColour::Red);
  EXPECT_FALSE(rig.flags.loggedIn);
  EXPECT_FALSE(files::Exists(rig.context.settingsPath));
}

// The browser still holds an earlier session, so the login page shows the
// marker; the form's answer decides, and a refused password is never stored.
TEST(SiteLogin, AnEarlierSessionDoesNotMakeAWrongPasswordASuccess) {
  Rig rig;
  const LoginElements e = LoginElementsOf(Site::Sk);
  FakePage login = PageWithBody(L("<A>odhlásiť</A>\r\n<FORM id=f>login</FORM>"));
  login.elements = {e.user, e.password, e.button};
  login.clicks[e.button] = "after";
  rig.browser.setPage(LoginAddress(Site::Sk, rig.fields.addresses), login);
  rig.browser.setPage("after", PageWithBody(L("<A>odhlásiť</A>")));
  SpeedButton5Click(rig.context);
  ASSERT_EQ(rig.state.userFieldColour, UserFieldColour::Green);
  ASSERT_EQ(rig.setting("password"), "tajne");

  rig.fields.edit2Password = "zle";
  rig.browser.setPage("after", PageWithBody("<P>Nespr\xE1vne meno alebo heslo.</P>"));
  SpeedButton5Click(rig.context);
  EXPECT_EQ(rig.state.userFieldColour, UserFieldColour::Red);
  EXPECT_FALSE(rig.flags.loggedIn);
  EXPECT_EQ(rig.state.loginLabel, LoginLabelInitial());
  EXPECT_EQ(rig.setting("username"), "geocacher");
  EXPECT_EQ(rig.setting("password"), "tajne");

  // Any later page with the marker counts again, as every page does.
  rig.browser.setPage("home", PageWithBody(L("<A>odhlásiť</A>")));
  rig.flags.pageDone = false;
  rig.browser.Navigate("home");
  WaitForLoad(rig.context);
  EXPECT_TRUE(rig.flags.loggedIn);
}

const char* kListingLine = "<TD><BIG><STRONG> N 48\xB0" "35.218' E 017\xB0" "50.628'</STRONG></BIG></TD>";

TEST(SiteRequest, NationalWaitsCapturesAndFillsUnknownPosition) {
  Rig rig;
  rig.caches.add("Pod/Most: 1?", "GC111", "?");
  rig.caches.add("Druha", "GC222", "wpt file");
  rig.caches.itemIndex = 0;
  rig.browser.setPage(kSk + "/hladaj.php?query=GC111", PageWithBody(std::string("<P>x</P>\r\n") + kListingLine));
  SpeedButton4Click(rig.context);
  EXPECT_TRUE(rig.flags.pageDone);
  EXPECT_EQ(rig.state.pageName, "Pod_Most_ 1_");
  EXPECT_EQ(rig.memo1, (std::vector<std::string>{"<P>x</P>", kListingLine}));
  EXPECT_EQ(rig.caches.positions[0], "48.58697,17.84380");
  EXPECT_TRUE(rig.exportEnabled);
  EXPECT_EQ(files::ReadAll(rig.context.htmFolder + "getrawhtm.htm"), std::string("<P>x</P>\r\n") + kListingLine + "\r\n");
  EXPECT_GE(rig.host.sleptMs, 500);  // the pause after each capture
}

TEST(SiteRequest, KnownPositionIsLeftAlone) {
  Rig rig;
  rig.caches.add("Druha", "GC222", "wpt file");
  rig.caches.itemIndex = 0;
  rig.browser.setPage(kSk + "/hladaj.php?query=GC222", PageWithBody(kListingLine));
  SpeedButton4Click(rig.context);
  EXPECT_EQ(rig.caches.positions[0], "wpt file");
  EXPECT_FALSE(rig.exportEnabled);
}

TEST(SiteRequest, CoordinatesGoToTheCurrentEntryWhateverPageLoaded) {
  Rig rig;
  rig.caches.add("A", "GC1", "?");
  rig.caches.add("B", "GC2", "?");
  rig.caches.itemIndex = 1;
  rig.browser.setPage("file:///offline.htm", PageWithBody(kListingLine));
  rig.browser.Navigate("file:///offline.htm");
  rig.host.processMessages();
  EXPECT_EQ(rig.caches.positions[0], "?");
  EXPECT_EQ(rig.caches.positions[1], "48.58697,17.84380");

  // Without a current entry there is nothing to fill.
  Rig none;
  none.caches.add("A", "GC1", "?");
  none.browser.setPage("p", PageWithBody(kListingLine));
  none.browser.Navigate("p");
  none.host.processMessages();
  EXPECT_EQ(none.caches.positions[0], "?");
  EXPECT_TRUE(none.flags.pageDone);
}

TEST(SiteRequest, NoSelectionDoesNothing) {
  Rig rig;
  rig.caches.add("A", "GC1", "?");
  SpeedButton4Click(rig.context);
  EXPECT_TRUE(rig.browser.navigations.empty());
  EXPECT_EQ(rig.state.pageName, "");
}

TEST(SiteRequest, InternationalReturnsAtOnceAndCapturesLater) {
  Rig rig;
  rig.fields.site = Site::Com;
  rig.caches.add("A", "GC1", "?");
  rig.caches.itemIndex = 0;
  rig.browser.setPage(kCom + "/seek/cache_details.aspx?wp=GC1&Submit6=Go",
                      PageWithBody(std::string(kListingLine) + "\r\nyou are logged in"));
  SpeedButton4Click(rig.context);
  EXPECT_EQ(rig.host.pumps, 0);
  EXPECT_FALSE(rig.flags.pageDone);
  EXPECT_TRUE(rig.memo1.empty());
  EXPECT_EQ(rig.state.pageName, "A");
  rig.host.processMessages();
  EXPECT_TRUE(rig.flags.pageDone);
  EXPECT_EQ(rig.memo1.size(), 2u);
  EXPECT_EQ(rig.caches.positions[0], "?");  // no coordinate capture on the international site
  EXPECT_TRUE(rig.flags.loggedIn);
}

TEST(SiteRequest, FramesCompleteTwiceAndEachReplacesTheCapture) {
  Rig rig;
  rig.caches.add("A", "GC1", "?");
  rig.caches.itemIndex = 0;
  rig.browser.setPage(kSk + "/hladaj.php?query=GC1", PageWithBody("frame", 2));
  std::vector<std::size_t> sizes;
  int completes = 0;
  rig.browser.onDocumentComplete = [&] {
    ++completes;
    rig.memo1.push_back("old");  // replaced by each capture, not appended to
    WebBrowser1DocumentComplete(rig.context);
    sizes.push_back(rig.memo1.size());
  };
  SpeedButton4Click(rig.context);
  // The first completion ends the wait; the one more pump delivers the second.
  EXPECT_EQ(completes, 2);
  EXPECT_EQ(sizes, (std::vector<std::size_t>{1, 1}));
  EXPECT_TRUE(rig.flags.pageDone);
}

TEST(SiteRequest, BrejkEndsAWaitForAPageThatNeverCompletes) {
  Rig rig;
  rig.caches.add("A", "GC1", "?");
  rig.caches.itemIndex = 0;
  rig.host.everyPump = [&] {
    if (rig.host.pumps == 5) rig.flags.pageDone = true;
  };
  SpeedButton4Click(rig.context);
  EXPECT_EQ(rig.host.pumps, 6);
  EXPECT_EQ(rig.host.sleptMs, 500);
  EXPECT_TRUE(rig.memo1.empty());
}

TEST(SiteCapture, FailedRawCopyIsShownAndStillEndsTheWait) {
  Rig rig;
  rig.htmFolder = rig.dir.path() + "missing/";
  rig.caches.add("A", "GC1", "?");
  rig.caches.itemIndex = 0;
  rig.browser.setPage(kSk + "/hladaj.php?query=GC1", PageWithBody(std::string(kListingLine) + L("\r\nodhlásiť")));
  SpeedButton4Click(rig.context);
  ASSERT_EQ(rig.host.messages.size(), 1u);
  EXPECT_NE(rig.host.messages[0].find("getrawhtm.htm"), std::string::npos);
  EXPECT_TRUE(rig.flags.pageDone);
  EXPECT_EQ(rig.caches.positions[0], "48.58697,17.84380");
  EXPECT_TRUE(rig.flags.loggedIn);
}

TEST(SiteCapture, UnreadableDocumentAndBadCoordinatesAreShownNotHung) {
  Rig rig;
  rig.caches.add("A", "GC1", "?");
  rig.caches.itemIndex = 0;
  rig.memo1 = {"previous page"};
  rig.browser.bodyHtmlError = "Document not available";
  rig.browser.setPage("p", FakePage());
  rig.browser.Navigate("p");
  rig.host.processMessages();
  EXPECT_EQ(rig.host.messages, std::vector<std::string>{"Document not available"});
  EXPECT_TRUE(rig.memo1.empty());
  EXPECT_TRUE(rig.flags.pageDone);

  Rig bad;
  bad.caches.add("A", "GC1", "?");
  bad.caches.itemIndex = 0;
  bad.browser.setPage("p", PageWithBody("<BIG><STRONG> no coordinates here</STRONG>"));
  bad.browser.Navigate("p");
  bad.host.processMessages();
  ASSERT_EQ(bad.host.messages.size(), 1u);
  EXPECT_NE(bad.host.messages[0].find("is not a valid integer value"), std::string::npos);
  EXPECT_EQ(bad.caches.positions[0], "?");
  EXPECT_TRUE(bad.flags.pageDone);
}

TEST(SiteCapture, ProgressIsCopied) {
  Rig rig;
  rig.browser.onProgressChange(40, 100);
  EXPECT_EQ(rig.state.progress, 40);
  EXPECT_EQ(rig.state.progressMax, 100);
  EXPECT_GT(rig.host.changes, 0);
}

}  // namespace
}  // namespace trovik::site
