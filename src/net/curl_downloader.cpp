#include "net/curl_downloader.h"

#include <curl/curl.h>

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <memory>
#include <mutex>
#include <system_error>

#include "base/files.h"

namespace trovik::net {
namespace {

using Clock = std::chrono::steady_clock;

void GlobalInit() {
  static std::once_flag once;
  std::call_once(once, [] { curl_global_init(CURL_GLOBAL_DEFAULT); });
}

// Where the body goes, how much came, and when anything last arrived.
struct Sink {
  FILE* file = nullptr;
  int64_t written = 0;
  int64_t maxBytes = 0;
  bool overCap = false;
  Clock::time_point lastActivity = Clock::now();
};

size_t WriteToFile(char* data, size_t size, size_t count, void* userdata) {
  auto* sink = static_cast<Sink*>(userdata);
  const size_t bytes = size * count;
  sink->lastActivity = Clock::now();
  if (sink->maxBytes > 0 && sink->written + static_cast<int64_t>(bytes) > sink->maxBytes) {
    sink->overCap = true;
    return 0;  // curl ends the transfer with a write error
  }
  const size_t done = std::fwrite(data, 1, bytes, sink->file);
  sink->written += static_cast<int64_t>(done);
  return done;
}

size_t HeaderSeen(char* /*data*/, size_t size, size_t count, void* userdata) {
  static_cast<Sink*>(userdata)->lastActivity = Clock::now();
  return size * count;
}

struct CurlDeleter {
  void operator()(CURL* curl) const { curl_easy_cleanup(curl); }
};
struct MultiDeleter {
  void operator()(CURLM* multi) const { curl_multi_cleanup(multi); }
};
struct FileCloser {
  void operator()(FILE* f) const {
    if (f) std::fclose(f);
  }
};

// The temporary file goes on every exit that does not rename it into place.
class TempFile {
 public:
  explicit TempFile(std::string path) : path_(std::move(path)) {}
  ~TempFile() {
    if (!kept_) {
      std::error_code ignored;
      std::filesystem::remove(path_, ignored);
    }
  }
  TempFile(const TempFile&) = delete;
  TempFile& operator=(const TempFile&) = delete;
  const std::string& path() const { return path_; }
  void keep() { kept_ = true; }

