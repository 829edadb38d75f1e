// libtrovik-download.so: the curl downloader behind one C entry point, with
// every exception caught on this side of the border.

#include <cstring>
#include <exception>

#include "download/download.h"
#include "net/curl_downloader.h"

namespace trovik::download {
namespace {

class ContainedDownloader final : public site::Downloader {
 public:
  explicit ContainedDownloader(net::CurlDownloader::Limits limits) : curl_(limits) {}

  bool UrlToFile(const std::string& url, const std::string& localPath) override {
    try {
      return curl_.UrlToFile(url, localPath);
    } catch (...) {
      return false;
    }
  }
  bool UrlToFileWatched(const std::string& url, const std::string& localPath, const Watch& watch) override {
    try {
      return curl_.UrlToFileWatched(url, localPath, watch);
    } catch (...) {
      return false;
    }
  }
  void UrlsToFilesWatched(std::vector<Job>& jobs, const Watch& watch, int parallel) override {
    try {
      curl_.UrlsToFilesWatched(jobs, watch, parallel);
    } catch (const std::exception& e) {
      for (Job& job : jobs)
        if (!job.done && job.error.empty()) job.error = e.what();
    } catch (...) {
      for (Job& job : jobs)
        if (!job.done && job.error.empty()) job.error = "failed";
    }
  }

 private:
  net::CurlDownloader curl_;
};

}  // namespace
}  // namespace trovik::download

extern "C" __attribute__((visibility("default"))) trovik::site::Downloader* trovik_downloader_create(
    const char* interface, long totalTimeoutMs, long long maxBytes) {
  if (interface == nullptr || std::strcmp(interface, trovik::download::kDownloadInterface) != 0) return nullptr;
  try {
    trovik::net::CurlDownloader::Limits limits;
    limits.totalTimeoutMs = totalTimeoutMs;
    limits.maxBytes = maxBytes;
    return new trovik::download::ContainedDownloader(limits);
  } catch (...) {
    return nullptr;
  }
}
