#pragma once
// Tab "Pomôcky Geokešera": hint decoder, coordinate converter, distance and
// projection between two points.

#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>

#include "gui/context.h"

namespace trovik::gui {

class TabTools : public Tab {
  Q_OBJECT
 public:
  TabTools(Context& context, QWidget* parent = nullptr);
  void refresh() override;
  void pull() override;

 private:
  QWidget* buildDecoder();
  QWidget* buildConverter();
  QWidget* buildDistance();

  QPushButton* decode_ = nullptr;
  QPlainTextEdit* memo5_ = nullptr;
  QLineEdit* edit9_ = nullptr;
  QLineEdit* edit10_ = nullptr;
  QLineEdit* edit11_ = nullptr;
  QLineEdit* edit12_ = nullptr;
  QLineEdit* edit13_ = nullptr;
  QLineEdit* edit14_ = nullptr;
  QLineEdit* edit15_ = nullptr;
  QLineEdit* edit16_ = nullptr;
  QLineEdit* edit17_ = nullptr;
  QPushButton* distance_ = nullptr;
  QPushButton* projection_ = nullptr;
  QPushButton* selfTest_ = nullptr;
};

}  // namespace trovik::gui
