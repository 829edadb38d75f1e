#pragma once
// Tab "Browser": toolbar, login panel, device button, the cache list with its
// commands, the main browser and the status area.

#include <QCheckBox>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QTabWidget>
#include <QToolBar>
#include <QToolButton>

#include "gui/context.h"
#include "gui/widgets.h"

namespace trovik::gui {

class TabBrowser : public Tab {
  Q_OBJECT
 public:
  TabBrowser(Context& context, QWidget* parent = nullptr);

  void refresh() override;

  // The main browser's place; the browser adapter's view goes in here.
  QWidget* browserHost() const { return webBrowser1_; }
  QToolButton* openButton() const { return toolButton10_; }

 private:
  void buildLeftPanel(QWidget* panel);
  void connectCommands();

  QToolButton* toolButton10_ = nullptr;
  QToolButton* toolButton12_ = nullptr;
  QLabel* loginState_ = nullptr;
  QLineEdit* edit1_ = nullptr;
  QLineEdit* edit2_ = nullptr;
  QRadioButton* sk_ = nullptr;
  QRadioButton* com_ = nullptr;
  QPushButton* login_ = nullptr;
  QPushButton* activeSync_ = nullptr;
  QCheckBox* checkBox1_ = nullptr;
  QPushButton* markAll_ = nullptr;
  QPushButton* unmarkAll_ = nullptr;
  QPushButton* gc_ = nullptr;
  QPushButton* exportMarked_ = nullptr;
  QPushButton* brejk_ = nullptr;
  QPushButton* testRun_ = nullptr;
  QRadioButton* fromWeb_ = nullptr;
  QRadioButton* fromFile_ = nullptr;
  QTabWidget* lists_ = nullptr;
  CheckListBox* names_ = nullptr;
  CheckListBox* codes_ = nullptr;
  CheckListBox* positions_ = nullptr;
  QPushButton* clr_ = nullptr;
  QPushButton* exportWpt_ = nullptr;
  QWidget* webBrowser1_ = nullptr;
  PanelBar* statusBar1_ = nullptr;
  QProgressBar* progressBar1_ = nullptr;
  QProgressBar* progressBar2_ = nullptr;
};

}  // namespace trovik::gui
