#pragma once
// What every tab of the window shares: the host, the command dispatcher and
// the run's state it shows. The window builds it complete, once, before the
// first tab, so a tab never asks whether a part is there. Only declarations
// here: a tab's source includes the core headers it uses.

#include <QWidget>
#include <functional>

namespace trovik::app {
struct MainState;
class CommandContexts;
}  // namespace trovik::app
namespace trovik::device {
struct DeviceLink;
struct DevicePane;
struct PcPane;
struct Manager;
}  // namespace trovik::device
namespace trovik::site {
struct SiteState;
}
namespace trovik::pages {
struct PagesState;
}
namespace trovik::nearby {
struct NearbyState;
}
namespace trovik::tools {
struct ToolFields;
}

namespace trovik::gui {

class Dispatcher;
class GuiHost;

// Everything refers to what the window owns for the whole run.
struct Context {
  GuiHost& host;
  Dispatcher& dispatch;
  app::MainState& main;  // with the fields, flags, waypoints and the captured page (memo1)
  site::SiteState& site;
  pages::PagesState& pages;
  nearby::NearbyState& nearby;
  tools::ToolFields& tools;
  device::DeviceLink& device;
  device::DevicePane& pda;  // "PDA Manažér": device pane
  device::PcPane& pc;       // "PDA Manažér": PC pane
  device::Manager& manager;  // the file manager's commands over the two panes
  // The contexts of the commands that drive a browser.
  app::CommandContexts& commands;
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
