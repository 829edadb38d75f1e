// bench_window: the window against trovik-cli on the same work, in one run,
// under Xvfb with the demo site. Each window figure runs from the person's
// click to what the window shows when the work is done; each CLI figure is
// the whole command. The goal: window <= 1.3 x CLI. Then a page with 250
// pictures captured over loopback HTTP and from a file (goal: within 2 x).

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <functional>
#include <string>
#include <thread>

#include "driver/journey.h"

using namespace std::chrono_literals;
using trovik::journeys::Person;
using trovik::journeys::RunProgram;
using trovik::journeys::Scene;
using trovik::journeys::Trip;
using Clock = std::chrono::steady_clock;

namespace {

namespace fs = std::filesystem;
const QString kNames = QStringLiteral("CheckListBox1");

double Seconds(const std::function<bool()>& work, bool* ok = nullptr) {
  const auto start = Clock::now();
  const bool done = work();
  if (ok) *ok = done;
  return std::chrono::duration<double>(Clock::now() - start).count();
}

struct Cli {
  std::string home;
  std::string site;
  bool run(std::vector<std::string> args) const {
    std::vector<std::string> argv{std::string(TROVIK_BIN_DIR) + "/trovik-cli", "--home", home};
    argv.insert(argv.end(), args.begin(), args.end());
    for (const char* o : {"--sk", "--com", "--images"}) {
      argv.push_back(o);
      argv.push_back(site + (std::string(o) == "--sk" ? "/sk" : std::string(o) == "--com" ? "/com" : "/img"));
    }
    std::string out;
    return RunProgram(argv, {{"TROVIK_DEVICE_ROOT", home + "card"}, {"QT_QPA_PLATFORM", "offscreen"}}, &out) == 0;
  }
};

void Row(const char* what, double window, bool windowOk, double cli, bool cliOk, double goal) {
  const double ratio = cli > 0 ? window / cli : 0;
  std::printf("%-34s %8.2f s%s %8.2f s%s %7.2fx  %s\n", what, window, windowOk ? " " : "!", cli, cliOk ? " " : "!",
              ratio, ratio <= goal && windowOk && cliOk ? "ok" : "MISSED");
}

}  // namespace

