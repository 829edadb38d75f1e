#include "server.h"

#include <httplib.h>

#include <cstdio>
#include <random>
#include <thread>
#include <stdexcept>

#include "html.h"
#include "pages.h"

namespace trovik::demo {

namespace {

constexpr const char* kHtml = "text/html; charset=utf-8";
constexpr const char* kCookieSk = "PHPSESSID";
constexpr const char* kCookieCom = "ASPSESSIONID";

struct Account {
  const char* user;
  const char* password;
};
const Account kAccounts[] = {{"geocacher", "trovik"}, {"Ďurko", "kešky"}};

bool CheckLogin(const std::string& user, const std::string& password) {
  for (const Account& a : kAccounts)
    if (user == a.user && password == a.password) return true;
  return false;
}

std::string CookieValue(const httplib::Request& req, const std::string& name) {
  std::string all = req.get_header_value("Cookie");
  size_t pos = 0;
  while (pos < all.size()) {
    size_t end = all.find(';', pos);
    if (end == std::string::npos) end = all.size();
    std::string part = all.substr(pos, end - pos);
    size_t b = part.find_first_not_of(' ');
    if (b != std::string::npos) {
      part = part.substr(b);
      if (part.size() > name.size() && part.compare(0, name.size(), name) == 0 && part[name.size()] == '=')
        return part.substr(name.size() + 1);
    }
    pos = end + 1;
  }
  return "";
}

// The origin the browser used, for absolute links back to this server; a Host
// header with anything but host-name characters falls back to the bound address.
std::string Origin(const httplib::Request& req, const std::string& fallback) {
  std::string host = req.get_header_value("Host");
  if (host.empty()) return fallback;
  for (char c : host) {
    bool ok = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '.' || c == '-' ||
              c == ':' || c == '[' || c == ']';
    if (!ok) return fallback;
  }
  return "http://" + host;
}

std::string QueryOf(const httplib::Request& req) {
  size_t q = req.target.find('?');
  return q == std::string::npos ? std::string() : req.target.substr(q + 1);
}

void Html(httplib::Response& res, const std::string& page, int status = 200) {
  res.status = status;
  res.set_content(page, kHtml);
  res.set_header("Cache-Control", "no-cache");
}

void Redirect(httplib::Response& res, const std::string& to) {
  res.status = 303;
  res.set_header("Location", to);
  res.set_content("<HTML><BODY><A href=\"" + Esc(to) + "\">" + Esc(to) + "</A></BODY></HTML>", kHtml);
}

// A lasting cookie, so a login outlives the browser process (the program's
// GUI and CLI runs share one browser profile); the server still forgets every
// session when it stops.
void SetSessionCookie(httplib::Response& res, const char* name, const std::string& token, const char* path) {
  res.set_header("Set-Cookie", std::string(name) + "=" + token + "; Path=" + path + "; Max-Age=2592000; HttpOnly");
}

void ClearSessionCookie(httplib::Response& res, const char* name, const char* path) {
  res.set_header("Set-Cookie", std::string(name) + "=; Path=" + path + "; Max-Age=0; HttpOnly");
}

// Where the international login goes afterwards: only a page of this site on
// this server, never somewhere else.
std::string SafeRedirect(const std::string& redir, const std::string& origin) {
  std::string path = redir;
  if (path.rfind(origin, 0) == 0) path = path.substr(origin.size());
  if (path.rfind("/com/", 0) == 0 && path.find("//") == std::string::npos && path.find('\\') == std::string::npos)
    return path;
  return "/com/Default.aspx";
}

}  // namespace

bool IsLoopbackHost(const std::string& host) {
  if (host == "localhost" || host == "::1") return true;
  int a = 0, b = 0, c = 0, d = 0;
  char tail = 0;
  if (std::sscanf(host.c_str(), "%d.%d.%d.%d%c", &a, &b, &c, &d, &tail) != 4) return false;
  return a == 127 && b >= 0 && b <= 255 && c >= 0 && c <= 255 && d >= 0 && d <= 255;
}

std::string Sessions::open(const std::string& site, const std::string& user) {
  std::random_device rd;
  std::string token;
  static const char* hex = "0123456789abcdef";
  for (int i = 0; i < 32; ++i) token += hex[rd() % 16];
  std::lock_guard<std::mutex> lock(mutex_);
  users_[site + " " + token] = user;
  return token;
}

std::string Sessions::user(const std::string& site, const std::string& token) const {
  if (token.empty()) return "";
  std::lock_guard<std::mutex> lock(mutex_);
  auto it = users_.find(site + " " + token);
  return it == users_.end() ? std::string() : it->second;
}

void Sessions::close(const std::string& site, const std::string& token) {
  std::lock_guard<std::mutex> lock(mutex_);
  users_.erase(site + " " + token);
}

DemoServer::DemoServer(ServerOptions options)
    : options_(std::move(options)), pictures_(catalog_), http_(std::make_unique<httplib::Server>()) {
  if (!IsLoopbackHost(options_.host))
    throw std::runtime_error("the demo site listens on loopback only, not on " + options_.host);
  // The library's default also sets SO_REUSEPORT, which lets a second server
  // bind the same port and take half of the requests (and sessions) silently.
  http_->set_socket_options([](socket_t sock) {
    int yes = 1;
    setsockopt(sock, SOL_SOCKET, SO_REUSEADDR, reinterpret_cast<const void*>(&yes), sizeof yes);
  });
  // Browsers keep idle connections open and each holds a worker: enough
  // workers for two browsers and the downloader at once, and a short idle
  // time so a stop does not wait long for them.
  http_->new_task_queue = [] { return new httplib::ThreadPool(24); };
  http_->set_keep_alive_timeout(2);
  // A response goes out as headers, then body: without this the body waits
  // for the client's delayed acknowledgement, 25-40 ms per request on a
  // kept-alive connection.
  http_->set_tcp_nodelay(true);
  if (!options_.dataDir.empty() && !http_->set_mount_point("/", options_.dataDir))
    throw std::runtime_error("no such folder: " + options_.dataDir);
  http_->Get("/", [](const httplib::Request&, httplib::Response& res) {
    Html(res, Document("Trovik demo",
                       "<P><A href=\"/sk/index.php\">Geokeš.sk</A> | <A href=\"/com/Default.aspx\">Geocaching</A></P>"));
  });
  routeNational();
  routeInternational();
  routeImages();
}

DemoServer::~DemoServer() { stop(); }

std::string DemoServer::address() const { return "http://" + options_.host + ":" + std::to_string(port_); }

int DemoServer::bind() {
  if (options_.port == 0) {
    port_ = http_->bind_to_any_port(options_.host);
    if (port_ <= 0) throw std::runtime_error("cannot listen on " + options_.host);
  } else {
    if (!http_->bind_to_port(options_.host, options_.port))
      throw std::runtime_error("cannot listen on " + options_.host + ":" + std::to_string(options_.port));
    port_ = options_.port;
  }
  return port_;
}

void DemoServer::run() {
  runStarted_ = true;
  if (!stopRequested_) http_->listen_after_bind();
  finished_ = true;
}

void DemoServer::stop() {
  // The HTTP server ignores a stop that comes before it has started
  // listening, so keep asking until run() has returned; ask only once while it
  // is listening, a second stop of a running server is not allowed.
  std::lock_guard<std::mutex> lock(stopMutex_);
  stopRequested_ = true;
  if (!runStarted_) return;
  bool sent = false;
  while (!finished_) {
    if (!sent && http_->is_running()) {
      http_->stop();
      sent = true;
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
  }
}

std::string DemoServer::sessionUser(const httplib::Request& req, const std::string& site) const {
  return sessions_.user(site, CookieValue(req, site == "sk" ? kCookieSk : kCookieCom));
}

void DemoServer::routeNational() {
  auto ctx = [this](const httplib::Request& req) {
    return PageContext{Origin(req, address()), sessionUser(req, "sk")};
  };
  http_->Get("/sk", [](const httplib::Request&, httplib::Response& res) { Redirect(res, "/sk/index.php"); });
  http_->Get("/sk/", [](const httplib::Request&, httplib::Response& res) { Redirect(res, "/sk/index.php"); });
  http_->Get("/sk/index.php", [ctx](const httplib::Request& req, httplib::Response& res) {
    Html(res, SkHome(ctx(req), ""));
  });
  http_->Post("/sk/index.php", [this, ctx](const httplib::Request& req, httplib::Response& res) {
    std::string user = req.get_param_value("username");
    if (CheckLogin(user, req.get_param_value("password"))) {
      SetSessionCookie(res, kCookieSk, sessions_.open("sk", user), "/sk");
      Redirect(res, "/sk/index.php");
      return;
    }
    // A failed login also ends the session it came with.
    sessions_.close("sk", CookieValue(req, kCookieSk));
    ClearSessionCookie(res, kCookieSk, "/sk");
    PageContext c = ctx(req);
    c.user.clear();
    Html(res, SkHome(c, "Nesprávne meno alebo heslo."), 200);
  });
  http_->Get("/sk/odhlas.php", [this](const httplib::Request& req, httplib::Response& res) {
    sessions_.close("sk", CookieValue(req, kCookieSk));
    ClearSessionCookie(res, kCookieSk, "/sk");
    Redirect(res, "/sk/index.php");
  });
  http_->Get("/sk/hladaj.php", [this, ctx](const httplib::Request& req, httplib::Response& res) {
    std::string code = req.get_param_value("query");
    const Cache* cache = catalog_.find(code);
    if (!cache) {
      Html(res, SkNotFound(ctx(req), code), 404);
      return;
    }
    Html(res, SkListing(ctx(req), *cache, req.get_param_value("decrypt") == "y"));
  });
  http_->Get(R"(/sk/log/([0-9A-Za-z]+)-(\d+)\.html)", [this, ctx](const httplib::Request& req,
                                                                   httplib::Response& res) {
    const Cache* cache = catalog_.find(req.matches[1]);
    size_t n = std::strtoul(std::string(req.matches[2]).c_str(), nullptr, 10);
    if (!cache || n < 1 || n > cache->logs.size()) {
      Html(res, SkNotFound(ctx(req), req.matches[1]), 404);
      return;
    }
    Html(res, SkLog(ctx(req), *cache, n - 1));
  });
}

void DemoServer::routeInternational() {
  auto ctx = [this](const httplib::Request& req) {
    return PageContext{Origin(req, address()), sessionUser(req, "com")};
  };
  auto home = [ctx](const httplib::Request& req, httplib::Response& res) { Html(res, ComHome(ctx(req))); };
  http_->Get("/com", home);
  http_->Get("/com/", home);
  http_->Get("/com/Default.aspx", home);
  http_->Get("/com/default.aspx", home);
  http_->Get("/com/login/default.aspx", [ctx](const httplib::Request& req, httplib::Response& res) {
    Html(res, ComLogin(ctx(req), QueryOf(req), ""));
  });
  http_->Post("/com/login/default.aspx", [this, ctx](const httplib::Request& req, httplib::Response& res) {
    std::string user = req.get_param_value("myusername");
    if (CheckLogin(user, req.get_param_value("mypassword"))) {
      SetSessionCookie(res, kCookieCom, sessions_.open("com", user), "/com");
      Redirect(res, SafeRedirect(req.get_param_value("redir"), Origin(req, address())));
      return;
    }
    sessions_.close("com", CookieValue(req, kCookieCom));
    ClearSessionCookie(res, kCookieCom, "/com");
    PageContext c = ctx(req);
    c.user.clear();
    Html(res, ComLogin(c, QueryOf(req), "The username or password you entered is incorrect."));
  });
  http_->Get("/com/logout.aspx", [this](const httplib::Request& req, httplib::Response& res) {
    sessions_.close("com", CookieValue(req, kCookieCom));
    ClearSessionCookie(res, kCookieCom, "/com");
    Redirect(res, "/com/Default.aspx");
  });
  auto listing = [this, ctx](const httplib::Request& req, httplib::Response& res) {
    std::string code = req.get_param_value("wp");
    const Cache* cache = catalog_.find(code);
    if (!cache) {
      Html(res, ComNotFound(ctx(req), code), 404);
      return;
    }
    Html(res, ComListing(ctx(req), *cache, req.get_param_value("decrypt") == "y"));
  };
  http_->Get("/com/seek/cache_details.aspx", listing);
  http_->Post("/com/seek/cache_details.aspx", listing);
  http_->Get("/com/log/default.aspx", [](const httplib::Request& req, httplib::Response& res) {
    Redirect(res, "/com/seek/cache_details.aspx?wp=" + UrlEncode(req.get_param_value("wp")));
  });
  auto nearest = [this, ctx](const httplib::Request& req, httplib::Response& res) {
    NearestQuery q = ParseNearest(req.get_param_value("lat_ns"), req.get_param_value("lat_h"),
                                  req.get_param_value("lat_mmss"), req.get_param_value("long_ew"),
                                  req.get_param_value("long_h"), req.get_param_value("long_mmss"),
                                  req.get_param_value("dist"));
    q.query = QueryOf(req);
    int page = 1;
    if (req.method == "POST") {
      std::string state = req.get_param_value("__VIEWSTATE");
      int current = state.rfind("page", 0) == 0 ? std::atoi(state.c_str() + 4) : 1;
      page = PageAfterPostBack(req.get_param_value("__EVENTTARGET"), current < 1 ? 1 : current);
    }
    Html(res, ComNearest(ctx(req), catalog_, q, page));
  };
  http_->Get("/com/seek/nearest.aspx", nearest);
  http_->Post("/com/seek/nearest.aspx", nearest);
}

void DemoServer::routeImages() {
  http_->Get(R"(/img/cache/([^/]+))", [this](const httplib::Request& req, httplib::Response& res) {
    auto picture = pictures_.get(req.matches[1]);
    if (!picture) {
      res.status = 404;
      res.set_content("<HTML><BODY><H1>404 Not Found</H1></BODY></HTML>", kHtml);
      return;
    }
    res.set_content(picture->first, picture->second);
  });
}

}  // namespace trovik::demo
