// trovik: the desktop window.
//   trovik [--screenshot-tab N FILE]
// The hidden option shows tab N (1 to 8) once the window is up, saves a
// picture of the window to FILE and quits; scripts/screenshots uses it.

#include <QApplication>
#include <QTimer>

#include "gui/main_window.h"
#ifdef TROVIK_HAVE_WEBENGINE
#include "webengine/web_browser.h"
#endif

int main(int argc, char** argv) {
#ifdef TROVIK_HAVE_WEBENGINE
  trovik::webengine::PrepareEnvironment(/*offscreen=*/false);
#endif
  QApplication app(argc, argv);
  QApplication::setApplicationName(QStringLiteral("Trovik"));

  int screenshotTab = 0;
  QString screenshotFile;
  const QStringList args = QApplication::arguments();
  for (qsizetype i = 1; i < args.size(); ++i) {
    if (args.at(i) == QStringLiteral("--screenshot-tab") && i + 2 < args.size()) {
      screenshotTab = args.at(i + 1).toInt();
      screenshotFile = args.at(i + 2);
      i += 2;
    }
  }

  QFont font = QApplication::font();
  font.setPointSize(8);
  QApplication::setFont(font);

  trovik::gui::TForm1 window;
  window.show();

  if (screenshotTab > 0) {
    QTimer::singleShot(2500, &window, [&] {
      window.pages()->setCurrentIndex(screenshotTab - 1);
      QTimer::singleShot(1500, &window, [&] {
        const bool saved = window.grab().save(screenshotFile);
        QApplication::exit(saved ? 0 : 1);
      });
    });
  }
  return QApplication::exec();
}
