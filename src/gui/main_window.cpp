#include "gui/main_window.h"

#include <QApplication>
#include <QCloseEvent>
#include <QLayout>
#include <QMenuBar>
#include <QTimer>

#include "app/lifecycle.h"
#include "app/settings.h"
#include "base/files.h"
#include "device/listing.h"
#include "gui/potvrd.h"
#include "waypoints/open_command.h"
#include "gui/qt_text.h"
#include "gui/tab_about.h"
#include "gui/tab_browser.h"
#include "gui/tab_html.h"
#include "gui/tab_manager.h"
#include "gui/tab_nearby.h"
#include "gui/tab_settings.h"
#include "gui/tab_tools.h"
#include "gui/tab_wpt.h"
#include <QWebEngineProfile>
#include <QWebEngineView>

#include "webengine/web_browser.h"

namespace trovik::gui {

TForm1::TForm1(WindowOptions options, QWidget* parent)
    : QMainWindow(parent), state_(std::make_unique<app::MainState>(app::ProgramFolder1250())) {
  setObjectName(QStringLiteral("Form1"));
  resize(847, 659);
  host_.setWindow(this);
  dispatch_.setWindow(this);
  deviceFiles_ = std::make_unique<device::LinkDeviceFiles>(deviceLink_, host_, state_->flags);

  menu_ = BuildMainMenu(menuBar());

  pageControl1_.reset(new QTabWidget(this));
  pageControl1_->setObjectName(QStringLiteral("PageControl1"));
  browser_ = new TabBrowser(context_, pageControl1_.get());
  html_ = new TabHtml(context_, pageControl1_.get());
  wpt_ = new TabWpt(context_, pageControl1_.get());
  settings_ = new TabSettings(context_, pageControl1_.get());
  about_ = new TabAbout(context_, pageControl1_.get());
  manager_ = new TabManager(context_, pageControl1_.get());
  nearby_ = new TabNearby(context_, pageControl1_.get());
  tools_ = new TabTools(context_, pageControl1_.get());
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
    if (!refreshing_ && index >= 0) state_->activeTab = static_cast<app::Tab>(index);
  });

  if (options.browsers) createBrowsers();
  buildContexts();

  dispatch_.beforeCommand = [this] { pullAll(); };
  dispatch_.afterCommand = [this] { refreshAll(); };
  host_.setOnStateChanged([this] { refreshAll(); });
  connectMenu();

  // First start-up stage.
  dispatch_.run([this] { app::FormCreate(*state_, host_); });
  setWindowTitle(FromCore(state_->caption));

  // Created hidden now; the file manager's commands show it.
  potvrd_ = new TPotvrd(this);
  potvrd_->hide();
  confirm_ = std::make_unique<PotvrdConfirm>(potvrd_, this);
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

void TForm1::ProfileRelease::operator()(QWebEngineProfile* profile) const { webengine::ReleaseProfile(profile); }

void TForm1::createBrowsers() {
  profile_.reset(webengine::CreateProfile(webengine::ProfileFolder(files::PcPath(state_->programFolder)), nullptr));
  mainBrowser_ = std::make_unique<webengine::WebEngineBrowser>(profile_.get(), nullptr);
  searchBrowser_ = std::make_unique<webengine::WebEngineBrowser>(profile_.get(), nullptr);
  browser1_ = mainBrowser_.get();
  browser2_ = searchBrowser_.get();
  QWidget* view1 = mainBrowser_->createView(browser_->browserHost());
  browser_->browserHost()->layout()->addWidget(view1);
  QWidget* view2 = searchBrowser_->createView(nearby_->browserHost());
  nearby_->browserHost()->layout()->addWidget(view2);
}

