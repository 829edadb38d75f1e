#include "gui/tab_wpt.h"

#include <QFontDatabase>
#include <QHBoxLayout>
#include <QVBoxLayout>

#include "app/main_state.h"
#include "device/device_link.h"
#include "gui/accessibility.h"
#include "gui/dispatch.h"
#include "gui/gui_host.h"
#include "gui/qt_text.h"
#include "gui/tab_html.h"
#include "gui/widgets.h"
#include "waypoints/wpt_export.h"

namespace trovik::gui {

TabWpt::TabWpt(Context& context, QWidget* parent) : Tab(context, QStringLiteral("TabSheet3"), parent) {
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(6, 6, 6, 6);
  auto* row = new QHBoxLayout();
  upload_ = MakeButton(QStringLiteral("SpeedButton10"), QStringLiteral("Ulož tento wpt súbor do PDA"), this);
  row->addWidget(upload_);
  edit6_ = new QLineEdit(this);
  edit6_->setObjectName(QStringLiteral("Edit6"));
  edit6_->setMinimumWidth(260);
  NameControl(edit6_, QStringLiteral("Názov wpt súboru"));
  row->addWidget(edit6_);
  uploadGpx_ = MakeButton(QStringLiteral("SpeedButton30"), QStringLiteral("Ulož GPX do PDA"), this);
  row->addWidget(uploadGpx_);
  row->addStretch(1);
  layout->addLayout(row);
  memo2_ = MakeMemo(QStringLiteral("Memo2"), this, false);
  memo2_->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
  memo2_->setAccessibleName(QStringLiteral("Text wpt súboru"));
  layout->addWidget(memo2_, 1);
  lines2_ = new MemoLines(memo2_);

  Context& c = context_;
  waypoints::WaypointState& w = c.main.waypoints;
  connect(edit6_, &QLineEdit::textEdited, this, [&w](const QString& text) { w.fileNameField = ToCore(text); });
  connect(upload_, &QPushButton::clicked, this, [this, &c] {
    run([&c] {
      device::LinkDeviceFiles files(c.device, c.host, c.main.flags);
      waypoints::SpeedButton10Click(c.main.waypoints, c.main.fields, files, c.host);
    });
  });
  connect(uploadGpx_, &QPushButton::clicked, this, [this, &c] {
    run([&c] {
      device::LinkDeviceFiles files(c.device, c.host, c.main.flags);
      waypoints::SpeedButton30Click(c.main.waypoints, c.main.fields, files, c.host);
    });
  });
}

void TabWpt::refresh() {
  SetEditText(edit6_, FromCore(context_.main.waypoints.fileNameField));
  lines2_->show(context_.main.waypoints.wptText);
}

void TabWpt::pull() {
  if (auto edited = lines2_->edited()) context_.main.waypoints.wptText = std::move(*edited);
}

}  // namespace trovik::gui
