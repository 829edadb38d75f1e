#include <gtest/gtest.h>

#include <map>

#include "nearby/nearby.h"
#include "support/fake_host.h"
#include "support/temp_dir.h"
#include "text/text.h"

namespace trovik::nearby {
namespace {

using trovik::testing::FakeHost;
using trovik::testing::TempDir;

// A search browser whose pages complete at the next pump; "javascript:" runs
// the page's post-back and loads the next page of `pages`.
class PagedBrowser : public site::Browser {
 public:
  explicit PagedBrowser(FakeHost& host) : host_(host) {}
  void Navigate(const std::string& address) override {
    navigations.push_back(address);
    if (text::StartsWith(address, "javascript:")) {
      if (!answerScripts) return;  // nothing completes
      ++page;
      if (slowScripts) {
        loading = true;  // the post-back's page is coming; the test completes it
        return;
      }
    } else {
      page = 0;
    }
    host_.onPump.push_back([this] {
      if (onDocumentComplete) onDocumentComplete();
    });
  }
  void Stop() override {}
  bool Busy() override { return loading; }
  void complete() {
    loading = false;
    if (onDocumentComplete) onDocumentComplete();
  }
  std::string BodyHtml() override {
    return page < static_cast<int>(pages.size()) ? pages[static_cast<size_t>(page)] : std::string();
  }
  void SetElementText(const std::string&, const std::string&) override {}
  void ClickElement(const std::string&) override {}
  std::vector<std::string> Pictures() override { return {}; }
  std::vector<std::string> Links() override { return {}; }

  std::vector<std::string> pages;
  std::vector<std::string> navigations;
  int page = 0;
  bool answerScripts = true;
  bool slowScripts = false;
  bool loading = false;

 private:
  FakeHost& host_;
};

std::string U(const char* utf8) { return text::Utf8To1250(utf8); }

std::string RowLine(const std::string& code) {
  return "<A href=\"/seek/cache_details.aspx?wp=" + code + "\">Cache " + code + "</A> by me (" + code + ")<BR>";
}

struct Search : ::testing::Test {
  TempDir dir;
  FakeHost host;
  PagedBrowser browser{host};
  RunFlags flags;
  Fields fields;
  NearbyState state;
  std::string townFile;
  SearchContext ctx{browser, host, flags, fields, ""};

