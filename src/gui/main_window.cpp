#include "gui/main_window.h"

#include <QCloseEvent>
#include <QMenuBar>
#include <QTimer>

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

namespace trovik::gui {

TForm1::TForm1(QWidget* parent) : QMainWindow(parent) {
  setObjectName(QStringLiteral("Form1"));
  resize(847, 659);
  host_.setWindow(this);
  dispatch_.setWindow(this);
  context_.host = &host_;
  context_.dispatch = &dispatch_;
  context_.window = this;

  menu_ = BuildMainMenu(menuBar());

  pageControl1_ = new QTabWidget(this);
  pageControl1_->setObjectName(QStringLiteral("PageControl1"));
  pageControl1_->setDocumentMode(false);
  browser_ = new TabBrowser(context_, pageControl1_);
  html_ = new TabHtml(context_, pageControl1_);
  wpt_ = new TabWpt(context_, pageControl1_);
  settings_ = new TabSettings(context_, pageControl1_);
  about_ = new TabAbout(context_, pageControl1_);
  manager_ = new TabManager(context_, pageControl1_);
  nearby_ = new TabNearby(context_, pageControl1_);
  tools_ = new TabTools(context_, pageControl1_);
  pageControl1_->addTab(browser_, QStringLiteral("Browser"));
  pageControl1_->addTab(html_, QStringLiteral("HTML"));
  pageControl1_->addTab(wpt_, QStringLiteral("WPT"));
  pageControl1_->addTab(settings_, QStringLiteral("Nastavenia"));
  pageControl1_->addTab(about_, QStringLiteral("O programe"));
  pageControl1_->addTab(manager_, QStringLiteral("PDA Manažér"));
  pageControl1_->addTab(nearby_, QStringLiteral("Novinky v okolí miest"));
  pageControl1_->addTab(tools_, QStringLiteral("Pomôcky Geokešera"));
  setCentralWidget(pageControl1_);

  dispatch_.beforeCommand = [this] { pullAll(); };
  dispatch_.afterCommand = [this] { refreshAll(); };
  host_.setOnStateChanged([this] { refreshAll(); });
  connectMenu();

  setWindowTitle(captionText());

  // Created hidden now; the file manager's commands show it.
  potvrd_ = new TPotvrd(this);
  potvrd_->hide();
  refreshAll();
}

TForm1::~TForm1() = default;

QString TForm1::captionText() const {
  return QStringLiteral("Elektronický pomocník pre geocaching ") + QStringLiteral(TROVIK_VERSION_TEXT);
}

void TForm1::connectMenu() {
  connect(menu_.koniec, &QAction::triggered, this, &QWidget::close);
  connect(menu_.funkcieManazera, &QMenu::aboutToShow, this,
          [this] { pageControl1_->setCurrentWidget(manager_); });
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
  if (activated_) return;
  activated_ = true;
}

void TForm1::showEvent(QShowEvent* event) {
  QMainWindow::showEvent(event);
  // After the window is on screen, so that the first start's open dialog
  // comes up over it.
  if (!activated_) QTimer::singleShot(0, this, [this] { activateOnce(); });
}

void TForm1::closeEvent(QCloseEvent* event) {
  if (!closed_) {
    closed_ = true;
  }
  event->accept();
}

}  // namespace trovik::gui
