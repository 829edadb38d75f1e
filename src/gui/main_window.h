#pragma once
// `TForm1`: the main window. It owns the core's state of the run and the
// adapters the commands reach (browsers, downloader, device link), assembles
// the eight tabs and the menu bar, runs the start-up stages and the shut-down
// of the core, and routes every command through the dispatcher.

#include <QMainWindow>
#include <QTabWidget>
#include <memory>

#include "gui/dispatch.h"
#include "gui/gui_host.h"
#include "gui/main_menu.h"

class QWebEngineProfile;
namespace trovik::app {
struct MainState;
}
namespace trovik::device {
struct DeviceLink;
}
namespace trovik::nearby {
struct NearbyState;
}
namespace trovik::site {
class Browser;
struct SiteState;
}
namespace trovik::webengine {
class WebEngineBrowser;
}

namespace trovik::gui {

struct Context;
class TabAbout;
class TabBrowser;
class TabHtml;
class TabManager;
class TabNearby;
class TabSettings;
class TabTools;
class TabWpt;
class TPotvrd;

struct WindowOptions {
  // The two browsers the window drives, when the caller owns them (tests give
  // scripted ones). Unset: the web engine's, shown in their tabs.
  site::Browser* browser = nullptr;        // WebBrowser1
  site::Browser* searchBrowser = nullptr;  // WebBrowser2
};

class TForm1 : public QMainWindow {
  Q_OBJECT
 public:
  explicit TForm1(WindowOptions options = {}, QWidget* parent = nullptr);
  ~TForm1() override;

  GuiHost& host() { return host_; }
  Dispatcher& dispatcher() { return dispatch_; }
  app::MainState& state();
  site::SiteState& siteState();
  nearby::NearbyState& nearbyState();
  device::DeviceLink& deviceLink();
  QTabWidget* pages() const { return pageControl1_.get(); }
  TPotvrd* potvrd() const { return potvrd_; }
  const MainMenu& menu() const { return menu_; }
  TabManager* managerTab() const { return manager_; }

  // Core -> every view.
  void refreshAll();
  // The second start-up stage (FormActivate); runs once, at the first showing
  // of the window or when called.
  void activateOnce();

 protected:
  void showEvent(QShowEvent* event) override;
  bool event(QEvent* event) override;
  void closeEvent(QCloseEvent* event) override;

 private:
  // The run's state, the module states beside it and the adapters the
  // commands reach (device link, downloader, the browser commands' contexts).
  struct Run;

  void createBrowsers();
  void embedBrowserViews();
  void wireBrowserEvents();
  void setHooks();
  void pullAll();
  void connectMenu();
  // The window's keys: Ctrl+Tab between the tabs, Escape for "Brejk".
  void connectKeys();
  void stepTab(int step);
  void refreshMenu();
  // The shell's start-up and shut-down keep the panes' folders and panels in
  // the main state; the file manager keeps them in its panes.
  void panesFromShell();
  void shellFromPanes();

  GuiHost host_;
  Dispatcher dispatch_;
  MainMenu menu_;

  // The members below go in the reverse of their order here: the browsers
  // first (they let go of their views and handlers), then the tabs, which
  // refer to the run, then the profile, while the run still exists.
  std::unique_ptr<Run> run_;
  std::unique_ptr<Context> context_;
  struct ProfileRelease {
    // Lets the cookie store reach the disk, so a login lasts to the next start.
    void operator()(QWebEngineProfile* profile) const;
  };
  std::unique_ptr<QWebEngineProfile, ProfileRelease> profile_;
  site::Browser* browser1_ = nullptr;
  site::Browser* browser2_ = nullptr;

  std::unique_ptr<QTabWidget> pageControl1_;
  TabBrowser* browser_ = nullptr;
  TabHtml* html_ = nullptr;
  TabWpt* wpt_ = nullptr;
  TabSettings* settings_ = nullptr;
  TabAbout* about_ = nullptr;
  TabManager* manager_ = nullptr;
  TabNearby* nearby_ = nullptr;
  TabTools* tools_ = nullptr;
  TPotvrd* potvrd_ = nullptr;
  bool closed_ = false;
  bool refreshing_ = false;

  std::unique_ptr<webengine::WebEngineBrowser> mainBrowser_;    // WebBrowser1
  std::unique_ptr<webengine::WebEngineBrowser> searchBrowser_;  // WebBrowser2
};

}  // namespace trovik::gui
