#include "net/curl_downloader.h"

#include <curl/curl.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <memory>
#include <mutex>
#include <system_error>
#include <vector>

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
constexpr size_t kChunk = 64 * 1024;

struct MultiDeleter {
  void operator()(void* multi) const { curl_multi_cleanup(static_cast<CURLM*>(multi)); }
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

// One transfer of a batch: its handle, its temporary file and how it ended.
class Transfer {
 public:
  Transfer(site::Downloader::Job& job, const CurlDownloader::Limits& limits)
      : job_(job), target_(files::PcPath(job.localPath)), temp_(files::TempNameBeside(target_)) {
    curl_.reset(curl_easy_init());
    if (!curl_) {
      job_.error = "curl_easy_init failed";
      return;
    }
    file_.reset(std::fopen(temp_.path().c_str(), "wb"));
    if (!file_) {
      job_.error = "cannot create " + temp_.path();
      return;
    }
    // A picture in one or two writes rather than a dozen: most are tens of kilobytes.
    buffer_ = std::make_unique_for_overwrite<char[]>(kChunk);
    std::setvbuf(file_.get(), buffer_.get(), _IOFBF, kChunk);
    sink_.file = file_.get();
    sink_.maxBytes = limits.maxBytes;
    CURL* h = curl_.get();
    curl_easy_setopt(h, CURLOPT_URL, job.url.c_str());
    curl_easy_setopt(h, CURLOPT_WRITEFUNCTION, WriteToFile);
    curl_easy_setopt(h, CURLOPT_WRITEDATA, &sink_);
    curl_easy_setopt(h, CURLOPT_HEADERFUNCTION, HeaderSeen);
    curl_easy_setopt(h, CURLOPT_HEADERDATA, &sink_);
    curl_easy_setopt(h, CURLOPT_ERRORBUFFER, errorText_);
    curl_easy_setopt(h, CURLOPT_PRIVATE, this);
    curl_easy_setopt(h, CURLOPT_BUFFERSIZE, static_cast<long>(kChunk));
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
    ready_ = true;
  }
  Transfer(const Transfer&) = delete;
  Transfer& operator=(const Transfer&) = delete;

  bool ready() const { return ready_; }
  CURL* handle() { return curl_.get(); }
  const Sink& sink() const { return sink_; }

  // The transfer ended with `code`, or was cut short for `error`: the file is
  // renamed into place only when nothing went wrong.
  void finish(CURLcode code, bool finished, std::string error, int64_t maxBytes) {
    long status = 0;
    curl_easy_getinfo(curl_.get(), CURLINFO_RESPONSE_CODE, &status);
    const bool flushed = std::fflush(file_.get()) == 0 && !std::ferror(file_.get());
    const bool closed = std::fclose(file_.release()) == 0;
    if (error.empty()) {
      if (sink_.overCap || code == CURLE_FILESIZE_EXCEEDED)
        error = "larger than " + std::to_string(maxBytes) + " bytes";
      else if (!finished || code != CURLE_OK)
        error = errorText_[0] ? errorText_ : curl_easy_strerror(code);
      else if (status >= 400)
        error = "HTTP " + std::to_string(status);
      else if (!flushed || !closed)
        error = "cannot write " + temp_.path();
    }
    if (error.empty()) {
      std::error_code renameError;
      std::filesystem::rename(temp_.path(), target_, renameError);
      if (renameError)
        error = "cannot rename to " + target_ + ": " + renameError.message();
      else
        temp_.keep();
    }
    job_.error = std::move(error);
    job_.done = job_.error.empty();
  }

 private:
  site::Downloader::Job& job_;
  std::string target_;
  TempFile temp_;
  std::unique_ptr<CURL, CurlDeleter> curl_;
  std::unique_ptr<char[]> buffer_;  // the file's; it outlives the file
  std::unique_ptr<FILE, FileCloser> file_;
  Sink sink_;
  char errorText_[CURL_ERROR_SIZE] = {0};
  bool ready_ = false;
};

}  // namespace

