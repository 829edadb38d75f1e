// The nearby search: a town double-clicked, the next page, the type filter,
// the caches taken into the list; and a found cache's position exported.

#include <filesystem>

#include "steps.h"

namespace trovik::journeys {
namespace {

namespace fs = std::filesystem;

// Result rows on the page shown, and those of a traditional type, as the
// captured text shows them.
int Rows(const QString& page, bool onlyTraditional) {
  int n = 0;
  for (const QString& line : page.split(QStringLiteral("\n"))) {
    if (!line.contains(QStringLiteral("<IMG title=\"")) || line.contains(QStringLiteral("alt=\"Size:"))) continue;
    if (!onlyTraditional || line.contains(QStringLiteral("title=\"Traditional Cache\""))) ++n;
  }
  return n;
}

TEST_F(Journey, NearbySearchNextPageFilterAndTransfer) {
  begin();
  Person& p = me();
  WAIT_UNTIL(p, p.entries(kNames).size() == 31, 20s);
  EXPECT_FALSE(p.enabled(QStringLiteral("SpeedButton24")));
  SearchNear(p, QStringLiteral("Snina"));
  EXPECT_EQ(p.panels(QStringLiteral("StatusBar6")).value(1), QStringLiteral("Načítal som 20 záznamov"));
  EXPECT_TRUE(p.enabled(QStringLiteral("SpeedButton24")));
  const QString page1 = p.text(QStringLiteral("Memo3"));
  EXPECT_EQ(Rows(page1, false), 20);

  p.click(QStringLiteral("SpeedButton20"));
  WAIT_UNTIL(p, p.text(QStringLiteral("Memo3")) != page1 && Rows(p.text(QStringLiteral("Memo3")), false) == 20, 60s);
  const QString page2 = p.text(QStringLiteral("Memo3"));

  // Traditional caches off in the menu, the filter on.
  p.menu({QStringLiteral("Filtre1"), QStringLiteral("Typkeky1"), QStringLiteral("Tradin1")});
  WAIT_UNTIL(p, !p.see(QStringLiteral("Tradin1"))["found"].toBool() || !p.checked(QStringLiteral("Tradin1")), 5s);
  p.key("Escape");
  p.click(QStringLiteral("CheckBox5"));
  WAIT_UNTIL(p, p.checked(QStringLiteral("CheckBox5")), 5s);

  const int expected = Rows(page2, false) - Rows(page2, true);
  ASSERT_GT(Rows(page2, true), 0) << "page 2 has no traditional cache to filter out";
  p.click(QStringLiteral("SpeedButton24"));
  WAIT_UNTIL(p, p.panels(QStringLiteral("StatusBar6")).value(1) == QStringLiteral("Pridal som %1 nových").arg(expected), 10s);
  EXPECT_FALSE(p.enabled(QStringLiteral("SpeedButton24")));
  WAIT_UNTIL(p, p.entries(kNames).size() == 31 + expected, 5s);
  const QStringList positions = p.entries(kPositions);
  for (int i = 31; i < positions.size(); ++i) EXPECT_EQ(positions[i], QStringLiteral("?"));
  for (const QString& code : p.entries(kCodes).mid(31)) EXPECT_TRUE(page2.contains(code)) << code.toStdString();
}

TEST_F(Journey, ExportWptAfterANationalListingAndSaveToTheCard) {
  Trip& t = begin();
  Person& p = me();
  fs::create_directories(t.card() + "Storage Card/OZI_Maps/WP");
  WAIT_UNTIL(p, p.entries(kNames).size() == 31, 20s);
  SearchNear(p, QStringLiteral("Snina"));
  p.click(QStringLiteral("SpeedButton24"));
  WAIT_UNTIL(p, p.entries(kNames).size() == 51, 10s);

  ASSERT_EQ(LogIn(p, QStringLiteral("sk"), QStringLiteral("geocacher"), QStringLiteral("trovik"), kGreen), kGreen);
  EXPECT_FALSE(p.enabled(QStringLiteral("SpeedButton26")));
  const QString name = p.entries(kNames).at(31);
  // The list scrolls to the new cache as a person would, with the keyboard.
  p.clickEntry(kNames, p.entries(kNames).at(0));
  p.key("End");
  for (int i = 50; i > 31; --i) p.key("Up");
  WAIT_UNTIL(p, p.see(kNames)["entries"].toArray().at(31)["current"].toBool(), 5s);
  p.click(QStringLiteral("SpeedButton4"));
  WAIT_UNTIL(p, p.entries(kPositions).value(31) != QStringLiteral("?"), 30s);
  const QString position = p.entries(kPositions).value(31);
  EXPECT_TRUE(position.contains(QStringLiteral(","))) << position.toStdString();
  WAIT_UNTIL(p, p.enabled(QStringLiteral("SpeedButton26")), 5s);

  p.click(QStringLiteral("SpeedButton26"));
  const QJsonObject box = p.waitForDialog(10s);
  EXPECT_EQ(box["text"].toString(), QStringLiteral("Do WPT stránky bolo pridaných 1 záznamov"));
  p.answer({QStringLiteral("OK")});
  WAIT_UNTIL(p, p.front()["kind"].toString() == QStringLiteral("none"), 5s);
  const QString wpt = p.text(QStringLiteral("Memo2"));
  const QString last = wpt.trimmed().split(QStringLiteral("\n")).last();
  EXPECT_TRUE(last.contains(name) && last.contains(p.entries(kCodes).value(31))) << last.toStdString();

  // To the card: the link first, then the WPT tab's button.
  p.click(QStringLiteral("SpeedButton7"));
  WAIT_UNTIL(p, p.panels(QStringLiteral("StatusBar1")).value(2) == QStringLiteral("PDA ON"), 15s);
  p.clickTab(QStringLiteral("PageControl1"), QStringLiteral("WPT"));
  const std::string file = p.text(QStringLiteral("Edit6")).toStdString();
  p.click(QStringLiteral("SpeedButton10"));
  const std::string onCard = t.card() + "Storage Card/OZI_Maps/WP/" + file;
  WAIT_UNTIL(p, Trip::Exists(onCard), 15s);
  EXPECT_EQ(Trip::Read(onCard), Trip::Read(t.home() + file));
  EXPECT_NE(Trip::Read(onCard).find(p.entries(kCodes).value(31).toStdString()), std::string::npos);
}

}  // namespace
}  // namespace trovik::journeys
