#include "gui/dispatch.h"

#include <QMessageBox>
#include <cstdio>
#include <exception>

#include "base/error.h"
#include "gui/gui_host.h"
#include "gui/qt_text.h"

namespace trovik::gui {

void Dispatcher::run(const std::function<void()>& command) {
  ++depth_;
  try {
    if (beforeCommand) beforeCommand();
    command();
  } catch (const trovik::Error& error) {
    showError(FromCore(error.text()));
  } catch (const std::exception& error) {
    // Not the core's own error type, but still only this command's failure.
    showError(QString::fromLocal8Bit(error.what()));
  } catch (...) {
    showError(QStringLiteral("Neznáma chyba"));
  }
  --depth_;
  try {
    if (afterCommand) afterCommand();
  } catch (const std::exception& error) {
    showError(QString::fromLocal8Bit(error.what()));
  }
}

void Dispatcher::showError(const QString& text) {
  if (errorHook) {
    errorHook(text);
    return;
  }
  if (closing_) {
    std::fprintf(stderr, "%s\n", text.toLocal8Bit().constData());
    return;
  }
  QMessageBox box(QMessageBox::Critical, ApplicationTitle(), text, QMessageBox::Ok, window_);
  box.exec();
}

}  // namespace trovik::gui

#include "gui/context.h"

namespace trovik::gui {

void Tab::run(const std::function<void()>& command) {
  context_.dispatch.run(command);
}

}  // namespace trovik::gui
