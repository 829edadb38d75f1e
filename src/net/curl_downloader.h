#pragma once
// URL to file over libcurl: redirects followed, bounded connect time, the body
// written to a temporary file beside the target and renamed into place only
// when the whole transfer succeeded. An HTTP error status (404, 500, ...) is a
// failed download: the error page never lands under the picture's name.
//
// The transfer runs on curl's multi interface, so a watched download lets the
// host's events run between polls and ends at once when abandoned. A body
// larger than the cap, or a server that sends nothing for the stall time,
// ends the download as failed; the partial file is removed.

#include <cstdint>
#include <memory>
#include <string>

#include "site/browser.h"

namespace trovik::net {

class CurlDownloader : public site::Downloader {
 public:
  static constexpr int64_t kDefaultMaxBytes = 50LL * 1024 * 1024;

  struct Limits {
    long connectTimeoutMs = 15000;
    long totalTimeoutMs = 0;  // 0: none; the stall bound and the cap still hold
    long maxRedirects = 10;
    int64_t maxBytes = kDefaultMaxBytes;  // 0: no cap
    long stallMs = 15000;                 // nothing received for this long: abandoned
  };

  CurlDownloader();
  explicit CurlDownloader(Limits limits);

  Limits& limits() { return limits_; }

  // `localPath` is 1250 text.
  bool UrlToFile(const std::string& url, const std::string& localPath) override;
  bool UrlToFileWatched(const std::string& url, const std::string& localPath, const Watch& watch) override;
  void UrlsToFilesWatched(std::vector<Job>& jobs, const Watch& watch, int parallel) override;

  // Why the last download failed (curl's text, the HTTP status, the cap, the
  // stall or the abandonment), for the CLI.
  const std::string& lastError() const { return lastError_; }

 private:
  Limits limits_;
  std::string lastError_;
  // Kept from one call to the next with its open connections: a run fetches
  // its pictures a group at a time from mostly the same hosts.
  std::shared_ptr<void> multi_;
};

}  // namespace trovik::net
