// trovik: the desktop window.
//   trovik [--version] [--screenshot-tab N FILE [--screenshot-fetch]]
// The hidden option shows tab N (1 to 8) once the window is up, saves a
// picture of the window to FILE and quits; with --screenshot-fetch the
// "Browser" and "HTML" tabs first fetch the first cache's listing and the nearby tab
// searches around the first town, as a user's clicks would (the addresses
// come from the settings). scripts/screenshots uses them.

#include <QApplication>
#include <QLibraryInfo>
#include <QListWidget>
#include <QPushButton>
#include <QTimer>
#include <QTranslator>
#include <cstdio>
#include <cstring>

#include "app/lifecycle.h"
#include "device/device_link.h"
#include "gui/main_window.h"
#include "webengine/web_browser.h"

namespace {

// Qt asks for the texts of its standard buttons (Cancel, OK) in the context
// "QPlatformTheme", which the Slovak catalogue does not have yet; it holds
// them under their former context "QDialogButtonBox".
class QtSlovak : public QTranslator {
 public:
  QString translate(const char* context, const char* source, const char* disambiguation, int n) const override {
    QString out = QTranslator::translate(context, source, disambiguation, n);
    if (out.isEmpty() && qstrcmp(context, "QPlatformTheme") == 0)
      out = QTranslator::translate("QDialogButtonBox", source, disambiguation, n);
    return out;
  }
};

}  // namespace

int main(int argc, char** argv) {
  // Answered before Qt starts, so it needs no display.
  for (int i = 1; i < argc; ++i) {
    if (std::strcmp(argv[i], "--version") == 0) {
      std::printf("Trovik %s\n", trovik::app::VersionText().c_str());
      return 0;
    }
  }
  // The simulated card lies in the program folder, which for an installed
  // copy is not the executable's folder the device library would pick.
  trovik::device::SetDefaultDeviceRoot();
  trovik::webengine::PrepareEnvironment(/*offscreen=*/false);
  QApplication app(argc, argv);
  QApplication::setApplicationName(QStringLiteral("Trovik"));
  // Qt's own dialogs and buttons (the open dialog, OK, Cancel) speak Slovak
  // like the rest of the window; without the translation they stay English.
  QtSlovak qtSlovak;
  if (qtSlovak.load(QStringLiteral("qtbase_sk"), QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
    QApplication::installTranslator(&qtSlovak);

  int screenshotTab = 0;
  QString screenshotFile;
  bool fetch = false;
  const QStringList args = QApplication::arguments();
  for (qsizetype i = 1; i < args.size(); ++i) {
    if (args.at(i) == QStringLiteral("--screenshot-tab") && i + 2 < args.size()) {
      screenshotTab = args.at(i + 1).toInt();
      screenshotFile = args.at(i + 2);
      i += 2;
    } else if (args.at(i) == QStringLiteral("--screenshot-fetch")) {
      fetch = true;
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
      QWidget* tab = window.pages();
      if (fetch && (screenshotTab == 1 || screenshotTab == 2)) {
        if (auto* names = tab->findChild<QListWidget*>(QStringLiteral("CheckListBox1")); names && names->count() > 0) {
          names->setCurrentRow(0);
          tab->findChild<QPushButton*>(QStringLiteral("SpeedButton4"))->click();
        }
      }
      if (fetch && screenshotTab == 7) {
        if (auto* towns = tab->findChild<QListWidget*>(QStringLiteral("ListBox1")); towns && towns->count() > 0) {
          towns->setCurrentRow(0);
          emit towns->itemDoubleClicked(towns->item(0));
        }
      }
      QTimer::singleShot(1500, &window, [&] {
        const bool saved = window.grab().save(screenshotFile);
        QApplication::exit(saved ? 0 : 1);
      });
    });
  }
  return QApplication::exec();
}