int main() {
  // Each figure as soon as it is known: the whole run takes minutes.
  std::setvbuf(stdout, nullptr, _IOLBF, 0);
  Scene scene;
  if (!scene.ready()) {
    std::fprintf(stderr, "bench_window: no Xvfb or demo site\n");
    return 1;
  }
  Trip trip(scene);
  const std::string cliHome = trip.home() + "cli/";
  fs::create_directories(cliHome + "card");
  for (const char* f : {"Zlaté Moravce50km.wpt", "suradnicemiest.ini"}) fs::copy_file(trip.home() + f, cliHome + f);
  const Cli cli{cliHome, scene.address()};
  const std::string sample = cliHome + "Zlaté Moravce50km.wpt";

  if (!trip.start()) {
    std::fprintf(stderr, "bench_window: the window did not show up\n%s\n", trip.logTail().c_str());
    return 1;
  }
  Person& p = trip.person();
  if (!p.waitFor([&] { return p.entries(kNames).size() >= 12; }, 30s)) return 1;
  std::printf("%-34s %10s  %10s  %7s\n", "work", "window", "trovik-cli", "ratio");

  // Login on the national site until the name field turns green.
  p.fill(QStringLiteral("Edit1"), QStringLiteral("geocacher"));
  p.fill(QStringLiteral("Edit2"), QStringLiteral("trovik"));
  bool wok = false, cok = false;
  double w = Seconds(
      [&] {
        p.click(QStringLiteral("SpeedButton5"));
        return p.waitFor([&] { return p.text(QStringLiteral("Label3")).startsWith(QStringLiteral("Ste prihl")); }, 120s);
      },
      &wok);
  double c = Seconds([&] { return cli.run({"login", "--site", "sk", "--user", "geocacher", "--password", "trovik"}); }, &cok);
  Row("login (\"Prihlás!\")", w, wok, c, cok, 1.3);

  // One listing by "GC".
  const QStringList names = p.entries(kNames);
  const QStringList codes = p.entries(QStringLiteral("CheckListBox2"));
  p.clickEntry(kNames, names[5]);
  w = Seconds(
      [&] {
        p.click(QStringLiteral("SpeedButton4"));
        return p.waitFor([&] { return p.text(QStringLiteral("Memo1")).contains(codes[5]); }, 120s);
      },
      &wok);
  c = Seconds([&] { return cli.run({"fetch", "--site", "sk", sample, codes[5].toStdString()}); }, &cok);
  Row("one listing (\"GC\")", w, wok, c, cok, 1.3);

  // A batch of 10 marked caches.
  std::string list;
  for (int i = 0; i < 10; ++i) {
    p.clickEntryBox(kNames, names[i]);
    list += (i ? "," : "") + codes[i].toStdString();
  }
  const auto marks = [&] {
    int n = 0;
    for (int v : p.checks(kNames)) n += v == 2;
    return n;
  };
  p.waitFor([&] { return marks() == 10; }, 10s);
  const bool marked = marks() == 10;
  w = Seconds(
      [&] {
        p.click(QStringLiteral("SpeedButton6"));
        return marked && p.waitFor([&] { return marks() == 0; }, 600s);
      },
      &wok);
  c = Seconds([&] { return cli.run({"export", "--site", "sk", sample, "--codes", list}); }, &cok);
  Row("batch of 10 marked caches", w, wok, c, cok, 1.3);

  // A nearby search by double click, then "Ďalšia stránka".
  p.clickTab(QStringLiteral("PageControl1"), QStringLiteral("Novinky v okolí miest"));
  w = Seconds(
      [&] {
        p.doubleClickEntry(QStringLiteral("ListBox1"), QStringLiteral("Zlaté Moravce"));
        if (!p.waitFor([&] { return p.panels(QStringLiteral("StatusBar6")).value(1).startsWith(QStringLiteral("Načítal")); },
                       120s))
          return false;
        const QString first = p.text(QStringLiteral("Memo3"));
        p.click(QStringLiteral("SpeedButton20"));
        return p.waitFor([&] { return p.text(QStringLiteral("Memo3")) != first; }, 120s);
      },
      &wok);
  c = Seconds([&] { return cli.run({"nearby", "--town", "Zlaté Moravce", "--pages", "2"}); }, &cok);
  Row("nearby search + next page", w, wok, c, cok, 1.3);

  // 250 pictures: the same page and pictures over loopback HTTP and from files.
  const std::string data = trip.home() + "site250/";
  fs::create_directories(data + "p");
  std::string picture;
  const bool drawn = RunProgram({"convert", "-size", "320x240", "plasma:fractal", data + "p/0.jpg"}) == 0;
  std::string page = "<HTML><BODY>\r\n";
  for (int i = 0; i < 250; ++i) {
    const std::string name = "p/" + std::to_string(i) + ".jpg";
    if (i > 0 && drawn) fs::copy_file(data + "p/0.jpg", data + name);
    page += "<IMG src=\"" + name + "\" width=32 height=24>\r\n";
  }
  page += "</BODY></HTML>\r\n";
  std::ofstream(data + "page.htm", std::ios::binary) << page;
  trovik::testing::DemoSiteProcess pictures(std::vector<std::string>{"--data", data});
  bool hok = false, fok = false;
  const double http = Seconds([&] { return cli.run({"capture", pictures.address() + "/page.htm"}); }, &hok);
  const double file = Seconds([&] { return cli.run({"capture", data + "page.htm"}); }, &fok);
  std::printf("%-34s %8.2f s%s %8.2f s%s %7.2fx  %s   (HTTP | file)\n", "page with 250 pictures (CLI)", http,
              hok ? " " : "!", file, fok ? " " : "!", file > 0 ? http / file : 0,
              http <= 2 * file && hok && fok ? "ok" : "MISSED");
  return 0;
}
