#include "gui/tab_about.h"

#include <QVBoxLayout>

#include "app/main_state.h"
#include "gui/qt_text.h"

namespace trovik::gui {

TabAbout::TabAbout(Context& context, QWidget* parent) : Tab(context, QStringLiteral("TabSheet5"), parent) {
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(6, 6, 6, 6);
  richEdit1_ = new QTextEdit(this);
  richEdit1_->setObjectName(QStringLiteral("RichEdit1"));
  richEdit1_->setReadOnly(true);
  richEdit1_->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
  richEdit1_->setTabChangesFocus(true);
  richEdit1_->setAccessibleName(QStringLiteral("O programe"));
  layout->addWidget(richEdit1_);
}

void TabAbout::refresh() {
  // The core holds the about text already turned into rich text (UTF-8 HTML).
  if (context_.main.aboutHtml == shown_) return;
  shown_ = context_.main.aboutHtml;
  richEdit1_->setHtml(QString::fromStdString(shown_));
}

}  // namespace trovik::gui
