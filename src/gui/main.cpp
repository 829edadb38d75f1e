// trovik: the desktop window.
//   trovik [--version]

#include <QApplication>
#include <cstdio>
#include <cstring>

#include "app/lifecycle.h"
#include "device/device_link.h"
#include "gui/main_window.h"
#include "webengine/web_browser.h"

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

  QFont font = QApplication::font();
  font.setPointSize(8);
  QApplication::setFont(font);

  trovik::gui::TForm1 window;
  window.show();

  return QApplication::exec();
}
