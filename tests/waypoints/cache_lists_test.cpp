#include "waypoints/cache_lists.h"

#include <gtest/gtest.h>

namespace trovik::waypoints {
namespace {

std::string Line(const std::string& name, const std::string& desc) {
  return "1," + name + ", 48.1, 18.1, 46000.5,117,0,1,16777215,32768," + desc + ",0,0,0,0, 6, 0,17,0,10.0,2,,,";
}

WaypointState Built(std::vector<std::string> lines, std::string file = "/data/caches.wpt") {
  WaypointState s;
  s.wptText = std::move(lines);
  s.currentFile = std::move(file);
  Spracujwpt(s);
  return s;
}

TEST(CodeCandidate, LastOpeningBracketToTheFirstClosingAfterIt) {
  EXPECT_EQ(CodeCandidate("Stary mlyn (GC1A2B3)"), "GC1A2B3");
  EXPECT_EQ(CodeCandidate("a(b)c(d)e"), "d");
  EXPECT_EQ(CodeCandidate("a(b)c)d"), "b");
  EXPECT_EQ(CodeCandidate("a(b"), "");
  EXPECT_EQ(CodeCandidate("()"), "");
  EXPECT_EQ(CodeCandidate("x)"), "x");  // no "(": from the start of the line
  EXPECT_EQ(CodeCandidate(""), "");
}

TEST(Spracujwpt, ListsCodedLinesWithNameAndWptFile) {
  auto s = Built({"OziExplorer Waypoint File Version 1.1", "WGS 84", "Reserved 2", "garmin",
                  Line("Stary mlyn", "Stary mlyn (GC1A2B3)"), Line("Hrad", "Hrad (ruina) (GC12345)"),
                  Line("Hrad2", "Hrad (GC12346) (ruina)"), Line("Mala", "Mala (gc99999)"),
                  Line("Export", "Export[GC77777]"), Line("Stary mlyn", "znova (GC1A2B3)")});
  EXPECT_EQ(s.caches.names, (std::vector<std::string>{"Stary mlyn", "Hrad", "Stary mlyn"}));
  EXPECT_EQ(s.caches.codes, (std::vector<std::string>{"GC1A2B3", "GC12345", "GC1A2B3"}));
  EXPECT_EQ(s.caches.positions, (std::vector<std::string>(3, kPositionFromWpt)));
  EXPECT_EQ(s.caches.nameMarks, std::vector<bool>(3, false));
  EXPECT_EQ(s.caches.codeMarks, std::vector<bool>(3, false));
}

TEST(Spracujwpt, NameAndCodeCutsAndTrims) {
  auto s = Built({"1,Mlyn, stary, 1, 2 (GC1)",  // a comma in the name cuts it
                  "1,  Hrad\t, x (GC2 \t)",     // both trimmed
                  "no commas (GC3)", "one,comma (GC4)",
                  "1,Skip, x ( GC5)",  // the untrimmed candidate must begin "GC"
                  "GC6) before any bracket", "1,Bare,(GC)"});
  EXPECT_EQ(s.caches.names, (std::vector<std::string>{"Mlyn", "Hrad", "", "", "", "Bare"}));
  EXPECT_EQ(s.caches.codes, (std::vector<std::string>{"GC1", "GC2", "GC3", "GC4", "GC6", "GC"}));
}

TEST(Spracujwpt, SetsTheFieldAndReplacesTheLists) {
  auto s = Built({Line("A", "(GC1)")}, "/home/x/Moje kesky.wpt");
  EXPECT_EQ(s.fileNameField, "Moje kesky.wpt");
  s.caches.nameMarks[0] = true;
  s.caches.itemIndex = 0;
  s.wptText = {Line("B", "(GC2)"), "no code"};
  s.currentFile = "C:\\gps\\Cesta.GPX";
  Spracujwpt(s);
  EXPECT_EQ(s.fileNameField, "Cesta.wpt");
  EXPECT_EQ(s.caches.names, (std::vector<std::string>{"B"}));
  EXPECT_EQ(s.caches.nameMarks, (std::vector<bool>{false}));
  EXPECT_EQ(s.caches.itemIndex, -1);
  s.wptText.clear();
  Spracujwpt(s);
  EXPECT_EQ(s.caches.count(), 0);
}

// Pocket queries and the common exports name the waypoint by its code and end
// the description with the owner, type and difficulty/terrain.
TEST(Spracujwpt, CodeFromTheNameWhenNoBracketHoldsOne) {
  auto s = Built({"OziExplorer Waypoint File Version 1.1", "WGS 84", "Reserved 2", "garmin",
                  Line("GC1BKP3", "Die Schatzinsel / treasure island by Die Geparden, Traditional Cache (1/5)"),
                  Line(" GC2X ", "Mlyn, stary, pri vode by Jano by Fero, Multi-cache (2/3)"),  // last " by "
                  Line("GC3", "   by Owner, Unknown Cache (1/1)"),  // nothing before " by "
                  Line("GC4", ""),                                   // no description
                  Line("GC5", "Bez autora"),
                  "7,GC6, 48.1, 18.1, 46000.5,117,0,1,16777215,32768,Kratky riadok by X,0",  // < 24 fields
                  Line("Stary mlyn", "Stary mlyn (GC7)"),            // the bracket rule, as ever
                  Line("GC8", "Ina (GC9)"),                          // the bracket's code wins
                  Line("GC10", "GC10[GC10]"),                        // the found-cache export
                  Line("gc11", "mala by x"), Line("GC", "len GC"), Line("GC1a", "x"), Line("GC1-2", "x"),
                  Line("PK1BKP3", "Parkovisko by X"),                // a child waypoint
                  "GC12", "1,GC13"});                                // no name field
  EXPECT_EQ(s.caches.codes, (std::vector<std::string>{"GC1BKP3", "GC2X", "GC3", "GC4", "GC5", "GC6", "GC7", "GC9"}));
  EXPECT_EQ(s.caches.names,
            (std::vector<std::string>{"Die Schatzinsel / treasure island", "Mlyn, stary, pri vode by Jano", "GC3",
                                      "GC4", "Bez autora", "Kratky riadok", "Stary mlyn", "GC8"}));
  EXPECT_EQ(s.caches.positions, (std::vector<std::string>(8, kPositionFromWpt)));
  EXPECT_EQ(s.caches.nameMarks, std::vector<bool>(8, false));
  EXPECT_EQ(s.statusText, "");

  // Switched off: the old lists only, and an empty one is said.
  WaypointState off;
  off.codeFromName = false;
  off.wptText = s.wptText;
  Spracujwpt(off);
  EXPECT_EQ(off.caches.codes, (std::vector<std::string>{"GC7", "GC9"}));
  off.wptText.resize(6);
  Spracujwpt(off);
  EXPECT_EQ(off.caches.count(), 0);
  EXPECT_EQ(off.statusText, NoCacheText());
  EXPECT_EQ(NoCacheText(), "S\xFA" "bor neobsahuje \x9E" "iadnu ke\x9A" "ku s k\xF3" "dom GC.");
}

TEST(WptSaveName, GpxGetsWptOthersKeepTheirName) {
  EXPECT_EQ(WptSaveName("/a/caches.gpx"), "caches.wpt");
  EXPECT_EQ(WptSaveName("C:\\a\\Caches.Gpx"), "Caches.wpt");
  EXPECT_EQ(WptSaveName("/a/b.c/caches.WPT"), "caches.WPT");
  EXPECT_EQ(WptSaveName("/a/b.gpx/noext"), "noext");
  EXPECT_EQ(WptSaveName(""), "");
}

TEST(Marks, ClickMirrorsTheCurrentEntryOnly) {
  auto s = Built({Line("A", "(GC1)"), Line("B", "(GC2)")});
  CacheList& c = s.caches;
  c.nameMarks[1] = true;
  CheckListBox1Click(c);  // no current entry
  EXPECT_EQ(c.codeMarks, (std::vector<bool>{false, false}));
  c.itemIndex = 1;
  CheckListBox1Click(c);
  EXPECT_EQ(c.codeMarks, (std::vector<bool>{false, true}));
  c.codeMarks[0] = true;
  CheckListBox2Click(c, 0);
  EXPECT_EQ(c.nameMarks, (std::vector<bool>{true, true}));
  c.codeMarks[1] = false;
  CheckListBox2Click(c, 1);
  EXPECT_EQ(c.nameMarks, (std::vector<bool>{true, false}));
  CheckListBox2Click(c, -1);
  CheckListBox2Click(c, 2);
  c.itemIndex = 5;
  CheckListBox1Click(c);
  EXPECT_EQ(c.nameMarks, (std::vector<bool>{true, false}));
  EXPECT_EQ(c.codeMarks, (std::vector<bool>{true, false}));
}

TEST(Marks, AllAndNoneInBothLists) {
  auto s = Built({Line("A", "(GC1)"), Line("B", "(GC2)"), Line("C", "(GC3)")});
  s.caches.codeMarks[2] = true;
  MarkAll(s.caches);
  EXPECT_EQ(s.caches.nameMarks, std::vector<bool>(3, true));
  EXPECT_EQ(s.caches.codeMarks, std::vector<bool>(3, true));
  UnmarkAll(s.caches);
  EXPECT_EQ(s.caches.nameMarks, std::vector<bool>(3, false));
  EXPECT_EQ(s.caches.codeMarks, std::vector<bool>(3, false));
}

TEST(Clr, EmptiesTheListsAndDisablesExportKeepingTheText) {
  auto s = Built({Line("A", "(GC1)")});
  s.exportButtonEnabled = true;
  s.caches.itemIndex = 0;
  SpeedButton21Click(s);
  EXPECT_EQ(s.caches.count(), 0);
  EXPECT_TRUE(s.caches.codes.empty() && s.caches.positions.empty() && s.caches.nameMarks.empty());
  EXPECT_EQ(s.caches.itemIndex, -1);
  EXPECT_FALSE(s.exportButtonEnabled);
  EXPECT_EQ(s.wptText.size(), 1u);
}

}  // namespace
}  // namespace trovik::waypoints
