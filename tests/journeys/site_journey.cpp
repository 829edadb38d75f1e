// Logging in on both sites, and fetching listings by "GC" and by a double
// click on a name.

#include "steps.h"

namespace trovik::journeys {
namespace {

void LogInWrongThenRight(Journey& j, Trip& t, Person& p, const QString& site) {
  (void)j;
  WAIT_UNTIL(p, p.entries(kNames).size() == 31, 20s);
  EXPECT_EQ(LogIn(p, site, QStringLiteral("geocacher"), QStringLiteral("zlé heslo"), kRed), kRed);
  EXPECT_EQ(p.text(QStringLiteral("Label3")), QStringLiteral("Na zobrazenie súradníc musíte byť prihlásený !"));
  EXPECT_EQ(Trip::Read(t.home() + "Trovik.ini").find("password="), std::string::npos)
      << "a refused password was stored";

  EXPECT_EQ(LogIn(p, site, QStringLiteral("Ďurko"), QStringLiteral("kešky"), kGreen), kGreen);
  WAIT_UNTIL(p, p.text(QStringLiteral("Label3")) == kLoggedIn + QStringLiteral("Ďurko"), 5s);
  const std::string ini = Trip::Read(t.home() + "Trovik.ini");
  EXPECT_NE(ini.find("username=\xCF" "urko"), std::string::npos) << ini;
  EXPECT_NE(ini.find("password=ke\x9Aky"), std::string::npos) << ini;
}

TEST_F(Journey, LogInOnSkWrongThenRight) {
  Trip& t = begin();
  LogInWrongThenRight(*this, t, me(), QStringLiteral("sk"));
}

TEST_F(Journey, LogInOnComWrongThenRight) {
  Trip& t = begin();
  LogInWrongThenRight(*this, t, me(), QStringLiteral("com"));
}

TEST_F(Journey, ListingByGcAndByDoubleClick) {
  Trip& t = begin();
  Person& p = me();
  WAIT_UNTIL(p, p.entries(kNames).size() == 31, 20s);
  ASSERT_EQ(LogIn(p, QStringLiteral("sk"), QStringLiteral("geocacher"), QStringLiteral("trovik"), kGreen), kGreen);
  const QStringList names = p.entries(kNames);
  const QStringList codes = p.entries(kCodes);

  // Select a cache, press "GC": its listing is captured on the HTML tab.
  p.clickEntry(kNames, names[0]);
  p.click(QStringLiteral("SpeedButton4"));
  WAIT_UNTIL(p, p.text(QStringLiteral("Memo1")).contains(codes[0]), 30s);
  EXPECT_TRUE(p.text(QStringLiteral("Memo1")).contains(QStringLiteral("hlavniPanel")));
  EXPECT_NE(Trip::Read(t.home() + "HTM/getrawhtm.htm").find(codes[0].toStdString()), std::string::npos);
  // The page shows in the browser beside the lists.
  EXPECT_TRUE(p.shown(QStringLiteral("WebBrowser1")));

  // A double click on another name fetches that one.
  p.doubleClickEntry(kNames, names[2]);
  WAIT_UNTIL(p, p.text(QStringLiteral("Memo1")).contains(codes[2]), 30s);
  p.clickTab(QStringLiteral("PageControl1"), QStringLiteral("HTML"));
  WAIT_UNTIL(p, p.shown(QStringLiteral("Memo1")), 5s);
}

// Logged in once, the user stays logged in the next day: the window keeps the
// site's cookies in its profile when it closes.
TEST_F(Journey, TheLoginHoldsAfterARestart) {
  Trip& t = begin();
  Person& first = me();
  WAIT_UNTIL(first, first.entries(kNames).size() == 31, 20s);
  ASSERT_EQ(LogIn(first, QStringLiteral("sk"), QStringLiteral("geocacher"), QStringLiteral("trovik"), kGreen), kGreen);
  first.menu({QStringLiteral("Sbor1")});
  first.menu({QStringLiteral("Koniecprogramu1")});
  ASSERT_EQ(t.window().waitExit(10s), 0) << "the window did not close";

  ASSERT_TRUE(t.start()) << "the window did not show up again";
  Person& p = me();
  WAIT_UNTIL(p, p.entries(kNames).size() == 31, 20s);
  const QStringList codes = p.entries(kCodes);
  p.clickTab(QStringLiteral("PageControl1"), QStringLiteral("Browser"));
  p.clickEntry(kNames, p.entries(kNames)[0]);
  p.click(QStringLiteral("SpeedButton4"));
  WAIT_UNTIL(p, p.text(QStringLiteral("Memo1")).contains(codes[0]), 30s);
  // Coordinates and the greeting come only to a logged-in user.
  EXPECT_TRUE(p.text(QStringLiteral("Memo1")).contains(QStringLiteral("<BIG><STRONG> N ")));
  WAIT_UNTIL(p, p.text(QStringLiteral("Label3")) == kLoggedIn + QStringLiteral("geocacher"), 5s);
}

}  // namespace
}  // namespace trovik::journeys
