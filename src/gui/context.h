#pragma once
// What every tab of the window shares: the host, the command dispatcher and
// the core's state of the run. Tabs show that state and forward events.

#include <QWidget>

namespace trovik::gui {

class Dispatcher;
class GuiHost;

struct Context {
  GuiHost* host = nullptr;
  Dispatcher* dispatch = nullptr;
  QWidget* window = nullptr;
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
  Context& context_;
};

}  // namespace trovik::gui
