#include "gui/main_window.h"

#include <optional>

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QLayout>
#include <QMenuBar>
#include <QTimer>
#include <QWebEngineProfile>
#include <QWebEngineView>

#include "app/contexts.h"
#include "app/lifecycle.h"
#include "app/main_state.h"
#include "app/settings.h"
#include "base/files.h"
#include "device/device_link.h"
#include "device/listing.h"
#include "device/manager.h"
#include "device/panes.h"
#include "gui/accessibility.h"
#include "gui/context.h"
#include "gui/potvrd.h"
#include "gui/qt_text.h"
#include "gui/tab_about.h"
#include "gui/tab_browser.h"
#include "gui/tab_html.h"
#include "gui/tab_manager.h"
#include "gui/tab_nearby.h"
#include "gui/tab_settings.h"
#include "gui/tab_tools.h"
#include "gui/tab_wpt.h"
#include "nearby/nearby.h"
#include "net/curl_downloader.h"
#include "pages/pages.h"
#include "site/site_client.h"
#include "tools/tool_tab.h"
#include "waypoints/open_command.h"
#include "webengine/web_browser.h"

namespace trovik::gui {

struct TForm1::Run {
  Run(std::string programFolder, GuiHost& host, TPotvrd* potvrd, QWidget* window)
      : state(std::move(programFolder)),
        confirm(potvrd, window),
        deviceFiles(deviceLink, host, state.flags),
        manager{.link = deviceLink,
                .host = host,
                .flags = state.flags,
                .confirm = confirm,
                .opener = opener,
                .pda = pdaPane,
                .pc = pcPane} {}

