#include "net/curl_downloader.h"

#include <curl/curl.h>

#include <cstdio>
#include <filesystem>
#include <memory>
#include <mutex>
#include <system_error>

#include "base/files.h"

namespace trovik::net {
namespace {

void GlobalInit() {
  static std::once_flag once;
  std::call_once(once, [] { curl_global_init(CURL_GLOBAL_DEFAULT); });
}

size_t WriteToFile(char* data, size_t size, size_t count, void* file) {
  return std::fwrite(data, size, count, static_cast<FILE*>(file)) * size;
}

struct CurlDeleter {
  void operator()(CURL* curl) const { curl_easy_cleanup(curl); }
};
struct FileCloser {
  void operator()(FILE* f) const {
    if (f) std::fclose(f);
  }
};

}  // namespace

CurlDownloader::CurlDownloader() : CurlDownloader(Limits{}) {}

CurlDownloader::CurlDownloader(Limits limits) : limits_(limits) { GlobalInit(); }

bool CurlDownloader::UrlToFile(const std::string& url, const std::string& localPath) {
  lastError_.clear();
  const std::string target = files::PcPath(localPath);
  const std::string temp = files::TempNameBeside(target);
  std::error_code ignored;

  std::unique_ptr<CURL, CurlDeleter> curl(curl_easy_init());
  if (!curl) {
    lastError_ = "curl_easy_init failed";
    return false;
  }
  std::unique_ptr<FILE, FileCloser> file(std::fopen(temp.c_str(), "wb"));
  if (!file) {
    lastError_ = "cannot create " + temp;
    return false;
  }
  char errorText[CURL_ERROR_SIZE] = {0};
  CURL* h = curl.get();
  curl_easy_setopt(h, CURLOPT_URL, url.c_str());
  curl_easy_setopt(h, CURLOPT_WRITEFUNCTION, WriteToFile);
  curl_easy_setopt(h, CURLOPT_WRITEDATA, file.get());
  curl_easy_setopt(h, CURLOPT_ERRORBUFFER, errorText);
  curl_easy_setopt(h, CURLOPT_FOLLOWLOCATION, 1L);
  curl_easy_setopt(h, CURLOPT_MAXREDIRS, limits_.maxRedirects);
  curl_easy_setopt(h, CURLOPT_CONNECTTIMEOUT_MS, limits_.connectTimeoutMs);
  curl_easy_setopt(h, CURLOPT_TIMEOUT_MS, limits_.totalTimeoutMs);
  curl_easy_setopt(h, CURLOPT_FAILONERROR, 1L);
  curl_easy_setopt(h, CURLOPT_NOSIGNAL, 1L);
  curl_easy_setopt(h, CURLOPT_PROTOCOLS_STR, "http,https,file");
  curl_easy_setopt(h, CURLOPT_REDIR_PROTOCOLS_STR, "http,https");
  curl_easy_setopt(h, CURLOPT_USERAGENT, "Trovik");

  const CURLcode code = curl_easy_perform(h);
  long status = 0;
  curl_easy_getinfo(h, CURLINFO_RESPONSE_CODE, &status);
  const bool flushed = std::fflush(file.get()) == 0 && !std::ferror(file.get());
  const bool closed = std::fclose(file.release()) == 0;
  if (code != CURLE_OK || !flushed || !closed || status >= 400) {
    if (code != CURLE_OK)
      lastError_ = errorText[0] ? errorText : curl_easy_strerror(code);
    else if (status >= 400)
      lastError_ = "HTTP " + std::to_string(status);
    else
      lastError_ = "cannot write " + temp;
    std::filesystem::remove(temp, ignored);
    return false;
  }
  std::error_code renameError;
  std::filesystem::rename(temp, target, renameError);
  if (renameError) {
    lastError_ = "cannot rename to " + target + ": " + renameError.message();
    std::filesystem::remove(temp, ignored);
    return false;
  }
  return true;
}

}  // namespace trovik::net
