#pragma once
// Tab "Novinky v okolí miest": the town list, the search browser with its
// captured page, paging and the transfer into the cache list.

#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <string>

#include "gui/context.h"
#include "gui/widgets.h"

namespace trovik::gui {

class TabNearby : public Tab {
  Q_OBJECT
 public:
  TabNearby(Context& context, QWidget* parent = nullptr);
  void refresh() override;
  void pull() override;

  QWidget* browserHost() const { return webBrowser2_; }

 private:
  void connectCommands();
  std::string townFile() const;

  bool filling_ = false;
  QLineEdit* edit3_ = nullptr;
  QPushButton* searchHere_ = nullptr;
  QListWidget* listBox1_ = nullptr;
  QWidget* webBrowser2_ = nullptr;
  QPlainTextEdit* memo3_ = nullptr;
  QPushButton* next_ = nullptr;
  QCheckBox* checkBox5_ = nullptr;
  QPushButton* add_ = nullptr;
  PanelBar* statusBar6_ = nullptr;
  QProgressBar* progressBar3_ = nullptr;
  QPushButton* reloadTowns_ = nullptr;
  QPushButton* rerunParser_ = nullptr;
};

}  // namespace trovik::gui
