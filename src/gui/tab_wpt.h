#pragma once
// Tab "WPT": the waypoint text, its file-name field and the device upload.

#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>

#include "gui/context.h"
#include "gui/memo_lines.h"

namespace trovik::gui {

class TabWpt : public Tab {
  Q_OBJECT
 public:
  TabWpt(Context& context, QWidget* parent = nullptr);
  void refresh() override;
  void pull() override;

 private:
  QPushButton* upload_ = nullptr;
  QPushButton* uploadGpx_ = nullptr;  // "Ulož GPX do PDA"
  QLineEdit* edit6_ = nullptr;
  QPlainTextEdit* memo2_ = nullptr;
  MemoLines* lines2_ = nullptr;
};

}  // namespace trovik::gui
