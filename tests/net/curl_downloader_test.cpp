// The downloader against a small local server: what lands on disk and when.
#include "net/curl_downloader.h"

#include <gtest/gtest.h>
#include <httplib.h>

#include <chrono>
#include <filesystem>
#include <thread>

#include "base/files.h"
#include "support/temp_dir.h"

namespace trovik::net {
namespace {

class Server {
 public:
  Server() {
    server_.Get("/ok", [](const httplib::Request&, httplib::Response& res) {
      res.set_content(std::string("picture\0bytes", 13), "image/jpeg");
    });
    server_.Get("/moved", [](const httplib::Request&, httplib::Response& res) { res.set_redirect("/ok"); });
    server_.Get("/loop", [](const httplib::Request&, httplib::Response& res) { res.set_redirect("/loop"); });
    server_.Get("/missing", [](const httplib::Request&, httplib::Response& res) {
      res.status = 404;
      res.set_content("<html>not found</html>", "text/html");
    });
    server_.Get("/broken", [](const httplib::Request&, httplib::Response& res) {
      res.status = 500;
      res.set_content("oops", "text/plain");
    });
    server_.Get("/slow", [](const httplib::Request&, httplib::Response& res) {
      std::this_thread::sleep_for(std::chrono::milliseconds(1500));
      res.set_content("late", "text/plain");
    });
    port_ = server_.bind_to_any_port("127.0.0.1");
    thread_ = std::thread([this] { server_.listen_after_bind(); });
    while (!server_.is_running()) std::this_thread::sleep_for(std::chrono::milliseconds(5));
  }
  ~Server() {
    server_.stop();
    thread_.join();
  }
  std::string url(const std::string& path) const { return "http://127.0.0.1:" + std::to_string(port_) + path; }

 private:
  httplib::Server server_;
  int port_ = 0;
  std::thread thread_;
};

size_t FilesIn(const std::string& folder) {
  size_t n = 0;
  for ([[maybe_unused]] auto& e : std::filesystem::directory_iterator(folder)) ++n;
  return n;
}

TEST(CurlDownloader, DownloadsAndFollowsRedirects) {
  Server server;
  testing::TempDir dir;
  CurlDownloader downloader;
  ASSERT_TRUE(downloader.UrlToFile(server.url("/ok"), dir.file("a.jpg"))) << downloader.lastError();
  EXPECT_EQ(files::ReadAll(dir.file("a.jpg")), std::string("picture\0bytes", 13));
  ASSERT_TRUE(downloader.UrlToFile(server.url("/moved"), dir.file("b.jpg"))) << downloader.lastError();
  EXPECT_EQ(files::Size(dir.file("b.jpg")), 13);
  EXPECT_EQ(FilesIn(dir.path()), 2u);  // no temporary files left
}

TEST(CurlDownloader, HttpErrorStatusIsAFailureAndLeavesNoFile) {
  Server server;
  testing::TempDir dir;
  CurlDownloader downloader;
  EXPECT_FALSE(downloader.UrlToFile(server.url("/missing"), dir.file("a.jpg")));
  EXPECT_FALSE(downloader.UrlToFile(server.url("/broken"), dir.file("b.jpg")));
  EXPECT_FALSE(downloader.UrlToFile(server.url("/loop"), dir.file("c.jpg")));
  EXPECT_EQ(FilesIn(dir.path()), 0u);
  // A file already there stays as it was.
  dir.write("keep.jpg", "old");
  EXPECT_FALSE(downloader.UrlToFile(server.url("/missing"), dir.file("keep.jpg")));
  EXPECT_EQ(dir.read("keep.jpg"), "old");
}

TEST(CurlDownloader, TimeOutsAndUnreachableHostsFail) {
  Server server;
  testing::TempDir dir;
  CurlDownloader quick(CurlDownloader::Limits{.connectTimeoutMs = 2000, .totalTimeoutMs = 300});
  EXPECT_FALSE(quick.UrlToFile(server.url("/slow"), dir.file("s.jpg")));
  EXPECT_FALSE(quick.UrlToFile("http://127.0.0.1:1/x", dir.file("t.jpg")));
  EXPECT_FALSE(quick.UrlToFile("gopher://127.0.0.1/x", dir.file("u.jpg")));
  EXPECT_FALSE(quick.lastError().empty());
  EXPECT_EQ(FilesIn(dir.path()), 0u);
}

TEST(CurlDownloader, NameIn1250AndMissingFolder) {
  Server server;
  testing::TempDir dir;
  CurlDownloader downloader;
  ASSERT_TRUE(downloader.UrlToFile(server.url("/ok"), dir.path() + "ko\x9Aik.jpg"));
  EXPECT_TRUE(files::Exists(dir.path() + "ko\xC5\xA1ik.jpg"));  // UTF-8 on disk
  EXPECT_FALSE(downloader.UrlToFile(server.url("/ok"), dir.path() + "no/such/x.jpg"));
}

}  // namespace
}  // namespace trovik::net
