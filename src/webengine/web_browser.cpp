#include "webengine/web_browser.h"

#include <QAbstractEventDispatcher>
#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QEventLoop>
#include <QJsonArray>
#include <QJsonDocument>
#include <QTimer>
#include <QUrl>
#include <QWebEngineLoadingInfo>
#include <QWebEnginePage>
#include <QWebEngineProfile>
#include <QWebEngineScript>
#include <QWebEngineView>
#include <unistd.h>

#include <QThread>
#include <algorithm>
#include <cctype>
#include <cstdlib>
#include <memory>
#include <utility>

#include "base/error.h"
#include "base/files.h"
#include "site/old_style_html.h"
#include "text/text.h"

namespace trovik::webengine {
namespace {

QString FromCp1250(const std::string& text1250) { return QString::fromStdString(text::Cp1250ToUtf8(text1250)); }
std::string To1250(const QString& s) { return text::Utf8To1250Strict(s.toStdString()); }

// A JS literal of the arguments: [name, text] in JSON, safe whatever they hold.
QString JsArgs(const QStringList& values) {
  QJsonArray array;
  for (const QString& v : values) array.append(v);
  return QString::fromUtf8(QJsonDocument(array).toJson(QJsonDocument::Compact));
}

// The first element, in document order, whose name or id is the given one.
const char* kFindElement =
    "function trovikFind(n){var all=document.getElementsByTagName('*');"
    "for(var i=0;i<all.length;i++){var e=all[i];"
    "if(e.getAttribute('name')===n||e.id===n)return e;}return null;}";

// A percent escape written with a lower-case hex digit ("%3a"), which QUrl
// always turns into upper case.
bool HasLowerCaseEscape(const QString& address) {
  for (qsizetype i = 0; i + 2 < address.size(); ++i) {
    if (address.at(i) != QLatin1Char('%')) continue;
    const QChar a = address.at(i + 1), b = address.at(i + 2);
    if (!isxdigit(a.toLatin1()) || !isxdigit(b.toLatin1())) continue;
    if (a.isLower() || b.isLower()) return true;
  }
  return false;
}

const QUrl kBlank(QStringLiteral("about:blank"));

}  // namespace

void PrepareEnvironment(bool offscreen) {
  // Chromium's sandbox refuses to start as root, so only there is it switched
  // off; every other user's pages run sandboxed.
  if (geteuid() == 0) setenv("QTWEBENGINE_DISABLE_SANDBOX", "1", 1);
  if (offscreen && std::getenv("QT_QPA_PLATFORM") == nullptr) setenv("QT_QPA_PLATFORM", "offscreen", 1);
  // The waits of the core run the event loop from inside event handlers (a
  // page read from the document-complete handler). Under the GLib dispatcher
  // the engine's own work is not dispatched in such a nested loop, so a page
  // call would never get its answer; Qt's own dispatcher nests fine.
  if (std::getenv("QT_NO_GLIB") == nullptr) setenv("QT_NO_GLIB", "1", 1);
  QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
}

void RunEventsFor(int ms, const std::function<bool()>& stop) {
  if (ms <= 0) return;
  QAbstractEventDispatcher* dispatcher = QAbstractEventDispatcher::instance();
  if (dispatcher == nullptr) {
    QThread::msleep(static_cast<unsigned long>(ms));
    return;
  }
  // The dispatcher is driven directly: a nested QEventLoop returns at once
  // once the application was asked to quit, turning every pause into a spin.
  const QDeadlineTimer deadline(ms, Qt::PreciseTimer);
  QTimer wake;
  wake.setSingleShot(true);
  wake.setTimerType(Qt::PreciseTimer);
  while (!deadline.hasExpired() && !(stop && stop())) {
    if (!wake.isActive()) wake.start(static_cast<int>(std::max<qint64>(1, deadline.remainingTime())));
    dispatcher->processEvents(QEventLoop::AllEvents | QEventLoop::WaitForMoreEvents);
  }
  // This pause may have run inside an outer one's event handling and taken
  // the timer that was to wake it; wake it so it sees its own deadline.
  dispatcher->wakeUp();
}

QWebEngineProfile* CreateProfile(const std::string& folder, QObject* parent) {
  const QString path = QString::fromStdString(folder);
  QDir().mkpath(path);
  auto* profile = new QWebEngineProfile(QStringLiteral("Trovik"), parent);
  profile->setPersistentStoragePath(path);
  profile->setCachePath(QDir(path).filePath(QStringLiteral("cache")));
  // The sites' session cookie is what a login leaves; keep it across runs.
  profile->setPersistentCookiesPolicy(QWebEngineProfile::ForcePersistentCookies);
  profile->setHttpCacheType(QWebEngineProfile::DiskHttpCache);
  return profile;
}

void ReleaseProfile(QWebEngineProfile* profile, int maxWaitMs) {
  if (profile == nullptr) return;
  const QString journal = QDir(profile->persistentStoragePath()).filePath(QStringLiteral("Cookies-journal"));
  delete profile;
  QElapsedTimer timer;
  timer.start();
  // The cookie database is committed once its journal is empty or gone.
  while (timer.elapsed() < maxWaitMs) {
    QCoreApplication::processEvents(QEventLoop::AllEvents, 50);
    if (timer.elapsed() >= 300) {
      QFileInfo info(journal);
      if (!info.exists() || info.size() == 0) break;
    }
  }
}

WebEngineBrowser::WebEngineBrowser(QWebEngineProfile* profile, QObject* parent)
    : QObject(parent), page_(new QWebEnginePage(profile, this)) {
  connect(page_, &QWebEnginePage::loadingChanged, this, &WebEngineBrowser::onLoadingChanged);
  connect(page_, &QWebEnginePage::loadProgress, this, &WebEngineBrowser::onLoadProgress);
}

WebEngineBrowser::~WebEngineBrowser() {
  onDocumentComplete = nullptr;
  onProgressChange = nullptr;
  disconnect(page_, nullptr, this, nullptr);
  if (view_) view_->setPage(nullptr);
}

QWebEngineView* WebEngineBrowser::createView(QWidget* parent) {
  if (view_ == nullptr) {
    view_ = new QWebEngineView(parent);
    view_->setPage(page_);
    connect(view_, &QObject::destroyed, this, [this] { view_ = nullptr; });
  }
  return view_;
}

void WebEngineBrowser::Navigate(const std::string& address) {
  if (address.rfind("javascript:", 0) == 0) {
    // Runs in the page's own world, where its functions (a post-back) live.
    const QString code = QUrl::fromPercentEncoding(QByteArray::fromStdString(text::Cp1250ToUtf8(address.substr(11))));
    page_->runJavaScript(code, QWebEngineScript::MainWorld);
    return;
  }
  exactAddress_.clear();
  QUrl url;
  if (address.rfind("file://", 0) == 0) {
    url = QUrl::fromLocalFile(QString::fromStdString(files::PcPath(address.substr(7))));
  } else {
    const QString text = FromCp1250(address);
    url = QUrl(text, QUrl::TolerantMode);
    // A site may compare the address it gets byte for byte (the login's
    // "redir=http%3a%2f%2f..."), and QUrl writes every escape in upper case.
    // The engine's own parser keeps escapes as written, so such an address
    // is opened by a script of a blank page; the blank page is no document
    // of the site and completes nothing.
    if (HasLowerCaseEscape(text)) {
      exactAddress_ = text;
      url = kBlank;
    }
  }
  loading_ = true;  // before the engine says so: a wait started now must not end at once
  page_->load(url);
}

void WebEngineBrowser::Stop() {
  exactAddress_.clear();
  page_->triggerAction(QWebEnginePage::Stop);
  loading_ = false;
}

bool WebEngineBrowser::Busy() { return loading_; }

void WebEngineBrowser::onLoadingChanged(const QWebEngineLoadingInfo& info) {
  switch (info.status()) {
    case QWebEngineLoadingInfo::LoadStartedStatus:
      loading_ = true;
      break;
    case QWebEngineLoadingInfo::LoadSucceededStatus:
    case QWebEngineLoadingInfo::LoadFailedStatus:
      if (!exactAddress_.isEmpty() && info.url() == kBlank) {
        const QString target = std::exchange(exactAddress_, QString());
        page_->runJavaScript(QStringLiteral("location.replace(%1[0]);").arg(JsArgs({target})),
                             QWebEngineScript::ApplicationWorld);
        break;
      }
      // A failed load shows the engine's error page; it is captured like any page.
      loading_ = false;
      deliverComplete();
      break;
    case QWebEngineLoadingInfo::LoadStoppedStatus:
      // Stopped by Stop() or replaced by a newer load: no document completed.
      break;
  }
}

void WebEngineBrowser::onLoadProgress(int progress) {
  if (onProgressChange) onProgressChange(progress, 100);
}

// The engine's signals arrive from inside its own task, where it runs no
// nested work: a page call made there would never get its answer. So the
// event goes out from a Qt timer instead, at the next turn of the event loop,
// and never while a page call of ours is waiting.
void WebEngineBrowser::deliverComplete() {
  ++pendingCompletes_;
  QMetaObject::invokeMethod(this, &WebEngineBrowser::deliverPending, Qt::QueuedConnection);
}

void WebEngineBrowser::deliverPending() {
  if (callDepth_ > 0 || pendingCompletes_ == 0) return;  // call() reschedules
  --pendingCompletes_;
  if (pendingCompletes_ > 0) QMetaObject::invokeMethod(this, &WebEngineBrowser::deliverPending, Qt::QueuedConnection);
  if (onDocumentComplete) onDocumentComplete();
}

QVariant WebEngineBrowser::call(const QString& script, const char* what) {
  struct Answer {
    bool done = false;
    QVariant value;
  };
  // Shared with the callback: an answer after the time-out must not touch a dead frame.
  auto answer = std::make_shared<Answer>();
  ++callDepth_;
  page_->runJavaScript(script, QWebEngineScript::ApplicationWorld, [answer](const QVariant& v) {
    answer->value = v;
    answer->done = true;
  });
  QElapsedTimer timer;
  timer.start();
  while (!answer->done && timer.elapsed() < callTimeoutMs_)
    QCoreApplication::processEvents(QEventLoop::AllEvents | QEventLoop::WaitForMoreEvents, 20);
  --callDepth_;
  if (pendingCompletes_ > 0 && callDepth_ == 0) QMetaObject::invokeMethod(this, &WebEngineBrowser::deliverPending, Qt::QueuedConnection);
  if (!answer->done) throw Error(text::Cp1250::FromBytes(std::string("The document did not answer (") + what + ")"));
  return answer->value;
}

std::string WebEngineBrowser::BodyHtml() {
  const QVariant v = call(QStringLiteral("document.body ? document.body.innerHTML : null"), "body");
  if (v.isNull() || !v.isValid()) throw Error("The document has no body"_1250);
  return site::OldStyleHtml(v.toString().toStdString());
}

void WebEngineBrowser::SetElementText(const std::string& nameOrId, const std::string& text) {
  const QString script = QString::fromUtf8(kFindElement) +
                         QStringLiteral("(function(a){var e=trovikFind(a[0]);if(!e)return false;"
                                        "var t=e.tagName;"
                                        "if(t==='INPUT'||t==='TEXTAREA'||t==='SELECT')e.value=a[1];"
                                        "else e.innerText=a[1];return true;})(") +
                         JsArgs({FromCp1250(nameOrId), FromCp1250(text)}) + QStringLiteral(")");
  if (!call(script, "set text").toBool()) throw Error(text::Cp1250::FromBytes("Element '" + nameOrId + "' not found"));
}

void WebEngineBrowser::ClickElement(const std::string& nameOrId) {
  const QString script = QString::fromUtf8(kFindElement) +
                         QStringLiteral("(function(a){var e=trovikFind(a[0]);if(!e)return false;"
                                        "e.click();return true;})(") +
                         JsArgs({FromCp1250(nameOrId)}) + QStringLiteral(")");
  if (!call(script, "click").toBool()) throw Error(text::Cp1250::FromBytes("Element '" + nameOrId + "' not found"));
}

std::vector<std::string> WebEngineBrowser::Pictures() {
  const QVariant v = call(QStringLiteral("Array.prototype.map.call(document.images,function(i){return i.src;})"),
                          "images");
  std::vector<std::string> out;
  for (const QVariant& item : v.toList()) out.push_back(To1250(item.toString()));
  return out;
}

std::vector<std::string> WebEngineBrowser::Links() {
  const QVariant v =
      call(QStringLiteral("Array.prototype.map.call(document.links,function(a){return a.href;})"), "links");
  std::vector<std::string> out;
  for (const QVariant& item : v.toList()) out.push_back(To1250(item.toString()));
  return out;
}

}  // namespace trovik::webengine
