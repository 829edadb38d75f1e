// The bind step, the connect and its display, DeviceFileExists.

#include <chrono>
#include <set>

#include "device/wide_path.h"
#include "device_fixture.h"

namespace trovik::device::testing {
namespace {

TEST(RapiNames, SixtyFiveInTheirOrderWithTheCalledEntriesWhereTheirNamesAre) {
  EXPECT_STREQ(kRapiNames[0], "CeRapiInit");
  EXPECT_STREQ(kRapiNames[64], "CeRapiInvoke");
  const std::pair<int, const char*> used[] = {
      {kCeRapiInit, "CeRapiInit"},           {kCeRapiInitEx, "CeRapiInitEx"},
      {kCeRapiUninit, "CeRapiUninit"},       {kCeFindFirstFile, "CeFindFirstFile"},
      {kCeFindNextFile, "CeFindNextFile"},   {kCeFindClose, "CeFindClose"},
      {kCeCreateFile, "CeCreateFile"},       {kCeReadFile, "CeReadFile"},
      {kCeWriteFile, "CeWriteFile"},         {kCeCloseHandle, "CeCloseHandle"},
      {kCeGetLastError, "CeGetLastError"},   {kCeCreateDirectory, "CeCreateDirectory"},
      {kCeRemoveDirectory, "CeRemoveDirectory"}, {kCeDeleteFile, "CeDeleteFile"},
      {kCeGetFileSize, "CeGetFileSize"},     {kCeSetFileTime, "CeSetFileTime"}};
  for (auto [index, name] : used) EXPECT_STREQ(kRapiNames[index], name);
  std::set<std::string> unique(kRapiNames, kRapiNames + kRapiNameCount);
  EXPECT_EQ(unique.size(), 65u);
}

using BindTest = DeviceTest;

TEST_F(BindTest, WithoutTheLibraryEveryOperationGivesItsFallbackAndTheNextOneLoadsAgain) {
  setenv("TROVIK_RAPI", (pc.path() + "no-such-library.so").c_str(), 1);
  DeviceLink missing;
  SpeedButton7Click(missing, host);
  EXPECT_EQ(missing.statusPanel3, "PDA OFF");
  EXPECT_EQ(missing.activeSyncGlyph, kGlyphOffline);
  EXPECT_FALSE(missing.copyOption.enabled);
  EXPECT_TRUE(host.messages.empty());
  int attempts = missing.api.loadAttempts();
  EXPECT_GE(attempts, 1);

  EXPECT_EQ(missing.api.CeRapiInit(), 0xFFFF);
  EXPECT_EQ(missing.api.CeGetLastError(), 0xFFFFu);
  EXPECT_EQ(missing.api.CeFindNextFile(1, nullptr), 0);
  EXPECT_EQ(missing.api.CeGetFileSize(1, nullptr), 0xFFFFu);
  // The fallback handle is not the invalid value: the file "exists", so
  // callers copy nothing.
  EXPECT_TRUE(DeviceFileExists(missing, host, "\\Storage Card\\Geo\\x.htm"));
  EXPECT_GT(missing.api.loadAttempts(), attempts);

  // The library appears: the next operation binds it.
  setenv("TROVIK_RAPI", FolderDeviceLibrary().c_str(), 1);
  SpeedButton7Click(missing, host);
  EXPECT_TRUE(missing.api.Loaded());
  EXPECT_EQ(missing.statusPanel3, "PDA ON");
  missing.api.CeRapiUninit();
}

TEST_F(BindTest, MissingEntriesStayEmptyAndTheirOperationsFallBack) {
  setenv("TROVIK_DEVICE_MISSING", "CeRapiInitEx,CeSetFileTime", 1);
  DeviceLink partial;
  ASSERT_TRUE(partial.api.Bind());
  EXPECT_EQ(partial.api.EntryAt(kCeRapiInitEx), nullptr);
  EXPECT_EQ(partial.api.EntryAt(kCeSetFileTime), nullptr);
  EXPECT_NE(partial.api.EntryAt(kCeRapiInit), nullptr);
  EXPECT_NE(partial.api.EntryAt(kCeCreateFile), nullptr);
  // Names the library never had (databases, registry) are empty too.
  EXPECT_EQ(partial.api.EntryAt(3), nullptr);
  EXPECT_EQ(partial.api.CeSetFileTime(1, nullptr, nullptr, nullptr), 0);

  SpeedButton7Click(partial, host);
  EXPECT_EQ(partial.statusPanel3, "PDA OFF");
  EXPECT_TRUE(host.messages.empty());

  // Without the event-driven initialisation the copies use the plain one; a
  // missing time-stamp entry is a failed time-stamp set.
  std::string src = pc.write("a.txt", "abc");
  CopyFileToDevice(partial, host, flags, src, "\\Storage Card\\Geo\\a.txt");
  EXPECT_EQ(CardBytes("Storage Card/Geo/a.txt"), "abc");
  EXPECT_EQ(host.messages, std::vector<std::string>{"Cas sa nepodarilo nastavit"});
}

using ConnectTest = DeviceTest;

TEST_F(ConnectTest, AnAnsweringDeviceShowsOnlineAndEnablesTheOptionWithoutTouchingItsTick) {
  link.copyOption.ticked = false;
  SpeedButton7Click(link, host);
  EXPECT_EQ(link.statusPanel3, "PDA ON");
  EXPECT_EQ(link.activeSyncGlyph, kGlyphOnline);
  EXPECT_TRUE(link.copyOption.enabled);
  EXPECT_FALSE(link.copyOption.ticked);
  EXPECT_FALSE(host.busyCursor);
  EXPECT_EQ(host.pumps, 1);
  EXPECT_TRUE(host.messages.empty());
  EXPECT_TRUE(ConnectionOpen());
  pc.write("PDA/Storage Card/Geo/x.htm", "x");
  EXPECT_TRUE(DeviceFileExists(link, host, "\\Storage Card\\Geo\\x.htm"));
  EXPECT_FALSE(DeviceFileExists(link, host, "\\Storage Card\\Geo\\y.htm"));
  // The handheld's names ignore case.
  EXPECT_TRUE(DeviceFileExists(link, host, "\\STORAGE CARD\\geo\\X.HTM"));
}

TEST_F(ConnectTest, AFailingDeviceShowsOfflineDisablesTheOptionKeepsItsTickAndClosesTheConnection) {
  SpeedButton7Click(link, host);
  link.copyOption.ticked = true;
  setenv("TROVIK_DEVICE_CONNECT", "fail", 1);
  SpeedButton7Click(link, host);
  EXPECT_EQ(link.statusPanel3, "PDA OFF");
  EXPECT_EQ(link.activeSyncGlyph, kGlyphOffline);
  EXPECT_FALSE(link.copyOption.enabled);
  EXPECT_TRUE(link.copyOption.ticked);
  EXPECT_TRUE(host.messages.empty());
  EXPECT_FALSE(ConnectionOpen());
}

TEST_F(ConnectTest, NoStorageFolderMeansNoDevice) {
  setenv("TROVIK_DEVICE_ROOT", (pc.path() + "no-card").c_str(), 1);
  EXPECT_FALSE(ConnectDevice(link, host));
}

TEST_F(ConnectTest, AnAnswerWithinTheWaitCountsAndALaterOneDoesNot) {
  link.connectTimeoutMs = 2000;
  setenv("TROVIK_DEVICE_CONNECT_DELAY_MS", "200", 1);
  EXPECT_TRUE(ConnectDevice(link, host));

  link.connectTimeoutMs = 300;
  setenv("TROVIK_DEVICE_CONNECT_DELAY_MS", "1500", 1);
  EXPECT_FALSE(ConnectDevice(link, host));
  EXPECT_FALSE(host.busyCursor);
  // The late device was disconnected again.
  EXPECT_FALSE(ConnectionOpen());
}

TEST_F(ConnectTest, TheWaitIsFiveSeconds) {
  EXPECT_EQ(DeviceLink().connectTimeoutMs, 5000);
  setenv("TROVIK_DEVICE_CONNECT", "never", 1);
  auto start = std::chrono::steady_clock::now();
  SpeedButton7Click(link, host);
  auto ms = std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - start).count();
  EXPECT_EQ(link.statusPanel3, "PDA OFF");
  EXPECT_GE(ms, 4900);
  EXPECT_LT(ms, 8000);
}

TEST_F(ConnectTest, ReleaseClosesTheConnection) {
  ASSERT_TRUE(ConnectDevice(link, host));
  pc.write("PDA/Storage Card/Geo/x.htm", "x");
  ASSERT_TRUE(ConnectionOpen());
  ReleaseDevice(link);
  EXPECT_FALSE(ConnectionOpen());
  // The check opens the connection it needs: the card is seen.
  EXPECT_TRUE(DeviceFileExists(link, host, "\\Storage Card\\Geo\\x.htm"));
}

TEST(WidePath, Every1250ByteWidensAsTheCodePageSaysAndComesBack) {
  for (int b = 1; b < 256; ++b) {
    std::string one(1, static_cast<char>(b));
    std::u16string wide = Widen1250(one);
    ASSERT_EQ(wide.size(), 1u);
    EXPECT_EQ(Narrow1250(wide), one) << b;
    // The same character as the shared code-page conversion gives (UTF-8).
    std::string utf8 = text::Cp1250ToUtf8(one);
    char32_t cp = 0;
    unsigned char c0 = static_cast<unsigned char>(utf8[0]);
    if (c0 < 0x80) cp = c0;
    else if (c0 < 0xE0) cp = ((c0 & 0x1F) << 6) | (utf8[1] & 0x3F);
    else cp = ((c0 & 0x0F) << 12) | ((utf8[1] & 0x3F) << 6) | (utf8[2] & 0x3F);
    if (b == 0x81 || b == 0x83 || b == 0x88 || b == 0x90 || b == 0x98) continue;  // unassigned
    EXPECT_EQ(static_cast<char32_t>(wide[0]), cp) << b;
  }
  EXPECT_EQ(Narrow1250(u"\u4E2D"), "?");
}

}  // namespace
}  // namespace trovik::device::testing
