// Both panes' listings: cells, counts, times, and the fixed rows.

#include <sys/stat.h>
#include <fcntl.h>

#include "device/listing.h"
#include "device/wide_path.h"
#include "device_fixture.h"

namespace trovik::device::testing {
namespace {

void SetMtime(const std::string& path, int64_t unixSeconds) {
  timespec t[2] = {{static_cast<time_t>(unixSeconds), 0}, {static_cast<time_t>(unixSeconds), 0}};
  ASSERT_EQ(utimensat(AT_FDCWD, path.c_str(), t, AT_SYMLINK_NOFOLLOW), 0);
}

uint64_t TicksOf(int64_t unixSeconds) { return static_cast<uint64_t>(unixSeconds + 11644473600LL) * 10000000u; }

TEST(DeviceTime, IsUtcPlusTwoHoursInSummerAndWinter) {
  EXPECT_EQ(FormatDeviceTime(TicksOf(1719835200)), "2024.07.01 14:00:00");  // 2024-07-01 12:00:00 UTC
  EXPECT_EQ(FormatDeviceTime(TicksOf(1704110400)), "2024.01.01 14:00:00");  // 2024-01-01 12:00:00 UTC
  EXPECT_EQ(FormatDeviceTime(TicksOf(1704153599)), "2024.01.02 01:59:59");  // 23:59:59 crosses midnight
  EXPECT_EQ(FormatDeviceTime(0), "1601.01.01 02:00:00");
  EXPECT_EQ(FormatDeviceTime(TicksOf(951782400)), "2000.02.29 02:00:00");  // leap day
}

TEST(DeviceEntryNameTest, StopsAtTheFirstZeroAndAfter101Characters) {
  CE_FIND_DATA d{};
  std::u16string longName(150, u'x');
  std::copy(longName.begin(), longName.end(), d.cFileName);
  d.cFileName[150] = 0;
  EXPECT_EQ(DeviceEntryName(d), std::string(101, 'x'));
  // A shorter name written over a longer one leaves nothing of the old name.
  const char16_t shortName[] = u"a.b";
  std::copy(shortName, shortName + 4, d.cFileName);
  EXPECT_EQ(DeviceEntryName(d), "a.b");
  const char16_t slovak[] = u"\u017Dlt\u00E1";
  std::copy(slovak, slovak + 5, d.cFileName);
  EXPECT_EQ(DeviceEntryName(d), L("Žltá"));
}

using DeviceListingTest = DeviceTest;

TEST_F(DeviceListingTest, CountsFoldersFilesAndBytesAndShowsTheCells) {
  pc.write("PDA/Storage Card/Geo/d1/x", "");
  pc.write("PDA/Storage Card/Geo/d2/y", "");
  pc.write("PDA/Storage Card/Geo/f10.txt", std::string(10, 'a'));
  pc.write("PDA/Storage Card/Geo/f20.txt", std::string(20, 'a'));
  pc.write("PDA/Storage Card/Geo/f30.txt", std::string(30, 'a'));
  SetMtime(OnCard("Storage Card/Geo/f10.txt"), 1719835200);
  DevicePane pane;
  host.tickStep = 7;
  GetDirPDA(link, host, pane, "\\Storage Card\\Geo\\*");
  EXPECT_EQ(pane.status2[0], L("Adresárov:2"));
  EXPECT_EQ(pane.status2[1], L("Súborov:3"));
  EXPECT_EQ(pane.status2[2], L("Poč.bytov:60"));
  EXPECT_EQ(pane.status3[1], "7msec");
  EXPECT_TRUE(link.copyOption.enabled);
  EXPECT_FALSE(host.busyCursor);
  ASSERT_EQ(pane.grid.size(), 7u);
  EXPECT_EQ(pane.grid[0][0], L("Názov súboru"));
  EXPECT_EQ(pane.grid[1], (GridRow{"..", "<DIR>", "", "", ""}));
  // Sorted by name ascending: folders, then files.
  EXPECT_EQ(pane.grid[2][0], "d1");
  EXPECT_EQ(pane.grid[2][1], "<DIR>");
  EXPECT_EQ(pane.grid[2][3], "16");
  EXPECT_EQ(pane.grid[3][0], "d2");
  EXPECT_EQ(pane.grid[4], (GridRow{"f10.txt", "10", "2024.07.01 14:00:00", "32", ""}));
  // The listing closes the connection it opened.
  EXPECT_FALSE(ConnectionOpen());
}

TEST_F(DeviceListingTest, AnEmptyOrMissingFolderKeepsTheTwoRowsAndCountsZero) {
  DevicePane pane;
  pane.grid.push_back({"old", "1", "", "32", ""});
  GetDirPDA(link, host, pane, "\\Storage Card\\Nie\\*");
  EXPECT_EQ(pane.grid.size(), 2u);
  EXPECT_EQ(pane.status2[0], L("Adresárov:0"));
  EXPECT_EQ(pane.status2[2], L("Poč.bytov:0"));
  EXPECT_TRUE(host.messages.empty());
}

TEST_F(DeviceListingTest, WithoutTheDeviceTheGridIsCutBackAndTheStatusStays) {
  setenv("TROVIK_DEVICE_CONNECT", "fail", 1);
  DevicePane pane;
  pane.grid.push_back({"old", "1", "", "32", ""});
  pane.status2[0] = "kept";
  link.copyOption = {true, true};
  GetDirPDA(link, host, pane, "\\Storage Card\\Geo\\*");
  EXPECT_EQ(pane.grid.size(), 2u);
  EXPECT_EQ(pane.status2[0], "kept");
  EXPECT_FALSE(link.copyOption.enabled);
  EXPECT_TRUE(link.copyOption.ticked);
  EXPECT_FALSE(host.busyCursor);
}

class PcListingTest : public ::testing::Test {
 protected:
  trovik::testing::TempDir dir;
  PcPane pane;
};

TEST_F(PcListingTest, DotDotIsRowOneAndDotIsNeverListed) {
  dir.write("sub/x", "");
  dir.write("b.txt", "12345");
  dir.write("a.txt", "1");
  std::string folder = dir.path().substr(0, dir.path().size() - 1);
  ListPcFolder(pane, folder);
  ASSERT_EQ(pane.grid.size(), 5u);
  EXPECT_EQ(pane.grid[1][0], "..");
  EXPECT_EQ(pane.grid[1][1], "<DIR>");
  for (size_t r = 2; r < pane.grid.size(); ++r) EXPECT_NE(pane.grid[r][0], ".");
  EXPECT_EQ(pane.status4[0], L("Adresárov:2"));  // ".." and sub
  EXPECT_EQ(pane.status4[1], L("Súborov:2"));
  EXPECT_EQ(pane.status4[2], L("Poč.bytov:6"));
}

TEST_F(PcListingTest, TheRootGetsADotDotRowAndLosesNoEntry) {
  ListPcFolder(pane, "/");
  ASSERT_GE(pane.grid.size(), 3u);
  EXPECT_EQ(pane.grid[1][0], "..");
  bool tmp = false;
  for (auto& row : pane.grid) tmp = tmp || row[0] == "tmp";
  EXPECT_TRUE(tmp);
}

TEST_F(PcListingTest, AFolderThatCannotBeReadKeepsTheRowsAndCountsZero) {
  pane.grid.push_back({"keep", "1", "", "", ""});
  ListPcFolder(pane, dir.path() + "missing");
  EXPECT_EQ(pane.grid.size(), 3u);
  EXPECT_EQ(pane.status4[0], L("Adresárov:0"));
}

TEST_F(PcListingTest, TimesAreLocalToTwoSecondsAndLongFolderPathsAreNotCut) {
  std::string deep = dir.path() + std::string(90, 'd');
  dir.write(std::string(90, 'd') + "/f.txt", "x");
  SetMtime(deep + "/f.txt", 1719835201);  // odd second
  setenv("TZ", "Europe/Bratislava", 1);
  tzset();
  DirectoryListBox1Change(pane, deep);
  unsetenv("TZ");
  tzset();
  ASSERT_EQ(pane.grid.size(), 3u);
  EXPECT_EQ(pane.grid[2][0], "f.txt");
  EXPECT_EQ(pane.grid[2][2], "2024.07.01 14:00:00");
  EXPECT_EQ(pane.status5, deep);
}

TEST_F(PcListingTest, NamesComeBackAs1250Text) {
  dir.write("\xC5\xBE" "aba.txt", "");  // "žaba.txt"
  ListPcFolder(pane, dir.path());
  ASSERT_EQ(pane.grid.size(), 3u);
  EXPECT_EQ(pane.grid[2][0], L("žaba.txt"));
}

}  // namespace
}  // namespace trovik::device::testing
