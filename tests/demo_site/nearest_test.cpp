// The nearest search of the international demo site: rows in the markup the
// results parser reads, ordered by real distance, and the pager's post-back
// through every page to the last one.

#include <gtest/gtest.h>

#include <set>

#include "demo_fixture.h"
#include "pages.h"

namespace trovik::demo::testing {
namespace {

std::string NearestPath(const std::string& lat, const std::string& lon) {
  return "/com/seek/nearest.aspx?lat_ns=1&lat_h=" + lat + "&lat_mmss=0&long_ew=1&long_h=" + lon +
         "&long_mmss=0&dist=100&submit8=Search";
}

// The text between the first `open` and the next `close`, empty when absent.
std::string Between(const std::string& s, const std::string& open, const std::string& close) {
  size_t a = s.find(open);
  if (a == std::string::npos) return "";
  a += open.size();
  size_t b = s.find(close, a);
  return b == std::string::npos ? "" : s.substr(a, b - a);
}

struct Row {
  std::string code;
  std::string rowText;  // from after the link's "\">" through the ")" of ")<BR>"
  std::string type;
  std::string size;
  bool struck = false;
};

// Reads the rows the way the program's parser does: a row is a line with the
// listing address; the type and size come from their own lines before it.
std::vector<Row> Rows(const std::string& page) {
  std::vector<Row> rows;
  std::string type, size;
  for (const std::string& line : Lines(page)) {
    size_t t = line.find("<IMG title=\"");
    if (t != std::string::npos && line.find("alt=\"Size:") == std::string::npos) {
      size_t s = t + 12;
      type = line.substr(s, line.find('"', s) - s);
    }
    size_t z = line.find("alt=\"Size: ");
    if (z != std::string::npos) {
      size_t s = z + 11;
      size = line.substr(s, line.find('"', s) - s);
    }
    if (line.find("/seek/cache_details.aspx?") == std::string::npos) continue;
    Row r;
    size_t p = line.find("\">");
    size_t q = line.find(")<BR>");
    if (p != std::string::npos && q != std::string::npos && q > p) r.rowText = line.substr(p + 2, q - p - 1);
    size_t open = r.rowText.rfind('(');
    if (open != std::string::npos) r.code = r.rowText.substr(open + 1, r.rowText.size() - open - 2);
    r.struck = line.find("</STRIKE>") != std::string::npos;
    r.type = type;
    r.size = size;
    rows.push_back(r);
  }
  return rows;
}

class DemoNearest : public SharedServerTest {
 protected:
  std::string get(const std::string& path) {
    auto res = http->Get(path.c_str());
    EXPECT_TRUE(res);
    EXPECT_EQ(res ? res->status : 0, 200);
    return res ? res->body : "";
  }