  app::MainState state;
  site::SiteState site;
  pages::PagesState pages;
  nearby::NearbyState nearby;
  tools::ToolFields tools;
  device::DeviceLink deviceLink;
  device::DevicePane pdaPane;
  device::PcPane pcPane;
  device::FileOpener opener;
  PotvrdConfirm confirm;
  device::LinkDeviceFiles deviceFiles;
  device::Manager manager;
  net::CurlDownloader downloader;
  // Built once the browsers exist; their handlers keep it for the whole run.
  std::optional<app::CommandContexts> commands;
};

TForm1::TForm1(WindowOptions options, QWidget* parent) : QMainWindow(parent) {
  setObjectName(QStringLiteral("Form1"));
  resize(847, 659);
  host_.setWindow(this);
  dispatch_.setWindow(this);
  menu_ = BuildMainMenu(menuBar());

  // Created hidden now; the file manager's commands show it.
  potvrd_ = new TPotvrd(this);
  potvrd_->hide();
  run_ = std::make_unique<Run>(app::ProgramFolder1250(), host_, potvrd_, this);
  Run& r = *run_;
  if (options.browser != nullptr && options.searchBrowser != nullptr) {
    browser1_ = options.browser;
    browser2_ = options.searchBrowser;
  } else {
    createBrowsers();
  }
  r.commands.emplace(r.state, app::ModuleStates{.site = r.site, .nearby = r.nearby},
                     app::Adapters{.host = host_,
                                   .browser = *browser1_,
                                   .searchBrowser = browser2_,
                                   .downloader = r.downloader,
                                   .deviceFiles = r.deviceFiles,
                                   .copyToDevice = r.deviceLink.copyOption});
  context_.reset(new Context{.host = host_,
                             .dispatch = dispatch_,
                             .main = r.state,
                             .site = r.site,
                             .pages = r.pages,
                             .nearby = r.nearby,
                             .tools = r.tools,
                             .device = r.deviceLink,
                             .pda = r.pdaPane,
                             .pc = r.pcPane,
                             .manager = r.manager,
                             .commands = *r.commands});

  pageControl1_.reset(new QTabWidget(this));
  pageControl1_->setObjectName(QStringLiteral("PageControl1"));
  browser_ = new TabBrowser(*context_, pageControl1_.get());
  html_ = new TabHtml(*context_, pageControl1_.get());
  wpt_ = new TabWpt(*context_, pageControl1_.get());
  settings_ = new TabSettings(*context_, pageControl1_.get());
  about_ = new TabAbout(*context_, pageControl1_.get());
  manager_ = new TabManager(*context_, pageControl1_.get());
  nearby_ = new TabNearby(*context_, pageControl1_.get());
  tools_ = new TabTools(*context_, pageControl1_.get());
  pageControl1_->addTab(browser_, QStringLiteral("Browser"));
  pageControl1_->addTab(html_, QStringLiteral("HTML"));
  pageControl1_->addTab(wpt_, QStringLiteral("WPT"));
  pageControl1_->addTab(settings_, QStringLiteral("Nastavenia"));
  pageControl1_->addTab(about_, QStringLiteral("O programe"));
  pageControl1_->addTab(manager_, QStringLiteral("PDA Manažér"));
  pageControl1_->addTab(nearby_, QStringLiteral("Novinky v okolí miest"));
  pageControl1_->addTab(tools_, QStringLiteral("Pomôcky Geokešera"));
  setCentralWidget(pageControl1_.get());
  connect(pageControl1_.get(), &QTabWidget::currentChanged, this, [this](int index) {
    if (!refreshing_ && index >= 0) run_->state.activeTab = static_cast<app::Tab>(index);
  });

  embedBrowserViews();
  wireBrowserEvents();
  setHooks();

  dispatch_.beforeCommand = [this] {
    // The picture cap as the settings last set it, for any download the command starts.
    run_->downloader.limits().maxBytes = run_->state.maxPictureBytes;
    pullAll();
  };
  dispatch_.afterCommand = [this] { refreshAll(); };
  host_.setOnStateChanged([this] { refreshAll(); });
  connectMenu();
  connectKeys();
  // Every field named by the label in front of it, the dialog's too.
  BuddyLabels(this);
  BuddyLabels(potvrd_);

  // First start-up stage.
  dispatch_.run([this] { app::FormCreate(run_->state, host_); });
  setWindowTitle(FromCore(run_->state.caption));
  refreshAll();
}

TForm1::~TForm1() {
  // The members go in their order (see the header); nothing that goes calls
  // back into the window's views meanwhile, not even the events the profile's
  // release lets run.
  host_.setOnStateChanged({});
  dispatch_.beforeCommand = nullptr;
  dispatch_.afterCommand = nullptr;
  pageControl1_->disconnect(this);
}

app::MainState& TForm1::state() { return run_->state; }
site::SiteState& TForm1::siteState() { return run_->site; }
nearby::NearbyState& TForm1::nearbyState() { return run_->nearby; }
device::DeviceLink& TForm1::deviceLink() { return run_->deviceLink; }

void TForm1::ProfileRelease::operator()(QWebEngineProfile* profile) const { webengine::ReleaseProfile(profile); }

void TForm1::createBrowsers() {
  profile_.reset(webengine::CreateProfile(webengine::ProfileFolder(files::PcPath(run_->state.programFolder)), nullptr));
  mainBrowser_ = std::make_unique<webengine::WebEngineBrowser>(profile_.get(), nullptr);
  searchBrowser_ = std::make_unique<webengine::WebEngineBrowser>(profile_.get(), nullptr);
  browser1_ = mainBrowser_.get();
  browser2_ = searchBrowser_.get();
}

void TForm1::embedBrowserViews() {
  // Only the engine's browsers have views; the caller's show nothing.
  if (mainBrowser_) browser_->browserHost()->layout()->addWidget(mainBrowser_->createView(browser_->browserHost()));
  if (searchBrowser_) nearby_->browserHost()->layout()->addWidget(searchBrowser_->createView(nearby_->browserHost()));
}

void TForm1::wireBrowserEvents() {
  // Every event of a browser runs like a command: errors in the box, views refreshed.
  auto complete = browser1_->onDocumentComplete;
  browser1_->onDocumentComplete = [this, complete] { dispatch_.run(complete); };
  auto progress = browser1_->onProgressChange;
  browser1_->onProgressChange = [this, progress](int position, int maximum) {
    progress(position, maximum);
    browser_->refresh();
  };
  auto searchComplete = browser2_->onDocumentComplete;
  browser2_->onDocumentComplete = [this, searchComplete] { dispatch_.run(searchComplete); };
  auto searchProgress = browser2_->onProgressChange;
  browser2_->onProgressChange = [this, searchProgress](int position, int maximum) {
    searchProgress(position, maximum);
    nearby_->refresh();
  };
}

void TForm1::setHooks() {
  app::ShellHooks& hooks = run_->state.hooks;
  hooks.loadTownList = [this] {
    nearby::NacitajMestaDoListboxu(run_->nearby, nearby::TownFilePath(run_->state.programFolder));
  };
  hooks.releaseDeviceLink = [this] { device::ReleaseDevice(run_->deviceLink); };
  hooks.pcFolderChanged = [this] { device::DirectoryListBox1Change(run_->pcPane, run_->state.currentPcFolder); };
}

void TForm1::connectMenu() {
  connect(menu_.otvorWpt, &QAction::triggered, this, [this] {
    dispatch_.run([this] { waypoints::OtvorWPTsbor2Click(run_->state.waypoints, run_->state.memo1, run_->state.flags, host_); });
  });
  connect(menu_.koniec, &QAction::triggered, this, &QWidget::close);
  connect(menu_.funkcieManazera, &QMenu::aboutToShow, this, [this] {
    run_->state.activeTab = app::Tab::PdaManazer;
    pageControl1_->setCurrentWidget(manager_);
  });
  connect(menu_.copyToDevice, &QAction::triggered, manager_, &TabManager::copyToDevice);
  connect(menu_.openAssociated, &QAction::triggered, manager_, &TabManager::openAssociated);
  connect(menu_.copyToPc, &QAction::triggered, manager_, &TabManager::copyToPc);
  connect(menu_.deleteOnDevice, &QAction::triggered, manager_, &TabManager::deleteOnDevice);
  connect(menu_.createDeviceFolder, &QAction::triggered, manager_, &TabManager::createDeviceFolder);
  for (int i = 0; i < nearby::kCacheTypeCount; ++i) {
    connect(menu_.types[i], &QAction::triggered, this, [this, i] {
      dispatch_.run([this, i] { nearby::ToggleType(run_->nearby, static_cast<nearby::CacheType>(i)); });
    });
  }
}

void TForm1::connectKeys() {
  const auto key = [this](const QList<QKeySequence>& keys, auto slot) {
    auto* action = new QAction(this);
    action->setShortcuts(keys);
    action->setShortcutContext(Qt::WindowShortcut);
    connect(action, &QAction::triggered, this, slot);
    addAction(action);
  };
  // Ctrl+Tab wherever the focus is, the inner tabs of the lists and the
  // browser's page included; the focus goes along to the new tab.
  key({QKeySequence(Qt::CTRL | Qt::Key_Tab)}, [this] { stepTab(1); });
  key({QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Tab), QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Backtab)},
      [this] { stepTab(-1); });
  key({QKeySequence(Qt::Key_Escape)}, [this] { browser_->pressBrejk(); });
}

