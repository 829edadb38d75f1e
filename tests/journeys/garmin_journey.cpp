// Today's handhelds: two caches exported with "Fotky aj pre Garmin" to the
// card, their photos and spoilers found where a Garmin unit looks, and the
// card's free room in the manager's status bar.

#include <sys/statvfs.h>

#include <filesystem>

#include "steps.h"

namespace trovik::journeys {
namespace {

namespace fs = std::filesystem;

// The files of a card folder, by name.
QStringList FilesIn(const std::string& folder) {
  QStringList names;
  std::error_code ec;
  for (const auto& e : fs::directory_iterator(folder, ec)) {
    if (e.is_regular_file()) names << QString::fromStdString(e.path().filename().string());
  }
  names.sort();
  return names;
}

TEST_F(Journey, GarminPhotosAndSpoilersOnTheCardAndItsFreeRoom) {
  Trip& t = begin();
  Person& p = me();
  // The unit's internal memory holds its Garmin folder; the card the data folder.
  fs::create_directories(t.card() + "Garmin");
  fs::create_directories(t.card() + "Storage Card/Geo");
  WAIT_UNTIL(p, p.entries(kNames).size() == 31, 20s);
  p.click(QStringLiteral("SpeedButton7"));
  WAIT_UNTIL(p, p.panels(QStringLiteral("StatusBar1")).value(2) == QStringLiteral("PDA ON"), 15s);
  WAIT_UNTIL(p, p.enabled(QStringLiteral("CheckBox1")), 5s);
  p.click(QStringLiteral("CheckBox1"));
  WAIT_UNTIL(p, p.checked(QStringLiteral("CheckBox1")), 5s);

  p.clickTab(QStringLiteral("PageControl1"), QStringLiteral("Nastavenia"));
  EXPECT_EQ(p.text(QStringLiteral("Edit24")), QStringLiteral("\\Garmin\\GeocachePhotos\\"));
  EXPECT_TRUE(p.text(QStringLiteral("Label43")).contains(QStringLiteral("vnútornej pamäte")));
  p.click(QStringLiteral("SpeedButton9"));
  WAIT_UNTIL(p, fs::is_directory(t.card() + "Storage Card/Geo/Pictures"), 15s);
  p.click(QStringLiteral("CheckBox8"));
  WAIT_UNTIL(p, p.checked(QStringLiteral("CheckBox8")), 5s);

  p.clickTab(QStringLiteral("PageControl1"), QStringLiteral("Browser"));
  for (const QString& name : {QStringLiteral("Starý mlyn"), QStringLiteral("Hrad Hrušov")}) {
    p.clickEntryBox(kNames, name);
  }
  WAIT_UNTIL(p, MarkCount(p) == 2, 5s);
  p.click(QStringLiteral("SpeedButton6"));
  // The pictures a unit cannot show are named once, when the copies are done.
  const QJsonObject box = p.waitForDialog(120s);
  const QString said = box["text"].toString();
  EXPECT_TRUE(said.startsWith(QStringLiteral("Pre Garmin vynechané (nie sú JPEG): "))) << said.toStdString();
  EXPECT_TRUE(said.contains(QStringLiteral("gc1a2b3_mapa.png")) && said.contains(QStringLiteral("gc1b7k4_znak.gif")))
      << said.toStdString();
  EXPECT_EQ(said.count(QStringLiteral("gc1b7k4_plan.png")), 1) << said.toStdString();
  p.answer({QStringLiteral("OK")});
  WAIT_UNTIL(p, MarkCount(p) == 0, 30s);

  // GC1A2B3: its header pictures are spoilers named by their link texts; the
  // one also shown on the page goes there only. GC1B7K4 ends in 4, then K.
  const std::string photos = t.card() + "Garmin/GeocachePhotos/";
  const std::string first = photos + "3/B/GC1A2B3/", second = photos + "4/K/GC1B7K4/";
  EXPECT_EQ(FilesIn(first), QStringList{QStringLiteral("gc1a2b3_okolie.jpg")});
  EXPECT_EQ(FilesIn(first + "Spoilers"), (QStringList{QStringLiteral("Fotka z listingu.jpg"), QStringLiteral("Spoiler.jpg")}));
  EXPECT_EQ(FilesIn(second), QStringList{QStringLiteral("gc1b7k4_foto.jpg")});
  EXPECT_EQ(FilesIn(second + "Spoilers"), QStringList{QStringLiteral("Spoiler.jpg")});
  // Each is the picture the PC holds, byte for byte.
  EXPECT_EQ(Trip::Read(first + "Spoilers/Spoiler.jpg"), Trip::Read(t.home() + "Pictures/gc1a2b3_spoiler.jpg"));
  EXPECT_EQ(Trip::Read(first + "Spoilers/Fotka z listingu.jpg"), Trip::Read(t.home() + "Pictures/gc1a2b3_foto.jpg"));
  EXPECT_EQ(Trip::Read(second + "gc1b7k4_foto.jpg"), Trip::Read(t.home() + "Pictures/gc1b7k4_foto.jpg"));
  // The pages went to the card as before.
  EXPECT_TRUE(Trip::Exists(t.card() + "Storage Card/Geo/HTM/Starý mlyn.htm"));
  EXPECT_TRUE(Trip::Exists(t.card() + "Storage Card/Geo/HTM/Hrad Hrušov.htm"));

  // The manager shows what the card can still take.
  p.clickTab(QStringLiteral("PageControl1"), QStringLiteral("PDA Manažér"));
  p.click(QStringLiteral("SpeedButton12"));
  QString room;
  WAIT_UNTIL(p, (room = p.panels(QStringLiteral("StatusBar3")).value(2)).startsWith(QStringLiteral("Voľné: ")), 15s);
  struct statvfs v {};
  ASSERT_EQ(statvfs(t.card().c_str(), &v), 0);
  const double freeMb = static_cast<double>(v.f_bavail) * static_cast<double>(v.f_frsize) / (1024.0 * 1024.0);
  const QStringList parts = room.mid(7).split(QLatin1Char(' '));
  ASSERT_EQ(parts.size(), 2) << room.toStdString();
  double shown = QString(parts[0]).replace(QLatin1Char(','), QLatin1Char('.')).toDouble();
  if (parts[1] == QStringLiteral("GB")) {
    shown *= 1024;
  } else if (parts[1] == QStringLiteral("kB")) {
    shown /= 1024;
  } else {
    EXPECT_EQ(parts[1], QStringLiteral("MB")) << room.toStdString();
  }
  // Others write to the same disk meanwhile: the figure is the disk's, near enough.
  EXPECT_NEAR(shown, freeMb, freeMb * 0.05 + 110) << room.toStdString();
  EXPECT_TRUE(p.see(QStringLiteral("StatusBar3"))["panels"].toArray().at(2)["whole"].toBool()) << "room cut off";
}

}  // namespace
}  // namespace trovik::journeys
