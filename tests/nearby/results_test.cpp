#include <gtest/gtest.h>

#include "nearby/nearby.h"
#include "text/text.h"

namespace trovik::nearby {
namespace {

std::string U(const char* utf8) { return text::Utf8To1250(utf8); }

// One result row as the browser serializes it: link, name, owner and code on one line.
std::string Row(const std::string& code, const std::string& name, const std::string& owner = "owner") {
  return "<TD><A href=\"/seek/cache_details.aspx?wp=" + code + "\">" + name + "</A> by " + owner + " (" + code +
         ")<BR>Slovakia</TD>";
}

struct Parser : ::testing::Test {
  NearbyState state;
  waypoints::CacheList caches;
  void add() {
    state.addMode = true;
    VyhodnotmemoHTM(state, caches);
  }
  void count() {
    state.addMode = false;
    VyhodnotmemoHTM(state, caches);
  }
};

TEST_F(Parser, CountsRowsWithoutTouchingTheLists) {
  state.memo3 = {"<TABLE>", Row("GC1", "Alfa"), "<TR>", Row("GC2", "Beta"), "</TABLE>"};
  count();
  EXPECT_EQ(state.rowCount, 2);
  EXPECT_EQ(caches.count(), 0);
  EXPECT_TRUE(state.speedButton24Enabled);
}

TEST_F(Parser, AddsNewCachesWithUnknownPosition) {
  caches.add("Z wpt", "gc2", "wpt file");
  state.memo3 = {Row("GC1", "Alfa"), Row("GC2", "Beta"), Row("GC1", "Alfa again")};
  add();
  EXPECT_EQ(state.rowCount, 1);  // GC2 is listed in another case, GC1 once only
  ASSERT_EQ(caches.count(), 2);
  EXPECT_EQ(caches.names[1], "Alfa");
  EXPECT_EQ(caches.codes[1], "GC1");
  EXPECT_EQ(caches.positions[1], "?");
  EXPECT_EQ(caches.nameMarks.size(), 2u);
  EXPECT_EQ(caches.codeMarks.size(), 2u);
}

TEST_F(Parser, StruckRowsTakeTheNameUpToTheStrikeEnd) {
  state.memo3 = {"<TD><A href=\"/seek/cache_details.aspx?wp=GC9\"><STRIKE>Star\xE1 <B>ba\x9Ata</B></STRIKE></A> by x (GC9)<BR>"};
  add();
  ASSERT_EQ(caches.count(), 1);
  EXPECT_EQ(caches.names[0], "<STRIKE>Star\xE1 <B>ba\x9Ata</B>");
  EXPECT_EQ(caches.codes[0], "GC9");
}

TEST_F(Parser, EntitiesAreDecodedOneLevel) {
  EXPECT_EQ(DecodeEntities("a &amp;lt; b &quot;c&quot; &apos;d&apos; &lt;e&gt; &nbsp;"), "a &lt; b \"c\" 'd' <e> &nbsp;");
  state.memo3 = {Row("GC3", "Tom &amp; Jerry")};
  add();
  EXPECT_EQ(caches.names[0], "Tom & Jerry");
}

TEST_F(Parser, CodeComesFromTheLastGroupEvenWhenTheNameHasParentheses) {
  state.memo3 = {Row("GC4", "Hrad (ruina)"), Row("GC5", "Most", "Team (SK)")};
  add();
  ASSERT_EQ(caches.count(), 2);
  EXPECT_EQ(caches.codes[0], "GC4");
  EXPECT_EQ(caches.names[0], "Hrad (ruina)");
  EXPECT_EQ(caches.codes[1], "GC5");
}

TEST_F(Parser, RowsMissingTheirMarksStillCountAndCutSafely) {
  state.memo3 = {"<A href=\"/seek/cache_details.aspx?wp=GC6\">No end mark (GC6)",
                 "/seek/cache_details.aspx? plain text without link end )<BR>"};
  count();
  EXPECT_EQ(state.rowCount, 2);
  add();
  // The first row has no ")<BR>": empty row text, empty code. The second has
  // no link-end mark, so its row text starts at the line's second character.
  ASSERT_EQ(caches.count(), 2);
  EXPECT_EQ(caches.codes[0], "");
  EXPECT_EQ(caches.names[0], "");
  EXPECT_EQ(caches.codes[1], "seek/cache_details.aspx? plain text without link end ");
}

TEST_F(Parser, PageWithoutRowsLeavesTheButtonAsItWas) {
  state.memo3 = {Row("GC1", "A")};
  count();
  state.memo3 = {"<P>nothing</P>"};
  count();
  EXPECT_EQ(state.rowCount, 0);
  EXPECT_TRUE(state.speedButton24Enabled);
}

TEST_F(Parser, LongLinesAreReadUpTo4096Characters) {
  std::string row = Row("GC7", "X");
  state.memo3 = {std::string(4090, ' ') + row};  // the mark lies past the limit
  count();
  EXPECT_EQ(state.rowCount, 0);
}

TEST(TypeFilter, SiteNamesMapOntoMenuItems) {
  EXPECT_EQ(TypeOfSiteName("Traditional Cache"), CacheType::Tradicna);
  EXPECT_EQ(TypeOfSiteName("Multi-cache"), CacheType::Multi);
  EXPECT_EQ(TypeOfSiteName("Unknown Cache"), CacheType::Zahadna);
  EXPECT_EQ(TypeOfSiteName("Mystery Cache"), CacheType::Zahadna);
  EXPECT_EQ(TypeOfSiteName("Webcam Cache"), CacheType::Webkamera);
  EXPECT_EQ(TypeOfSiteName("Cache In Trash Out Event"), CacheType::Stretavka);
  EXPECT_EQ(TypeOfSiteName("Mega-Event Cache"), CacheType::Stretavka);
  EXPECT_EQ(TypeOfSiteName("Earthcache"), CacheType::Ostatne);
  EXPECT_EQ(TypeOfSiteName(""), CacheType::Ostatne);
  EXPECT_EQ(std::string(CacheTypeCaption(CacheType::Zahadna)), U("Záhadná"));
}

TEST_F(Parser, FilterTakesOnlyCheckedTypes) {
  state.memo3 = {"<TR>",
                 "<TD><IMG title=\"Traditional Cache\" src=\"/img/2.gif\"></TD>",
                 Row("GC1", "Trad"),
                 "<TD><IMG title=Small alt=\"Size: Small\" src=\"/img/s.gif\"></TD>",
                 "<TR>",
                 "<TD><IMG title=Multi-cache src=\"/img/3.gif\"></TD>",
                 Row("GC2", "Multi"),
                 "<TR>",
                 Row("GC3", "No type at all"),
                 "<TR>",
                 Row("GC4", "Type after the row"),
                 "<TD><IMG title=\"Webcam Cache\" src=\"/img/11.gif\"></TD>"};
  state.checkBox5 = true;
  ToggleType(state, CacheType::Tradicna);  // unchecked
  count();
  EXPECT_EQ(state.rowCount, 3);
  ToggleType(state, CacheType::Ostatne);
  count();
  EXPECT_EQ(state.rowCount, 2);  // GC3 counted as "Ostatné"
  add();
  ASSERT_EQ(caches.count(), 2);
  EXPECT_EQ(caches.codes[0], "GC2");
  EXPECT_EQ(caches.codes[1], "GC4");
  // With the box clear every row counts, whatever the menu says.
  state.checkBox5 = false;
  count();
  EXPECT_EQ(state.rowCount, 4);
}

TEST(Transfer, ReportsAndDisablesTheButton) {
  NearbyState state;
  waypoints::CacheList caches;
  state.memo3 = {Row("GC1", "A"), Row("GC2", "B")};
  state.speedButton24Enabled = true;
  SpeedButton24Click(state, caches);
  EXPECT_EQ(state.statusPanel1, U("Pridal som 2 nových"));
  EXPECT_FALSE(state.speedButton24Enabled);
  EXPECT_TRUE(state.addMode);
  SpeedButton24Click(state, caches);  // the same page again adds nothing
  EXPECT_EQ(state.statusPanel1, U("Pridal som 0 nových"));
  EXPECT_EQ(caches.count(), 2);
  caches.clear();
  SpeedButton24Click(state, caches);  // after "CLR" every cache comes again
  EXPECT_EQ(caches.count(), 2);
}

TEST(Progress, MaximumThenPosition) {
  NearbyState state;
  WebBrowser2ProgressChange(state, 30, 200);
  EXPECT_EQ(state.progressMax, 200);
  EXPECT_EQ(state.progress, 30);
}

}  // namespace
}  // namespace trovik::nearby
