#include "gui/tab_browser.h"

#include <QButtonGroup>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QSplitter>
#include <QVBoxLayout>

#include "app/contexts.h"
#include "app/file_road.h"
#include "app/main_state.h"
#include "device/device_link.h"
#include "gui/dispatch.h"
#include "gui/gui_host.h"
#include "gui/icons.h"
#include "gui/qt_text.h"
#include "pages/pages.h"
#include "site/site_client.h"
#include "waypoints/cache_lists.h"
#include "waypoints/open_command.h"
#include "waypoints/wpt_export.h"

namespace trovik::gui {
namespace {

QProgressBar* MakeProgress(const QString& name, QWidget* parent) {
  auto* bar = new QProgressBar(parent);
  bar->setObjectName(name);
  bar->setRange(0, 100);
  bar->setValue(0);
  bar->setTextVisible(false);
  bar->setMaximumHeight(12);
  return bar;
}

}  // namespace

TabBrowser::TabBrowser(Context& context, QWidget* parent) : Tab(context, QStringLiteral("TabSheet1"), parent) {
  auto* outer = new QVBoxLayout(this);
  outer->setContentsMargins(0, 0, 0, 0);
  outer->setSpacing(0);

  // Toolbar with the two icon buttons and the login state at its right end.
  auto* toolBar = new QToolBar(this);
  toolBar->setObjectName(QStringLiteral("ToolBar1"));
  toolBar->setIconSize(QSize(24, 24));
  toolBar->setMovable(false);
  toolButton10_ = new QToolButton(toolBar);
  toolButton10_->setObjectName(QStringLiteral("ToolButton10"));
  toolButton10_->setText(QStringLiteral("Open GPX"));
  toolButton10_->setToolButtonStyle(Qt::ToolButtonIconOnly);
  toolButton10_->setIcon(OpenIcon());
  toolButton10_->setToolTip(QStringLiteral("Otvor súbor s WPT súradnicami kešiek"));
  toolBar->addWidget(toolButton10_);
  toolButton12_ = new QToolButton(toolBar);
  toolButton12_->setObjectName(QStringLiteral("ToolButton12"));
  toolButton12_->setToolButtonStyle(Qt::ToolButtonIconOnly);
  toolButton12_->setIcon(ExportIcon());
  toolButton12_->setToolTip(QStringLiteral("Exportuj označené kešky"));
  toolBar->addWidget(toolButton12_);
  auto* spacer = new QWidget(toolBar);
  spacer->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Preferred);
  toolBar->addWidget(spacer);
  loginState_ = MakeLabel(QStringLiteral("Label3"), QStringLiteral("Na zobrazenie súradníc musíte byť prihlásený !"),
                          toolBar, true);
  loginState_->setContentsMargins(0, 0, 8, 0);
  toolBar->addWidget(loginState_);
  outer->addWidget(toolBar);

  // Left panel and the main browser, side by side.
  auto* splitter = new QSplitter(Qt::Horizontal, this);
  splitter->setObjectName(QStringLiteral("Splitter1"));
  splitter->setChildrenCollapsible(false);
  auto* panel = new QWidget(splitter);
  panel->setObjectName(QStringLiteral("Panel1"));
  buildLeftPanel(panel);
  webBrowser1_ = new QWidget(splitter);
  webBrowser1_->setObjectName(QStringLiteral("WebBrowser1"));
  webBrowser1_->setAutoFillBackground(true);
  QPalette palette = webBrowser1_->palette();
  palette.setColor(QPalette::Window, Qt::white);
  webBrowser1_->setPalette(palette);
  auto* browserLayout = new QVBoxLayout(webBrowser1_);
  browserLayout->setContentsMargins(0, 0, 0, 0);
  splitter->addWidget(panel);
  splitter->addWidget(webBrowser1_);
  splitter->setStretchFactor(0, 0);
  splitter->setStretchFactor(1, 1);
  splitter->setSizes({262, 580});
  outer->addWidget(splitter, 1);

  // Status area: five panels, the two progress bars over the first two.
  statusBar1_ = new PanelBar(QStringLiteral("StatusBar1"), {104, 50, 50, 200, 150}, this);
  statusBar1_->setPanelText(3, QStringLiteral("->PDA"));
  progressBar1_ = MakeProgress(QStringLiteral("ProgressBar1"), statusBar1_->panel(0));
  statusBar1_->panel(0)->layout()->addWidget(progressBar1_);
  progressBar2_ = MakeProgress(QStringLiteral("ProgressBar2"), statusBar1_->panel(1));
  statusBar1_->panel(1)->layout()->addWidget(progressBar2_);
  outer->addWidget(statusBar1_);
  connectCommands();
}

