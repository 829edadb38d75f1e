#include "gui/gui_host.h"

#include <QApplication>
#include <QCoreApplication>
#include <QFileDialog>
#include <QFileInfo>
#include <QMessageBox>
#include <cstdio>

#include "gui/qt_text.h"
#include "webengine/web_browser.h"

namespace trovik::gui {

GuiHost::GuiHost() { clock_.start(); }

void GuiHost::processMessages() { QCoreApplication::processEvents(QEventLoop::AllEvents); }

void GuiHost::sleepMs(int ms) {
  if (ms > 0 && !closing_) webengine::RunEventsFor(ms, [this] { return closing_; });
}

uint32_t GuiHost::tickCount() { return static_cast<uint32_t>(clock_.elapsed()); }

void GuiHost::showMessage(const std::string& text1250) {
  const QString text = FromCore(text1250);
  if (messageHook) {
    messageHook(text);
    return;
  }
  if (closing_) {
    std::fprintf(stderr, "%s\n", text.toLocal8Bit().constData());
    return;
  }
  QMessageBox box(QMessageBox::NoIcon, ApplicationTitle(), text, QMessageBox::Ok, window_);
  box.exec();
}

void GuiHost::setBusyCursor(bool busy) {
  // Nested commands each set and restore it; the arrow comes back with the last.
  if (busy) {
    if (busyDepth_++ == 0) QApplication::setOverrideCursor(Qt::WaitCursor);
  } else if (busyDepth_ > 0) {
    if (--busyDepth_ == 0) QApplication::restoreOverrideCursor();
  }
}

void GuiHost::stateChanged() {
  if (onStateChanged_) onStateChanged_();
}

std::optional<std::string> GuiHost::openFileDialog(const OpenDialog& dialog) {
  const QStringList filters = QtNameFilters(FromCore(dialog.filter));
  const QString selected = (dialog.filterIndex >= 1 && dialog.filterIndex <= filters.size())
                               ? filters.at(dialog.filterIndex - 1)
                               : QString();
  const QString initial = FromCore(dialog.initialFile);
  std::optional<QString> chosen;
  if (fileDialogHook) {
    chosen = fileDialogHook(filters.join(QStringLiteral(";;")), selected, initial);
  } else {
    QFileDialog box(window_, QString(), QFileInfo(initial).absolutePath(), QString());
    box.setNameFilters(filters);
    if (!selected.isEmpty()) box.selectNameFilter(selected);
    box.setFileMode(QFileDialog::ExistingFile);
    box.setAcceptMode(QFileDialog::AcceptOpen);
    if (!initial.isEmpty()) box.selectFile(initial);
    if (box.exec() == QDialog::Accepted && !box.selectedFiles().isEmpty()) chosen = box.selectedFiles().first();
  }
  if (!chosen || chosen->isEmpty()) return std::nullopt;
  return ToCore(*chosen);
}

QStringList QtNameFilters(const QString& filter) {
  const QStringList parts = filter.split(QLatin1Char('|'));
  QStringList out;
  for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
    QStringList patterns = parts.at(i + 1).split(QLatin1Char(';'), Qt::SkipEmptyParts);
    for (QString& pattern : patterns) pattern = pattern.trimmed();
    out << QStringLiteral("%1 (%2)").arg(parts.at(i), patterns.join(QLatin1Char(' ')));
  }
  return out;
}

QString ApplicationTitle() {
  const QString name = QCoreApplication::applicationName();
  return name.isEmpty() ? QStringLiteral("Trovik") : name;
}

// The platform's error box: its own title and the warning icon.
void GuiHost::showWarning(const std::string& title1250, const std::string& text1250) {
  const QString text = FromCore(text1250);
  if (messageHook) {
    messageHook(text);
    return;
  }
  QMessageBox box(QMessageBox::Warning, FromCore(title1250), text, QMessageBox::Ok, window_);
  box.exec();
}

}  // namespace trovik::gui
