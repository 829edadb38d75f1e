// libtrovik-webengine.so: the QtWebEngine browser for the CLI's page commands,
// loaded at run time so that every other command starts without Qt.

#include <QApplication>
#include <QEventLoop>
#include <QTimer>
#include <QWebEngineProfile>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>
#include <type_traits>
#include <utility>
#include <vector>

#include "base/error.h"
#include "engine_api/engine.h"
#include "net/curl_downloader.h"
#include "webengine/web_browser.h"

namespace trovik::webengine {
namespace {

QtMessageHandler gForward = nullptr;

bool StartsWith(const char* text, const char* prefix) {
  return text != nullptr && std::strncmp(text, prefix, std::strlen(prefix)) == 0;
}

// What the engine reports about itself on every start (its GL and sandbox
// findings, its switches) and the pages' own console lines: nothing a user of
// a command can act on. Warnings of the program's own kind and every critical
// message still go through.
bool IsEngineNote(QtMsgType type, const QMessageLogContext& context, const QString& message) {
  if (type == QtDebugMsg || type == QtInfoMsg) return true;
  if (type != QtWarningMsg) return false;
  if (StartsWith(context.category, "qt.") || StartsWith(context.category, "js")) return true;
  static const char* const kStartNotes[] = {"QStandardPaths: XDG_RUNTIME_DIR", "WebEngineContext used before",
                                            "No suitable graphics backend", "Sandboxing disabled"};
  const QByteArray text = message.toUtf8();
  for (const char* note : kStartNotes)
    if (StartsWith(text.constData(), note)) return true;
  return false;
}

void QuietHandler(QtMsgType type, const QMessageLogContext& context, const QString& message) {
  if (IsEngineNote(type, context, message)) return;
  gForward(type, context, message);
}

// Chromium's own log lines (its processes write to standard error directly)
// are kept to fatal ones, unless the user asked for other switches.
void QuietenChromium() {
  std::string flags;
  if (const char* given = std::getenv("QTWEBENGINE_CHROMIUM_FLAGS")) flags = given;
  if (flags.find("--log-level") != std::string::npos) return;
  flags += flags.empty() ? "--log-level=3" : " --log-level=3";
  setenv("QTWEBENGINE_CHROMIUM_FLAGS", flags.c_str(), 1);
}

// Every exception of a call stays on this side of the border; its text waits
// for takeFailure (see EngineBrowser).
class Border {
 public:
  template <class Call>
  auto contained(Call&& call) -> decltype(call()) {
    try {
      return call();
    } catch (const Error& e) {
      failure_ = e.text();
    } catch (const std::exception& e) {
      failure_ = e.what();
    } catch (...) {
      failure_ = "Unknown error in the browser engine";
    }
    if constexpr (!std::is_void_v<decltype(call())>) return {};
  }
  std::string takeFailure() { return std::exchange(failure_, std::string()); }

 private:
  std::string failure_;
};

// The engine's browser behind the library's border.
class ContainedBrowser final : public EngineBrowser {
 public:
  explicit ContainedBrowser(QWebEngineProfile* profile) : web_(profile) {
    // The CLI's handlers never throw (engine_api/engine.h).
    web_.onDocumentComplete = [this] {
      if (onDocumentComplete) onDocumentComplete();
    };
    web_.onProgressChange = [this](int progress, int maximum) {
      if (onProgressChange) onProgressChange(progress, maximum);
    };
  }

  void Navigate(const std::string& address) override {
    border_.contained([&] { web_.Navigate(address); });
  }
  void Stop() override {
    border_.contained([&] { web_.Stop(); });
  }
  bool Busy() override {
    return border_.contained([&] { return web_.Busy(); });
  }
  std::string BodyHtml() override {
    return border_.contained([&] { return web_.BodyHtml(); });
  }
  void SetElementText(const std::string& nameOrId, const std::string& text) override {
    border_.contained([&] { web_.SetElementText(nameOrId, text); });
  }
  void ClickElement(const std::string& nameOrId) override {
    border_.contained([&] { web_.ClickElement(nameOrId); });
  }
  std::vector<std::string> Pictures() override {
    return border_.contained([&] { return web_.Pictures(); });
  }
  std::vector<std::string> Links() override {
    return border_.contained([&] { return web_.Links(); });
  }

  std::string takeFailure() override { return border_.takeFailure(); }

 private:
  WebEngineBrowser web_;
  Border border_;
};

// The curl downloader behind the same border.
class ContainedDownloader final : public EngineDownloader {
 public:
  explicit ContainedDownloader(net::CurlDownloader::Limits limits) : curl_(limits) {}

  bool UrlToFile(const std::string& url, const std::string& localPath) override {
    return border_.contained([&] { return curl_.UrlToFile(url, localPath); });
  }
  bool UrlToFileWatched(const std::string& url, const std::string& localPath, const Watch& watch) override {
    return border_.contained([&] { return curl_.UrlToFileWatched(url, localPath, watch); });
  }
  std::string takeFailure() override { return border_.takeFailure(); }

 private:
  net::CurlDownloader curl_;
  Border border_;
};

class QtEngine final : public Engine {
 public:
  QtEngine(const char* profileFolder, bool verbose) {
    if (!verbose) {
      QuietenChromium();
      gForward = qInstallMessageHandler(QuietHandler);
    }
    PrepareEnvironment(/*offscreen=*/true);
    if (QCoreApplication::instance() == nullptr) app_ = std::make_unique<QApplication>(argc_, argv_);
    profile_ = CreateProfile(profileFolder, nullptr);
  }

  ~QtEngine() override {
    // Lets the engine write the cookie store, so a login holds for the next run.
    ReleaseProfile(profile_);
    app_.reset();
  }

  std::unique_ptr<EngineBrowser> createBrowser() override { return std::make_unique<ContainedBrowser>(profile_); }

  std::unique_ptr<EngineDownloader> createDownloader(long totalTimeoutMs, long long maxBytes) override {
    net::CurlDownloader::Limits limits;
    limits.totalTimeoutMs = totalTimeoutMs;
    limits.maxBytes = maxBytes;
    return std::make_unique<ContainedDownloader>(limits);
  }

  void pumpEvents() override { QCoreApplication::processEvents(QEventLoop::AllEvents, 50); }

  void pumpEventsFor(int ms) override {
    if (ms <= 0) {
      pumpEvents();
      return;
    }
    RunEventsFor(ms);
  }

 private:
  int argc_ = 1;
  char name_[11] = "trovik-cli";
  char* argv_[2] = {name_, nullptr};
  std::unique_ptr<QApplication> app_;
  QWebEngineProfile* profile_ = nullptr;
};

}  // namespace
}  // namespace trovik::webengine

extern "C" __attribute__((visibility("default"))) const char* trovik_engine_interface() {
  return trovik::webengine::kEngineInterface;
}

extern "C" __attribute__((visibility("default"))) trovik::webengine::Engine* trovik_engine_create(
    const char* interfaceHash, const char* profileFolder, int verbose) {
  if (interfaceHash == nullptr || std::strcmp(interfaceHash, trovik::webengine::kEngineInterface) != 0 ||
      profileFolder == nullptr)
    return nullptr;
  try {
    return new trovik::webengine::QtEngine(profileFolder, verbose != 0);
  } catch (...) {  // nothing may pass the border
    return nullptr;
  }
}

// The entry points have the types the loader casts them to.
static_assert(std::is_same_v<decltype(&trovik_engine_interface), TrovikEngineInterface>);
static_assert(std::is_same_v<decltype(&trovik_engine_create), TrovikEngineCreate>);
