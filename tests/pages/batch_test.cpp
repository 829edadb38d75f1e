// The batch export over the fake browser: listing request, waits, filter,
// the offline page shown, marks cleared.

#include <gtest/gtest.h>

#include <type_traits>

#include "base/error.h"
#include "pages_fixture.h"
#include "text/text.h"

namespace trovik::pages::test {
namespace {

class Batch : public PagesFixture {
 protected:
  Batch() {
    for (int i = 0; i < 4; ++i) caches.add("Cache " + std::to_string(i), "GC" + std::to_string(i), "wpt file");
    for (int i = 0; i < 4; ++i) {
      testing::FakePage page;
      page.bodyHtml = "<DIV id=HLAVNIPANEL>listing " + std::to_string(i) + "</DIV>";
      browser.setPage(listing(i), page);
    }
    browser.setDefaultPage({});  // the offline pages shown through file://
    browser.onDocumentComplete = [this] {
      std::string address = browser.currentAddress();
      if (address.rfind("file://", 0) == 0 && files::Exists(address.substr(7))) {
        // An offline page shown: its body as the engine gives it back.
        std::string body = files::ReadAll(address.substr(7));
        body = text::ReplaceAll(text::CopyFrom(body, 163), "</body></html>", "");
        memo1 = text::SplitLines(body);
      } else {
        memo1 = text::SplitLines(browser.BodyHtml());
      }
      flags.pageDone = true;
    };
    // The international request: page name, navigate, no wait.
    ctx->listingRequest = [this] {
      pageName = caches.names[static_cast<size_t>(caches.itemIndex)];
      flags.pageDone = false;
      browser.Navigate(listing(caches.itemIndex));
      statusSeen.push_back(state.statusText);
    };
  }
  static std::string listing(int i) { return "http://site/listing?wp=GC" + std::to_string(i); }
  std::string shown(const std::string& name) { return "file://" + home.path() + "HTM/" + name + ".htm"; }
  std::string page(int i) {
    return std::string(kPrologueForTests) + "<DIV id=HLAVNIPANEL>listing " + std::to_string(i) + "</DIV></body></html>\r\n\r\n";
  }
  void run() { SpeedButton6Click(state, *ctx, caches); }

