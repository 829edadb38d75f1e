// trovik-cli's device commands over the folder device library.

#include <string>
#include <vector>

#include "device_fixture.h"
#include "support/run_program.h"

namespace trovik::device::testing {
namespace {

class DeviceCliTest : public DeviceTest {
 protected:
  // Runs trovik-cli ARGS... and returns its standard output; `status` gets
  // the exit status, `err` its standard error.
  std::string Run(std::vector<std::string> args, int& status) {
    const trovik::testing::RunResult r = trovik::testing::RunCli(std::move(args));
    EXPECT_TRUE(r.exited()) << r.describe();
    status = r.exitCode;
    err = r.err;
    return r.out;
  }
  std::string err;
};

TEST_F(DeviceCliTest, ConnectPutLsExistsGet) {
  int status = 0;
  EXPECT_EQ(Run({"device", "connect"}, status), "PDA ON\n");
  EXPECT_EQ(status, 0);
  pc.write("a.txt", "hello");
  pc.write("PDA/Storage Card/Geo/HTM/x", "");
  Run({"device", "put", pc.file("a.txt"), "\\Storage Card\\Geo\\Čaj.txt"}, status);
  EXPECT_EQ(status, 0);
  EXPECT_EQ(CardBytes("Storage Card/Geo/\xC4\x8C" "aj.txt"), "hello");

  // A card with 12 MB and a little left, as its volume reports it.
  setenv("TROVIK_DEVICE_FREE_BYTES", "12583012", 1);
  std::string ls = Run({"device", "ls", "\\Storage Card\\Geo"}, status);
  unsetenv("TROVIK_DEVICE_FREE_BYTES");
  EXPECT_EQ(status, 0);
  auto lines = text::SplitLines(ls);
  ASSERT_EQ(lines.size(), 10u);
  EXPECT_EQ(lines[0], "Názov súboru\tVeľkosť\tDátum a čas\tAttr");
  EXPECT_EQ(lines[1], "..\t<DIR>\t\t");
  EXPECT_EQ(lines[2].substr(0, 10), "HTM\t<DIR>\t");
  EXPECT_EQ(lines[3].substr(0, 11), "Čaj.txt\t5\t");
  EXPECT_EQ(lines[4], "Adresárov:1");
  EXPECT_EQ(lines[5], "Súborov:1");
  EXPECT_EQ(lines[6], "Poč.bytov:5");
  EXPECT_EQ(lines[7], "\\Storage Card\\Geo\\");
  EXPECT_EQ(lines[8].substr(lines[8].size() - 4), "msec");
  EXPECT_EQ(lines[9], "Voľné: 12 MB");

  EXPECT_EQ(Run({"device", "exists", "\\Storage Card\\Geo\\čaj.TXT"}, status), "yes\n");
  EXPECT_EQ(Run({"device", "exists", "\\Storage Card\\Geo\\nie.txt"}, status), "no\n");
  Run({"device", "get", "\\Storage Card\\Geo\\Čaj.txt", pc.file("b.txt")}, status);
  EXPECT_EQ(status, 0);
  EXPECT_EQ(pc.read("b.txt"), "hello");

  // A refused path shows the device's message as an error and fails.
  std::string out = Run({"device", "put", pc.file("a.txt"), "\\..\\x"}, status);
  EXPECT_EQ(status, 1);
  EXPECT_EQ(out, "");
  EXPECT_EQ(err, "Error #123: neviem vytvoriť file v PDA.\nCesty pre su v poriadku \\..\\x?\n");

  // Time stamps the device refuses: a warning, and the copy is done.
  trovik::testing::RunOptions o;
  o.args = {"device", "put", pc.file("a.txt"), "\\Storage Card\\Geo\\t.txt"};
  o.env = {"TROVIK_DEVICE_SETTIME_FAIL=1"};
  const trovik::testing::RunResult stamped = trovik::testing::RunCli(o);
  EXPECT_EQ(stamped.exitCode, 0) << stamped.describe();
  EXPECT_EQ(stamped.out, "");
  EXPECT_EQ(stamped.err, "Cas sa nepodarilo nastavit\n");
  EXPECT_EQ(CardBytes("Storage Card/Geo/t.txt"), "hello");
}

TEST_F(DeviceCliTest, PcListingWithTheSortOptions) {
  pc.write("work/b.txt", "12");
  pc.write("work/a.txt", "1");
  std::filesystem::create_directories(pc.file("work/d"));
  int status = 0;
  auto lines = text::SplitLines(Run({"pcls", pc.file("work"), "--sort", "name", "--desc"}, status));
  EXPECT_EQ(status, 0);
  ASSERT_EQ(lines.size(), 9u);
  EXPECT_EQ(lines[0], "Názov súboru\tVeľkosť\tDátum a čas");
  EXPECT_EQ(lines[1].substr(0, 8), "..\t<DIR>");
  EXPECT_EQ(lines[2].substr(0, 7), "d\t<DIR>");
  EXPECT_EQ(lines[3].substr(0, 7), "b.txt\t2");
  EXPECT_EQ(lines[4].substr(0, 7), "a.txt\t1");
  EXPECT_EQ(lines[7], "Poč.bytov:3");
  EXPECT_EQ(lines[8], pc.file("work"));
}

TEST_F(DeviceCliTest, WithoutTheDeviceConnectSaysOff) {
  setenv("TROVIK_DEVICE_CONNECT", "fail", 1);
  int status = 0;
  EXPECT_EQ(Run({"device", "connect"}, status), "PDA OFF\n");
  EXPECT_EQ(status, 1);
}

}  // namespace
}  // namespace trovik::device::testing
