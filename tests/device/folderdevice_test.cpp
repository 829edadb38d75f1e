// The folder device library itself: device paths stay inside the root, and
// the handheld's rules for names, searches and folders.

#include <cstring>
#include <map>

#include "device/wide_path.h"
#include "device_fixture.h"

namespace trovik::device::testing {
namespace {

class FolderDeviceTest : public DeviceTest {
 protected:
  void SetUp() override {
    DeviceTest::SetUp();
    ASSERT_TRUE(ConnectDevice(link, host));
    // Something outside the root that an escape would reach.
    pc.write("secret.txt", "secret");
  }
  HANDLE Create(const std::string& path1250, DWORD creation = rapi::CREATE_ALWAYS) {
    return link.api.CeCreateFile(Widen1250(path1250), rapi::GENERIC_WRITE, 0, creation, 0);
  }
  DWORD Refusal(const std::string& path1250) {
    HANDLE h = Create(path1250);
    if (h != rapi::INVALID_HANDLE_VALUE) {
      link.api.CeCloseHandle(h);
      return 0;
    }
    return link.api.CeGetLastError();
  }
};

TEST_F(FolderDeviceTest, PathsThatWouldLeaveTheRootAreRefused) {
  EXPECT_EQ(Refusal("\\..\\secret.txt"), rapi::ERROR_INVALID_NAME);
  EXPECT_EQ(Refusal("\\Storage Card\\..\\..\\secret.txt"), rapi::ERROR_INVALID_NAME);
  EXPECT_EQ(Refusal("/../secret.txt"), rapi::ERROR_INVALID_NAME);
  EXPECT_EQ(Refusal("\\Storage Card\\.\\a.txt"), rapi::ERROR_INVALID_NAME);
  EXPECT_EQ(Refusal("C:\\secret.txt"), rapi::ERROR_INVALID_NAME);
  EXPECT_EQ(Refusal(std::string("\\Storage Card\\a\x01.txt")), rapi::ERROR_INVALID_NAME);
  EXPECT_EQ(Refusal(std::string("\\Storage Card\\a.txt\0\\..\\..\\secret.txt", 36)), rapi::ERROR_INVALID_NAME);
  EXPECT_EQ(Refusal("\\Storage Card\\*.txt"), rapi::ERROR_INVALID_NAME);
  EXPECT_EQ(link.api.CeDeleteFile(Widen1250("\\..\\secret.txt")), 0);
  EXPECT_EQ(link.api.CeCreateDirectory(Widen1250("\\..\\evil")), 0);
  EXPECT_EQ(link.api.CeRemoveDirectory(Widen1250("\\..\\PDA")), 0);
  CE_FIND_DATA data;
  EXPECT_EQ(link.api.CeFindFirstFile(Widen1250("\\..\\*"), &data), rapi::INVALID_HANDLE_VALUE);
  EXPECT_EQ(pc.read("secret.txt"), "secret");
  EXPECT_FALSE(std::filesystem::exists(pc.file("evil")));
  EXPECT_TRUE(std::filesystem::exists(root));

  // An absolute host path is just a path on the card, here in folders the
  // card does not have.
  EXPECT_EQ(Refusal(pc.file("secret.txt")), rapi::ERROR_PATH_NOT_FOUND);
  EXPECT_EQ(pc.read("secret.txt"), "secret");
}

TEST_F(FolderDeviceTest, OnlyAVolumeOfTheRootMayBeALinkToAFolder) {
  // A card mounted elsewhere, linked in as "\Karta".
  pc.write("card/Geo/a.htm", "on the card");
  std::filesystem::create_directory_symlink(pc.path() + "card", root + "/Karta");
  EXPECT_TRUE(DeviceFileExists(link, host, "\\Karta\\Geo\\a.htm"));
  EXPECT_TRUE(DeviceFileExists(link, host, "\\Karta"));
  CE_FIND_DATA data;
  HANDLE h = link.api.CeFindFirstFile(u"\\Kar*", &data);
  ASSERT_NE(h, rapi::INVALID_HANDLE_VALUE);
  EXPECT_EQ(data.dwFileAttributes, 0x10u);
  link.api.CeFindClose(h);
  // Deeper links, and links to files, are refused.
  std::filesystem::create_directory_symlink(pc.path(), root + "/Storage Card/out");
  EXPECT_EQ(Refusal("\\Storage Card\\out\\secret.txt"), rapi::ERROR_ACCESS_DENIED);
  std::filesystem::create_symlink(pc.file("secret.txt"), root + "/s.txt");
  EXPECT_EQ(Refusal("\\s.txt"), rapi::ERROR_ACCESS_DENIED);
  std::filesystem::create_directory_symlink(pc.path(), root + "/Storage Card/Geo/up");
  h = link.api.CeFindFirstFile(u"\\Storage Card\\Geo\\*", &data);
  EXPECT_EQ(h, rapi::INVALID_HANDLE_VALUE);  // the link is not listed; nothing else is there
  EXPECT_EQ(pc.read("secret.txt"), "secret");
}

TEST_F(FolderDeviceTest, PathsLongerThan511CharactersAreRefusedNotCut) {
  std::string folder = "\\Storage Card\\Geo\\";
  std::string fits = folder;
  while (fits.size() + 101 <= 511) fits += std::string(100, 'a') + "\\";
  fits += std::string(511 - fits.size(), 'c');
  std::string tooLong = fits + "b";
  // 511 characters pass the length rule (the host may still refuse the name).
  EXPECT_NE(Refusal(fits), rapi::ERROR_FILENAME_EXCED_RANGE);
  EXPECT_EQ(Refusal(tooLong), rapi::ERROR_FILENAME_EXCED_RANGE);
  for (auto& e : std::filesystem::directory_iterator(root + "/Storage Card/Geo"))
    EXPECT_LE(e.path().filename().string().size(), 255u);
}

TEST_F(FolderDeviceTest, SearchesListFilesAndFoldersButNeverDots) {
  pc.write("PDA/Storage Card/Geo/HTM/a.htm", "12345");
  pc.write("PDA/Storage Card/Geo/b.txt", "1");
  CE_FIND_DATA data;
  HANDLE h = link.api.CeFindFirstFile(Widen1250("\\Storage Card\\Geo\\*"), &data);
  ASSERT_NE(h, rapi::INVALID_HANDLE_VALUE);
  std::map<std::string, DWORD> seen;
  do {
    std::u16string name(data.cFileName);
    seen[Narrow1250(name)] = data.dwFileAttributes;
  } while (link.api.CeFindNextFile(h, &data));
  EXPECT_EQ(link.api.CeGetLastError(), rapi::ERROR_NO_MORE_FILES);
  EXPECT_TRUE(link.api.CeFindClose(h));
  EXPECT_EQ(seen, (std::map<std::string, DWORD>{{"HTM", 0x10}, {"b.txt", 0x20}}));

  h = link.api.CeFindFirstFile(Widen1250("\\Storage Card\\Geo\\*.TXT"), &data);
  ASSERT_NE(h, rapi::INVALID_HANDLE_VALUE);
  EXPECT_EQ(Narrow1250(std::u16string(data.cFileName)), "b.txt");
  EXPECT_EQ(data.nFileSizeLow, 1u);
  EXPECT_FALSE(link.api.CeFindNextFile(h, &data));
  link.api.CeFindClose(h);

  EXPECT_EQ(link.api.CeFindFirstFile(Widen1250("\\Storage Card\\Nie\\*"), &data), rapi::INVALID_HANDLE_VALUE);
  EXPECT_EQ(link.api.CeGetLastError(), rapi::ERROR_PATH_NOT_FOUND);
}

TEST_F(FolderDeviceTest, FoldersAreMadeAndRemovedAsOnTheHandheld) {
  EXPECT_TRUE(link.api.CeCreateDirectory(Widen1250("\\Storage Card\\Geo\\HTM")));
  EXPECT_FALSE(link.api.CeCreateDirectory(Widen1250("\\Storage Card\\Geo\\HTM")));
  EXPECT_EQ(link.api.CeGetLastError(), rapi::ERROR_ALREADY_EXISTS);
  EXPECT_FALSE(link.api.CeCreateDirectory(Widen1250("\\Nie\\HTM")));
  EXPECT_EQ(link.api.CeGetLastError(), rapi::ERROR_PATH_NOT_FOUND);
  pc.write("PDA/Storage Card/Geo/HTM/a.htm", "1");
  EXPECT_FALSE(link.api.CeRemoveDirectory(Widen1250("\\Storage Card\\Geo\\HTM")));
  EXPECT_EQ(link.api.CeGetLastError(), rapi::ERROR_DIR_NOT_EMPTY);
  EXPECT_FALSE(link.api.CeDeleteFile(Widen1250("\\Storage Card\\Geo\\HTM")));
  EXPECT_TRUE(link.api.CeDeleteFile(Widen1250("\\Storage Card\\Geo\\HTM\\A.HTM")));
  EXPECT_TRUE(link.api.CeRemoveDirectory(Widen1250("\\Storage Card\\Geo\\HTM")));
  EXPECT_FALSE(std::filesystem::exists(root + "/Storage Card/Geo/HTM"));
}

TEST_F(FolderDeviceTest, ARecordHasThePublishedLayout) {
  pc.write("PDA/f.txt", "abc");
  std::filesystem::last_write_time(root + "/f.txt", std::filesystem::file_time_type::clock::from_sys(
                                                        std::chrono::sys_seconds{std::chrono::seconds{0}}));
  unsigned char raw[560];
  std::memset(raw, 0xAB, sizeof raw);
  HANDLE h = link.api.CeFindFirstFile(u"\\f.txt", reinterpret_cast<CE_FIND_DATA*>(raw));
  ASSERT_NE(h, rapi::INVALID_HANDLE_VALUE);
  link.api.CeFindClose(h);
  auto dword = [&](int offset) {
    uint32_t v;
    std::memcpy(&v, raw + offset, 4);
    return v;
  };
  EXPECT_EQ(dword(0), 0x20u);  // attributes
  // Last-write time at offset 20: 1970-01-01 is 116444736000000000 ticks after 1601.
  uint64_t ticks = (uint64_t{dword(24)} << 32) | dword(20);
  EXPECT_EQ(ticks, 116444736000000000ull);
  EXPECT_EQ(dword(28), 0u);  // size, high word
  EXPECT_EQ(dword(32), 3u);  // size, low word
  EXPECT_EQ(raw[40], 'f');   // name from offset 40, 16-bit characters
  EXPECT_EQ(raw[41], 0);
  EXPECT_EQ(raw[42], '.');
}

}  // namespace
}  // namespace trovik::device::testing
