// Logins on both demo sites: real form posts, session cookies, refused
// credentials, and what a logged-in user sees that others do not.

#include <gtest/gtest.h>

#include "demo_fixture.h"
#include "html.h"

namespace trovik::demo::testing {
namespace {

constexpr const char* kComLogin =
    "/com/login/default.aspx?RESET=Y&redir=http%3a%2f%2f127.0.0.1%3a8080%2fcom%2fDefault.aspx";

class DemoLogin : public ::testing::Test {
 protected:
  RunningServer server;
  std::unique_ptr<httplib::Client> http = server.client();

  std::string loginSk(const std::string& user, const std::string& password) {
    auto res = http->Post("/sk/index.php", httplib::Params{{"username", user}, {"password", password}, {"login-b", "Prihlásiť"}});
    EXPECT_TRUE(res);
    return res && res->status == 303 ? SessionCookie(res) : "";
  }
  std::string loginCom(const std::string& path, const std::string& user, const std::string& password) {
    auto res = http->Post(path.c_str(), httplib::Params{{"myusername", user}, {"mypassword", password}, {"Button1", "Login"}});
    EXPECT_TRUE(res);
    return res && res->status == 303 ? SessionCookie(res) : "";
  }
  std::string get(const std::string& path, const std::string& cookie = "") {
    httplib::Headers headers;
    if (!cookie.empty()) headers.emplace("Cookie", cookie);
    auto res = http->Get(path.c_str(), headers);
    return res ? res->body : "";
  }
};

TEST_F(DemoLogin, NationalLoginPageHasTheFormElementsAndNamesTheDemoAccount) {
  std::string page = get("/sk/index.php");
  EXPECT_NE(page.find("<INPUT type=text name=username id=username"), std::string::npos);
  EXPECT_NE(page.find("<INPUT type=password name=password id=password"), std::string::npos);
  EXPECT_NE(page.find("<INPUT type=submit name=login-b id=login-b"), std::string::npos);
  EXPECT_NE(page.find("<FORM id=prihlasenie name=prihlasenie method=post action=\"/sk/index.php\">"), std::string::npos);
  EXPECT_NE(page.find("<B>geocacher</B> a heslo <B>trovik</B>"), std::string::npos);
  EXPECT_EQ(page.find("odhlásiť"), std::string::npos);
}

TEST_F(DemoLogin, NationalLoginSetsACookieThatShowsTheLogOutLinkAndCoordinates) {
  std::string cookie = loginSk("geocacher", "trovik");
  ASSERT_EQ(cookie.rfind("PHPSESSID=", 0), 0u) << cookie;
  EXPECT_GT(cookie.size(), std::string("PHPSESSID=").size() + 16);

  std::string home = get("/sk/index.php", cookie);
  EXPECT_NE(home.find("[<A href=\"/sk/odhlas.php\">odhlásiť</A>]"), std::string::npos);

  std::string listing = get("/sk/hladaj.php?query=GC1A2B3", cookie);
  EXPECT_NE(listing.find("odhlásiť"), std::string::npos);
  EXPECT_NE(listing.find("<P><BIG><STRONG> " + ListingCoords(48.4012, 18.3721) + "</STRONG></BIG></P>"),
            std::string::npos);
}

TEST_F(DemoLogin, TheSecondAccountHasNonAsciiCredentials) {
  std::string cookie = loginSk("Ďurko", "kešky");
  ASSERT_FALSE(cookie.empty());
  EXPECT_NE(get("/sk/index.php", cookie).find("Prihlásený: <B>Ďurko</B>"), std::string::npos);
}

TEST_F(DemoLogin, WrongNationalCredentialsAreRefusedWithoutSession) {
  for (auto [user, password] : {std::pair{"geocacher", "zle"}, std::pair{"nikto", "trovik"}, std::pair{"", ""},
                                std::pair{"GEOCACHER", "trovik"}}) {
    auto res = http->Post("/sk/index.php", httplib::Params{{"username", user}, {"password", password}, {"login-b", "x"}});
    ASSERT_TRUE(res);
    EXPECT_EQ(res->status, 200) << user;
    EXPECT_NE(res->body.find("Nesprávne meno alebo heslo."), std::string::npos);
    EXPECT_EQ(res->body.find("odhlásiť"), std::string::npos);
    // The answer clears the cookie instead of handing out a session.
    EXPECT_NE(res->get_header_value("Set-Cookie").find("Max-Age=0"), std::string::npos);
  }
}

TEST_F(DemoLogin, AFailedLoginEndsTheSessionItCameWith) {
  std::string cookie = loginSk("geocacher", "trovik");
  ASSERT_FALSE(cookie.empty());
  httplib::Headers headers{{"Cookie", cookie}};
  auto res = http->Post("/sk/index.php", headers, httplib::Params{{"username", "geocacher"}, {"password", "zle"}});
  ASSERT_TRUE(res);
  EXPECT_EQ(get("/sk/index.php", cookie).find("odhlásiť"), std::string::npos);
}

TEST_F(DemoLogin, LogOutEndsTheSession) {
  std::string cookie = loginSk("geocacher", "trovik");
  auto res = http->Get("/sk/odhlas.php", httplib::Headers{{"Cookie", cookie}});
  ASSERT_TRUE(res);
  EXPECT_EQ(res->status, 303);
  EXPECT_EQ(get("/sk/index.php", cookie).find("odhlásiť"), std::string::npos);
}

TEST_F(DemoLogin, AnInventedSessionTokenIsNotLoggedIn) {
  EXPECT_EQ(get("/sk/index.php", "PHPSESSID=0123456789abcdef0123456789abcdef").find("odhlásiť"), std::string::npos);
  EXPECT_EQ(get("/sk/index.php", "PHPSESSID=").find("odhlásiť"), std::string::npos);
}

TEST_F(DemoLogin, InternationalLoginPageHasTheFormElements) {
  std::string page = get(kComLogin);
  EXPECT_NE(page.find("<FORM id=Form1 name=Form1 method=post action=\"/com/login/default.aspx?RESET=Y&amp;redir="
                      "http%3a%2f%2f127.0.0.1%3a8080%2fcom%2fDefault.aspx\">"),
            std::string::npos);
  EXPECT_NE(page.find("name=myusername id=myusername"), std::string::npos);
  EXPECT_NE(page.find("name=mypassword id=mypassword"), std::string::npos);
  EXPECT_NE(page.find("name=Button1 id=Button1"), std::string::npos);
  EXPECT_EQ(page.find("you are logged"), std::string::npos);
}

TEST_F(DemoLogin, InternationalLoginRedirectsToTheStartPageWithTheGreeting) {
  auto res = http->Post(kComLogin, httplib::Params{{"myusername", "geocacher"}, {"mypassword", "trovik"}, {"Button1", "Login"}});
  ASSERT_TRUE(res);
  ASSERT_EQ(res->status, 303);
  // The address names port 8080, not this server's: only the path is followed.
  EXPECT_EQ(res->get_header_value("Location"), "/com/Default.aspx");
  std::string cookie = SessionCookie(res);
  ASSERT_EQ(cookie.rfind("ASPSESSIONID=", 0), 0u);
  EXPECT_NE(res->get_header_value("Set-Cookie").find("Path=/com"), std::string::npos);
  // Lasting, so the login outlives one run of the browser.
  EXPECT_NE(res->get_header_value("Set-Cookie").find("Max-Age="), std::string::npos);

  std::string start = get("/com/Default.aspx", cookie);
  EXPECT_NE(start.find("Hello, <B>geocacher</B> - you are logged in."), std::string::npos);
  std::string listing = get("/com/seek/cache_details.aspx?wp=GC1A2B3&Submit6=Go", cookie);
  EXPECT_NE(listing.find("you are logged"), std::string::npos);
  EXPECT_NE(listing.find("<SPAN id=LatLon><B>N 48° 24.072 E 018° 22.326</B></SPAN>"), std::string::npos);
}

TEST_F(DemoLogin, InternationalRedirectStaysOnThisSite) {
  std::string own = "/com/login/default.aspx?RESET=Y&redir=" + UrlEncode(server.origin() + "/com/seek/nearest.aspx");
  auto res = http->Post(own.c_str(), httplib::Params{{"myusername", "geocacher"}, {"mypassword", "trovik"}});
  ASSERT_TRUE(res);
  EXPECT_EQ(res->get_header_value("Location"), "/com/seek/nearest.aspx");

  for (const char* foreign : {"http%3a%2f%2fexample.org%2fcom%2f", "%2f%2fexample.org%2fcom%2f", "javascript%3aalert(1)"}) {
    std::string path = std::string("/com/login/default.aspx?RESET=Y&redir=") + foreign;
    auto r = http->Post(path.c_str(), httplib::Params{{"myusername", "geocacher"}, {"mypassword", "trovik"}});
    ASSERT_TRUE(r);
    EXPECT_EQ(r->get_header_value("Location"), "/com/Default.aspx") << foreign;
  }
}

TEST_F(DemoLogin, WrongInternationalCredentialsAreRefused) {
  auto res = http->Post(kComLogin, httplib::Params{{"myusername", "geocacher"}, {"mypassword", "Trovik"}});
  ASSERT_TRUE(res);
  EXPECT_EQ(res->status, 200);
  EXPECT_NE(res->body.find("The username or password you entered is incorrect."), std::string::npos);
  EXPECT_EQ(res->body.find("you are logged"), std::string::npos);
  // The form posts back to the same address, redir included.
  EXPECT_NE(res->body.find("action=\"/com/login/default.aspx?RESET=Y&amp;redir=http%3a%2f%2f"), std::string::npos);
}

TEST_F(DemoLogin, EachSiteHasItsOwnSession) {
  std::string sk = loginSk("geocacher", "trovik");
  std::string com = loginCom(kComLogin, "geocacher", "trovik");
  ASSERT_FALSE(sk.empty());
  ASSERT_FALSE(com.empty());
  EXPECT_EQ(get("/com/Default.aspx", sk).find("you are logged"), std::string::npos);
  EXPECT_EQ(get("/sk/index.php", com).find("odhlásiť"), std::string::npos);
  // The same token under the other site's cookie name is no session either.
  std::string token = sk.substr(sk.find('=') + 1);
  EXPECT_EQ(get("/com/Default.aspx", "ASPSESSIONID=" + token).find("you are logged"), std::string::npos);
}

TEST_F(DemoLogin, CoordinatesAreHiddenFromVisitors) {
  std::string sk = get("/sk/hladaj.php?query=GC1A2B3");
  EXPECT_EQ(sk.find("<BIG><STRONG>"), std::string::npos);
  EXPECT_EQ(sk.find("24.072"), std::string::npos);
  EXPECT_NE(sk.find("Súradnice sa zobrazia len prihláseným užívateľom."), std::string::npos);
  std::string com = get("/com/seek/cache_details.aspx?wp=GC1A2B3&Submit6=Go");
  EXPECT_EQ(com.find("24.072"), std::string::npos);
  EXPECT_EQ(com.find("LatLon"), std::string::npos);
}

}  // namespace
}  // namespace trovik::demo::testing
