#pragma once
// The demo server running in the test's own process on a free port, and the
// small client-side helpers the tests share.

#include <gtest/gtest.h>
#include <httplib.h>

#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "server.h"

namespace trovik::demo::testing {

class RunningServer {
 public:
  RunningServer() : server_(ServerOptions{"127.0.0.1", 0, ""}) {
    port_ = server_.bind();
    thread_ = std::thread([this] { server_.run(); });
  }
  ~RunningServer() {
    server_.stop();
    thread_.join();
  }
  int port() const { return port_; }
  std::string origin() const { return "http://127.0.0.1:" + std::to_string(port_); }
  const Catalog& catalog() const { return server_.catalog(); }
  std::unique_ptr<httplib::Client> client() const {
    auto c = std::make_unique<httplib::Client>("127.0.0.1", port_);
    c->set_follow_location(false);
    c->set_read_timeout(20, 0);
    return c;
  }

 private:
  DemoServer server_;
  int port_ = 0;
  std::thread thread_;
};

// One server shared by the tests of a suite (they need no fresh state of
// it), and a client of it for each test.
class SharedServerTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() { server_ = std::make_unique<RunningServer>(); }
  static void TearDownTestSuite() { server_.reset(); }
  static RunningServer& server() { return *server_; }

  std::unique_ptr<httplib::Client> http = server().client();

 private:
  static inline std::unique_ptr<RunningServer> server_;
};

// "NAME=VALUE" of the first Set-Cookie header, empty when there is none.
inline std::string SessionCookie(const httplib::Result& res) {
  if (!res) return "";
  std::string set = res->get_header_value("Set-Cookie");
  return set.substr(0, set.find(';'));
}

inline std::vector<std::string> Lines(const std::string& text) {
  std::vector<std::string> out;
  size_t start = 0;
  while (start < text.size()) {
    size_t end = text.find("\r\n", start);
    if (end == std::string::npos) end = text.size();
    out.push_back(text.substr(start, end - start));
    start = end + 2;
  }
  return out;
}

// The body's inner HTML of a page as the server sent it.
inline std::string BodyOf(const std::string& page) {
  size_t b = page.find("<BODY>");
  size_t e = page.rfind("</BODY>");
  if (b == std::string::npos || e == std::string::npos || e < b) return "";
  return page.substr(b + 6, e - b - 6);
}

inline std::string ReplaceAll(std::string s, const std::string& from, const std::string& to) {
  for (size_t p = s.find(from); p != std::string::npos; p = s.find(from, p + to.size())) s.replace(p, from.size(), to);
  return s;
}

}  // namespace trovik::demo::testing