void TabBrowser::buildLeftPanel(QWidget* panel) {
  auto* column = new QVBoxLayout(panel);
  column->setContentsMargins(6, 4, 4, 4);
  column->setSpacing(4);

  column->addWidget(MakeLabel(QStringLiteral("Label4"), QStringLiteral("Prihlásenie na web"), panel, true));
  auto* login = new QGridLayout();
  login->setHorizontalSpacing(6);
  login->setVerticalSpacing(3);
  login->addWidget(MakeLabel(QStringLiteral("Label5"), QStringLiteral("Prihlasovacie meno"), panel), 0, 0);
  edit1_ = new QLineEdit(panel);
  edit1_->setObjectName(QStringLiteral("Edit1"));
  login->addWidget(edit1_, 0, 1);
  login->addWidget(MakeLabel(QStringLiteral("Label6"), QStringLiteral("Heslo"), panel), 1, 0);
  edit2_ = new QLineEdit(panel);
  edit2_->setObjectName(QStringLiteral("Edit2"));
  edit2_->setEchoMode(QLineEdit::Password);
  login->addWidget(edit2_, 1, 1);
  column->addLayout(login);

  auto* siteRow = new QHBoxLayout();
  auto* radioGroup = new QGroupBox(QStringLiteral("Web"), panel);
  radioGroup->setObjectName(QStringLiteral("RadioGroup1"));
  auto* radios = new QHBoxLayout(radioGroup);
  radios->setContentsMargins(6, 2, 6, 2);
  sk_ = new QRadioButton(QStringLiteral("sk"), radioGroup);
  sk_->setObjectName(QStringLiteral("RadioGroup1_sk"));
  sk_->setChecked(true);
  com_ = new QRadioButton(QStringLiteral("com"), radioGroup);
  com_->setObjectName(QStringLiteral("RadioGroup1_com"));
  radios->addWidget(sk_);
  radios->addWidget(com_);
  auto* group = new QButtonGroup(radioGroup);
  group->addButton(sk_, 0);
  group->addButton(com_, 1);
  siteRow->addWidget(radioGroup, 1);
  login_ = MakeButton(QStringLiteral("SpeedButton5"), QStringLiteral("Prihlás!"), panel);
  login_->setMinimumHeight(34);
  siteRow->addWidget(login_, 0, Qt::AlignBottom);
  column->addLayout(siteRow);

  auto* deviceRow = new QHBoxLayout();
  activeSync_ = MakeButton(QStringLiteral("SpeedButton7"), QStringLiteral("ActiveSync"), panel);
  activeSync_->setIcon(QIcon(ImageList2()[kImgSyncOff]));
  deviceRow->addWidget(activeSync_);
  checkBox1_ = new QCheckBox(QStringLiteral("Aj do PDA"), panel);
  checkBox1_->setObjectName(QStringLiteral("CheckBox1"));
  checkBox1_->setEnabled(false);
  deviceRow->addWidget(checkBox1_);
  deviceRow->addStretch(1);
  column->addLayout(deviceRow);

  column->addSpacing(4);
  column->addWidget(
      MakeLabel(QStringLiteral("Label7"), QStringLiteral("Zoznam kešiek na stiahnutie z webu"), panel, true));
  auto* markRow = new QHBoxLayout();
  markAll_ = MakeButton(QStringLiteral("SpeedButton1"), QStringLiteral("Označ všetky"), panel);
  unmarkAll_ = MakeButton(QStringLiteral("SpeedButton3"), QStringLiteral("Odznač všetky"), panel);
  markRow->addWidget(markAll_);
  markRow->addWidget(unmarkAll_);
  column->addLayout(markRow);
  auto* fetchRow = new QHBoxLayout();
  gc_ = MakeButton(QStringLiteral("SpeedButton4"), QStringLiteral("GC"), panel);
  gc_->setIcon(ListingIcon());
  exportMarked_ = MakeButton(QStringLiteral("SpeedButton6"), QStringLiteral("Exportuj označené kešky"), panel);
  brejk_ = MakeButton(QStringLiteral("SpeedButton11"), QStringLiteral("Brejk"), panel);
  fetchRow->addWidget(gc_);
  fetchRow->addWidget(exportMarked_, 1);
  fetchRow->addWidget(brejk_);
  column->addLayout(fetchRow);
  testRun_ = Hidden(MakeButton(QStringLiteral("SpeedButton17"), QString(), panel));

  // Where the pages come from: the listing site, or the opened waypoint file.
  auto* sourceRow = new QHBoxLayout();
  sourceRow->addWidget(MakeLabel(QStringLiteral("LabelStrankyZ"), QStringLiteral("Stránky z:"), panel));
  fromWeb_ = new QRadioButton(QStringLiteral("webu"), panel);
  fromWeb_->setObjectName(QStringLiteral("RadioStrankyWeb"));
  fromWeb_->setChecked(true);
  fromFile_ = new QRadioButton(QStringLiteral("súboru"), panel);
  fromFile_->setObjectName(QStringLiteral("RadioStrankySubor"));
  auto* sourceGroup = new QButtonGroup(panel);
  sourceGroup->addButton(fromWeb_, 0);
  sourceGroup->addButton(fromFile_, 1);
  sourceRow->addWidget(fromWeb_);
  sourceRow->addWidget(fromFile_);
  sourceRow->addStretch(1);
  column->addLayout(sourceRow);

  lists_ = new QTabWidget(panel);
  lists_->setObjectName(QStringLiteral("PageControl2"));
  names_ = new CheckListBox(QStringLiteral("CheckListBox1"), lists_);
  codes_ = new CheckListBox(QStringLiteral("CheckListBox2"), lists_);
  positions_ = new CheckListBox(QStringLiteral("CheckListBox3"), lists_);
  lists_->addTab(names_, QStringLiteral("Podľa názvov"));
  lists_->addTab(codes_, QStringLiteral("Podľa GCxxxx"));
  lists_->addTab(positions_, QStringLiteral("GPS"));
  column->addWidget(lists_, 1);

  auto* listRow = new QHBoxLayout();
  clr_ = MakeButton(QStringLiteral("SpeedButton21"), QStringLiteral("CLR"), panel);
  exportWpt_ = MakeButton(QStringLiteral("SpeedButton26"), QStringLiteral("Exportuj do wpt "), panel);
  exportWpt_->setEnabled(false);
  listRow->addWidget(clr_);
  listRow->addWidget(exportWpt_, 1);
  column->addLayout(listRow);
}