void TForm1::stepTab(int step) {
  const int count = pageControl1_->count();
  pageControl1_->setCurrentIndex((pageControl1_->currentIndex() + step + count) % count);
  QWidget* page = pageControl1_->currentWidget();
  if (page->isAncestorOf(QApplication::focusWidget())) return;
  // The first control of the page in the tab order.
  for (QWidget* w = page->nextInFocusChain(); w != page; w = w->nextInFocusChain()) {
    if (page->isAncestorOf(w) && w->isVisible() && w->isEnabled() && (w->focusPolicy() & Qt::TabFocus)) {
      w->setFocus(Qt::TabFocusReason);
      return;
    }
  }
}

void TForm1::refreshMenu() {
  for (int i = 0; i < nearby::kCacheTypeCount; ++i) {
    if (menu_.types[i]->isChecked() != run_->nearby.typeChecked[i]) menu_.types[i]->setChecked(run_->nearby.typeChecked[i]);
  }
}

void TForm1::refreshAll() {
  // A view may ask the core for state while it refreshes; one pass at a time.
  if (refreshing_) return;
  refreshing_ = true;
  for (Tab* tab : {static_cast<Tab*>(browser_), static_cast<Tab*>(html_), static_cast<Tab*>(wpt_),
                   static_cast<Tab*>(settings_), static_cast<Tab*>(about_), static_cast<Tab*>(manager_),
                   static_cast<Tab*>(nearby_), static_cast<Tab*>(tools_)}) {
    tab->refresh();
  }
  refreshMenu();
  const int tab = static_cast<int>(run_->state.activeTab);
  if (pageControl1_->currentIndex() != tab) pageControl1_->setCurrentIndex(tab);
  const QString caption = FromCore(run_->state.caption);
  if (!caption.isEmpty() && windowTitle() != caption) setWindowTitle(caption);
  refreshing_ = false;
}

