// journey-screenshots OUT_DIR [HOME]: the README's pictures of the eight
// tabs, taken from the real window after a short day out driven like the
// journeys (log in, two caches marked by click, a listing fetched, the card
// read, a town searched). With HOME, the program folder lies in a user's
// folder tree made there (HOME/Geocaching/Trovik), as the manager's PC tree
// then shows it. Used by scripts/screenshots.

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <thread>

#include "driver/journey.h"

using namespace std::chrono_literals;
using trovik::journeys::Box;
using trovik::journeys::Person;
using trovik::journeys::Scene;
using trovik::journeys::Trip;

namespace {

const QString kNames = QStringLiteral("CheckListBox1");

bool Check(bool ok, const char* what) {
  if (!ok) std::fprintf(stderr, "screenshots: %s did not happen\n", what);
  return ok;
}

// The window as it lies on the screen, once it has had a moment to paint.
bool Shoot(Scene& scene, Person& p, const std::string& file) {
  std::this_thread::sleep_for(700ms);
  const Box window = Box::From(p.see(QStringLiteral("Form1"))["rect"]);
  if (!scene.display.screenshot(file, window)) return false;
  std::printf("screenshots: %s\n", file.c_str());
  return true;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2 && argc != 3) {
    std::fprintf(stderr, "usage: journey-screenshots OUT_DIR [HOME]\n");
    return 2;
  }
  std::setvbuf(stdout, nullptr, _IOLBF, 0);
  const std::string out = argv[1];
  std::filesystem::create_directories(out);
  trovik::journeys::TripOptions options;
  if (argc == 3) {
    const std::filesystem::path home = std::filesystem::u8path(argv[2]);
    for (const char* folder : {"Dokumenty", "Hudba", "Obrázky", "Stiahnuté", "Videá", "Verejné"}) {
      std::filesystem::create_directories(home / std::filesystem::u8path(folder));
    }
    options.folder = (home / "Geocaching").string();
  }
  Scene scene;
  if (!Check(scene.ready(), "Xvfb and the demo site")) return 1;
  Trip trip(scene, options);
  std::filesystem::create_directories(trip.card() + "Storage Card/Geo/HTM");
  std::filesystem::create_directories(trip.card() + "Storage Card/OZI_Maps/WP");
  std::ofstream(trip.card() + "Storage Card/Geo/HTM/Starý mlyn.htm") << "<HTML></HTML>\r\n";
  if (!Check(trip.start(), "the window's start")) return 1;
  Person& p = trip.person();
  const auto tab = [&](const char* caption) { p.clickTab(QStringLiteral("PageControl1"), QString::fromUtf8(caption)); };
  if (!Check(p.waitFor([&] { return p.entries(kNames).size() > 3; }, 20s), "the cache list")) return 1;

  // Browser: logged in, two caches marked by click, a listing fetched.
  p.fill(QStringLiteral("Edit1"), QStringLiteral("geocacher"));
  p.fill(QStringLiteral("Edit2"), QStringLiteral("trovik"));
  p.click(QStringLiteral("SpeedButton5"));
  Check(p.waitFor([&] { return p.text(QStringLiteral("Label3")).startsWith(QStringLiteral("Ste prihl")); }, 60s),
        "the login");
  const QStringList names = p.entries(kNames);
  p.clickEntryBox(kNames, names[0]);
  p.clickEntryBox(kNames, names[2]);
  const QString code = p.entries(QStringLiteral("CheckListBox2")).value(2);
  p.clickEntry(kNames, names[2]);
  p.click(QStringLiteral("SpeedButton4"));
  Check(p.waitFor([&] { return p.text(QStringLiteral("Memo1")).contains(code); }, 60s), "the listing");
  // The page's own rendering settles after the capture.
  std::this_thread::sleep_for(1500ms);
  bool ok = Shoot(scene, p, out + "/tab-1.png");
  tab("HTML");
  ok &= Shoot(scene, p, out + "/tab-2.png");
  tab("WPT");
  ok &= Shoot(scene, p, out + "/tab-3.png");
  tab("Nastavenia");
  ok &= Shoot(scene, p, out + "/tab-4.png");
  tab("O programe");
  ok &= Shoot(scene, p, out + "/tab-5.png");
  tab("PDA Manažér");
  p.click(QStringLiteral("SpeedButton12"));
  Check(p.waitFor([&] { return p.rows(QStringLiteral("StringPDA")).size() > 1; }, 15s), "the card's folder");
  p.doubleClickRow(QStringLiteral("StringPDA"), QStringLiteral("Storage Card"));
  Check(p.waitFor([&] { return p.rows(QStringLiteral("StringPDA")).size() > 2; }, 15s), "the storage card's folder");
  ok &= Shoot(scene, p, out + "/tab-6.png");
  tab("Novinky v okolí miest");
  p.doubleClickEntry(QStringLiteral("ListBox1"), QStringLiteral("Zlaté Moravce"));
  Check(p.waitFor([&] { return p.panels(QStringLiteral("StatusBar6")).value(1).startsWith(QStringLiteral("Načítal")); }, 60s),
        "the nearby search");
  std::this_thread::sleep_for(1500ms);
  ok &= Shoot(scene, p, out + "/tab-7.png");
  tab("Pomôcky Geokešera");
  ok &= Shoot(scene, p, out + "/tab-8.png");
  return ok ? 0 : 1;
}
