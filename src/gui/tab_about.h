#pragma once
// Tab "O programe": the about text, rich text with a vertical scroll bar.

#include <QTextEdit>
#include <string>

#include "gui/context.h"

namespace trovik::gui {

class TabAbout : public Tab {
  Q_OBJECT
 public:
  TabAbout(Context& context, QWidget* parent = nullptr);
  void refresh() override;

 private:
  QTextEdit* richEdit1_ = nullptr;
  std::string shown_;
};

}  // namespace trovik::gui
