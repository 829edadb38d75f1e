// The built trovik-demo-site program: it prints its address once it listens,
// serves, and ends cleanly on SIGTERM and SIGINT.

#include <gtest/gtest.h>

#include <signal.h>

#include <cerrno>
#include <chrono>
#include <filesystem>

#include "demo_fixture.h"
#include "support/run_program.h"
#include "support/temp_dir.h"

namespace trovik::demo::testing {
namespace {

using namespace std::chrono_literals;
using trovik::testing::BackgroundProgram;

// The built program with `args`, left running.
class Child : public BackgroundProgram {
 public:
  explicit Child(std::vector<std::string> args)
      : BackgroundProgram(trovik::testing::BinPath("trovik-demo-site"), std::move(args)) {}
};

int PortOf(const std::string& address) {
  const std::string prefix = "http://127.0.0.1:";
  if (address.rfind(prefix, 0) != 0) return 0;
  return std::atoi(address.c_str() + prefix.size());
}

TEST(DemoProgram, PrintsItsAddressServesAndStopsOnSigterm) {
  Child child({"--port", "0"});
  std::string address = child.readLine(15s);
  int port = PortOf(address);
  ASSERT_GT(port, 0) << address;
  httplib::Client http("127.0.0.1", port);
  auto res = http.Get("/sk/index.php");
  ASSERT_TRUE(res);
  EXPECT_EQ(res->status, 200);
  EXPECT_NE(res->body.find("login-b"), std::string::npos);
  EXPECT_EQ(child.stop(SIGTERM, 10s), 0);
  // Nothing listens there any more.
  httplib::Client after("127.0.0.1", port);
  after.set_connection_timeout(1, 0);
  EXPECT_FALSE(after.Get("/sk/index.php"));
}

TEST(DemoProgram, StopsOnSigintRightAfterStarting) {
  Child child({"--port", "0"});
  ASSERT_GT(PortOf(child.readLine(15s)), 0);
  EXPECT_EQ(child.stop(SIGINT, 10s), 0);
}

TEST(DemoProgram, RefusesAPortInUse) {
  // Take a free port from an in-process server, then ask the program for it.
  RunningServer busy;
  Child child({"--port", std::to_string(busy.port())});
  EXPECT_EQ(child.wait(10s), 1);
}

TEST(DemoProgram, RefusesHostsOtherThanLoopbackAndBadArguments) {
  {
    Child child({"--host", "0.0.0.0", "--port", "0"});
    EXPECT_EQ(child.wait(10s), 1);
  }
  {
    Child child({"--port", "http"});
    EXPECT_EQ(child.wait(10s), 2);
  }
  {
    Child child({"--bogus"});
    EXPECT_EQ(child.wait(10s), 2);
  }
  EXPECT_TRUE(IsLoopbackHost("127.0.0.1"));
  EXPECT_TRUE(IsLoopbackHost("127.1.2.3"));
  EXPECT_TRUE(IsLoopbackHost("localhost"));
  EXPECT_FALSE(IsLoopbackHost("128.0.0.1"));
  EXPECT_FALSE(IsLoopbackHost("127.0.0.1.5"));
  EXPECT_FALSE(IsLoopbackHost("127.0.0.256"));
  EXPECT_FALSE(IsLoopbackHost(""));
}

TEST(DemoProgram, DataFolderServesExtraPagesBeforeTheBuiltInOnes) {
  trovik::testing::TempDir dir;
  dir.write("com/seek/saved.htm", "<HTML><BODY>ulozena stranka</BODY></HTML>");
  dir.write("img/cache/vlastna.gif", "GIF89a-own");
  Child child({"--port", "0", "--data", dir.path()});
  int port = PortOf(child.readLine(15s));
  ASSERT_GT(port, 0);
  httplib::Client http("127.0.0.1", port);
  auto saved = http.Get("/com/seek/saved.htm");
  ASSERT_TRUE(saved);
  EXPECT_EQ(saved->body, "<HTML><BODY>ulozena stranka</BODY></HTML>");
  auto own = http.Get("/img/cache/vlastna.gif");
  ASSERT_TRUE(own);
  EXPECT_EQ(own->body, "GIF89a-own");
  auto builtIn = http.Get("/img/cache/typ0.gif");
  ASSERT_TRUE(builtIn);
  EXPECT_EQ(builtIn->status, 200);
  EXPECT_EQ(child.stop(SIGTERM, 10s), 0);

  Child missing({"--port", "0", "--data", dir.file("nie-je")});
  EXPECT_EQ(missing.wait(10s), 1);
}

TEST(DemoProgram, WritesTheSampleDataFiles) {
  trovik::testing::TempDir dir;
  Child child({"--write-wpt", dir.file("a.wpt"), "--write-towns", dir.file("m.ini")});
  ASSERT_EQ(child.wait(20s), 0);
  EXPECT_TRUE(std::filesystem::exists(dir.file("a.wpt")));
  EXPECT_TRUE(std::filesystem::exists(dir.file("m.ini")));
  EXPECT_FALSE(std::filesystem::exists(dir.file("a.wpt.tmp")));

  Child nowhere({"--write-wpt", dir.file("no/such/folder/a.wpt")});
  EXPECT_EQ(nowhere.wait(20s), 1);
}

// The handle the tests' servers run under: a program that shrugs off SIGTERM
// is killed when its handle goes, and nothing is left, not even a zombie.
TEST(BackgroundHandle, EndsAndReapsItsChildWhenItGoes) {
  int pid = 0;
  {
    BackgroundProgram stubborn("sh", {"-c", "trap '' TERM; echo first; echo second; exec sleep 600"});
    ASSERT_TRUE(stubborn.started());
    pid = stubborn.pid();
    EXPECT_EQ(stubborn.readLine(10s), "first");
    EXPECT_EQ(stubborn.readLine(10s), "second");
    EXPECT_EQ(stubborn.stop(SIGTERM, 300ms), -1) << "SIGTERM is ignored";
  }
  EXPECT_EQ(kill(pid, 0), -1);
  EXPECT_EQ(errno, ESRCH);
}

}  // namespace
}  // namespace trovik::demo::testing
