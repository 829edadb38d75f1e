// Both whole-file copies: data, time stamps, the connection, and every message.

#include <fcntl.h>
#include <sys/resource.h>
#include <sys/stat.h>

#include <algorithm>
#include <csignal>
#include <unistd.h>

#include "device/listing.h"
#include "device/panes.h"
#include "device_fixture.h"

namespace trovik::device::testing {
namespace {

const char* kDev = "\\Storage Card\\Geo\\a.htm";
const char* kCard = "Storage Card/Geo/a.htm";

class TransferTest : public DeviceTest {
 protected:
  Outcome ToDevice(const std::string& pcPath, const std::string& devPath = kDev) {
    return CopyFileToDevice(link, host, flags, pcPath, devPath);
  }
  Outcome FromDevice(const std::string& devPath, const std::string& pcPath) {
    return CopyFileFromDevice(link, host, devPath, pcPath);
  }
  // The names in the target's folder on the card, sorted.
  std::vector<std::string> CardFolder() const {
    std::vector<std::string> names;
    for (const auto& e : std::filesystem::directory_iterator(OnCard("Storage Card/Geo")))
      names.push_back(e.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
  }
  std::string WriteFail() {
    return "Error #112" + L(": neviem zapísať file do PDA.") + "\r" + "Cesty pre su v poriadku " + kDev + "?";
  }
};

TEST_F(TransferTest, ToTheDeviceCarriesTheDataAndTheTimesAndClosesTheConnection) {
  std::string src = pc.write("page.htm", std::string(100000, 'x') + "end");
  timespec times[2] = {{1500000000, 0}, {1600000000, 123456700}};
  ASSERT_EQ(utimensat(AT_FDCWD, src.c_str(), times, 0), 0);
  ToDevice(src);
  EXPECT_TRUE(host.messages.empty());
  struct stat st;
  ASSERT_EQ(stat(OnCard(kCard).c_str(), &st), 0);
  EXPECT_EQ(CardBytes(kCard), std::string(100000, 'x') + "end");
  EXPECT_EQ(st.st_mtim.tv_sec, 1600000000);
  EXPECT_EQ(st.st_mtim.tv_nsec, 123456700);
  EXPECT_EQ(st.st_atim.tv_sec, 1500000000);
  EXPECT_FALSE(ConnectionOpen());
}

TEST_F(TransferTest, LargeFilesGoBothWaysByteForByte) {
  std::string data(6u << 20, '\0');
  for (size_t i = 0; i < data.size(); ++i) data[i] = static_cast<char>((i * 2654435761u) >> 13);
  ToDevice(pc.write("big.bin", data));
  FromDevice(kDev, pc.file("back.bin"));
  EXPECT_TRUE(host.messages.empty());
  EXPECT_TRUE(CardBytes(kCard) == data);
  EXPECT_TRUE(pc.read("back.bin") == data);
}

TEST_F(TransferTest, EmptyAndMissingSourcesGiveEmptyTargetsAndMissingSourcesAppearEmpty) {
  ToDevice(pc.write("empty.htm", ""));
  EXPECT_TRUE(OnCardExists(kCard));
  EXPECT_EQ(CardBytes(kCard), "");

  std::string missing = pc.file("missing.htm");
  ToDevice(missing, "\\Storage Card\\Geo\\m.htm");
  EXPECT_TRUE(std::filesystem::exists(missing));
  EXPECT_EQ(std::filesystem::file_size(missing), 0u);
  EXPECT_EQ(CardBytes("Storage Card/Geo/m.htm"), "");

  FromDevice("\\Storage Card\\Geo\\never.htm", pc.file("never.htm"));
  EXPECT_TRUE(OnCardExists("Storage Card/Geo/never.htm"));
  EXPECT_EQ(pc.read("never.htm"), "");

  FromDevice(kDev, pc.file("back.htm"));
  EXPECT_EQ(pc.read("back.htm"), "");
  EXPECT_TRUE(host.messages.empty());
}

TEST_F(TransferTest, TargetsAreReplacedWithoutAQuestion) {
  pc.write(std::string("PDA/") + kCard, "old old old old");
  ToDevice(pc.write("new.htm", "new"));
  EXPECT_EQ(CardBytes(kCard), "new");

  pc.write("local.txt", "a much longer old local file");
  FromDevice(kDev, pc.file("local.txt"));
  EXPECT_EQ(pc.read("local.txt"), "new");
  EXPECT_TRUE(host.messages.empty());
}

TEST_F(TransferTest, FromTheDeviceKeepsTheConnectionOpenAndNamesKeepTheirLetters) {
  pc.write("PDA/Storage Card/Geo/\xC5\xBDlt\xC3\xA1 ko\xC5\xA1.txt", "data");  // "Žltá koš.txt" on disk
  FromDevice(L("\\Storage Card\\Geo\\Žltá koš.txt"), pc.file("out.txt"));
  EXPECT_EQ(pc.read("out.txt"), "data");
  EXPECT_TRUE(ConnectionOpen());
  ToDevice(pc.file("out.txt"), L("\\Storage Card\\Geo\\Čierna.txt"));
  EXPECT_EQ(CardBytes("Storage Card/Geo/\xC4\x8Cierna.txt"), "data");
}

TEST_F(TransferTest, AtShutDownTheCopyToTheDeviceDoesNothing) {
  flags.shutDown = true;
  link.copyOption = {true, true};
  std::string missing = pc.file("src.htm");
  ToDevice(missing);
  EXPECT_FALSE(std::filesystem::exists(missing));
  EXPECT_FALSE(OnCardExists(kCard));
  EXPECT_TRUE(host.messages.empty());
  EXPECT_FALSE(ConnectionOpen());
  EXPECT_TRUE(link.copyOption.ticked);
}

TEST_F(TransferTest, ADeviceThatDoesNotAnswerStopsTheCopiesBeforeAnythingHappens) {
  link.connectTimeoutMs = 200;
  setenv("TROVIK_DEVICE_CONNECT", "never", 1);
  std::string src = pc.file("src.htm");
  EXPECT_EQ(ToDevice(src), Outcome::Failed);
  EXPECT_EQ(FromDevice(kDev, pc.file("dst.htm")), Outcome::Failed);
  // The picture copies ask first: the answer keeps them from waiting again.
  EXPECT_TRUE(DeviceFileExists(link, host, kDev));
  EXPECT_EQ(host.messages, (std::vector<std::string>{L("PDA neodpovedá"), L("PDA neodpovedá"), L("PDA neodpovedá")}));
  EXPECT_FALSE(std::filesystem::exists(src));
  EXPECT_FALSE(std::filesystem::exists(pc.file("dst.htm")));
  EXPECT_FALSE(OnCardExists(kCard));
}

TEST_F(TransferTest, MessagesOfTheCopyToTheDevice) {
  // The PC file cannot be opened (its folder does not exist).
  ToDevice(pc.file("nofolder/x.htm"));
  // The device file cannot be created: refused, and in a missing folder.
  setenv("TROVIK_DEVICE_CREATE_FAIL", "write", 1);
  ToDevice(pc.write("a.htm", "a"));
  unsetenv("TROVIK_DEVICE_CREATE_FAIL");
  ToDevice(pc.file("a.htm"), "\\Storage Card\\Nie\\a.htm");
  // A folder opens but cannot be read.
  std::filesystem::create_directories(pc.file("dir"));
  ToDevice(pc.file("dir"));
  // The time stamps cannot be set: reported, the copy is complete.
  setenv("TROVIK_DEVICE_SETTIME_FAIL", "1", 1);
  EXPECT_EQ(ToDevice(pc.file("a.htm")), Outcome::DoneWithWarning);
  EXPECT_EQ(CardBytes(kCard), "a");
  EXPECT_EQ(host.messages,
            (std::vector<std::string>{
                L("Error: Neviem otvorit súbor ") + pc.file("nofolder/x.htm"),
                "Error #5" + L(": neviem vytvoriť file v PDA.") + "\rCesty pre su v poriadku " + kDev + "?",
                "Error #3" + L(": neviem vytvoriť file v PDA.") + "\rCesty pre su v poriadku \\Storage Card\\Nie\\a.htm?",
                "Error #21" + L(": neviem prečítať file v PC."),
                "Cas sa nepodarilo nastavit",
            }));
}

TEST_F(TransferTest, AFileTooBigForThirtyTwoBitsIsRefusedNotCut) {
  std::string big = pc.file("big.bin");
  int fd = open(big.c_str(), O_CREAT | O_WRONLY, 0644);
  ASSERT_GE(fd, 0);
  ASSERT_EQ(ftruncate(fd, 0x100000010LL), 0);  // sparse: 4 GiB + 16 bytes
  close(fd);
  ToDevice(big);
  ASSERT_EQ(truncate(big.c_str(), 0xFFFFFFFFLL), 0);  // exactly the failure value
  ToDevice(big);
  EXPECT_EQ(host.messages, (std::vector<std::string>{"Error #27: Could not allocate file buffer.",
                                                     "Error #27: Could not allocate file buffer."}));
  EXPECT_EQ(CardFolder(), std::vector<std::string>{});
}

TEST_F(TransferTest, AFailedWriteWithDataSwitchesTheOptionOffAndNamesThePath) {
  link.copyOption = {true, true};
  pc.write(std::string("PDA/") + kCard, "the old page");
  setenv("TROVIK_DEVICE_WRITE_FAIL_AFTER", "10", 1);
  ToDevice(pc.write("a.htm", std::string(50, 'y')));
  EXPECT_EQ(host.messages, std::vector<std::string>{WriteFail()});
  EXPECT_FALSE(link.copyOption.ticked);
  EXPECT_FALSE(link.copyOption.enabled);
  // The old file is whole, nothing half-written is left beside it, and the
  // connection stays open.
  EXPECT_EQ(CardBytes(kCard), "the old page");
  EXPECT_EQ(CardFolder(), std::vector<std::string>{"a.htm"});
  EXPECT_TRUE(ConnectionOpen());
}

TEST_F(TransferTest, ALibraryWithoutTheMoveEntryWritesTheTargetInPlace) {
  setenv("TROVIK_DEVICE_MISSING", "CeMoveFile", 1);
  pc.write(std::string("PDA/") + kCard, "the old page");
  ToDevice(pc.write("a.htm", "new"));
  EXPECT_EQ(CardBytes(kCard), "new");
  setenv("TROVIK_DEVICE_WRITE_FAIL_AFTER", "10", 1);
  ToDevice(pc.write("a.htm", std::string(50, 'y')));
  EXPECT_EQ(host.messages, std::vector<std::string>{WriteFail()});
  EXPECT_EQ(CardBytes(kCard), std::string(10, 'y'));
  EXPECT_EQ(CardFolder(), std::vector<std::string>{"a.htm"});
}

TEST_F(TransferTest, ATargetThatCannotBeReplacedIsReportedAndLeftAsItWas) {
  std::filesystem::create_directories(OnCard(kCard));
  pc.write(std::string("PDA/") + kCard + "/inside", "kept");
  ToDevice(pc.write("a.htm", "new"));
  ASSERT_EQ(host.messages.size(), 1u);
  EXPECT_EQ(host.messages[0].rfind("Error #", 0), 0u) << host.messages[0];
  EXPECT_NE(host.messages[0].find(L(": neviem vytvoriť file v PDA.") + "\rCesty pre su v poriadku " + kDev + "?"),
            std::string::npos)
      << host.messages[0];
  EXPECT_EQ(CardBytes(std::string(kCard) + "/inside"), "kept");
  EXPECT_EQ(CardFolder(), std::vector<std::string>{"a.htm"});
}

TEST_F(TransferTest, PicturesTheCardHoldsAreNeverCopiedAgainInOneRunOrTheNext) {
  std::filesystem::create_directories(OnCard("Storage Card/Geo/Pictures"));
  pc.write("PDA/Storage Card/Geo/Pictures/p2.gif", "the card's p2.gif");
  pc.write("PDA/Storage Card/Geo/Pictures/p4.png", "the card's p4.png");
  const std::vector<std::string> names = {"p1.gif", "p2.gif", "p3.jpg", "p4.png", "p5.gif"};
  // What the picture harvest does for each picture of a page.
  auto run = [&](DeviceLink& runLink) {
    LinkDeviceFiles files(runLink, host, flags);
    for (const auto& n : names) {
      const std::string local = pc.write("Pictures/" + n, "the PC's " + n);
      const std::string dev = "\\Storage Card\\Geo\\Pictures\\" + n;
      if (!files.DeviceFileExists(dev)) {
        EXPECT_EQ(files.CopyFileToDevice(local, dev), Outcome::Done) << n;
      }
    }
  };
  run(link);
  EXPECT_TRUE(host.messages.empty());
  for (const auto& n : names) {
    const bool held = n == "p2.gif" || n == "p4.png";
    EXPECT_EQ(CardBytes("Storage Card/Geo/Pictures/" + n), (held ? "the card's " : "the PC's ") + n);
  }
  // The next run (a new start of the program) finds them all.
  pc.write("PDA/Storage Card/Geo/Pictures/p1.gif", "changed on the card");
  DeviceLink next;
  run(next);
  next.api.CeRapiUninit();
  EXPECT_EQ(CardBytes("Storage Card/Geo/Pictures/p1.gif"), "changed on the card");
  EXPECT_EQ(CardBytes("Storage Card/Geo/Pictures/p2.gif"), "the card's p2.gif");
  EXPECT_EQ(CardBytes("Storage Card/Geo/Pictures/p5.gif"), "the PC's p5.gif");
}

TEST_F(TransferTest, AReplaceNeverDeletesWhatItCannotPutSomethingWholeInPlaceOf) {
  // Names that differ only in case side by side, as a card written elsewhere
  // may hold them: once "a.htm" left its name, "A.htm" would answer to it.
  pc.write("PDA/Storage Card/Geo/A.htm", "upper");
  pc.write(std::string("PDA/") + kCard, "lower");
  EXPECT_EQ(ToDevice(pc.write("new.htm", "new")), Outcome::Failed);
  EXPECT_EQ(CardBytes("Storage Card/Geo/A.htm"), "upper");
  EXPECT_EQ(CardBytes(kCard), "lower");
  EXPECT_EQ(CardFolder(), (std::vector<std::string>{"A.htm", "a.htm"}));
  std::filesystem::remove(OnCard("Storage Card/Geo/A.htm"));

  // The new file cannot take the name once the old one is aside: the old
  // one goes back.
  setenv("TROVIK_DEVICE_MOVE_FAIL", ".tmp", 1);
  EXPECT_EQ(ToDevice(pc.file("new.htm")), Outcome::Failed);
  unsetenv("TROVIK_DEVICE_MOVE_FAIL");
  EXPECT_EQ(CardBytes(kCard), "lower");
  EXPECT_EQ(CardFolder(), std::vector<std::string>{"a.htm"});
  const std::string createFailed = L(": neviem vytvoriť file v PDA.") + "\rCesty pre su v poriadku " + kDev + "?";
  EXPECT_EQ(host.messages, (std::vector<std::string>{"Error #183" + createFailed, "Error #29" + createFailed}));

  // A user's file named like a temporary file is neither written nor moved.
  pc.write("PDA/Storage Card/Geo/a.htm.tmp", "the user's notes");
  EXPECT_EQ(ToDevice(pc.file("new.htm")), Outcome::Done);
  EXPECT_EQ(CardBytes(kCard), "new");
  EXPECT_EQ(CardBytes("Storage Card/Geo/a.htm.tmp"), "the user's notes");
  EXPECT_EQ(CardFolder(), (std::vector<std::string>{"a.htm", "a.htm.tmp"}));
}

TEST_F(TransferTest, WhatCutCopiesLeftIsPutRightBeforeTheListingShowsTheFolder) {
  // Cut after the old file went aside: the target is missing.
  pc.write("PDA/Storage Card/Geo/a.htm" + std::string(kDeviceAsideSuffix), "old a");
  // Cut while the data was written.
  pc.write("PDA/Storage Card/Geo/b.htm", "b");
  pc.write("PDA/Storage Card/Geo/b.htm" + std::string(kDeviceTempSuffix), "half of b");
  // Cut after the new file took its place.
  pc.write("PDA/Storage Card/Geo/c.htm", "new c");
  pc.write("PDA/Storage Card/Geo/c.htm" + std::string(kDeviceAsideSuffix), "old c");
  DevicePane pane;
  GetDirPDA(link, host, pane, "\\Storage Card\\Geo\\*");
  std::vector<std::string> listed;
  for (size_t r = 2; r < pane.grid.size(); ++r) listed.push_back(pane.grid[r][0]);
  EXPECT_EQ(listed, (std::vector<std::string>{"a.htm", "b.htm", "c.htm"}));
  EXPECT_EQ(CardFolder(), (std::vector<std::string>{"a.htm", "b.htm", "c.htm"}));
  EXPECT_EQ(CardBytes("Storage Card/Geo/a.htm"), "old a");
  EXPECT_EQ(CardBytes("Storage Card/Geo/c.htm"), "new c");
}

TEST_F(TransferTest, ALeftoverOfACutCopyIsWrittenOverByTheNextOne) {
  pc.write(std::string("PDA/") + kCard + kDeviceTempSuffix, "half of a");
  pc.write(std::string("PDA/") + kCard, "old");
  ToDevice(pc.write("a.htm", "new"));
  EXPECT_TRUE(host.messages.empty());
  EXPECT_EQ(CardBytes(kCard), "new");
  EXPECT_EQ(CardFolder(), std::vector<std::string>{"a.htm"});
}

TEST_F(TransferTest, AFailedWriteOfNothingIsSilent) {
  link.copyOption = {true, true};
  setenv("TROVIK_DEVICE_WRITE_FAIL_AFTER", "0", 1);
  ToDevice(pc.write("a.htm", ""));
  EXPECT_TRUE(host.messages.empty());
  EXPECT_TRUE(link.copyOption.ticked);
  EXPECT_TRUE(link.copyOption.enabled);
}

TEST_F(TransferTest, MessagesOfTheCopyToThePc) {
  pc.write(std::string("PDA/") + kCard, "content");
  pc.write("x.htm", "old x");
  setenv("TROVIK_DEVICE_CREATE_FAIL", "read", 1);
  FromDevice(kDev, pc.file("x.htm"));
  unsetenv("TROVIK_DEVICE_CREATE_FAIL");
  FromDevice("\\Storage Card\\Nie\\a.htm", pc.file("x.htm"));
  FromDevice(kDev, pc.file("nofolder/x.htm"));
  setenv("TROVIK_DEVICE_SIZE_FAIL", "1", 1);
  FromDevice(kDev, pc.file("x.htm"));
  unsetenv("TROVIK_DEVICE_SIZE_FAIL");
  setenv("TROVIK_DEVICE_READ_FAIL", "1", 1);
  FromDevice(kDev, pc.file("x.htm"));
  unsetenv("TROVIK_DEVICE_READ_FAIL");
  {
    // The PC refuses files bigger than 3 bytes: the write fails.
    struct sigaction ignore {}, old {};
    ignore.sa_handler = SIG_IGN;
    sigaction(SIGXFSZ, &ignore, &old);
    rlimit saved{};
    getrlimit(RLIMIT_FSIZE, &saved);
    rlimit small = saved;
    small.rlim_cur = 3;
    setrlimit(RLIMIT_FSIZE, &small);
    FromDevice(kDev, pc.file("x.htm"));
    setrlimit(RLIMIT_FSIZE, &saved);
    sigaction(SIGXFSZ, &old, nullptr);
  }
  EXPECT_EQ(host.messages, (std::vector<std::string>{
                               "Error: Could not open remote file.",
                               "Error: Could not open remote file.",
                               "Error: Could not create local file.",
                               "Error #1117: Could not allocate file buffer.",
                               "Error #30: Could not read remote file.",
                               "Error #27: Could not write the local file.",
                           }));
  // No failure cut the old file short or left a temporary file behind.
  EXPECT_EQ(pc.read("x.htm"), "old x");
  int entries = 0;
  for (auto& e : std::filesystem::directory_iterator(pc.path())) entries += e.is_regular_file();
  EXPECT_EQ(entries, 1);
  FromDevice(kDev, pc.file("x.htm"));
  EXPECT_EQ(pc.read("x.htm"), "content");
}

}  // namespace
}  // namespace trovik::device::testing