  // What "javascript:__doPostBack('pgrTop$_ctl16','')" does in a browser:
  // post the page's form, with its hidden fields, to the form's address.
  std::string postBack(const std::string& page, const std::string& target) {
    std::string address = ReplaceAll(Between(page, "<FORM id=Form1 name=Form1 method=post action=\"", "\">"), "&amp;", "&");
    std::string viewState = Between(page, "name=__VIEWSTATE id=__VIEWSTATE value=", ">");
    EXPECT_FALSE(address.empty());
    EXPECT_FALSE(viewState.empty());
    auto res = http->Post(address.c_str(), httplib::Params{{"__EVENTTARGET", target},
                                                            {"__EVENTARGUMENT", ""},
                                                            {"__VIEWSTATE", viewState}});
    EXPECT_TRUE(res);
    return res ? res->body : "";
  }
};

TEST_F(DemoNearest, PagesThroughEveryResultNearestFirstToTheLastPage) {
  const double lat = 48.3853, lon = 18.4000;
  std::vector<NearCache> expected = server().catalog().nearest(lat, lon, 100);
  ASSERT_GT(expected.size(), 100u);  // several pages near the sample area

  std::string page = get(NearestPath("48.3853", "18.4000"));
  EXPECT_NE(page.find("<SCRIPT language=javascript>"), std::string::npos);
  EXPECT_NE(page.find("function __doPostBack(eventTarget, eventArgument) {"), std::string::npos);

  std::vector<Row> all;
  int pages = 0;
  while (true) {
    ++pages;
    ASSERT_LT(pages, 50);
    std::vector<Row> rows = Rows(page);
    bool last = page.find("javascript:__doPostBack('pgrTop$_ctl16','')") == std::string::npos;
    if (!last) EXPECT_EQ(rows.size(), static_cast<size_t>(kRowsPerPage)) << "page " << pages;
    else EXPECT_GE(rows.size(), 1u);
    all.insert(all.end(), rows.begin(), rows.end());
    if (last) break;
    page = postBack(page, "pgrTop$_ctl16");
  }
  EXPECT_EQ(pages, static_cast<int>((expected.size() + 19) / 20));
  ASSERT_EQ(all.size(), expected.size());
  double previous = 0;
  std::set<std::string> seen;
  for (size_t i = 0; i < all.size(); ++i) {
    EXPECT_EQ(all[i].code, expected[i].cache->code) << i;
    const Cache* c = server().catalog().find(all[i].code);
    ASSERT_NE(c, nullptr) << all[i].code;
    double km = 0, bearing = 0;
    Inverse(lat, lon, c->lat, c->lon, km, bearing);
    EXPECT_GE(km, previous);
    EXPECT_LE(km, 100.0);
    previous = km;
    EXPECT_TRUE(seen.insert(all[i].code).second) << all[i].code;
  }
}

TEST_F(DemoNearest, NoCacheBeyondTheRadiusIsLeftOut) {
  std::vector<NearCache> near = server().catalog().nearest(48.7164, 21.2611, 100);
  std::set<std::string> codes;
  for (const NearCache& n : near) codes.insert(n.cache->code);
  for (const Cache& c : server().catalog().all()) {
    double km = 0, bearing = 0;
    Inverse(48.7164, 21.2611, c.lat, c.lon, km, bearing);
    EXPECT_EQ(codes.count(c.code) > 0, km <= 100) << c.code;
  }
}

TEST_F(DemoNearest, RowsCarryTypeSizeStrikesEntitiesAndParentheses) {
  std::string page = get(NearestPath("48.3853", "18.4000"));
  std::vector<Row> rows;
  for (int n = 0; n < 3; ++n) {
    std::vector<Row> r = Rows(page);
    rows.insert(rows.end(), r.begin(), r.end());
    page = postBack(page, "pgrTop$_ctl16");
  }
  bool struck = false, entity = false, parens = false;
  for (const Row& r : rows) {
    const Cache* c = server().catalog().find(r.code);
    ASSERT_NE(c, nullptr) << r.rowText;
    EXPECT_EQ(r.type, TypeNameCom(c->type));
    EXPECT_EQ(r.size, c->size);
    EXPECT_EQ(r.struck, c->archived);
    // The name runs to the first "<" (or to "</STRIKE>" on a struck row).
    size_t e = r.struck ? r.rowText.find("</STRIKE>") : r.rowText.find('<');
    std::string name = r.rowText.substr(0, e);
    EXPECT_EQ(ReplaceAll(ReplaceAll(ReplaceAll(name, "&lt;", "<"), "&gt;", ">"), "&amp;", "&"), c->name);
    EXPECT_NE(r.rowText.find(" by "), std::string::npos);
    struck |= r.struck;
    entity |= name.find("&amp;") != std::string::npos || name.find("&lt;") != std::string::npos;
    parens |= c->name.find('(') != std::string::npos;
  }
  EXPECT_TRUE(struck);
  EXPECT_TRUE(entity);
  EXPECT_TRUE(parens);
}

TEST_F(DemoNearest, PagerMovesForwardBackAndToANumberedPage) {
  std::string first = get(NearestPath("48.3069", "18.0864"));
  std::string second = postBack(first, "pgrTop$_ctl16");
  EXPECT_NE(second.find("Page <B>2</B>"), std::string::npos);
  EXPECT_NE(Rows(second).front().code, Rows(first).front().code);
  std::string back = postBack(second, "pgrTop$_ctl5");
  EXPECT_EQ(Rows(back).front().code, Rows(first).front().code);
  std::string fourth = postBack(first, "pgrTop$_ctl9");
  EXPECT_NE(fourth.find("Page <B>4</B>"), std::string::npos);
  // The lower pager and the ":" form of the control name do the same.
  EXPECT_NE(postBack(first, "pgrBottom$_ctl16").find("Page <B>2</B>"), std::string::npos);
  EXPECT_NE(postBack(first, "pgrTop:_ctl16").find("Page <B>2</B>"), std::string::npos);
  // An unknown target leaves the page as it is.
  EXPECT_NE(postBack(first, "something").find("Page <B>1</B>"), std::string::npos);
}

TEST_F(DemoNearest, SeveralTownsHaveSeveralPages) {
  for (auto [lat, lon] : {std::pair{"48.3069", "18.0864"}, std::pair{"48.7164", "21.2611"},
                          std::pair{"49.2231", "18.7394"}, std::pair{"48.1486", "17.1077"}}) {
    std::string page = get(NearestPath(lat, lon));
    EXPECT_EQ(Rows(page).size(), 20u) << lat;
    EXPECT_NE(page.find("pgrTop$_ctl16"), std::string::npos) << lat;
  }
}

TEST_F(DemoNearest, EmptyOrWrongCoordinatesGiveAPageWithoutRows) {
  for (const std::string& path : {NearestPath("", ""), NearestPath("abc", "18.4"), NearestPath("95", "18.4")}) {
    std::string page = get(path);
    EXPECT_TRUE(Rows(page).empty()) << path;
    EXPECT_NE(page.find("Please enter valid coordinates."), std::string::npos);
    EXPECT_EQ(page.find("pgrTop$_ctl16"), std::string::npos);
  }
  // Far from Slovakia: a valid search without results, a single page.
  std::string empty = get(NearestPath("10", "10"));
  EXPECT_TRUE(Rows(empty).empty());
  EXPECT_NE(empty.find("Total records: <B>0</B>"), std::string::npos);
  EXPECT_EQ(empty.find("pgrTop$_ctl16"), std::string::npos);
}

TEST(DemoNearestParameters, CoordinatesReadLikeTheSiteReadsThem) {
  NearestQuery q = ParseNearest("1", "48.5", "0", "1", "18,25", "0", "100");
  EXPECT_TRUE(q.valid);
  EXPECT_DOUBLE_EQ(q.lat, 48.5);
  EXPECT_DOUBLE_EQ(q.lon, 18.25);
  q = ParseNearest("1", "48", "30", "-1", "18", "15", "");
  EXPECT_DOUBLE_EQ(q.lat, 48.5);
  EXPECT_DOUBLE_EQ(q.lon, -18.25);
  EXPECT_DOUBLE_EQ(q.distKm, 100);
  EXPECT_FALSE(ParseNearest("1", "", "0", "1", "18", "0", "100").valid);
  EXPECT_FALSE(ParseNearest("1", "48.5x", "0", "1", "18", "0", "100").valid);
  EXPECT_FALSE(ParseNearest("1", "nan", "0", "1", "18", "0", "100").valid);
  EXPECT_DOUBLE_EQ(ParseNearest("1", "48", "0", "1", "18", "0", "-5").distKm, 100);
}

TEST(DemoNearestParameters, PagerControls) {
  EXPECT_EQ(PageAfterPostBack("pgrTop$_ctl16", 3), 4);
  EXPECT_EQ(PageAfterPostBack("pgrTop$_ctl5", 3), 2);
  EXPECT_EQ(PageAfterPostBack("pgrTop$_ctl6", 3), 1);
  EXPECT_EQ(PageAfterPostBack("pgrTop$_ctl15", 3), 10);
  EXPECT_EQ(PageAfterPostBack("pgrTop$_ctl6", 13), 11);
  EXPECT_EQ(PageAfterPostBack("pgrBottom:_ctl16", 1), 2);
  EXPECT_EQ(PageAfterPostBack("pgrTop$_ctl17", 3), 3);
  EXPECT_EQ(PageAfterPostBack("", 3), 3);
}

}  // namespace
}  // namespace trovik::demo::testing