CurlDownloader::CurlDownloader() : CurlDownloader(Limits{}) {}

CurlDownloader::CurlDownloader(Limits limits) : limits_(limits) { GlobalInit(); }

bool CurlDownloader::UrlToFile(const std::string& url, const std::string& localPath) {
  return UrlToFileWatched(url, localPath, Watch{});
}

bool CurlDownloader::UrlToFileWatched(const std::string& url, const std::string& localPath, const Watch& watch) {
  std::vector<Job> jobs{Job{url, localPath, false, {}}};
  UrlsToFilesWatched(jobs, watch, 1);
  lastError_ = jobs[0].error;
  return jobs[0].done;
}

void CurlDownloader::UrlsToFilesWatched(std::vector<Job>& jobs, const Watch& watch, int parallel) {
  // Limits as they stand now: a command run from the pump may change them.
  const Limits limits = limits_;
  auto abandoned = [&] { return watch.abandoned && watch.abandoned(); };
  for (Job& job : jobs) job.done = false, job.error.clear();
  if (!multi_) {
    if (CURLM* made = curl_multi_init()) multi_.reset(made, MultiDeleter{});
  }
  if (!multi_) {
    for (Job& job : jobs) job.error = "curl_multi_init failed";
    return;
  }
  CURLM* const multi = static_cast<CURLM*>(multi_.get());
  curl_multi_setopt(multi, CURLMOPT_MAX_HOST_CONNECTIONS, static_cast<long>(std::max(parallel, 1)));
  const size_t width = static_cast<size_t>(std::max(parallel, 1));
  std::vector<std::unique_ptr<Transfer>> running;
  size_t next = 0;
  // Short polls when the host's events must run between them.
  const int pollMs = watch.pump ? 10 : 200;
  std::string stopped;  // why everything still open ends
  while (next < jobs.size() || !running.empty()) {
    if (stopped.empty() && abandoned()) stopped = "abandoned";
    while (stopped.empty() && running.size() < width && next < jobs.size()) {
      auto transfer = std::make_unique<Transfer>(jobs[next++], limits);
      if (!transfer->ready()) continue;
      curl_multi_add_handle(multi, transfer->handle());
      running.push_back(std::move(transfer));
    }
    if (!stopped.empty()) {
      for (auto& t : running) {
        curl_multi_remove_handle(multi, t->handle());
        t->finish(CURLE_OK, false, stopped, limits.maxBytes);
      }
      running.clear();
      for (; next < jobs.size(); ++next) jobs[next].error = stopped;
      break;
    }
    int stillRunning = 0;
    const CURLMcode mc = curl_multi_perform(multi, &stillRunning);
    if (mc != CURLM_OK) {
      stopped = curl_multi_strerror(mc);
      continue;
    }
    int left = 0;
    while (CURLMsg* msg = curl_multi_info_read(multi, &left)) {
      if (msg->msg != CURLMSG_DONE) continue;
      const CURLcode code = msg->data.result;
      CURL* h = msg->easy_handle;
      auto it = std::find_if(running.begin(), running.end(), [h](const auto& t) { return t->handle() == h; });
      if (it == running.end()) continue;
      curl_multi_remove_handle(multi, h);
      (*it)->finish(code, true, "", limits.maxBytes);
      running.erase(it);
    }
    const auto now = Clock::now();
    for (auto it = running.begin(); it != running.end();) {
      const auto silent = std::chrono::duration_cast<std::chrono::milliseconds>(now - (*it)->sink().lastActivity);
      if (limits.stallMs > 0 && silent.count() >= limits.stallMs) {
        curl_multi_remove_handle(multi, (*it)->handle());
        (*it)->finish(CURLE_OK, false, "nothing received for " + std::to_string(limits.stallMs / 1000) + " s",
                      limits.maxBytes);
        it = running.erase(it);
      } else {
        ++it;
      }
    }
    if (running.empty()) continue;
    int ready = 0;
    curl_multi_poll(multi, nullptr, 0, pollMs, &ready);
    if (watch.pump) watch.pump();
  }
}

}  // namespace trovik::net
