// Listing pages as the program captures them: every page is run through the
// program's own old-style serializer, which must give the body back unchanged
// (so the markers written here are the markers the parsers see), and the
// markers are then read the way the program reads them.

#include <gtest/gtest.h>

#include "demo_fixture.h"
#include "site/old_style_html.h"
#include "text/text.h"
#include "tools/coords.h"
#include "tools/hint.h"

namespace trovik::demo::testing {
namespace {

class DemoListing : public SharedServerTest {
 protected:
  std::string cookieSk() {
    auto res = http->Post("/sk/index.php", httplib::Params{{"username", "geocacher"}, {"password", "trovik"}});
    return SessionCookie(res);
  }
  std::string cookieCom() {
    auto res = http->Post("/com/login/default.aspx", httplib::Params{{"myusername", "geocacher"}, {"mypassword", "trovik"}});
    return SessionCookie(res);
  }
  httplib::Result get(const std::string& path, const std::string& cookie = "") {
    httplib::Headers headers;
    if (!cookie.empty()) headers.emplace("Cookie", cookie);
    return http->Get(path.c_str(), headers);
  }
  // The page as the program's capture holds it (UTF-8 here), after checking
  // that the serializer keeps it byte for byte.
  std::string captured(const std::string& path, const std::string& cookie = "") {
    auto res = get(path, cookie);
    EXPECT_TRUE(res);
    if (!res) return "";
    std::string body = BodyOf(res->body);
    EXPECT_FALSE(body.empty()) << path;
    std::string again = site::OldStyleHtmlUtf8(body);
    EXPECT_EQ(again, body) << path;
    return again;
  }
};

std::string Upper(const std::string& s) { return text::UpperCase(s); }

// The cut of the listing filter: from the line with the start marker up to,
// not including, the first line with the script marker; lines joined.
std::string Cut(const std::string& page, const std::string& startMarker) {
  std::string out;
  bool copying = false;
  for (const std::string& line : Lines(page)) {
    std::string up = Upper(line);
    if (up.find(startMarker) != std::string::npos) copying = true;
    if (up.find("<SCRIPT LANGUAGE=JAVASCRIPT>") != std::string::npos) break;
    if (copying) out += line;
  }
  return out;
}

TEST_F(DemoListing, EveryPageSurvivesTheCaptureUnchanged) {
  std::string sk = cookieSk(), com = cookieCom();
  std::vector<std::pair<std::string, std::string>> pages = {
      {"/sk/index.php", ""},
      {"/sk/index.php", sk},
      {"/sk/hladaj.php?query=NIC", sk},
      {"/sk/hladaj.php?query=GC1A2B3&decrypt=y", sk},
      {"/sk/log/GC1A2B3-1.html", ""},
      {"/com/Default.aspx", com},
      {"/com/login/default.aspx?RESET=Y&redir=x", ""},
      {"/com/seek/cache_details.aspx?wp=NIC&Submit6=Go", ""},
      {"/com/seek/nearest.aspx?lat_ns=1&lat_h=48.3853&lat_mmss=0&long_ew=1&long_h=18.4&long_mmss=0&dist=100&submit8=Search",
       ""},
      {"/com/seek/nearest.aspx?lat_ns=1&lat_h=&lat_mmss=0&long_ew=1&long_h=&long_mmss=0&dist=100&submit8=Search", ""},
  };
  for (const Cache& c : server().catalog().all()) {
    if (!c.sample && c.code.back() != '7') continue;  // every sample, a share of the generated ones
    pages.push_back({"/sk/hladaj.php?query=" + c.code, sk});
    pages.push_back({"/sk/hladaj.php?query=" + c.code, ""});
    pages.push_back({"/com/seek/cache_details.aspx?wp=" + c.code + "&Submit6=Go", com});
  }
  for (const auto& [path, cookie] : pages) {
    SCOPED_TRACE(path);
    captured(path, cookie);
  }
}

TEST_F(DemoListing, NationalCoordinatesReadBackAsTheCachePosition) {
  std::string cookie = cookieSk();
  for (const Cache* c : server().catalog().samples()) {
    SCOPED_TRACE(c->code);
    std::string page = text::Utf8To1250(captured("/sk/hladaj.php?query=" + c->code, cookie));
    int found = 0;
    for (const std::string& line : Lines(page)) {
      int p = text::Pos("<BIG><STRONG>", line);
      if (p == 0) continue;
      ++found;
      int q = text::Pos("</STRONG>", line);
      std::string coords = text::Copy(line, p + 14, q - p - 14);
      std::string pair = tools::ListingCoordsToDeg(coords);
      size_t comma = pair.find(',');
      ASSERT_NE(comma, std::string::npos);
      EXPECT_NEAR(std::stod(pair.substr(0, comma)), c->lat, 2e-5);
      EXPECT_NEAR(std::stod(pair.substr(comma + 1)), c->lon, 2e-5);
    }
    EXPECT_EQ(found, 1);
  }
}

TEST_F(DemoListing, NationalListingHasStartAndStopMarkersAroundTheListing) {
  std::string page = captured("/sk/hladaj.php?query=GC1B7K4", cookieSk());
  std::string cut = Cut(page, "HLAVNIPANEL");
  EXPECT_EQ(cut.find("<TD id=hlavniPanel valign=top>"), 0u);
  EXPECT_NE(cut.find("Hrad Hrušov"), std::string::npos);
  EXPECT_NE(cut.find("<H3>Logy</H3>"), std::string::npos);
  // Neither the header with the log-out link nor the menu is part of the listing.
  EXPECT_EQ(cut.find("odhlásiť"), std::string::npos);
  EXPECT_EQ(cut.find("lavyPanel"), std::string::npos);
  EXPECT_EQ(cut.find("paticka"), std::string::npos);
}

TEST_F(DemoListing, InternationalListingStartsAtTheFormAndStopsAtItsScript) {
  std::string page = captured("/com/seek/cache_details.aspx?wp=GC1B7K4&Submit6=Go", cookieCom());
  std::string cut = Cut(page, "FORM ID=FORM1");
  EXPECT_EQ(cut.find("<FORM id=Form1 name=Form1 method=post"), 0u);
  EXPECT_NE(cut.find("<SPAN id=CacheName>Hrad Hrušov</SPAN>"), std::string::npos);
  EXPECT_NE(cut.find("<H3>Logs</H3>"), std::string::npos);
  EXPECT_EQ(cut.find("__doPostBack"), std::string::npos);
  EXPECT_EQ(cut.find("you are logged"), std::string::npos);
}

// The hint as the filter finds it: behind "decrypt=y", from "</A>]<BR>" to the next "<P".
TEST_F(DemoListing, NationalHintDecodesToThePlainHint) {
  for (const Cache* c : server().catalog().samples()) {
    SCOPED_TRACE(c->code);
    std::string p = text::Utf8To1250(Cut(captured("/sk/hladaj.php?query=" + c->code), "HLAVNIPANEL"));
    int d = text::Pos("decrypt=y", p);
    ASSERT_GT(d, 0);
    int b = text::PosFrom("</A>]<BR>", p, d + 1);
    ASSERT_GT(b, d);
    int e = text::PosFrom("<P", p, b + 10);
    ASSERT_GT(e, b);
    std::string hint = text::Copy(p, b + 9, e - b - 9);
    std::string first = hint, second;
    int br = text::Pos("<BR>", hint);
    if (br > 0) {
      first = text::Copy(hint, 1, br - 1);
      second = text::CopyFrom(hint, br + 4);
    }
    std::string plain = text::Utf8To1250(c->hint);
    size_t nl = plain.find('\n');
    EXPECT_EQ(tools::DecodeHint(first), plain.substr(0, nl));
    EXPECT_EQ(tools::DecodeHint(second), nl == std::string::npos ? "" : plain.substr(nl + 1));
  }
}

TEST_F(DemoListing, DecryptedViewShowsThePlainHintWithoutTheTrigger) {
  std::string page = captured("/sk/hladaj.php?query=GC1B7K4&decrypt=y");
  EXPECT_EQ(page.find("decrypt=y"), std::string::npos);
  EXPECT_NE(page.find("]<BR>posledná zastávka: v skalnej puklinke<BR>za bránou vľavo<P class=kluc>"), std::string::npos);
}

TEST_F(DemoListing, PictureLineLinksToTheImageServerAndALog) {
  std::string page = captured("/sk/hladaj.php?query=GC1A2B3");
  std::vector<std::string> lines = Lines(page);
  size_t at = 0;
  while (at < lines.size() && lines[at].find("Obrázky:") == std::string::npos) ++at;
  ASSERT_LT(at + 1, lines.size());
  std::string base = server().origin() + "/img/cache/";
  const std::string& label = lines[at];
  EXPECT_NE(label.find("<A href=\"" + base + "gc1a2b3_spoiler.jpg\" target=_blank>Spoiler</A>"), std::string::npos);
  EXPECT_NE(label.find("<A href=\"" + base + "gc1a2b3_mapa.png\" target=_blank>Mapka</A>"), std::string::npos);
  // The last double quote of each link ends its address.
  EXPECT_EQ(label.find("/log/"), std::string::npos);
  EXPECT_NE(lines[at + 1].find("<A href=\"/sk/log/GC1A2B3-1.html\">"), std::string::npos);

  // The log link leads to a page with the log's picture.
  auto log = get("/sk/log/GC1A2B3-1.html");
  ASSERT_TRUE(log);
  EXPECT_EQ(log->status, 200);
  EXPECT_NE(log->body.find("/img/cache/gc1a2b3_log1.jpg"), std::string::npos);
}

TEST_F(DemoListing, EveryHeaderAndPagePictureIsServedExceptTheDeliberatelyMissingOne) {
  int missing = 0;
  for (const Cache* c : server().catalog().samples()) {
    for (const HeaderPicture& h : c->headerPictures) {
      auto res = get("/img/cache/" + h.file);
      ASSERT_TRUE(res);
      EXPECT_EQ(res->status, 200) << h.file;
    }
    for (const std::string& p : c->pagePictures) {
      auto res = get("/img/cache/" + p);
      ASSERT_TRUE(res);
      if (res->status == 404) ++missing;
      else EXPECT_EQ(res->status, 200) << p;
    }
  }
  EXPECT_EQ(missing, 1);
}

TEST_F(DemoListing, SlovakAlphabetCacheKeepsEveryLetter) {
  std::string page = captured("/sk/hladaj.php?query=GC1D0F2");
  std::string name = "Abeceda: ľščťžýáíéúäôň ĽŠČŤŽÝÁÍÉÚÄÔŇ";
  EXPECT_NE(page.find("> " + name + "</H2>"), std::string::npos);
  // All of it exists in the code page the program holds text in.
  EXPECT_EQ(text::Cp1250ToUtf8(text::Utf8To1250Strict(name)), name);
}

TEST_F(DemoListing, UnknownCodeGivesTheSitesOwnNotFoundPage) {
  auto sk = get("/sk/hladaj.php?query=GC0NONE");
  ASSERT_TRUE(sk);
  EXPECT_EQ(sk->status, 404);
  EXPECT_NE(sk->body.find("Keška s kódom <B>GC0NONE</B> v našej databáze nie je."), std::string::npos);
  EXPECT_NE(sk->body.find("hlavniPanel"), std::string::npos);

  auto com = get("/com/seek/cache_details.aspx?wp=GC0NONE&Submit6=Go");
  ASSERT_TRUE(com);
  EXPECT_EQ(com->status, 404);
  EXPECT_NE(com->body.find("Sorry, the cache <B>GC0NONE</B> does not exist"), std::string::npos);

  // Markup in the code is shown as text, never as markup.
  auto odd = get("/sk/hladaj.php?query=%3CB%3Ex");
  ASSERT_TRUE(odd);
  EXPECT_NE(odd->body.find("<B>&lt;B&gt;x</B>"), std::string::npos);
}

TEST_F(DemoListing, CodesAreFoundInAnyLetterCase) {
  auto res = get("/sk/hladaj.php?query=%20gc1a2b3%20");
  ASSERT_TRUE(res);
  EXPECT_EQ(res->status, 200);
  EXPECT_NE(res->body.find("Starý mlyn"), std::string::npos);
}

TEST_F(DemoListing, ArchivedCachesSayShowItOnBothSites) {
  auto sk = get("/sk/hladaj.php?query=GC1Z5B7");
  ASSERT_TRUE(sk);
  EXPECT_NE(sk->body.find("<STRIKE>Pivnica pod vinicou</STRIKE>"), std::string::npos);
  EXPECT_NE(sk->body.find("Táto keška je archivovaná."), std::string::npos);
  auto com = get("/com/seek/cache_details.aspx?wp=GC1Z5B7&Submit6=Go");
  ASSERT_TRUE(com);
  EXPECT_NE(com->body.find("This cache has been archived."), std::string::npos);
}

}  // namespace
}  // namespace trovik::demo::testing
