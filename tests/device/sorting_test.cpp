// The panes' sort and the header clicks.

#include "device/file_icons.h"
#include "device/listing.h"
#include "device_fixture.h"

namespace trovik::device::testing {
namespace {

Grid Rows(std::vector<GridRow> data) {
  Grid g = InitialGrid();
  for (auto& r : data) g.push_back(r);
  return g;
}

std::vector<std::string> Names(const Grid& g) {
  std::vector<std::string> out;
  for (size_t r = 1; r < g.size(); ++r) out.push_back(g[r][0]);
  return out;
}

const std::vector<GridRow> kMixed = {{"c.txt", "1", "2024.01.03 10:00:00", "32", "5c"},
                                      {"b", "<DIR>", "2024.01.01 10:00:00", "16", "5b"},
                                      {"a.txt", "2", "2024.01.01 10:00:00", "32", "5a"},
                                      {"a", "<DIR>", "2024.01.02 10:00:00", "16", "5A"}};

TEST(Sort, FoldersBeforeFilesInBothDirectionsWithTheDotDotRowFixed) {
  Grid g = Rows(kMixed);
  SortGrid(g, 1, 0);
  EXPECT_EQ(Names(g), (std::vector<std::string>{"..", "a", "b", "a.txt", "c.txt"}));
  EXPECT_EQ(g[2][4], "5A");  // whole rows move, the hidden cell too
  SortGrid(g, 2, 0);
  EXPECT_EQ(Names(g), (std::vector<std::string>{"..", "b", "a", "c.txt", "a.txt"}));
  Grid unchanged = Rows(kMixed);
  SortGrid(unchanged, 0, 0);
  EXPECT_EQ(unchanged, Rows(kMixed));
}

TEST(Sort, ByDateThenName) {
  Grid g = Rows(kMixed);
  SortGrid(g, 0, 2);
  EXPECT_EQ(Names(g), (std::vector<std::string>{"..", "a", "b", "c.txt", "a.txt"}));
  SortGrid(g, 0, 1);
  EXPECT_EQ(Names(g), (std::vector<std::string>{"..", "b", "a", "a.txt", "c.txt"}));
}

TEST(Sort, CaseDoesNotDecideAndTheSlovakOrderDoes) {
  Grid g = Rows({{"Beta.txt", "1", "", "", ""},
                 {"alfa.txt", "1", "", "", ""},
                 {L("čaj.txt"), "1", "", "", ""},
                 {"cesta.txt", "1", "", "", ""},
                 {"chata.txt", "1", "", "", ""},
                 {"hora.txt", "1", "", "", ""},
                 {"ihla.txt", "1", "", "", ""},
                 {L("Ábel.txt"), "1", "", "", ""},
                 {"beta", "<DIR>", "", "", ""},
                 {L("žaba"), "<DIR>", "", "", ""}});
  SortGrid(g, 1, 0);
  // A folder that the order puts after "z" comes after the files.
  EXPECT_EQ(Names(g), (std::vector<std::string>{"..", "beta", L("Ábel.txt"), "alfa.txt", "Beta.txt", "cesta.txt",
                                                L("čaj.txt"), "hora.txt", "chata.txt", "ihla.txt", L("žaba")}));
}

TEST(Sort, AnyNumberOfRows) {
  Grid g = InitialGrid();
  for (int i = 0; i < 5000; ++i) g.push_back({"f" + std::to_string(4999 - i) + ".txt", "1", "", "", ""});
  SortGrid(g, 1, 0);
  ASSERT_EQ(g.size(), 5002u);
  EXPECT_EQ(g[2][0], "f0.txt");
  EXPECT_EQ(g[5001][0], "f999.txt");
}

TEST(HeaderClicks, NameAndDateTransitions) {
  int n = 1, d = 0;
  EXPECT_TRUE(HeaderClick(n, d, 2));
  EXPECT_EQ(std::make_pair(n, d), std::make_pair(0, 2));  // newest first
  EXPECT_TRUE(HeaderClick(n, d, 2));
  EXPECT_EQ(std::make_pair(n, d), std::make_pair(0, 1));
  EXPECT_TRUE(HeaderClick(n, d, 2));
  EXPECT_EQ(std::make_pair(n, d), std::make_pair(0, 2));
  EXPECT_TRUE(HeaderClick(n, d, 0));
  EXPECT_EQ(std::make_pair(n, d), std::make_pair(1, 0));
  EXPECT_TRUE(HeaderClick(n, d, 0));
  EXPECT_EQ(std::make_pair(n, d), std::make_pair(2, 0));
  EXPECT_TRUE(HeaderClick(n, d, 0));
  EXPECT_EQ(std::make_pair(n, d), std::make_pair(1, 0));
  n = 0;
  EXPECT_TRUE(HeaderClick(n, d, 0));
  EXPECT_EQ(n, 1);
  EXPECT_FALSE(HeaderClick(n, d, 1));
  EXPECT_FALSE(HeaderClick(n, d, 3));
  EXPECT_EQ(std::make_pair(n, d), std::make_pair(1, 0));
}

TEST(HeaderClicks, TwoClicksOnTheDateThenTheName) {
  DevicePane pane;
  for (auto& r : kMixed) pane.grid.push_back(r);
  StringPDAMouseUp(pane, 2);
  EXPECT_EQ(Names(pane.grid), (std::vector<std::string>{"..", "a", "b", "c.txt", "a.txt"}));
  EXPECT_EQ(pane.dateSort, 2);  // descending
  EXPECT_EQ(pane.nameSort, 0);
  StringPDAMouseUp(pane, 2);
  EXPECT_EQ(Names(pane.grid), (std::vector<std::string>{"..", "b", "a", "a.txt", "c.txt"}));
  StringPDAMouseUp(pane, 0);
  EXPECT_EQ(Names(pane.grid), (std::vector<std::string>{"..", "a", "b", "a.txt", "c.txt"}));
  PcPane pc;
  for (auto& r : kMixed) pc.grid.push_back(r);
  EXPECT_FALSE(StringPCMouseUp(pc, 1));
  EXPECT_TRUE(StringPCMouseUp(pc, 0));  // 1 -> 2
  EXPECT_EQ(Names(pc.grid), (std::vector<std::string>{"..", "b", "a", "c.txt", "a.txt"}));
}

TEST(Icons, ByExtension) {
  EXPECT_EQ(FileTypeIcon("readme"), 16);
  EXPECT_EQ(FileTypeIcon("archive."), 16);
  EXPECT_EQ(FileTypeIcon("photo.jpg"), 9);
  EXPECT_EQ(FileTypeIcon("PHOTO.JPG"), 9);
  EXPECT_EQ(FileTypeIcon("mapa.ozf3"), 4);
  EXPECT_EQ(FileTypeIcon("page.mht"), 1);
  EXPECT_EQ(FileTypeIcon("x.tar.zip"), 2);
  EXPECT_EQ(FileTypeIcon("x.htm.bak"), 16);
  EXPECT_EQ(FileTypeIcon("trasa.plt"), 14);
  EXPECT_EQ(FileTypeIcon("a.TXT"), 15);
  EXPECT_EQ(FileTypeIcon("setup.exe"), 3);
}

TEST(Icons, RowsOfBothPanes) {
  EXPECT_EQ(DeviceRowIcon({"..", "<DIR>", "", "", ""}), -1);
  EXPECT_EQ(PcRowIcon({"..", "<DIR>", "", "", ""}), 0);
  EXPECT_EQ(DeviceRowIcon({"ro.txt", "5", "", "1", ""}), -1);
  EXPECT_EQ(DeviceRowIcon({"a.txt", "5", "", "32", ""}), 15);
  EXPECT_EQ(DeviceRowIcon({"rom.exe", "5", "", "64", ""}), 3);
  EXPECT_EQ(DeviceRowIcon({"HTM", "<DIR>", "", "16", ""}), 0);
  EXPECT_EQ(DeviceRowIcon({"x", "5", "", "abc", ""}), -1);
  EXPECT_EQ(PcRowIcon({"photo.JPG", "5", "", "", ""}), 9);
}

}  // namespace
}  // namespace trovik::device::testing