void TForm1::buildContexts() {
  app::MainState& s = *state_;
  Context& c = context_;
  c.host = &host_;
  c.dispatch = &dispatch_;
  c.window = this;
  c.main = &s;
  c.fields = &s.fields;
  c.flags = &s.flags;
  c.waypoints = &s.waypoints;
  c.memo1 = &s.memo1;
  c.site = &siteState_;
  c.pages = &pagesState_;
  c.nearby = &nearbyState_;
  c.tools = &toolFields_;
  c.device = &deviceLink_;
  c.pda = &pdaPane_;
  c.pc = &pcPane_;
  c.manager = [this]() -> std::optional<device::Manager> {
    return device::Manager{deviceLink_, host_, state_->flags, *confirm_, opener_, pdaPane_, pcPane_};
  };
  c.programFolder = s.programFolder;

  s.hooks.loadTownList = [this] {
    nearby::NacitajMestaDoListboxu(nearbyState_, nearby::TownFilePath(state_->programFolder));
  };
  s.hooks.releaseDeviceLink = [this] { device::ReleaseDevice(deviceLink_); };
  s.hooks.pcFolderChanged = [this] { device::DirectoryListBox1Change(pcPane_, state_->currentPcFolder); };

  if (browser1_ == nullptr) return;
  contexts_.emplace(s, app::ModuleStates{.site = siteState_, .nearby = nearbyState_},
                    app::Adapters{.host = host_,
                                  .browser = *browser1_,
                                  .searchBrowser = browser2_,
                                  .downloader = downloader_,
                                  .deviceFiles = *deviceFiles_,
                                  .copyToDevice = deviceLink_.copyOption});
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

  c.siteContext = [this]() -> std::optional<site::SiteContext> { return contexts_->site(); };
  c.pageContext = [this]() -> std::optional<pages::PageContext> {
    downloader_.limits().maxBytes = state_->maxPictureBytes;
    return contexts_->pages();
  };
  c.searchContext = [this]() -> std::optional<nearby::SearchContext> { return contexts_->search(); };
}

void TForm1::connectMenu() {
  connect(menu_.otvorWpt, &QAction::triggered, this, [this] {
    dispatch_.run([this] { waypoints::OtvorWPTsbor2Click(state_->waypoints, state_->memo1, state_->flags, host_); });
  });
  connect(menu_.koniec, &QAction::triggered, this, &QWidget::close);
  connect(menu_.funkcieManazera, &QMenu::aboutToShow, this, [this] {
    state_->activeTab = app::Tab::PdaManazer;
    pageControl1_->setCurrentWidget(manager_);
  });
  connect(menu_.copyToDevice, &QAction::triggered, manager_, &TabManager::copyToDevice);
  connect(menu_.openAssociated, &QAction::triggered, manager_, &TabManager::openAssociated);
  connect(menu_.copyToPc, &QAction::triggered, manager_, &TabManager::copyToPc);
  connect(menu_.deleteOnDevice, &QAction::triggered, manager_, &TabManager::deleteOnDevice);
  connect(menu_.createDeviceFolder, &QAction::triggered, manager_, &TabManager::createDeviceFolder);
  for (int i = 0; i < nearby::kCacheTypeCount; ++i) {
    connect(menu_.types[i], &QAction::triggered, this, [this, i] {
      dispatch_.run([this, i] { nearby::ToggleType(nearbyState_, static_cast<nearby::CacheType>(i)); });
    });
  }
}

void TForm1::refreshMenu() {
  for (int i = 0; i < nearby::kCacheTypeCount; ++i) {
    if (menu_.types[i]->isChecked() != nearbyState_.typeChecked[i]) menu_.types[i]->setChecked(nearbyState_.typeChecked[i]);
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
  const int tab = static_cast<int>(state_->activeTab);
  if (pageControl1_->currentIndex() != tab) pageControl1_->setCurrentIndex(tab);
  const QString caption = FromCore(state_->caption);
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
  if (state_->activated) return;
  dispatch_.run([this] {
    app::FormActivate(*state_, host_);
    panesFromShell();
  });
}

void TForm1::panesFromShell() {
  const app::MainState& s = *state_;
  pdaPane_.folder = s.currentDeviceFolder;
  pdaPane_.status3[0] = s.statusBar3Panel0;
  pdaPane_.nameSort = s.pdaSort.nameMode;
  pdaPane_.dateSort = s.pdaSort.dateMode;
  if (!s.currentPcFolder.empty()) pcPane_.folder = s.currentPcFolder;
  pcPane_.status5 = s.statusBar5Panel0;
}

void TForm1::shellFromPanes() {
  app::MainState& s = *state_;
  s.currentDeviceFolder = pdaPane_.folder;
  s.statusBar3Panel0 = pdaPane_.status3[0];
  s.currentPcFolder = pcPane_.folder;
  s.statusBar5Panel0 = pcPane_.status5;
}

void TForm1::showEvent(QShowEvent* event) {
  QMainWindow::showEvent(event);
  // After the window is on screen, so that the first start's open dialog
  // comes up over it.
  if (!state_->activated) QTimer::singleShot(0, this, [this] { activateOnce(); });
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
      app::FormClose(*state_, host_);
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
