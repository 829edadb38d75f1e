// The batch export of marked caches: to the PC, to the card as well, and
// "Brejk" pressed while a batch runs.

#include <QRegularExpression>
#include <filesystem>

#include "steps.h"

namespace trovik::journeys {
namespace {

namespace fs = std::filesystem;

// Names without characters the page name would replace.
bool Plain(const QString& name) {
  return !name.contains(QRegularExpression(QStringLiteral("[/:;?\\\\<>&\"]")));
}

// Marks `count` caches with such names, from the `from`th name on, and waits
// until the list shows them marked; the names marked.
QStringList MarkPlain(Person& p, int count, int from = 0) {
  QStringList marked;
  const QStringList names = p.entries(kNames);
  for (int i = from; i < names.size() && marked.size() < count; ++i) {
    if (!Plain(names[i])) continue;
    p.clickEntryBox(kNames, names[i]);
    marked << names[i];
  }
  WAIT_UNTIL(p, MarkCount(p) == count, 5s);
  return marked;
}

// Marks `count` caches once the list is there and starts the batch export
// to the PC; the names marked (the batch starts only when all are).
QStringList StartBatch(Person& p, int count) {
  WAIT_UNTIL(p, p.entries(kNames).size() == 31, 20s);
  const QStringList marked = MarkPlain(p, count);
  if (marked.size() == count) p.click(QStringLiteral("SpeedButton6"));
  return marked;
}

TEST_F(Journey, BatchExportOfTwoMarkedCaches) {
  Trip& t = begin();
  Person& p = me();
  const QStringList marked = StartBatch(p, 2);
  ASSERT_EQ(marked.size(), 2);
  // Each cache loses its mark once its offline page is shown.
  WAIT_UNTIL(p, MarkCount(p) == 0, 90s);
  for (const QString& name : marked) {
    const std::string page = t.home() + "HTM/" + name.toStdString() + ".htm";
    EXPECT_TRUE(Trip::Exists(page)) << page;
  }
  // The last offline page is the one shown and captured.
  WAIT_UNTIL(p, p.text(QStringLiteral("Memo1")).contains(marked[1]), 10s);
}

TEST_F(Journey, BatchExportToTheCardByToolButton) {
  Trip& t = begin();
  Person& p = me();
  fs::create_directories(t.card() + "Storage Card/Geo");
  WAIT_UNTIL(p, p.entries(kNames).size() == 31, 20s);
  EXPECT_FALSE(p.enabled(QStringLiteral("CheckBox1")));
  p.click(QStringLiteral("SpeedButton7"));
  WAIT_UNTIL(p, p.panels(QStringLiteral("StatusBar1")).value(2) == QStringLiteral("PDA ON"), 15s);
  EXPECT_TRUE(p.see(QStringLiteral("StatusBar1"))["panels"].toArray().at(2)["whole"].toBool());
  WAIT_UNTIL(p, p.enabled(QStringLiteral("CheckBox1")), 5s);
  p.click(QStringLiteral("CheckBox1"));
  WAIT_UNTIL(p, p.checked(QStringLiteral("CheckBox1")), 5s);

  // The card's folders, made from the settings tab.
  p.clickTab(QStringLiteral("PageControl1"), QStringLiteral("Nastavenia"));
  p.click(QStringLiteral("SpeedButton9"));
  WAIT_UNTIL(p, fs::is_directory(t.card() + "Storage Card/Geo/HTM"), 15s);
  WAIT_UNTIL(p, fs::is_directory(t.card() + "Storage Card/Geo/Pictures"), 15s);

  p.clickTab(QStringLiteral("PageControl1"), QStringLiteral("Browser"));
  const QStringList marked = MarkPlain(p, 2, 3);
  ASSERT_EQ(marked.size(), 2);
  p.click(QStringLiteral("ToolButton12"));
  WAIT_UNTIL(p, MarkCount(p) == 0, 90s);
  // The copies go to the card together once the pages are made; the status bar says when all are there.
  WAIT_UNTIL(p, p.panels(QStringLiteral("StatusBar1")).join(QLatin1Char('|')).contains(QStringLiteral("Hotovo")), 30s);
  for (const QString& name : marked) {
    EXPECT_TRUE(Trip::Exists(t.home() + "HTM/" + name.toStdString() + ".htm")) << name.toStdString();
    const std::string onCard = t.card() + "Storage Card/Geo/HTM/" + name.toStdString() + ".htm";
    EXPECT_TRUE(Trip::Exists(onCard)) << onCard;
    if (Trip::Exists(onCard)) {
      EXPECT_EQ(Trip::Read(onCard), Trip::Read(t.home() + "HTM/" + name.toStdString() + ".htm"));
    }
  }
}

TEST_F(Journey, BrejkInTheMiddleOfABatch) {
  Trip& t = begin();
  Person& p = me();
  const QStringList marked = StartBatch(p, 4);
  ASSERT_EQ(marked.size(), 4);
  // As soon as the first cache is done, "Brejk": the window answers the
  // click during the batch, which goes on with its next step.
  WAIT_UNTIL(p, MarkCount(p) <= 3, 60s);
  p.click(QStringLiteral("SpeedButton11"));
  WAIT_UNTIL(p, MarkCount(p) == 0, 90s);
  // Every cache still gets its page: a page cut short by "Brejk" is written from what was captured.
  for (const QString& name : marked) {
    EXPECT_TRUE(Trip::Exists(t.home() + "HTM/" + name.toStdString() + ".htm")) << name.toStdString();
  }
  // The window is alive and still takes commands.
  EXPECT_TRUE(t.window().running());
  p.clickTab(QStringLiteral("PageControl1"), QStringLiteral("WPT"));
  WAIT_UNTIL(p, p.shown(QStringLiteral("Memo2")), 5s);
}

}  // namespace
}  // namespace trovik::journeys
