// The helper tab typed into, and the window closed in the middle of a wait.

#include "steps.h"
#include "support/silent_server.h"

namespace trovik::journeys {
namespace {

TEST_F(Journey, ToolsTabTypedInto) {
  begin();
  Person& p = me();
  WAIT_UNTIL(p, p.entries(kNames).size() == 31, 20s);
  p.clickTab(QStringLiteral("PageControl1"), QStringLiteral("Pomôcky Geokešera"));
  // The converter answers each key.
  p.fill(QStringLiteral("Edit9"), QStringLiteral("48.5"));
  WAIT_UNTIL(p, p.text(QStringLiteral("Edit10")) == QStringLiteral("48°30.000'"), 5s);
  // The other way, editing the minutes in place: every text on the way is
  // a valid one (a half-typed value would rightly bring an error box).
  p.click(QStringLiteral("Edit10"));
  p.key("End");
  p.key("Left");
  p.key("BackSpace");
  WAIT_UNTIL(p, p.text(QStringLiteral("Edit9")) == QStringLiteral("48.50000°"), 5s);
  p.type(QStringLiteral("5"));
  WAIT_UNTIL(p, p.text(QStringLiteral("Edit10")) == QStringLiteral("48°30.005'"), 5s);
  WAIT_UNTIL(p, p.text(QStringLiteral("Edit9")) == QStringLiteral("48.50008°"), 5s);
  EXPECT_EQ(p.front()["kind"].toString(), QStringLiteral("none"));

  // Distance between the two points typed in.
  p.fill(QStringLiteral("Edit11"), QStringLiteral("48.0"));
  p.fill(QStringLiteral("Edit12"), QStringLiteral("19.0"));
  p.fill(QStringLiteral("Edit13"), QStringLiteral("48.0"));
  p.fill(QStringLiteral("Edit14"), QStringLiteral("18.0"));
  p.click(QStringLiteral("SpeedButton16"));
  WAIT_UNTIL(p, !p.text(QStringLiteral("Edit15")).isEmpty(), 5s);
  const double metres = p.text(QStringLiteral("Edit15")).replace(',', '.').toDouble();
  EXPECT_GT(metres, 74000);
  EXPECT_LT(metres, 75000);

  // An encoded hint typed in and decoded.
  p.fill(QStringLiteral("Memo5"), QStringLiteral("Cbq xnzrabz"));
  p.click(QStringLiteral("SpeedButton15"));
  WAIT_UNTIL(p, p.text(QStringLiteral("Memo5")).contains(QStringLiteral("Pod kamenom")), 5s);
}

// Chooses "Koniec programu" from the menu and expects the program to end by
// itself, and soon.
void CloseByMenu(Trip& t) {
  Person& p = t.person();
  p.menu({QStringLiteral("Sbor1")});
  const auto pressed = std::chrono::steady_clock::now();
  p.menu({QStringLiteral("Koniecprogramu1")});
  const int status = t.window().waitExit(10s);
  const auto took = std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - pressed);
  EXPECT_EQ(status, 0) << "the process did not end by itself";
  EXPECT_LE(took.count(), 2500) << "closing took " << took.count() << " ms";
}

TEST_F(Journey, ClosingDuringAWaitEndsTheProgram) {
  testing::SilentServer silent;
  ASSERT_NE(silent.port(), 0);
  TripOptions options;
  options.skAddress = silent.origin() + "/sk";
  // Without the folders the shut-down writes, to see them written.
  options.pcFolder = false;
  Trip& t = begin(options);
  Person& p = me();
  WAIT_UNTIL(p, p.entries(kNames).size() == 31, 20s);
  ASSERT_EQ(Trip::Read(t.home() + "Trovik.ini").find("[LastCesty]"), std::string::npos);

  // "GC" on a cache of a site that never answers: the command waits.
  p.clickEntry(kNames, p.entries(kNames).at(0));
  p.click(QStringLiteral("SpeedButton4"));
  std::this_thread::sleep_for(2s);
  EXPECT_TRUE(t.window().running());
  // The window still answers during the wait: the menu opens on a click.
  CloseByMenu(t);
  const std::string ini = Trip::Read(t.home() + "Trovik.ini");
  EXPECT_NE(ini.find("[LastCesty]"), std::string::npos) << ini;
  EXPECT_NE(ini.find("PDA="), std::string::npos) << ini;
  EXPECT_NE(ini.find("PC="), std::string::npos) << ini;
  EXPECT_NE(ini.find("Subor="), std::string::npos) << ini;
}

TEST_F(Journey, ClosingDuringABatchEndsTheProgram) {
  Trip& t = begin();
  Person& p = me();
  WAIT_UNTIL(p, p.entries(kNames).size() == 31, 20s);
  const QStringList names = p.entries(kNames);
  for (int i = 0; i < 6; ++i) p.clickEntryBox(kNames, names[i]);
  WAIT_UNTIL(p, MarkCount(p) == 6, 5s);
  p.click(QStringLiteral("SpeedButton6"));
  // Closed while the batch is at work on its second cache or later.
  WAIT_UNTIL(p, MarkCount(p) <= 5, 60s);
  CloseByMenu(t);
  EXPECT_NE(Trip::Read(t.home() + "Trovik.ini").find("PDA="), std::string::npos);
}

}  // namespace
}  // namespace trovik::journeys
