// The window's start with a remembered waypoint file of N lines: from the
// window's creation until it is up and painted with the first part of each
// list, and until every entry and WPT line is in its widget (the rest goes
// in from the event loop while the window answers). The CLI lists the same
// file in the same run ("trovik-cli caches"), a figure without widgets.
// Prints each time and the time per line, which stays flat when the start
// grows linearly.
//   bench_window_start [LINES...]       (default 100000 300000 1000000)
// Runs offscreen unless QT_QPA_PLATFORM says otherwise; TROVIK_CLI names the
// CLI (default: trovik-cli beside this program's build).

#include <QApplication>
#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QProcess>
#include <QTemporaryDir>
#include <cstdio>
#include <cstdlib>

#include "app/main_state.h"
#include "base/paths.h"
#include "gui/main_window.h"
#include "site/browser.h"
#include "support/still_browser.h"

namespace {

// Four header lines, then caches with a code each, 1250 bytes, CR LF.
void WriteWaypointFile(const QString& path, long lines) {
  QFile file(path);
  if (!file.open(QIODevice::WriteOnly)) {
    std::fprintf(stderr, "cannot write %s\n", qPrintable(path));
    std::exit(2);
  }
  QByteArray out = "OziExplorer Waypoint File Version 1.1\r\nWGS 84\r\nReserved 2\r\ngarmin\r\n";
  for (long i = 1; i + 4 <= lines; ++i) {
    const QByteArray n = QByteArray::number(static_cast<qlonglong>(i));
    out += n + ",Ke\x9Aka " + n + ", 48.401200, 18.372100, 39005.5,117,0,3,0,65535,Ke\x9Aka " + n + " (GC" +
           QByteArray::number(static_cast<qlonglong>(i), 36).toUpper() + "),0,0,0,0, 6, 0,17,0,10.0,2,,,\r\n";
    if (out.size() > (1 << 22)) {
      file.write(out);
      out.clear();
    }
  }
  file.write(out);
}

struct Start {
  double shownMs = 0;     // the window up, its first parts filled and painted
  double completeMs = 0;  // every list entry and WPT line in its widget
  int listed = 0;
};

Start WindowStart(const QString& home, const QString& wpt, long lines) {
  QFile ini(QDir(home).filePath(QStringLiteral("Trovik.ini")));
  if (!ini.open(QIODevice::WriteOnly)) std::exit(2);
  ini.write("[LastWPT]\r\nSubor=" + wpt.toUtf8() + "\r\n");
  ini.close();
  qputenv("TROVIK_HOME", home.toUtf8());
  trovik::paths::SetProgramFolder(home.toStdString() + "/");

  Start out;
  QElapsedTimer timer;
  timer.start();
  // The start loads no page: browsers that never load keep the engine out of the figure.
  trovik::site::StillBrowser browser1, browser2;
  trovik::gui::TForm1 window({.browser = &browser1, .searchBrowser = &browser2});
  window.show();
  window.activateOnce();
  window.repaint();
  out.shownMs = static_cast<double>(timer.nsecsElapsed()) / 1e6;
  QWidget* tabs = window.pages();
  const auto complete = [&] {
    for (const char* name : {"CheckListBox1", "CheckListBox2", "CheckListBox3"}) {
      if (tabs->findChild<QListWidget*>(QString::fromLatin1(name))->count() != window.state().waypoints.caches.count())
        return false;
    }
    return tabs->findChild<QPlainTextEdit*>(QStringLiteral("Memo2"))->blockCount() >= lines;
  };
  while (!complete() && timer.elapsed() < 600000) QCoreApplication::processEvents();
  out.completeMs = static_cast<double>(timer.nsecsElapsed()) / 1e6;
  out.listed = tabs->findChild<QListWidget*>(QStringLiteral("CheckListBox1"))->count();
  return out;
}

double CliMs(const QString& cli, const QString& wpt) {
  QProcess process;
  process.setStandardOutputFile(QProcess::nullDevice());
  QElapsedTimer timer;
  timer.start();
  process.start(cli, {QStringLiteral("caches"), wpt});
  if (!process.waitForFinished(600000) || process.exitCode() != 0) return -1;
  return static_cast<double>(timer.nsecsElapsed()) / 1e6;
}

}  // namespace

int main(int argc, char** argv) {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication app(argc, argv);
  QList<long> counts;
  for (int i = 1; i < argc; ++i) counts << std::atol(argv[i]);
  if (counts.isEmpty()) counts = {100000, 300000, 1000000};
  QString cli = qEnvironmentVariable("TROVIK_CLI");
  if (cli.isEmpty()) cli = QCoreApplication::applicationDirPath() + QStringLiteral("/trovik-cli");

  std::printf("%10s %8s %10s %10s %10s %8s %8s\n", "lines", "caches", "shown ms", "filled ms", "us/line", "cli ms",
              "shown/cli");
  for (long lines : counts) {
    QTemporaryDir home;
    const QString wpt = home.filePath(QStringLiteral("big.wpt"));
    WriteWaypointFile(wpt, lines);
    const Start start = WindowStart(home.path(), wpt, lines);
    const double cliMs = QFile::exists(cli) ? CliMs(cli, wpt) : -1;
    std::printf("%10ld %8d %10.0f %10.0f %10.2f %8.0f %8s\n", lines, start.listed, start.shownMs, start.completeMs,
                1000.0 * start.completeMs / static_cast<double>(lines), cliMs,
                cliMs > 0 ? qPrintable(QString::number(start.shownMs / cliMs, 'f', 2)) : "-");
    std::fflush(stdout);
  }
  return 0;
}
