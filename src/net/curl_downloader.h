#pragma once
// URL to file over libcurl: redirects followed, bounded connect and total
// times, the body written to a temporary file beside the target and renamed
// into place only when the whole transfer succeeded. An HTTP error status
// (404, 500, ...) is a failed download: the error page never lands under the
// picture's name.

#include <string>

#include "site/browser.h"

namespace trovik::net {

class CurlDownloader : public site::Downloader {
 public:
  struct Limits {
    long connectTimeoutMs = 15000;
    long totalTimeoutMs = 120000;
    long maxRedirects = 10;
  };

  CurlDownloader();
  explicit CurlDownloader(Limits limits);

  // `localPath` is 1250 text.
  bool UrlToFile(const std::string& url, const std::string& localPath) override;

  // Why the last UrlToFile failed (curl's text or the HTTP status), for the CLI.
  const std::string& lastError() const { return lastError_; }

 private:
  Limits limits_;
  std::string lastError_;
};

}  // namespace trovik::net
