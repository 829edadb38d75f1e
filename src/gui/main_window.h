#pragma once
// `TForm1`: the main window. It assembles the eight tabs and the menu bar,
// runs the start-up stages and the shut-down of the core, and routes every
// command through the dispatcher.

#include <QMainWindow>
#include <QTabWidget>
#include <memory>

#include "gui/context.h"
#include "gui/dispatch.h"
#include "gui/gui_host.h"
#include "gui/main_menu.h"

namespace trovik::gui {

class TabAbout;
class TabBrowser;
class TabHtml;
class TabManager;
class TabNearby;
class TabSettings;
class TabTools;
class TabWpt;
class TPotvrd;

class TForm1 : public QMainWindow {
  Q_OBJECT
 public:
  explicit TForm1(QWidget* parent = nullptr);
  ~TForm1() override;

  GuiHost& host() { return host_; }
  Dispatcher& dispatcher() { return dispatch_; }
  QTabWidget* pages() const { return pageControl1_; }
  TPotvrd* potvrd() const { return potvrd_; }
  const MainMenu& menu() const { return menu_; }

  // Core -> every view.
  void refreshAll();
  // Runs the second start-up stage now if it has not run yet (the first
  // showing of the window runs it otherwise).
  void activateOnce();
  bool activated() const { return activated_; }

 protected:
  void showEvent(QShowEvent* event) override;
  void closeEvent(QCloseEvent* event) override;

 private:
  void pullAll();
  void connectMenu();
  QString captionText() const;

  GuiHost host_;
  Dispatcher dispatch_;
  Context context_;
  MainMenu menu_;
  QTabWidget* pageControl1_ = nullptr;
  TabBrowser* browser_ = nullptr;
  TabHtml* html_ = nullptr;
  TabWpt* wpt_ = nullptr;
  TabSettings* settings_ = nullptr;
  TabAbout* about_ = nullptr;
  TabManager* manager_ = nullptr;
  TabNearby* nearby_ = nullptr;
  TabTools* tools_ = nullptr;
  TPotvrd* potvrd_ = nullptr;
  bool activated_ = false;
  bool closed_ = false;
  bool refreshing_ = false;
};

}  // namespace trovik::gui
