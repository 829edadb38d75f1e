#pragma once
// site::Browser over a QWebEnginePage.
//
// One persistent profile per process (cookies kept on disk, so a login made
// in the GUI holds in the CLI and the other way round), shared by both
// browsers of the window:
//
//   trovik::webengine::PrepareEnvironment(/*offscreen=*/false);   // before QApplication
//   QApplication app(argc, argv);
//   QWebEngineProfile* profile = trovik::webengine::CreateProfile(folder, &window);
//   auto* main = new trovik::webengine::WebEngineBrowser(profile, &window);
//   QWidget* view = main->createView(tabBrowser);   // a QWebEngineView on the adapter's page
//   layout->addWidget(view);
//   trovik::site::ConnectMainBrowser(context);      // document-complete -> capture
//
// Without createView (CLI, tests) the page loads offscreen. Events
// (document-complete, progress) come from the Qt event loop, that is from
// inside Host::processMessages when the host pumps Qt events. Destroy the
// browsers (and their views) first, then the profile with ReleaseProfile.
//
// Every call into the page waits for its answer at most callTimeoutMs while
// the event loop runs; an engine that does not answer makes the call fail with
// trovik::Error instead of hanging the program. Document-complete is posted to
// the next turn of the Qt event loop (the engine answers no page call made
// from inside its own signal) and never fires in the middle of a page call.

#include <QObject>
#include <QString>
#include <QVariant>
#include <functional>
#include <string>
#include <vector>

#include "site/browser.h"
#include "engine_api/engine.h"

class QWebEngineLoadingInfo;
class QWebEnginePage;
class QWebEngineProfile;
class QWebEngineView;
class QWidget;

namespace trovik::webengine {

// The one place that decides the process's engine environment, in the GUI as
// in the CLI; call it before the application object exists.
// QTWEBENGINE_DISABLE_SANDBOX=1 only when running as root (Chromium's sandbox
// cannot work there); QT_NO_GLIB=1 (the core's waits nest the event loop
// inside handlers; under the GLib dispatcher page calls made there never get
// an answer) and, with `offscreen`, QT_QPA_PLATFORM=offscreen, each only when
// the user has not set it; the GL context sharing WebEngine wants.
void PrepareEnvironment(bool offscreen);

// The persistent profile "Trovik" with its storage under `folder` (a file
// system path; created when missing) and session cookies kept too.
QWebEngineProfile* CreateProfile(const std::string& folder, QObject* parent);

// Deletes the profile (its browsers must be gone already) and runs the event
// loop until the engine has written its cookie store, at most `maxWaitMs`.
// The engine finishes that work only while events run, so a program that
// exits right after a login must call this for the login to be remembered.
void ReleaseProfile(QWebEngineProfile* profile, int maxWaitMs = 3000);

// The pause of a wait: this thread's events run for `ms` (the engine and its
// in-process network do their work here) or until `stop` says so, the thread
// sleeping only while no event is pending.
void RunEventsFor(int ms, const std::function<bool()>& stop = {});

class WebEngineBrowser : public QObject, public site::Browser {
  Q_OBJECT

 public:
  explicit WebEngineBrowser(QWebEngineProfile* profile, QObject* parent = nullptr);
  ~WebEngineBrowser() override;

  QWebEnginePage* page() const { return page_; }
  // The view showing this browser's page, made on the first call with
  // `parent` (which then owns it); later calls return the same view.
  QWebEngineView* createView(QWidget* parent);
  QWebEngineView* view() const { return view_; }

  void setCallTimeoutMs(int ms) { callTimeoutMs_ = ms; }

  void Navigate(const std::string& address) override;
  void Stop() override;
  bool Busy() override;
  std::string BodyHtml() override;
  void SetElementText(const std::string& nameOrId, const std::string& text) override;
  void ClickElement(const std::string& nameOrId) override;
  std::vector<std::string> Pictures() override;
  std::vector<std::string> Links() override;

 private:
  void onLoadingChanged(const QWebEngineLoadingInfo& info);
  void onLoadProgress(int progress);
  void deliverComplete();
  void deliverPending();
  // Runs `script` in the page and waits for its result; throws on time-out.
  QVariant call(const QString& script, const char* what);

  QWebEnginePage* page_ = nullptr;
  QWebEngineView* view_ = nullptr;
  bool loading_ = false;
  // An address QUrl would rewrite, to be opened from the blank page now loading.
  QString exactAddress_;
  int callDepth_ = 0;
  int pendingCompletes_ = 0;
  int callTimeoutMs_ = 15000;
};

}  // namespace trovik::webengine