void TForm1::pullAll() {
  for (Tab* tab : {static_cast<Tab*>(browser_), static_cast<Tab*>(html_), static_cast<Tab*>(wpt_),
                   static_cast<Tab*>(settings_), static_cast<Tab*>(about_), static_cast<Tab*>(manager_),
                   static_cast<Tab*>(nearby_), static_cast<Tab*>(tools_)}) {
    tab->pull();
  }
}

void TForm1::activateOnce() {
  if (run_->state.activated) return;
  dispatch_.run([this] {
    app::FormActivate(run_->state, host_);
    panesFromShell();
  });
}

void TForm1::panesFromShell() {
  const app::MainState& s = run_->state;
  run_->pdaPane.folder = s.currentDeviceFolder;
  run_->pdaPane.status3[0] = s.statusBar3Panel0;
  run_->pdaPane.nameSort = s.pdaSort.nameMode;
  run_->pdaPane.dateSort = s.pdaSort.dateMode;
  if (!s.currentPcFolder.empty()) run_->pcPane.folder = s.currentPcFolder;
  run_->pcPane.status5 = s.statusBar5Panel0;
}

void TForm1::shellFromPanes() {
  app::MainState& s = run_->state;
  s.currentDeviceFolder = run_->pdaPane.folder;
  s.statusBar3Panel0 = run_->pdaPane.status3[0];
  s.currentPcFolder = run_->pcPane.folder;
  s.statusBar5Panel0 = run_->pcPane.status5;
}

void TForm1::showEvent(QShowEvent* event) {
  QMainWindow::showEvent(event);
  // After the window is on screen, so that the first start's open dialog
  // comes up over it.
  if (!run_->state.activated) QTimer::singleShot(0, this, [this] { activateOnce(); });
}

bool TForm1::event(QEvent* event) {
  // The first browser view makes Qt create the window anew, and on a display
  // without a window manager the new window is mapped over everything,
  // also over a dialog it owns (the first start's open dialog). The dialog
  // goes back on top once the new window is mapped.
  if (event->type() == QEvent::WinIdChange) {
    QTimer::singleShot(0, this, [] {
      if (QWidget* modal = QApplication::activeModalWidget()) modal->raise();
    });
  }
  return QMainWindow::event(event);
}

void TForm1::closeEvent(QCloseEvent* event) {
  if (!closed_) {
    closed_ = true;
    dispatch_.run([this] {
      shellFromPanes();
      app::FormClose(run_->state, host_);
    });
    // Whatever still waits below this event unwinds now; once it has, the
    // application's loop ends with its last window.
    host_.setClosing();
    dispatch_.setClosing();
    for (site::Browser* browser : {browser1_, browser2_})
      if (browser) browser->Stop();
  }
  event->accept();
}

}  // namespace trovik::gui
