#include "gui/tab_wpt.h"

#include <QFontDatabase>
#include <QHBoxLayout>
#include <QVBoxLayout>

#include "gui/dispatch.h"
#include "gui/gui_host.h"
#include "waypoints/wpt_export.h"
#include "gui/qt_text.h"
#include "gui/tab_html.h"
#include "gui/widgets.h"

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
  row->addWidget(edit6_);
  row->addStretch(1);
  layout->addLayout(row);
  memo2_ = MakeMemo(QStringLiteral("Memo2"), this, false);
  memo2_->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
  layout->addWidget(memo2_, 1);
  lines2_ = new MemoLines(memo2_);

  Context& c = context_;
  connect(edit6_, &QLineEdit::textEdited, this, [&c](const QString& text) {
    if (c.waypoints) c.waypoints->fileNameField = ToCore(text);
  });
  connect(upload_, &QPushButton::clicked, this, [this, &c] {
    run([&c] {
      if (!c.waypoints || !c.fields || !c.device || !c.flags) return;
      device::LinkDeviceFiles files(*c.device, *c.host, *c.flags);
      waypoints::SpeedButton10Click(*c.waypoints, *c.fields, files, *c.host);
    });
  });
}

void TabWpt::refresh() {
  if (!context_.waypoints) return;
  SetEditText(edit6_, FromCore(context_.waypoints->fileNameField));
  lines2_->show(context_.waypoints->wptText);
}

void TabWpt::pull() {
  if (!context_.waypoints) return;
  if (auto edited = lines2_->edited()) context_.waypoints->wptText = std::move(*edited);
}

}  // namespace trovik::gui
