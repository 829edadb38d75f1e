#pragma once
// The embedded browser and the URL download as the core relies on them. The
// QtWebEngine adapter (src/webengine) and the tests' fake browser implement
// these; the core never sees an engine. All texts are Windows-1250.

#include <functional>
#include <string>
#include <vector>

namespace trovik::site {

class Browser {
 public:
  virtual ~Browser() = default;

  // An http address, "file://" + local path, or "javascript:" + code run in the
  // page already loaded. Returns at once; document-complete follows from
  // inside Host::processMessages.
  virtual void Navigate(const std::string& address) = 0;
  virtual void Stop() = 0;
  // True while a page is loading.
  virtual bool Busy() = 0;

  // The body's inner HTML in the old style (upper-case tag names, CR LF,
  // addresses in double quotes), as 1250 text. Throws trovik::Error when the
  // document cannot be read.
  virtual std::string BodyHtml() = 0;
  // The first element with that name or id: its text (an input's value)
  // becomes `text`. Throws trovik::Error when there is no such element.
  virtual void SetElementText(const std::string& nameOrId, const std::string& text) = 0;
  // Clicks the first element with that name or id. Throws trovik::Error when
  // there is no such element.
  virtual void ClickElement(const std::string& nameOrId) = 0;
  // `Images`: each picture's Src, the full address.
  virtual std::vector<std::string> Pictures() = 0;
  // `links`: each link's address.
  virtual std::vector<std::string> Links() = 0;

  // Events, set by the owner of the browser. Fired from inside processMessages.
  std::function<void()> onDocumentComplete;
  std::function<void(int progress, int maximum)> onProgressChange;
};

class Downloader {
 public:
  // What runs while a download is in flight: `pump` lets the host's pending
  // events run (the window repaints and answers "Brejk" and closing), and a
  // download is abandoned, its partial file removed, once `abandoned` says so.
  struct Watch {
    std::function<void()> pump;
    std::function<bool()> abandoned;
  };

  virtual ~Downloader() = default;
  // Returns when done. True only when the file at `localPath` is then complete;
  // a failure leaves no file of that name behind that was not there before.
  virtual bool UrlToFile(const std::string& url, const std::string& localPath) = 0;
  // The same, watched. A downloader that cannot be watched just downloads.
  virtual bool UrlToFileWatched(const std::string& url, const std::string& localPath, const Watch& /*watch*/) {
    return UrlToFile(url, localPath);
  }

  struct Job {
    std::string url;
    std::string localPath;  // 1250 text
    bool done = false;      // the file is complete
    std::string error;      // why not, when the downloader can tell
  };
  // Several downloads, at most `parallel` connections at once, each job told
  // how it went. One downloader that cannot overlap them takes them in turn.
  virtual void UrlsToFilesWatched(std::vector<Job>& jobs, const Watch& watch, int /*parallel*/) {
    for (Job& job : jobs) job.done = UrlToFileWatched(job.url, job.localPath, watch);
  }
};

}  // namespace trovik::site
