// The built trovik-demo-site program: it prints its address once it listens,
// serves, and ends cleanly on SIGTERM and SIGINT.

#include <gtest/gtest.h>

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <thread>

#include "demo_fixture.h"
#include "support/temp_dir.h"

namespace trovik::demo::testing {
namespace {

const std::string kProgram = std::string(TROVIK_BIN_DIR) + "/trovik-demo-site";

class Child {
 public:
  explicit Child(std::vector<std::string> args) {
    int out[2];
    if (pipe(out) != 0) return;
    pid_ = fork();
    if (pid_ == 0) {
      dup2(out[1], 1);
      close(out[0]);
      close(out[1]);
      std::vector<char*> argv;
      std::string program = kProgram;
      argv.push_back(program.data());
      for (std::string& a : args) argv.push_back(a.data());
      argv.push_back(nullptr);
      execv(program.c_str(), argv.data());
      _exit(127);
    }
    close(out[1]);
    out_ = out[0];
  }
  ~Child() {
    if (pid_ > 0 && !reaped_) {
      kill(pid_, SIGKILL);
      waitpid(pid_, nullptr, 0);
    }
    if (out_ >= 0) close(out_);
  }

  // The first line of standard output, waiting at most `ms`.
  std::string firstLine(int ms) {
    std::string line;
    auto until = std::chrono::steady_clock::now() + std::chrono::milliseconds(ms);
    while (std::chrono::steady_clock::now() < until) {
      pollfd p{out_, POLLIN, 0};
      if (poll(&p, 1, 50) <= 0) continue;
      char c;
      if (read(out_, &c, 1) != 1) break;
      if (c == '\n') return line;
      line += c;
    }
    return line;
  }

  // Exit status after a signal, or -1 when it did not end within `ms`.
  int stopWith(int sig, int ms) {
    kill(pid_, sig);
    return waitFor(ms);
  }
  int waitFor(int ms) {
    auto until = std::chrono::steady_clock::now() + std::chrono::milliseconds(ms);
    while (std::chrono::steady_clock::now() < until) {
      int status = 0;
      pid_t r = waitpid(pid_, &status, WNOHANG);
      if (r == pid_) {
        reaped_ = true;
        return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
      }
      std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    return -1;
  }

 private:
  pid_t pid_ = -1;
  int out_ = -1;
  bool reaped_ = false;
};

int PortOf(const std::string& address) {
  const std::string prefix = "http://127.0.0.1:";
  if (address.rfind(prefix, 0) != 0) return 0;
  return std::atoi(address.c_str() + prefix.size());
}

TEST(DemoProgram, PrintsItsAddressServesAndStopsOnSigterm) {
  Child child({"--port", "0"});
  std::string address = child.firstLine(15000);
  int port = PortOf(address);
  ASSERT_GT(port, 0) << address;
  httplib::Client http("127.0.0.1", port);
  auto res = http.Get("/sk/index.php");
  ASSERT_TRUE(res);
  EXPECT_EQ(res->status, 200);
  EXPECT_NE(res->body.find("login-b"), std::string::npos);
  EXPECT_EQ(child.stopWith(SIGTERM, 10000), 0);
  // Nothing listens there any more.
  httplib::Client after("127.0.0.1", port);
  after.set_connection_timeout(1, 0);
  EXPECT_FALSE(after.Get("/sk/index.php"));
}

TEST(DemoProgram, StopsOnSigintRightAfterStarting) {
  Child child({"--port", "0"});
  ASSERT_GT(PortOf(child.firstLine(15000)), 0);
  EXPECT_EQ(child.stopWith(SIGINT, 10000), 0);
}

TEST(DemoProgram, RefusesAPortInUse) {
  // Take a free port from an in-process server, then ask the program for it.
  RunningServer busy;
  Child child({"--port", std::to_string(busy.port())});
  EXPECT_EQ(child.waitFor(10000), 1);
}

TEST(DemoProgram, RefusesHostsOtherThanLoopbackAndBadArguments) {
  {
    Child child({"--host", "0.0.0.0", "--port", "0"});
    EXPECT_EQ(child.waitFor(10000), 1);
  }
  {
    Child child({"--port", "http"});
    EXPECT_EQ(child.waitFor(10000), 2);
  }
  {
    Child child({"--bogus"});
    EXPECT_EQ(child.waitFor(10000), 2);
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
  int port = PortOf(child.firstLine(15000));
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
  EXPECT_EQ(child.stopWith(SIGTERM, 10000), 0);

  Child missing({"--port", "0", "--data", dir.file("nie-je")});
  EXPECT_EQ(missing.waitFor(10000), 1);
}

TEST(DemoProgram, WritesTheSampleDataFiles) {
  trovik::testing::TempDir dir;
  Child child({"--write-wpt", dir.file("a.wpt"), "--write-towns", dir.file("m.ini")});
  ASSERT_EQ(child.waitFor(20000), 0);
  EXPECT_TRUE(std::filesystem::exists(dir.file("a.wpt")));
  EXPECT_TRUE(std::filesystem::exists(dir.file("m.ini")));
  EXPECT_FALSE(std::filesystem::exists(dir.file("a.wpt.tmp")));

  Child nowhere({"--write-wpt", dir.file("no/such/folder/a.wpt")});
  EXPECT_EQ(nowhere.waitFor(20000), 1);
}

}  // namespace
}  // namespace trovik::demo::testing