void TabBrowser::connectCommands() {
  Context& c = context_;
  app::MainState& s = c.main;
  const auto open = [this, &c, &s] {
    run([&c, &s] { waypoints::ToolButton10Click(s.waypoints, s.memo1, s.flags, c.host); });
  };
  connect(toolButton10_, &QToolButton::clicked, this, open);
  const auto batch = [this, &c, &s] {
    run([&c, &s] {
      pages::PageContext pc = c.commands.pages();
      app::ExportMarkedCaches(s, c.pages, pc);
    });
  };
  connect(toolButton12_, &QToolButton::clicked, this, batch);
  connect(exportMarked_, &QPushButton::clicked, this, batch);

  connect(edit1_, &QLineEdit::textEdited, this, [&s](const QString& text) { s.fields.edit1User = ToCore(text); });
  connect(edit2_, &QLineEdit::textEdited, this, [&s](const QString& text) { s.fields.edit2Password = ToCore(text); });
  connect(sk_, &QRadioButton::clicked, this, [&s] { s.fields.site = Site::Sk; });
  connect(com_, &QRadioButton::clicked, this, [&s] { s.fields.site = Site::Com; });
  connect(fromWeb_, &QRadioButton::clicked, this, [&s] { s.fields.pagesFromFile = false; });
  connect(fromFile_, &QRadioButton::clicked, this, [&s] { s.fields.pagesFromFile = true; });
  connect(login_, &QPushButton::clicked, this, [this, &c] { run([&c] { site::SpeedButton5Click(c.commands.site()); }); });
  connect(activeSync_, &QPushButton::clicked, this,
          [this, &c] { run([&c] { device::SpeedButton7Click(c.device, c.host); }); });
  connect(checkBox1_, &QCheckBox::clicked, this, [&c](bool ticked) { c.device.copyOption.ticked = ticked; });
  connect(markAll_, &QPushButton::clicked, this, [this, &s] { run([&s] { waypoints::MarkAll(s.waypoints.caches); }); });
  connect(unmarkAll_, &QPushButton::clicked, this,
          [this, &s] { run([&s] { waypoints::UnmarkAll(s.waypoints.caches); }); });
  const auto fetch = [this, &c, &s] {
    run([&c, &s] {
      pages::PageContext pc = c.commands.pages();
      app::ShowSelectedCache(s, c.pages, pc, [&c] { site::SpeedButton4Click(c.commands.site()); });
    });
  };
  connect(gc_, &QPushButton::clicked, this, fetch);
  connect(brejk_, &QPushButton::clicked, this, [this, &s] { run([&s] { pages::SpeedButton11Click(s.flags); }); });
  connect(testRun_, &QPushButton::clicked, this, [this, &c, &s] {
    run([&c, &s] {
      pages::PageContext pc = c.commands.pages();
      pages::SpeedButton17Click(c.pages, pc, s.programFolder);
    });
  });

  // A click in a list keeps the marks of the two lists equal.
  connect(names_, &CheckListBox::userClicked, this, [this, &s](int index, bool marked) {
    run([&s, index, marked] {
      waypoints::CacheList& caches = s.waypoints.caches;
      if (index < 0 || index >= caches.count()) return;
      caches.nameMarks[static_cast<size_t>(index)] = marked;
      caches.itemIndex = index;
      waypoints::CheckListBox1Click(caches);
    });
  });
  connect(codes_, &CheckListBox::userClicked, this, [this, &s](int index, bool marked) {
    run([&s, index, marked] {
      waypoints::CacheList& caches = s.waypoints.caches;
      if (index < 0 || index >= caches.count()) return;
      caches.codeMarks[static_cast<size_t>(index)] = marked;
      waypoints::CheckListBox2Click(caches, index);
    });
  });
  connect(names_, &QListWidget::currentRowChanged, this, [this, &s](int row) {
    if (!names_->signalsBlocked() && row < s.waypoints.caches.count()) s.waypoints.caches.itemIndex = row;
  });
  connect(names_, &QListWidget::itemDoubleClicked, this, [this, &c, &s](QListWidgetItem* item) {
    const int index = names_->row(item);
    run([&c, &s, index] {
      s.waypoints.caches.itemIndex = index;
      pages::PageContext pc = c.commands.pages();
      app::ShowSelectedCache(s, c.pages, pc, [&c] { site::CheckListBox1DblClick(c.commands.site()); });
    });
  });
  connect(clr_, &QPushButton::clicked, this, [this, &s] { run([&s] { waypoints::SpeedButton21Click(s.waypoints); }); });
  connect(exportWpt_, &QPushButton::clicked, this,
          [this, &c, &s] { run([&c, &s] { waypoints::SpeedButton26Click(s.waypoints, c.host); }); });
}

