// The downloader against hostile servers on loopback: a picture that never
// ends, one that stalls, and a user who gives up while it downloads.
#include <gtest/gtest.h>
#include <httplib.h>

#include <atomic>
#include <chrono>
#include <filesystem>
#include <thread>

#include "base/files.h"
#include "net/curl_downloader.h"
#include "support/temp_dir.h"

namespace trovik::net {
namespace {

class HostileServer {
 public:
  HostileServer() {
    // Sends picture bytes for as long as anyone reads them.
    server_.Get("/endless.jpg", [this](const httplib::Request&, httplib::Response& res) {
      res.set_chunked_content_provider("image/jpeg", [this](size_t, httplib::DataSink& sink) {
        static const std::string chunk(64 * 1024, '\xFF');
        return !stopping_ && sink.write(chunk.data(), chunk.size());
      });
    });
    // Announces more than the cap allows.
    server_.Get("/huge.jpg", [](const httplib::Request&, httplib::Response& res) {
      res.set_content_provider(200LL * 1024 * 1024, "image/jpeg", [](size_t, size_t length, httplib::DataSink& sink) {
        static const std::string chunk(64 * 1024, '\xFF');
        return sink.write(chunk.data(), std::min(length, chunk.size()));
      });
    });
    // A few bytes, then silence until the server goes.
    server_.Get("/stalled.gif", [this](const httplib::Request&, httplib::Response& res) {
      res.set_chunked_content_provider("image/gif", [this](size_t offset, httplib::DataSink& sink) {
        if (offset == 0) return sink.write("GIF89a", 6);
        while (!stopping_) std::this_thread::sleep_for(std::chrono::milliseconds(10));
        return false;
      });
    });
    port_ = server_.bind_to_any_port("127.0.0.1");
    thread_ = std::thread([this] { server_.listen_after_bind(); });
    while (!server_.is_running()) std::this_thread::sleep_for(std::chrono::milliseconds(5));
  }
  ~HostileServer() {
    stopping_ = true;
    server_.stop();
    thread_.join();
  }
  std::string url(const std::string& path) const { return "http://127.0.0.1:" + std::to_string(port_) + path; }

 private:
  httplib::Server server_;
  std::atomic<bool> stopping_{false};
  int port_ = 0;
  std::thread thread_;
};

bool Empty(const std::string& folder) { return std::filesystem::is_empty(folder); }

TEST(HostileDownload, PictureOverTheCapFailsAndLeavesNothing) {
  HostileServer server;
  testing::TempDir dir;
  CurlDownloader::Limits limits;
  limits.maxBytes = 1024 * 1024;
  CurlDownloader downloader(limits);
  EXPECT_FALSE(downloader.UrlToFile(server.url("/endless.jpg"), dir.file("endless.jpg")));
  EXPECT_NE(downloader.lastError().find("larger than"), std::string::npos) << downloader.lastError();
  EXPECT_TRUE(Empty(dir.path()));
  // Watched, the same; the pump ran meanwhile.
  int pumps = 0;
  EXPECT_FALSE(downloader.UrlToFileWatched(server.url("/endless.jpg"), dir.file("endless.jpg"),
                                           {[&] { ++pumps; }, {}}));
  EXPECT_GT(pumps, 0);
  EXPECT_FALSE(downloader.UrlToFile(server.url("/huge.jpg"), dir.file("huge.jpg")));
  EXPECT_TRUE(Empty(dir.path()));
  // The default cap is 50 MB: a server that never stops does not fill the disk.
  CurlDownloader defaults;
  EXPECT_FALSE(defaults.UrlToFile(server.url("/endless.jpg"), dir.file("endless.jpg")));
  EXPECT_TRUE(Empty(dir.path()));
}

TEST(HostileDownload, StalledPictureIsAbandoned) {
  HostileServer server;
  testing::TempDir dir;
  CurlDownloader::Limits limits;
  EXPECT_EQ(limits.stallMs, 15000);  // what a user waits at most for a silent server
  limits.stallMs = 300;
  CurlDownloader downloader(limits);
  EXPECT_FALSE(downloader.UrlToFileWatched(server.url("/stalled.gif"), dir.file("stalled.gif"), {[] {}, {}}));
  EXPECT_NE(downloader.lastError().find("nothing received"), std::string::npos) << downloader.lastError();
  EXPECT_TRUE(Empty(dir.path()));
}

TEST(HostileDownload, GivingUpEndsTheDownloadInFlight) {
  HostileServer server;
  testing::TempDir dir;
  CurlDownloader downloader;  // the 15 s stall bound would end it only much later
  // "Brejk" is pressed from inside the events the download lets run.
  bool brejk = false;
  int pumps = 0;
  const CurlDownloader::Watch watch{[&] { brejk = ++pumps >= 20; }, [&] { return brejk; }};
  const auto start = std::chrono::steady_clock::now();
  EXPECT_FALSE(downloader.UrlToFileWatched(server.url("/stalled.gif"), dir.file("stalled.gif"), watch));
  EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(10));
  EXPECT_EQ(pumps, 20);
  EXPECT_EQ(downloader.lastError(), "abandoned");
  EXPECT_TRUE(Empty(dir.path()));
  // Given up before it starts: nothing is fetched.
  EXPECT_FALSE(downloader.UrlToFileWatched(server.url("/stalled.gif"), dir.file("s.gif"), {{}, [] { return true; }}));
  EXPECT_TRUE(Empty(dir.path()));
}

}  // namespace
}  // namespace trovik::net
