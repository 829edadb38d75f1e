// The first start, and opening a GPX file through the open dialog.

#include <fstream>

#include "steps.h"

namespace trovik::journeys {
namespace {

TEST_F(Journey, FirstStartWithTheSampleFile) {
  TripOptions options;
  options.settings = false;
  Trip& t = begin(options);
  Person& p = me();
  // "O programe" is in front, then the open dialog with the sample file chosen, above the window.
  const QJsonObject dialog = p.waitForDialog(30s);
  ASSERT_EQ(dialog["class"].toString(), QStringLiteral("QFileDialog"));
  QJsonObject pages = p.see(QStringLiteral("PageControl1"));
  for (const QJsonValue& tab : pages["tabs"].toArray()) {
    if (tab["current"].toBool()) {
      EXPECT_EQ(tab["text"].toString(), QStringLiteral("O programe"));
    }
  }
  const QJsonObject windows = t.window().ask(QStringLiteral("windows"));
  EXPECT_EQ(windows["active"].toString(), dialog["name"].toString()) << "the open dialog is not the active window";
  bool sampleChosen = false;
  for (const QJsonValue& e : dialog["edits"].toArray()) {
    sampleChosen |= e["text"].toString().contains(QStringLiteral("Zlaté Moravce50km.wpt"));
  }
  EXPECT_TRUE(sampleChosen) << "the sample file is not preselected";
  bool slovak = false;
  for (const QJsonValue& b : dialog["buttons"].toArray()) slovak |= b["text"].toString().remove('&') == kOpen[0];
  EXPECT_TRUE(slovak) << "the open dialog does not speak Slovak";

  // A click on the dialog's accept button, as the dialog lies on the screen.
  p.answer(kOpen);
  WAIT_UNTIL(p, p.entries(kNames).size() == 31, 20s);
  EXPECT_EQ(p.entries(kCodes).size(), 31);
  EXPECT_EQ(p.text(QStringLiteral("Edit6")), QStringLiteral("Zlaté Moravce50km.wpt"));
  // The choice is remembered for the next start.
  WAIT_UNTIL(p, Trip::Exists(t.home() + "Trovik.ini"), 5s);
  EXPECT_NE(Trip::Read(t.home() + "Trovik.ini").find("WPTsubor="), std::string::npos);
}

TEST_F(Journey, OpenAGpxFile) {
  Trip& t = begin();
  Person& p = me();
  WAIT_UNTIL(p, p.entries(kNames).size() == 31, 20s);
  const std::string gpx = t.home() + "výlet.gpx";
  std::ofstream(gpx) << R"(<?xml version="1.0" encoding="utf-8"?>
<gpx version="1.0" creator="journey">
  <wpt lat="48.419167" lon="18.398333"><name>GC1A2B3</name><desc>Starý mlyn pri Hronci (GC1A2B3)</desc><type>Geocache|Traditional Cache</type></wpt>
  <wpt lat="48.3" lon="18.25"><name>GC2B3C4</name><desc>Hrad Žirany (GC2B3C4)</desc><type>Geocache|Multi-cache</type></wpt>
</gpx>
)";
  OpenByDialog(p, gpx);
  WAIT_UNTIL(p, p.entries(kNames).size() == 2, 20s);
  // A pocket query names its waypoints by their codes; the description keeps the name.
  EXPECT_EQ(p.entries(kNames), (QStringList{QStringLiteral("GC1A2B3"), QStringLiteral("GC2B3C4")}));
  EXPECT_EQ(p.entries(kCodes), (QStringList{QStringLiteral("GC1A2B3"), QStringLiteral("GC2B3C4")}));
  EXPECT_EQ(p.entries(kPositions), (QStringList{QStringLiteral("wpt file"), QStringLiteral("wpt file")}));
  const QString wpt = p.text(QStringLiteral("Memo2"));
  EXPECT_TRUE(wpt.startsWith(QStringLiteral("OziExplorer Waypoint File"))) << wpt.left(200).toStdString();
  EXPECT_TRUE(wpt.contains(QStringLiteral("Hrad Žirany"))) << wpt.toStdString();
}

}  // namespace
}  // namespace trovik::journeys