 private:
  std::string path_;
  bool kept_ = false;
};

}  // namespace

CurlDownloader::CurlDownloader() : CurlDownloader(Limits{}) {}

CurlDownloader::CurlDownloader(Limits limits) : limits_(limits) { GlobalInit(); }

bool CurlDownloader::UrlToFile(const std::string& url, const std::string& localPath) {
  return UrlToFileWatched(url, localPath, Watch{});
}

bool CurlDownloader::UrlToFileWatched(const std::string& url, const std::string& localPath, const Watch& watch) {
  lastError_.clear();
  // Limits as they stand now: a command run from the pump may change them.
  const Limits limits = limits_;
  std::string error;
  auto abandoned = [&] { return watch.abandoned && watch.abandoned(); };
  if (abandoned()) {
    lastError_ = "abandoned";
    return false;
  }
  const std::string target = files::PcPath(localPath);

  std::unique_ptr<CURL, CurlDeleter> curl(curl_easy_init());
  std::unique_ptr<CURLM, MultiDeleter> multi(curl_multi_init());
  if (!curl || !multi) {
    lastError_ = "curl_easy_init failed";
    return false;
  }
  TempFile temp(files::TempNameBeside(target));
  std::unique_ptr<FILE, FileCloser> file(std::fopen(temp.path().c_str(), "wb"));
  if (!file) {
    lastError_ = "cannot create " + temp.path();
    return false;
  }
  Sink sink;
  sink.file = file.get();
  sink.maxBytes = limits.maxBytes;
  char errorText[CURL_ERROR_SIZE] = {0};
  CURL* h = curl.get();
  curl_easy_setopt(h, CURLOPT_URL, url.c_str());
  curl_easy_setopt(h, CURLOPT_WRITEFUNCTION, WriteToFile);
  curl_easy_setopt(h, CURLOPT_WRITEDATA, &sink);
  curl_easy_setopt(h, CURLOPT_HEADERFUNCTION, HeaderSeen);
  curl_easy_setopt(h, CURLOPT_HEADERDATA, &sink);
  curl_easy_setopt(h, CURLOPT_ERRORBUFFER, errorText);
  curl_easy_setopt(h, CURLOPT_FOLLOWLOCATION, 1L);
  curl_easy_setopt(h, CURLOPT_MAXREDIRS, limits.maxRedirects);
  curl_easy_setopt(h, CURLOPT_CONNECTTIMEOUT_MS, limits.connectTimeoutMs);
  if (limits.totalTimeoutMs > 0) curl_easy_setopt(h, CURLOPT_TIMEOUT_MS, limits.totalTimeoutMs);
  // A declared length over the cap fails before any byte is written.
  if (limits.maxBytes > 0) curl_easy_setopt(h, CURLOPT_MAXFILESIZE_LARGE, static_cast<curl_off_t>(limits.maxBytes));
  curl_easy_setopt(h, CURLOPT_FAILONERROR, 1L);
  curl_easy_setopt(h, CURLOPT_NOSIGNAL, 1L);
  curl_easy_setopt(h, CURLOPT_PROTOCOLS_STR, "http,https,file");
  curl_easy_setopt(h, CURLOPT_REDIR_PROTOCOLS_STR, "http,https");
  curl_easy_setopt(h, CURLOPT_USERAGENT, "Trovik");
  curl_multi_add_handle(multi.get(), h);

  // Short polls when the host's events must run between them.
  const int pollMs = watch.pump ? 10 : 200;
  CURLcode code = CURLE_OK;
  bool finished = false;
  for (;;) {
    int running = 0;
    const CURLMcode mc = curl_multi_perform(multi.get(), &running);
    if (mc != CURLM_OK) {
      error = curl_multi_strerror(mc);
      break;
    }
    if (running == 0) {
      int left = 0;
      while (CURLMsg* msg = curl_multi_info_read(multi.get(), &left)) {
        if (msg->msg == CURLMSG_DONE) code = msg->data.result;
      }
      finished = true;
      break;
    }
    if (abandoned()) {
      error = "abandoned";
      break;
    }
    const auto silent = std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - sink.lastActivity);
    if (limits.stallMs > 0 && silent.count() >= limits.stallMs) {
      error = "nothing received for " + std::to_string(limits.stallMs / 1000) + " s";
      break;
    }
    int ready = 0;
    curl_multi_poll(multi.get(), nullptr, 0, pollMs, &ready);
    if (watch.pump) watch.pump();
  }
  long status = 0;
  curl_easy_getinfo(h, CURLINFO_RESPONSE_CODE, &status);
  curl_multi_remove_handle(multi.get(), h);

  const bool flushed = std::fflush(file.get()) == 0 && !std::ferror(file.get());
  const bool closed = std::fclose(file.release()) == 0;
  if (error.empty()) {
    if (sink.overCap || code == CURLE_FILESIZE_EXCEEDED)
      error = "larger than " + std::to_string(limits.maxBytes) + " bytes";
    else if (!finished || code != CURLE_OK)
      error = errorText[0] ? errorText : curl_easy_strerror(code);
    else if (status >= 400)
      error = "HTTP " + std::to_string(status);
    else if (!flushed || !closed)
      error = "cannot write " + temp.path();
  }
  if (!error.empty()) {
    lastError_ = error;
    return false;
  }
  std::error_code renameError;
  std::filesystem::rename(temp.path(), target, renameError);
  if (renameError) {
    lastError_ = "cannot rename to " + target + ": " + renameError.message();
    return false;
  }
  temp.keep();
  return true;
}

}  // namespace trovik::net
