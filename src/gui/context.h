#pragma once
// What every tab of the window shares: the host, the command dispatcher and
// the pieces of the core's run state it shows. The main window points these
// at the core's main state; a piece left null is simply not shown or wired.

#include <QWidget>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "app/main_state.h"
#include "base/fields.h"
#include "base/flags.h"
#include "device/device_link.h"
#include "device/manager.h"
#include "device/panes.h"
#include "nearby/nearby.h"
#include "pages/pages.h"
#include "site/site_client.h"
#include "tools/tool_tab.h"
#include "waypoints/waypoint_state.h"

namespace trovik::gui {

class Dispatcher;
class GuiHost;

struct Context {
  GuiHost* host = nullptr;
  Dispatcher* dispatch = nullptr;
  QWidget* window = nullptr;

  // The run's state, owned by the window; the pointers below are its parts.
  app::MainState* main = nullptr;
  Fields* fields = nullptr;
  RunFlags* flags = nullptr;
  waypoints::WaypointState* waypoints = nullptr;
  std::vector<std::string>* memo1 = nullptr;  // the captured page / GPX text
  site::SiteState* site = nullptr;
  pages::PagesState* pages = nullptr;
  nearby::NearbyState* nearby = nullptr;
  tools::ToolFields* tools = nullptr;
  device::DeviceLink* device = nullptr;
  device::DevicePane* pda = nullptr;  // "PDA Manažér": device pane
  device::PcPane* pc = nullptr;       // "PDA Manažér": PC pane
  std::string programFolder;  // 1250, trailing separator

  // The wider contexts of the commands that drive a browser; empty until the
  // core's state provides them.
  std::function<std::optional<site::SiteContext>()> siteContext;
  std::function<std::optional<pages::PageContext>()> pageContext;
  std::function<std::optional<nearby::SearchContext>()> searchContext;
  std::function<std::optional<device::Manager>()> manager;
};

// One tab of the window.
class Tab : public QWidget {
  Q_OBJECT
 public:
  Tab(Context& context, const QString& objectName, QWidget* parent = nullptr)
      : QWidget(parent), context_(context) {
    setObjectName(objectName);
  }
  // Core -> widgets. Sets only what differs, so the user's cursor stays put.
  virtual void refresh() {}
  // Widgets -> core, for what the user changed in text areas since the last refresh.
  virtual void pull() {}

 protected:
  // Runs a command of this tab through the dispatcher.
  void run(const std::function<void()>& command);

  Context& context_;
};

}  // namespace trovik::gui