  void SetUp() override {
    fields.addresses.com = "http://127.0.0.1:9/com";
    townFile = dir.write("suradnicemiest.ini",
                         "; towns\r\n[mesta]\r\n  Nitra = 48.3069,18.0864 \r\nZlat\xE9 Moravce=48.3850,18.4000\r\n"
                         "Bez=\r\nNoComma=18.5\r\n[Other]\r\nX=1,2\r\n");
    ctx.townFile = townFile;
    browser.onDocumentComplete = [this] { WebBrowser2DocumentComplete(state, browser, flags); };
    NacitajMestaDoListboxu(state, townFile);
  }
};

TEST_F(Search, TownListFollowsProfileRules) {
  EXPECT_EQ(state.listBox1, (std::vector<std::string>{"Nitra", "Zlat\xE9 Moravce", "Bez", "NoComma"}));
  state.listBox1Index = 0;
  ListBox1Click(state, townFile);
  EXPECT_EQ(state.edit3, "48.3069,18.0864");
  state.listBox1Index = 2;
  ListBox1Click(state, townFile);
  EXPECT_EQ(state.edit3, "");
}

TEST_F(Search, MissingFileOrSectionGivesAnEmptyList) {
  NacitajMestaDoListboxu(state, dir.file("none.ini"));
  EXPECT_TRUE(state.listBox1.empty());
  std::string f = dir.write("other.ini", "[Towns]\r\nA=1,2\r\n");
  NacitajMestaDoListboxu(state, f);
  EXPECT_TRUE(state.listBox1.empty());
}

TEST_F(Search, RequestAddressSplitsAtTheFirstComma) {
  EXPECT_EQ(NearestAddress("B", "48.1,17.1"),
            "B/seek/nearest.aspx?lat_ns=1&lat_h=48.1&lat_mmss=0&long_ew=1&long_h=17.1&long_mmss=0&dist=100&submit8=Search");
  EXPECT_EQ(NearestAddress("B", "18.5"),
            "B/seek/nearest.aspx?lat_ns=1&lat_h=&lat_mmss=0&long_ew=1&long_h=18.5&long_mmss=0&dist=100&submit8=Search");
  std::string longLon(150, '7');
  std::string addr = NearestAddress("B", "1," + longLon);
  EXPECT_NE(addr.find("long_h=" + std::string(100, '7') + "&long_mmss"), std::string::npos);
  EXPECT_NE(NearestAddress("B", "1,2,3").find("lat_h=1&lat_mmss=0&long_ew=1&long_h=2,3&"), std::string::npos);
}

TEST_F(Search, DoubleClickSendsWaitsAndCounts) {
  browser.pages = {RowLine("GC1") + "\r\n" + RowLine("GC2") + "\r\n<A href=\"javascript:__doPostBack('pgrTop$_ctl16','')\">Next</A>"};
  state.listBox1Index = 1;
  state.addMode = true;
  ListBox1DblClick(state, ctx);
  ASSERT_EQ(browser.navigations.size(), 1u);
  EXPECT_NE(browser.navigations[0].find("lat_h=48.3850&"), std::string::npos);
  EXPECT_FALSE(state.addMode);
  EXPECT_EQ(state.rowCount, 2);
  EXPECT_EQ(state.statusPanel1, U("Načítal som 2 záznamov"));
  EXPECT_TRUE(state.speedButton24Enabled);
  EXPECT_FALSE(host.busyCursor);
}

TEST_F(Search, NoTownSelectedSendsNothing) {
  state.listBox1Index = -1;
  ListBox1DblClick(state, ctx);
  state.edit3 = "  ";
  SpeedButton23Click(state, ctx);
  EXPECT_TRUE(browser.navigations.empty());
}

TEST_F(Search, ChangedValueTakesEffectWithoutReloadingTheList) {
  browser.pages = {""};
  state.listBox1Index = 0;
  dir.write("suradnicemiest.ini", "[Mesta]\r\nNitra=1.5,2.5\r\n");
  ListBox1DblClick(state, ctx);
  EXPECT_NE(browser.navigations[0].find("lat_h=1.5&"), std::string::npos);
  EXPECT_EQ(state.statusPanel1, U("Načítal som 0 záznamov"));
}

TEST_F(Search, SearchHereUsesTheTypedCoordinates) {
  browser.pages = {RowLine("GC5")};
  state.edit3 = "48.70,21.26";
  SpeedButton23Click(state, ctx);
  ASSERT_EQ(browser.navigations.size(), 1u);
  EXPECT_NE(browser.navigations[0].find("lat_h=48.70&lat_mmss=0&long_ew=1&long_h=21.26&"), std::string::npos);
  EXPECT_EQ(state.statusPanel1, U("Načítal som 1 záznamov"));
}

TEST_F(Search, PagingToTheLastPage) {
  std::string next = "\r\n<A href=\"javascript:__doPostBack('pgrTop$_ctl16','')\">&gt;</A>";
  browser.pages = {RowLine("GC1") + next, RowLine("GC2") + "\r\n" + RowLine("GC3") + next, RowLine("GC4")};
  waypoints::CacheList caches;
  state.listBox1Index = 0;
  ListBox1DblClick(state, ctx);
  SpeedButton24Click(state, caches);
  Next20(state, ctx);
  EXPECT_EQ(state.rowCount, 2);
  EXPECT_TRUE(state.speedButton24Enabled);
  EXPECT_EQ(state.statusPanel1, U("Pridal som 1 nových"));  // paging writes no message
  SpeedButton24Click(state, caches);
  Next20(state, ctx);
  SpeedButton24Click(state, caches);
  EXPECT_EQ(caches.codes, (std::vector<std::string>{"GC1", "GC2", "GC3", "GC4"}));
  // The last page has no next link: nothing is sent, the user is told.
  size_t sent = browser.navigations.size();
  Next20(state, ctx);
  EXPECT_EQ(browser.navigations.size(), sent);
  EXPECT_EQ(state.statusPanel1, U("Ďalšia stránka nie je"));
}

TEST_F(Search, NextPageThatNeverCompletesEndsAfterThirtySeconds) {
  browser.pages = {RowLine("GC1") + "\r\n<A href=\"javascript:__doPostBack('pgrTop$_ctl16','')\">&gt;</A>"};
  state.listBox1Index = 0;
  ListBox1DblClick(state, ctx);
  browser.answerScripts = false;
  int64_t before = host.sleptMs;
  Next20(state, ctx);
  EXPECT_EQ(state.statusPanel1, U("Ďalšia stránka nie je"));
  EXPECT_GE(host.sleptMs - before, 29000);
  EXPECT_LE(host.sleptMs - before, 31000);
  EXPECT_FALSE(host.busyCursor);
}

TEST_F(Search, NextPageStillLoadingAfterThirtySecondsIsWaitedFor) {
  const std::string pager = "\r\n<A href=\"javascript:__doPostBack('pgrTop$_ctl16','')\">&gt;</A>";
  browser.pages = {RowLine("GC1") + pager, RowLine("GC2") + "\r\n" + RowLine("GC3")};
  state.listBox1Index = 0;
  ListBox1DblClick(state, ctx);
  // One slow picture: the engine reports progress once, is silent for 40 s
  // while it loads, then the page completes.
  browser.slowScripts = true;
  const uint32_t clicked = host.now;
  bool reported = false;
  host.duringSleep = [&] {
    const uint32_t since = host.now - clicked;
    if (!reported && since >= 2000) {
      reported = true;
      WebBrowser2ProgressChange(state, 10, 100);
    }
    if (browser.loading && since >= 45000) browser.complete();
  };
  Next20(state, ctx);
  EXPECT_EQ(state.rowCount, 2);
  EXPECT_NE(state.statusPanel1, U("Ďalšia stránka nie je"));
  EXPECT_GE(host.now - clicked, 45000u);
}

}  // namespace
}  // namespace trovik::nearby