  static constexpr const char* kPrologueForTests =
      "<!DOCTYPE HTML PUBLIC \"-//W3C//DTD HTML 4.01 Transitional//EN\"><html><head><meta "
      "http-equiv=\"content-type\" content=\"text/html;charset=windows-1250\" ></head><body>";
  waypoints::CacheList caches;
  std::vector<std::string> statusSeen;
};

TEST_F(Batch, NoMarkedEntryDoesNothing) {
  run();
  EXPECT_TRUE(browser.navigations.empty());
  EXPECT_EQ(caches.itemIndex, -1);
  EXPECT_TRUE(state.statusText.empty());
}

TEST_F(Batch, MarkedEntriesInListOrderEachShownThenUnmarked) {
  caches.nameMarks = {false, true, false, true};
  caches.codeMarks = {false, true, false, true};
  caches.nameMarks[3] = true;
  caches.nameMarks[0] = true;  // marked last, done first
  run();
  EXPECT_EQ(browser.navigations,
            (std::vector<std::string>{listing(0), shown("Cache 0"), listing(1), shown("Cache 1"), listing(3),
                                      shown("Cache 3")}));
  for (int i : {0, 1, 3}) EXPECT_EQ(htm("Cache " + std::to_string(i) + ".htm"), page(i));
  EXPECT_EQ(caches.nameMarks, (std::vector<bool>{false, false, false, false}));
  EXPECT_EQ(caches.codeMarks, (std::vector<bool>{false, true, false, true}));
  EXPECT_EQ(caches.itemIndex, 3);
  EXPECT_EQ(statusSeen, (std::vector<std::string>{"Sprac\xFAvam GC0 Cache 0, zost\xE1va 2",
                                                  "Sprac\xFAvam GC1 Cache 1, zost\xE1va 1",
                                                  "Sprac\xFAvam GC3 Cache 3, zost\xE1va 0"}));
  EXPECT_EQ(state.statusText, "Hotovo, spracovan\xFD" "ch ke\x9Aiek: 3");
  // Showing the offline page made it the captured page.
  EXPECT_EQ(memo1, (std::vector<std::string>{"<DIV id=HLAVNIPANEL>listing 3</DIV>", ""}));
}

TEST_F(Batch, NationalRequestThatWaitsItselfFindsTheFlagSet) {
  caches.nameMarks[2] = true;
  int requestPumps = 0;
  ctx->listingRequest = [this, &requestPumps] {
    pageName = caches.names[static_cast<size_t>(caches.itemIndex)];
    flags.pageDone = false;
    browser.Navigate(listing(caches.itemIndex));
    while (!flags.pageDone) {
      host.processMessages();
      host.sleepMs(100);
      ++requestPumps;
    }
  };
  int sleptBefore = static_cast<int>(host.sleptMs);
  run();
  EXPECT_EQ(requestPumps, 1);
  EXPECT_EQ(htm("Cache 2.htm"), page(2));
  // The request's one sleep, then only the wait for the shown offline page.
  EXPECT_EQ(host.sleptMs - sleptBefore, 200);
}

TEST_F(Batch, BrejkEndsTheWaitAndTheFilterRunsOnThePreviousPage) {
  caches.nameMarks = {true, true, true, false};
  browser.page(listing(1)).completes = false;
  int waitingPumps = 0;
  bool pressed = false;
  host.everyPump = [&] {
    if (!pressed && browser.navigations.back() == listing(1) && ++waitingPumps == 5) {
      pressed = true;
      SpeedButton11Click(flags);
      SpeedButton11Click(flags);  // twice is once
    }
  };
  run();
  EXPECT_TRUE(pressed);
  // "Cache 1" holds what was captured last, the offline page of cache 0,
  // filtered again under the new name.
  EXPECT_EQ(htm("Cache 1.htm"), page(0));
  EXPECT_EQ(htm("Cache 2.htm"), page(2));
  EXPECT_EQ(caches.nameMarks, (std::vector<bool>{false, false, false, false}));
}

TEST_F(Batch, ErrorEndsTheBatchAndTheEntryKeepsItsMark) {
  caches.nameMarks = {true, true, true, false};
  fields.radioButton2Vacsi = true;
  fields.edit7Velkost = "0";
  browser.page(listing(1)).pictures = {"http://site/img/broken.jpg"};
  downloader.files["http://site/img/broken.jpg"] = "<html>500</html>";
  EXPECT_THROW(run(), Error);
  EXPECT_EQ(caches.nameMarks, (std::vector<bool>{false, true, true, false}));
  EXPECT_EQ(caches.itemIndex, 1);
  EXPECT_EQ(browser.navigations, (std::vector<std::string>{listing(0), shown("Cache 0"), listing(1)}));
  EXPECT_EQ(state.statusText, "Chyba pri Cache 1");
}

TEST_F(Batch, ListEmptiedDuringAWaitEndsTheBatch) {
  caches.nameMarks = {true, true, false, false};
  host.everyPump = [&] {
    if (browser.navigations.size() == 2) caches.clear();
  };
  run();
  EXPECT_EQ(caches.count(), 0);
  EXPECT_EQ(browser.navigations.size(), 2u);
}

TEST_F(Batch, ClosingTheWindowDuringAWaitEndsTheBatch) {
  caches.nameMarks = {true, true, true, false};
  browser.page(listing(1)).completes = false;
  int waitingPumps = 0;
  host.everyPump = [&] {
    if (browser.navigations.back() == listing(1) && ++waitingPumps == 5) {
      // The window's shut-down: the page-done and shut-down flags set.
      flags.pageDone = true;
      flags.shutDown = true;
    }
  };
  run();
  // No filter of a page that never came, no offline page, no next cache.
  EXPECT_EQ(browser.navigations, (std::vector<std::string>{listing(0), shown("Cache 0"), listing(1)}));
  EXPECT_FALSE(files::Exists(home.path() + "HTM/Cache 1.htm"));
  EXPECT_EQ(caches.nameMarks, (std::vector<bool>{false, true, true, false}));
}

TEST_F(Batch, HiddenTestRunFiltersTheLocalTestPageUnderTheSamePageName) {
  pageName = "kept";
  testing::FakePage test;
  test.bodyHtml = "<FORM id=Form1>com test</FORM>";
  fields.site = Site::Com;
  browser.setPage(TestPageAddress(home.path(), Site::Com), test);
  SpeedButton17Click(state, *ctx, home.path());
  EXPECT_EQ(browser.navigations.back(), "file://" + home.path() + "testpages/listing_com.htm");
  EXPECT_EQ(htm("kept.htm"), std::string(kPrologueForTests) + "<FORM id=Form1>com test</FORM></body></html>\r\n\r\n");
  EXPECT_EQ(TestPageAddress("/p/", Site::Sk), "file:///p/testpages/listing_sk.htm");
}

TEST_F(Batch, HiddenLinkListReplacesTheTownList) {
  testing::FakePage p;
  p.links = {"http://a/1", "http://b/2"};
  browser.setPage("x", p);
  browser.Navigate("x");
  host.processMessages();
  std::vector<std::string> towns = {"Nitra", "Levice"};
  state.workingList = {"old"};
  SpeedButton19Click(state, browser, towns);
  EXPECT_TRUE(towns.empty());
  EXPECT_EQ(state.workingList, (std::vector<std::string>{"old", "http://a/1", "http://b/2"}));
}

// The file road's codes are UTF-8, the web road's 1250: a code or caption
// given as a plain string would not say which.
static_assert(!std::is_invocable_v<decltype(&SaysSpoiler), std::string>);
static_assert(!std::is_invocable_v<decltype(&CopyGarminPhotos), PagesState&, PageOutput&, std::string,
                                   const std::vector<GarminPhoto>&>);

// Where a Garmin unit looks for a cache's photos, and what they are called.
TEST(GarminPhotos, FoldersByTheCodesLastCharactersAndNamesFromCaptions) {
  EXPECT_EQ(GarminPhotoFolder("\\Garmin\\GeocachePhotos\\", "gc1a2b3"), "\\Garmin\\GeocachePhotos\\3\\B\\GC1A2B3\\");
  EXPECT_EQ(GarminPhotoFolder("\\Garmin\\GeocachePhotos", "GC7"), "\\Garmin\\GeocachePhotos\\7\\0\\GC7\\");
  EXPECT_EQ(GarminPhotoFolder("\\Garmin\\GeocachePhotos\\", "G7"), "");
  EXPECT_TRUE(SaysSpoiler("Spoiler 1"_1250));
  EXPECT_TRUE(SaysSpoiler("NÁPOVEDA k finálke"_1250));
  EXPECT_TRUE(SaysSpoiler("nápoveda"_1250));
  EXPECT_TRUE(SaysSpoiler("Hint: look up"_1250));
  EXPECT_TRUE(SaysSpoiler("hilfe"_1250));
  EXPECT_TRUE(SaysSpoiler("Spoiler2.jpg"_1250));
  EXPECT_TRUE(SaysSpoiler("spoilery"_1250));
  EXPECT_FALSE(SaysSpoiler("Antispoiler"_1250));
  EXPECT_FALSE(SaysSpoiler("Pohlad na hrad"_1250));
  EXPECT_FALSE(SaysSpoiler("Hinter dem Baum"_1250));

  std::vector<std::string> used;
  // Only letters (1250's too), digits, spaces and _ stay; the rest parts words.
  EXPECT_EQ(GarminPhotoName("Spoiler: most/lávka!"_1250, "x.jpg", used), "Spoiler most lávka.jpg"_1250.bytes());
  EXPECT_EQ(GarminPhotoName({}, "gc1a2b3_okolie.jpg", used), "gc1a2b3_okolie.jpg");
  EXPECT_EQ(GarminPhotoName("***"_1250, "a-b.c.JPG", used), "a b c.jpg");
  EXPECT_EQ(GarminPhotoName({}, "...", used), "foto.jpg");
  // Unique in the folder without regard to case, of accented letters too.
  EXPECT_EQ(GarminPhotoName("SPOILER  MOST LÁVKA"_1250, "y.jpg", used), "SPOILER MOST LÁVKA 2.jpg"_1250.bytes());
  EXPECT_EQ(GarminPhotoName("Spoiler"_1250, "a.jpg", used), "Spoiler.jpg");
  EXPECT_EQ(GarminPhotoName("spoiler"_1250, "b.jpg", used), "spoiler 2.jpg");
  // At most 60 characters, the number kept when the name is cut.
  const auto longCaption = text::Cp1250::FromBytes(std::string(80, 'k'));
  const std::string first = GarminPhotoName(longCaption, "c.jpg", used);
  const std::string second = GarminPhotoName(longCaption, "d.jpg", used);
  EXPECT_EQ(first, std::string(56, 'k') + ".jpg");
  EXPECT_EQ(second, std::string(54, 'k') + " 2.jpg");
}

}  // namespace
}  // namespace trovik::pages::test