void TabBrowser::refresh() {
  const Context& c = context_;
  const app::MainState& s = c.main;
  const waypoints::CacheList& caches = s.waypoints.caches;
  names_->setEntries(caches.names, caches.nameMarks, caches.itemIndex);
  // The other two keep their own current entry, for the Space key.
  codes_->setEntries(caches.codes, caches.codeMarks, CheckListBox::kOwnCurrent);
  positions_->setEntries(caches.positions, {}, CheckListBox::kOwnCurrent);
  if (exportWpt_->isEnabled() != s.waypoints.exportButtonEnabled) exportWpt_->setEnabled(s.waypoints.exportButtonEnabled);

  SetEditText(edit1_, FromCore(s.fields.edit1User));
  SetEditText(edit2_, FromCore(s.fields.edit2Password));
  SetChecked(sk_, s.fields.site == Site::Sk);
  SetChecked(com_, s.fields.site == Site::Com);
  SetChecked(fromWeb_, !s.fields.pagesFromFile);
  SetChecked(fromFile_, s.fields.pagesFromFile);

  loginState_->setText(FromCore(c.site.loginLabel));
  QString colour;
  if (c.site.userFieldColour == site::UserFieldColour::Green) colour = QStringLiteral("rgb(0, 128, 0)");
  if (c.site.userFieldColour == site::UserFieldColour::Red) colour = QStringLiteral("rgb(255, 0, 0)");
  const QString sheet = colour.isEmpty() ? QString() : QStringLiteral("QLineEdit { background: %1; }").arg(colour);
  if (edit1_->styleSheet() != sheet) edit1_->setStyleSheet(sheet);
  SetProgress(progressBar1_, c.site.progress, c.site.progressMax);

  SetProgress(progressBar2_, c.pages.pictureProgress, c.pages.pictureProgressMax);
  if (progressBar2_->isVisibleTo(statusBar1_) != c.pages.pictureProgressVisible)
    progressBar2_->setVisible(c.pages.pictureProgressVisible);
  // While the list is empty because the file held no cache, the panel says so.
  const bool noCache = caches.count() == 0 && !s.waypoints.statusText.empty();
  statusBar1_->setPanelText(4, FromCore(noCache ? s.waypoints.statusText : c.pages.statusText));

  statusBar1_->setPanelText(2, FromCore(c.device.statusPanel3));
  if (checkBox1_->isEnabled() != c.device.copyOption.enabled) checkBox1_->setEnabled(c.device.copyOption.enabled);
  SetChecked(checkBox1_, c.device.copyOption.ticked);
  const int glyph = c.device.activeSyncGlyph == device::kGlyphOnline ? kImgSyncOn : kImgSyncOff;
  if (activeSync_->property("glyph").toInt() != glyph + 1) {
    activeSync_->setIcon(QIcon(ImageList2()[static_cast<size_t>(glyph)]));
    activeSync_->setProperty("glyph", glyph + 1);
  }
}

}  // namespace trovik::gui
