// The shared fake browser behaves like the engine the waits are written for.
#include "support/fake_browser.h"

#include <gtest/gtest.h>

#include "base/error.h"

namespace trovik::testing {
namespace {

TEST(FakeBrowser, CompletesAtTheNextPumpAndFramesCompleteAgain) {
  FakeHost host;
  FakeBrowser browser(host);
  browser.setPage("a", PageWithBody("A", 2));
  int fired = 0;
  browser.onDocumentComplete = [&] { ++fired; };
  browser.Navigate("a");
  EXPECT_TRUE(browser.Busy());
  EXPECT_EQ(fired, 0);
  host.processMessages();
  EXPECT_EQ(fired, 1);
  EXPECT_TRUE(browser.Busy());  // the second frame is still loading
  host.processMessages();
  EXPECT_EQ(fired, 2);
  EXPECT_FALSE(browser.Busy());
  EXPECT_EQ(browser.BodyHtml(), "A");
}

TEST(FakeBrowser, ElementsClicksAndStop) {
  FakeHost host;
  FakeBrowser browser(host);
  FakePage login;
  login.elements = {"user", "go"};
  login.clicks["go"] = "home";
  browser.setPage("login", login);
  browser.setPage("home", PageWithBody("welcome"));
  browser.Navigate("login");
  host.processMessages();
  EXPECT_THROW(browser.SetElementText("nothing", "x"), Error);
  browser.SetElementText("user", "me");
  browser.ClickElement("go");
  host.processMessages();
  EXPECT_EQ(browser.BodyHtml(), "welcome");
  ASSERT_EQ(browser.textsSet.size(), 1u);
  EXPECT_EQ(browser.navigations, (std::vector<std::string>{"login", "home"}));

  browser.Navigate("login");
  browser.Stop();
  host.processMessages();
  EXPECT_FALSE(browser.Busy());
  EXPECT_EQ(browser.currentAddress(), "home");  // the stopped load never completed
}

TEST(FakeBrowser, UnknownAddressNeverCompletesUntilTold) {
  FakeHost host;
  FakeBrowser browser(host);
  browser.Navigate("nowhere");
  host.processMessages();
  EXPECT_TRUE(browser.Busy());
  browser.complete();
  EXPECT_FALSE(browser.Busy());
  EXPECT_EQ(browser.completionsFired, 1);
}

}  // namespace
}  // namespace trovik::testing
