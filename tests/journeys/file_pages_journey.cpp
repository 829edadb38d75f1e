// Pages straight from a pocket query: no login, no listing site, the pages,
// their pictures and the index on the card, and "GC" showing a page made
// from the file.

#include <QRegularExpression>
#include <filesystem>
#include <regex>

#include "steps.h"
#include "support/run_program.h"

namespace trovik::journeys {
namespace {

namespace fs = std::filesystem;

// The pictures a page points at in Pictures\.
std::vector<std::string> LocalPictures(const std::string& page) {
  std::vector<std::string> names;
  static const std::regex local("\\.\\./Pictures/([^\"]+)\"");
  for (auto it = std::sregex_iterator(page.begin(), page.end(), local); it != std::sregex_iterator(); ++it)
    names.push_back((*it)[1].str());
  return names;
}

TEST_F(Journey, PagesFromThePocketQueryToTheCard) {
  Trip& t = begin();
  Person& p = me();
  WAIT_UNTIL(p, p.entries(kNames).size() == 31, 20s);
  // The demo's pocket query, its pictures on this run's demo site.
  const std::string pq = t.home() + "Pocket query.gpx";
  testing::RunOptions write;
  write.args = {"--write-pq", pq, "--base", site()};
  const testing::RunResult written = testing::RunProgram(testing::BinPath("trovik-demo-site"), write);
  ASSERT_EQ(written.exitCode, 0) << written.describe();
  OpenByDialog(p, pq);
  WAIT_UNTIL(p, p.text(QStringLiteral("Edit6")) == QStringLiteral("Pocket query.wpt"), 20s);
  WAIT_UNTIL(p, p.entries(kNames).size() >= 4, 20s);
  // Four caches whose names are their pages' names as they stand.
  QStringList names, codes;
  const QStringList allNames = p.entries(kNames), allCodes = p.entries(kCodes);
  for (int i = 0; i < allNames.size() && names.size() < 4; ++i) {
    if (allNames[i].contains(QRegularExpression(QStringLiteral("[/:;?\\\\&<>\"]")))) continue;
    names << allNames[i];
    codes << allCodes.value(i);
  }
  ASSERT_EQ(names.size(), 4);

  // The card: connected, its folders made, "Aj do PDA" ticked.
  fs::create_directories(t.card() + "Storage Card/Geo");
  p.click(QStringLiteral("SpeedButton7"));
  WAIT_UNTIL(p, p.enabled(QStringLiteral("CheckBox1")), 15s);
  p.clickTab(QStringLiteral("PageControl1"), QStringLiteral("Nastavenia"));
  p.click(QStringLiteral("SpeedButton9"));
  WAIT_UNTIL(p, fs::is_directory(t.card() + "Storage Card/Geo/Pictures"), 15s);
  p.clickTab(QStringLiteral("PageControl1"), QStringLiteral("Browser"));
  p.click(QStringLiteral("CheckBox1"));
  WAIT_UNTIL(p, p.checked(QStringLiteral("CheckBox1")), 5s);

  p.click(QStringLiteral("RadioStrankySubor"));
  WAIT_UNTIL(p, p.checked(QStringLiteral("RadioStrankySubor")), 5s);
  for (int i = 0; i < 3; ++i) p.clickEntryBox(kNames, names[i]);
  WAIT_UNTIL(p, MarkCount(p) == 3, 5s);
  p.click(QStringLiteral("SpeedButton6"));
  // Each mark goes as its page is written; the run ends with its summary and the index shown.
  WAIT_UNTIL(p, MarkCount(p) == 0, 60s);
  WAIT_UNTIL(p, p.panels(QStringLiteral("StatusBar1")).value(4).startsWith(QStringLiteral("Hotovo, stránok: 3")), 30s);
  WAIT_UNTIL(p, p.text(QStringLiteral("Memo1")).contains(QStringLiteral("podľa")) ||
                    p.text(QStringLiteral("Memo1")).contains(names[2]), 20s);

  const std::string card = t.card() + "Storage Card/Geo/";
  EXPECT_TRUE(Trip::Exists(card + "HTM/index.htm"));
  int pictures = 0;
  for (int i = 0; i < 3; ++i) {
    const std::string name = names[i].toStdString();
    const std::string page = Trip::Read(t.home() + "HTM/" + name + ".htm");
    ASSERT_FALSE(page.empty()) << name;
    EXPECT_EQ(Trip::Read(card + "HTM/" + name + ".htm"), page) << name;
    EXPECT_NE(Trip::Read(card + "HTM/index.htm").find(">" + codes[i].toStdString() + "<"), std::string::npos) << name;
    for (const std::string& picture : LocalPictures(page)) {
      EXPECT_TRUE(Trip::Exists(card + "Pictures/" + picture)) << picture;
      ++pictures;
    }
  }
  EXPECT_GT(pictures, 0) << "no page points at a picture of its own";

  // "GC" on a fourth cache: its page from the file, at once.
  p.clickEntry(kNames, names[3]);
  p.click(QStringLiteral("SpeedButton4"));
  WAIT_UNTIL(p, Trip::Exists(t.home() + "HTM/" + names[3].toStdString() + ".htm"), 20s);
  WAIT_UNTIL(p, p.text(QStringLiteral("Memo1")).contains(names[3]), 20s);
  EXPECT_EQ(Trip::Read(card + "HTM/index.htm").find(">" + codes[3].toStdString() + "<"), std::string::npos)
      << "showing one page rewrote the run's index";
}

}  // namespace
}  // namespace trovik::journeys
