#pragma once
// `TForm1`: the main window. It owns the core's state of the run and the
// adapters the commands reach (browsers, downloader, device link), assembles
// the eight tabs and the menu bar, runs the start-up stages and the shut-down
// of the core, and routes every command through the dispatcher.

#include <QMainWindow>
#include <QTabWidget>
#include <memory>
#include <optional>

#include "app/contexts.h"
#include "app/main_state.h"
#include "device/device_link.h"
#include "gui/context.h"
#include "gui/dispatch.h"
#include "gui/gui_host.h"
#include "gui/main_menu.h"
#include "net/curl_downloader.h"

class QWebEngineProfile;
namespace trovik::webengine {
class WebEngineBrowser;
}

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

struct WindowOptions {
  // Real browsers when the program has them; tests build the window without.
  bool browsers = true;
};

class TForm1 : public QMainWindow {
  Q_OBJECT
 public:
  explicit TForm1(WindowOptions options = {}, QWidget* parent = nullptr);
  ~TForm1() override;

  GuiHost& host() { return host_; }
  Dispatcher& dispatcher() { return dispatch_; }
  app::MainState& state() { return *state_; }
  site::SiteState& siteState() { return siteState_; }
  nearby::NearbyState& nearbyState() { return nearbyState_; }
  device::DeviceLink& deviceLink() { return deviceLink_; }
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
  void createBrowsers();
  void buildContexts();
  void pullAll();
  void connectMenu();
  void refreshMenu();
  // The shell's start-up and shut-down keep the panes' folders and panels in
  // the main state; the file manager keeps them in its panes.
  void panesFromShell();
  void shellFromPanes();

  GuiHost host_;
  Dispatcher dispatch_;
  Context context_;
  MainMenu menu_;

  // The run's state. The module states that the core's main state does not
  // hold live here beside it, one member each.
  std::unique_ptr<app::MainState> state_;
  site::SiteState siteState_;
  pages::PagesState pagesState_;
  nearby::NearbyState nearbyState_;
  tools::ToolFields toolFields_;
  device::DeviceLink deviceLink_;
  device::DevicePane pdaPane_;
  device::PcPane pcPane_;
  device::FileOpener opener_;
  std::unique_ptr<device::ConfirmCopy> confirm_;
  std::unique_ptr<device::LinkDeviceFiles> deviceFiles_;
  net::CurlDownloader downloader_;

  // The members below go in the reverse of their order here: the browsers
  // first (they let go of their views and handlers), then the tabs, which
  // refer to the state, then the profile, while the state still exists.
  struct ProfileRelease {
    // Lets the cookie store reach the disk, so a login lasts to the next start.
    void operator()(QWebEngineProfile* profile) const;
  };
  std::unique_ptr<QWebEngineProfile, ProfileRelease> profile_;
  site::Browser* browser1_ = nullptr;
  site::Browser* browser2_ = nullptr;
  // The browsers' handlers keep these contexts for the whole run.
  std::optional<app::CommandContexts> contexts_;

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
