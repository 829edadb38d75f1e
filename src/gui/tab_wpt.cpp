#include "gui/tab_wpt.h"

#include <QFontDatabase>
#include <QHBoxLayout>
#include <QVBoxLayout>

#include "gui/dispatch.h"
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
}

void TabWpt::refresh() {}
void TabWpt::pull() {}

}  // namespace trovik::gui
