#include "gui/tab_nearby.h"

#include <QFontDatabase>
#include <QHBoxLayout>
#include <QSplitter>
#include <QVBoxLayout>

#include "app/contexts.h"
#include "app/main_state.h"
#include "gui/accessibility.h"
#include "gui/dispatch.h"
#include "gui/gui_host.h"
#include "gui/icons.h"
#include "gui/qt_text.h"
#include "gui/tab_html.h"
#include "nearby/nearby.h"

namespace trovik::gui {

TabNearby::TabNearby(Context& context, QWidget* parent) : Tab(context, QStringLiteral("TabSheet7"), parent) {
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(0, 4, 0, 0);
  layout->setSpacing(4);

  auto* top = new QHBoxLayout();
  top->setContentsMargins(6, 0, 6, 0);
  edit3_ = new QLineEdit(this);
  edit3_->setObjectName(QStringLiteral("Edit3"));
  edit3_->setFixedWidth(170);
  NameControl(edit3_, QStringLiteral("Súradnice"));
  top->addWidget(edit3_);
  searchHere_ = MakeButton(QStringLiteral("SpeedButton23"), QStringLiteral("Hľadaj tu!"), this);
  top->addWidget(searchHere_);
  top->addSpacing(10);
  top->addWidget(MakeLabel(QStringLiteral("Label20"),
                           QStringLiteral("Dvojklikom na mesto stiahnete prvých 20.kešiek z okolia tohto mesta"), this));
  top->addStretch(1);
  for (int i = 0; i < 4; ++i) {
    auto* picture = new QLabel(this);
    picture->setObjectName(QStringLiteral("Image%1").arg(i + 1));
    picture->setPixmap(CacheTypePicture(i));
    picture->setFixedSize(18, 18);
    static const char* const kTypes[4] = {"Tradičná", "Multi", "Záhadná", "Webkamera"};
    picture->setAccessibleName(QString::fromUtf8(kTypes[i]));
    top->addWidget(picture);
  }
  layout->addLayout(top);

  auto* split = new QSplitter(Qt::Horizontal, this);
  split->setObjectName(QStringLiteral("Splitter2"));
  split->setChildrenCollapsible(false);
  listBox1_ = new QListWidget(split);
  listBox1_->setObjectName(QStringLiteral("ListBox1"));
  listBox1_->setAccessibleName(QStringLiteral("Mestá"));
  auto* right = new QSplitter(Qt::Vertical, split);
  right->setObjectName(QStringLiteral("Splitter5"));
  right->setChildrenCollapsible(false);
  webBrowser2_ = new QWidget(right);
  webBrowser2_->setObjectName(QStringLiteral("WebBrowser2"));
  webBrowser2_->setAutoFillBackground(true);
  QPalette palette = webBrowser2_->palette();
  palette.setColor(QPalette::Window, Qt::white);
  webBrowser2_->setPalette(palette);
  auto* browserLayout = new QVBoxLayout(webBrowser2_);
  browserLayout->setContentsMargins(0, 0, 0, 0);
  memo3_ = MakeMemo(QStringLiteral("Memo3"), right, false);
  memo3_->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
  memo3_->setAccessibleName(QStringLiteral("Stránka hľadania"));
  right->addWidget(webBrowser2_);
  right->addWidget(memo3_);
  right->setSizes({420, 90});
  split->addWidget(listBox1_);
  split->addWidget(right);
  split->setSizes({170, 670});
  layout->addWidget(split, 1);

  auto* bottom = new QHBoxLayout();
  bottom->setContentsMargins(6, 0, 0, 2);
  next_ = MakeButton(QStringLiteral("SpeedButton20"), QStringLiteral("Ďalšia stránka"), this);
  bottom->addWidget(next_);
  checkBox5_ = new QCheckBox(QStringLiteral("Uplatni filter z menu"), this);
  checkBox5_->setObjectName(QStringLiteral("CheckBox5"));
  bottom->addWidget(checkBox5_);
  add_ = MakeButton(QStringLiteral("SpeedButton24"), QStringLiteral("Pridaj do zoznamu kešiek"), this);
  add_->setEnabled(false);
  bottom->addWidget(add_);
  bottom->addSpacing(8);
  statusBar6_ = new PanelBar(QStringLiteral("StatusBar6"), {60, 50}, this);
  progressBar3_ = new QProgressBar(statusBar6_->panel(0));
  progressBar3_->setObjectName(QStringLiteral("ProgressBar3"));
  progressBar3_->setAccessibleName(QStringLiteral("Načítanie hľadania"));
  progressBar3_->setRange(0, 100);
  progressBar3_->setValue(0);
  progressBar3_->setTextVisible(false);
  progressBar3_->setMaximumHeight(12);
  statusBar6_->panel(0)->layout()->addWidget(progressBar3_);
  bottom->addWidget(statusBar6_, 1);
  layout->addLayout(bottom);

  reloadTowns_ = Hidden(MakeButton(QStringLiteral("SpeedButton14"), QStringLiteral("Pridaj dáta!"), this));
  rerunParser_ = Hidden(MakeButton(QStringLiteral("SpeedButton13"), QStringLiteral("VyhodnotMemo"), this));
  connectCommands();
}

std::string TabNearby::townFile() const { return nearby::TownFilePath(context_.main.programFolder); }

void TabNearby::connectCommands() {
  Context& c = context_;
  nearby::NearbyState& n = c.nearby;
  connect(listBox1_, &QListWidget::currentRowChanged, this, [this, &n](int row) {
    if (filling_) return;
    run([this, &n, row] {
      n.listBox1Index = row;
      if (row >= 0) nearby::ListBox1Click(n, townFile());
    });
  });
  connect(listBox1_, &QListWidget::itemDoubleClicked, this, [this, &c, &n](QListWidgetItem* item) {
    const int row = listBox1_->row(item);
    run([&c, &n, row] {
      n.listBox1Index = row;
      nearby::SearchContext sc = c.commands.search();
      nearby::ListBox1DblClick(n, sc);
    });
  });
  connect(edit3_, &QLineEdit::textEdited, this, [&n](const QString& text) { n.edit3 = ToCore(text); });
  connect(searchHere_, &QPushButton::clicked, this, [this, &c, &n] {
    run([&c, &n] {
      nearby::SearchContext sc = c.commands.search();
      nearby::SpeedButton23Click(n, sc);
    });
  });
  connect(next_, &QPushButton::clicked, this, [this, &c, &n] {
    run([&c, &n] {
      nearby::SearchContext sc = c.commands.search();
      nearby::Next20(n, sc);
    });
  });
  connect(checkBox5_, &QCheckBox::clicked, this, [&n](bool on) { n.checkBox5 = on; });
  connect(add_, &QPushButton::clicked, this,
          [this, &c, &n] { run([&c, &n] { nearby::SpeedButton24Click(n, c.main.waypoints.caches); }); });
  connect(reloadTowns_, &QPushButton::clicked, this,
          [this, &n] { run([this, &n] { nearby::NacitajMestaDoListboxu(n, townFile()); }); });
  connect(rerunParser_, &QPushButton::clicked, this,
          [this, &c, &n] { run([&c, &n] { nearby::VyhodnotmemoHTM(n, c.main.waypoints.caches); }); });
}

void TabNearby::refresh() {
  const nearby::NearbyState& n = context_.nearby;
  filling_ = true;
  const QStringList towns = FromCore(n.listBox1);
  QStringList shown;
  for (int i = 0; i < listBox1_->count(); ++i) shown << listBox1_->item(i)->text();
  if (shown != towns) {
    listBox1_->clear();
    listBox1_->addItems(towns);
  }
  const int index = n.listBox1Index < listBox1_->count() ? n.listBox1Index : -1;
  if (listBox1_->currentRow() != index) listBox1_->setCurrentRow(index);
  filling_ = false;
  SetEditText(edit3_, FromCore(n.edit3));
  SetMemoText(memo3_, LinesFromCore(n.memo3));
  if (add_->isEnabled() != n.speedButton24Enabled) add_->setEnabled(n.speedButton24Enabled);
  SetChecked(checkBox5_, n.checkBox5);
  statusBar6_->setPanelText(1, FromCore(n.statusPanel1));
  SetProgress(progressBar3_, n.progress, n.progressMax);
}

void TabNearby::pull() {
  if (memo3_->document()->isModified()) {
    context_.nearby.memo3 = LinesToCore(memo3_->toPlainText());
    memo3_->document()->setModified(false);
  }
}

}  // namespace trovik::gui
