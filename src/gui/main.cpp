// trovik: the desktop window.
//   trovik [--version]

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

  QFont font = QApplication::font();
  font.setPointSize(8);
  QApplication::setFont(font);

  trovik::gui::TForm1 window;
  window.show();

  return QApplication::exec();
}
