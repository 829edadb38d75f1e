#include "gui/tab_html.h"

#include <QFontDatabase>
#include <QVBoxLayout>

#include "gui/dispatch.h"
#include "gui/qt_text.h"
#include "gui/widgets.h"

namespace trovik::gui {

QPlainTextEdit* MakeMemo(const QString& objectName, QWidget* parent, bool wrap) {
  auto* memo = new QPlainTextEdit(parent);
  memo->setObjectName(objectName);
  memo->setLineWrapMode(wrap ? QPlainTextEdit::WidgetWidth : QPlainTextEdit::NoWrap);
  return memo;
}

void SetMemoText(QPlainTextEdit* memo, const QString& text) {
  if (memo->toPlainText() != text) memo->setPlainText(text);
  memo->document()->setModified(false);
}

TabHtml::TabHtml(Context& context, QWidget* parent) : Tab(context, QStringLiteral("TabSheet2"), parent) {
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(6, 6, 6, 6);
  layout->addWidget(MakeLabel(QStringLiteral("Label8"), QStringLiteral("Služobná Page"), this));
  memo1_ = MakeMemo(QStringLiteral("Memo1"), this, false);
  memo1_->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
  layout->addWidget(memo1_, 1);

  memo4_ = Hidden(MakeMemo(QStringLiteral("Memo4"), this, false));
  memo6_ = Hidden(MakeMemo(QStringLiteral("Memo6"), this, false));
  listBox2_ = Hidden(new QListWidget(this));
  listBox2_->setObjectName(QStringLiteral("ListBox2"));
  listBox3_ = Hidden(new QListWidget(this));
  listBox3_->setObjectName(QStringLiteral("ListBox3"));
  edit8_ = Hidden(new QLineEdit(this));
  edit8_->setObjectName(QStringLiteral("Edit8"));
  filter_ = Hidden(MakeButton(QStringLiteral("SpeedButton18"), QStringLiteral("Filter"), this));
  header_ = Hidden(MakeButton(QStringLiteral("SpeedButton22"), QStringLiteral("Záhlavie"), this));
  links_ = Hidden(MakeButton(QStringLiteral("SpeedButton19"), QStringLiteral("Linky"), this));
  connect(listBox2_, &QListWidget::itemClicked, this,
          [this](QListWidgetItem* item) { edit8_->setText(item->text()); });
}

void TabHtml::refresh() {}
void TabHtml::pull() {}

}  // namespace trovik::gui
