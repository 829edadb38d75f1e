#include "gui/tab_html.h"

#include <QFontDatabase>
#include <QVBoxLayout>

#include "app/contexts.h"
#include "app/main_state.h"
#include "gui/dispatch.h"
#include "gui/gui_host.h"
#include "gui/qt_text.h"
#include "gui/widgets.h"
#include "nearby/nearby.h"
#include "pages/pages.h"

namespace trovik::gui {

QPlainTextEdit* MakeMemo(const QString& objectName, QWidget* parent, bool wrap) {
  auto* memo = new QPlainTextEdit(parent);
  memo->setObjectName(objectName);
  memo->setLineWrapMode(wrap ? QPlainTextEdit::WidgetWidth : QPlainTextEdit::NoWrap);
  // Tab goes on to the next control, so no text area keeps the keyboard.
  memo->setTabChangesFocus(true);
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
  lines1_ = new MemoLines(memo1_);

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
  // ListBox2Click: the clicked header link into the hidden field.
  connect(listBox2_, &QListWidget::itemClicked, this,
          [this](QListWidgetItem* item) { edit8_->setText(item->text()); });

  Context& c = context_;
  connect(filter_, &QPushButton::clicked, this, [this, &c] {
    run([&c] {
      pages::PageContext pc = c.commands.pages();
      pages::OdfiltrujLenZaujimave(c.pages, pc);
    });
  });
  connect(header_, &QPushButton::clicked, this, [this, &c] {
    run([&c] {
      pages::PageContext pc = c.commands.pages();
      pages::ZistiCotrebaStiahnutZoZahlavia(c.pages, pc);
    });
  });
  connect(links_, &QPushButton::clicked, this, [this, &c] {
    run([&c] { pages::SpeedButton19Click(c.pages, c.commands.pages().browser, c.nearby.listBox1); });
  });
}

namespace {

void SetList(QListWidget* list, const QStringList& entries) {
  QStringList shown;
  for (int i = 0; i < list->count(); ++i) shown << list->item(i)->text();
  if (shown == entries) return;
  list->clear();
  list->addItems(entries);
}

}  // namespace

void TabHtml::refresh() {
  const Context& c = context_;
  lines1_->show(c.main.memo1);
  SetMemoText(memo4_, LinesFromCore(c.pages.workingList));
  SetMemoText(memo6_, LinesFromCore(c.pages.outputList));
  SetList(listBox2_, FromCore(c.pages.headerLinks));
  SetList(listBox3_, FromCore(c.pages.pagePictures));
}

void TabHtml::pull() {
  // The captured page is editable; the filter reads whatever it holds.
  if (auto edited = lines1_->edited()) context_.main.memo1 = std::move(*edited);
}

}  // namespace trovik::gui
