#pragma once
// The demo server: the national site under /sk, the international site under
// /com and the image server under /img, on one loopback port.

#include <atomic>
#include <map>
#include <memory>
#include <mutex>
#include <string>

#include "catalog.h"
#include "pictures.h"

namespace httplib {
class Server;
struct Request;
struct Response;
}  // namespace httplib

namespace trovik::demo {

struct ServerOptions {
  std::string host = "127.0.0.1";
  int port = 8080;      // 0: any free port
  std::string dataDir;  // extra files served before the built-in pages, or empty
};

// Whether a host name or address is a loopback one; the server refuses others.
bool IsLoopbackHost(const std::string& host);

// Logged-in users by session token, one table per site.
class Sessions {
 public:
  std::string open(const std::string& site, const std::string& user);
  std::string user(const std::string& site, const std::string& token) const;
  void close(const std::string& site, const std::string& token);

 private:
  mutable std::mutex mutex_;
  std::map<std::string, std::string> users_;  // site + " " + token -> user
};

class DemoServer {
 public:
  explicit DemoServer(ServerOptions options);
  ~DemoServer();
  DemoServer(const DemoServer&) = delete;
  DemoServer& operator=(const DemoServer&) = delete;

  // Binds and listens; returns the port. Throws std::runtime_error on failure.
  int bind();
  // Serves until stop(); call after bind(), once.
  void run();
  // Ends run() (also one that is about to start) and waits for it; safe from
  // any thread and more than once.
  void stop();
  // "http://127.0.0.1:PORT" once bound.
  std::string address() const;

  const Catalog& catalog() const { return catalog_; }

 private:
  void routeNational();
  void routeInternational();
  void routeImages();
  std::string sessionUser(const httplib::Request& req, const std::string& site) const;

  ServerOptions options_;
  int port_ = 0;
  Catalog catalog_;
  PictureStore pictures_;
  Sessions sessions_;
  std::unique_ptr<httplib::Server> http_;
  std::mutex stopMutex_;
  std::atomic<bool> stopRequested_{false};
  std::atomic<bool> runStarted_{false};
  std::atomic<bool> finished_{false};
};

}  // namespace trovik::demo
