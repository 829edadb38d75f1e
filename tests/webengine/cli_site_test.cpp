// The CLI's site commands as separate runs: exit statuses and a login that
// holds into the next run through the profile's cookies.
#include <gtest/gtest.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>

#include <cstdio>
#include <filesystem>
#include <string>

#include "base/profile.h"
#include "support/demo_site_process.h"
#include "support/temp_dir.h"

namespace trovik::testing {
namespace {

struct CliRun {
  int status = -1;
  std::string out;
};

// `program` with its words; standard error goes to `errFile` (or nowhere).
CliRun RunProgram(const std::string& program, const std::string& args, const std::string& errFile = "/dev/null") {
  const std::string command = program + " " + args + " 2>" + errFile;
  CliRun run;
  FILE* pipe = popen(command.c_str(), "r");
  if (!pipe) return run;
  char buffer[4096];
  size_t n;
  while ((n = fread(buffer, 1, sizeof buffer, pipe)) > 0) run.out.append(buffer, n);
  const int status = pclose(pipe);
  run.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  return run;
}

CliRun Cli(const std::string& args) { return RunProgram(std::string(TROVIK_BIN_DIR) + "/trovik-cli", args); }

// The CLI carries no Qt: the page commands load the engine library when they
// run, quietly, and a CLI without it still does everything else.
TEST(CliSite, OnlyPageCommandsLoadTheEngineAndTheyRunQuietly) {
  const std::string cli = std::string(TROVIK_BIN_DIR) + "/trovik-cli";
  CliRun linked = RunProgram("ldd", cli);
  ASSERT_EQ(linked.status, 0);
  EXPECT_EQ(linked.out.find("libQt"), std::string::npos) << linked.out;

  TempDir dir;
  const std::string page = dir.write("page.html", "<html><body><p>Ahoj</p></body></html>");
  std::filesystem::create_directories(dir.file("home"));
  const std::string home = "--home " + dir.path() + "home ";
  CliRun quiet = RunProgram(cli, home + "capture " + page, dir.file("quiet.err"));
  EXPECT_EQ(quiet.status, 0);
  EXPECT_NE(quiet.out.find("<P>Ahoj</P>"), std::string::npos) << quiet.out;
  EXPECT_EQ(dir.read("quiet.err"), "");
  // A real error still reaches standard error.
  CliRun missing = RunProgram(cli, home + "capture " + dir.file("none.html"), dir.file("missing.err"));
  EXPECT_EQ(missing.status, 1);
  EXPECT_NE(dir.read("missing.err").find("Cannot open file"), std::string::npos);

  // The executable alone, without the engine library beside it.
  std::filesystem::create_directories(dir.file("alone"));
  std::filesystem::copy_file(cli, dir.file("alone/trovik-cli"));
  CliRun tool = RunProgram(dir.file("alone/trovik-cli"), "rot13 Ahoj");
  EXPECT_EQ(tool.status, 0);
  EXPECT_EQ(tool.out, "Nubw\n");
  CliRun needs = RunProgram(dir.file("alone/trovik-cli"), home + "capture " + page, dir.file("needs.err"));
  EXPECT_EQ(needs.status, 1);
  EXPECT_NE(dir.read("needs.err").find("Tento príkaz potrebuje prehliadač"), std::string::npos) << dir.read("needs.err");
}

TEST(CliSite, LoginStatusAndTheLoginHoldsIntoTheNextRun) {
  DemoSiteProcess demo;
  if (!demo.running()) GTEST_SKIP() << "trovik-demo-site is not built";
  TempDir home;
  const std::string common = "--home " + home.path() + " ";
  const std::string sites = " --sk " + demo.address() + "/sk --com " + demo.address() + "/com";

  CliRun bad = Cli(common + "login --site sk --user geocacher --password zle" + sites);
  EXPECT_EQ(bad.status, 1);
  EXPECT_EQ(profile::ReadString(home.file("Trovik.ini"), "Prihlasovanie", "password", "<none>"), "<none>");

  CliRun listing = Cli(common + "capture" + sites + " \"" + demo.address() + "/sk/hladaj.php?query=GC1A2B3\"");
  EXPECT_EQ(listing.status, 0);
  EXPECT_EQ(listing.out.find("<BIG><STRONG>"), std::string::npos);  // coordinates only for logged-in users

  CliRun good = Cli(common + "login --site sk --user geocacher --password trovik" + sites);
  EXPECT_EQ(good.status, 0);
  EXPECT_NE(good.out.find("Ste prihlásený ako užívateľ s menom geocacher"), std::string::npos) << good.out;
  EXPECT_EQ(profile::ReadString(home.file("Trovik.ini"), "Prihlasovanie", "password", "<none>"), "trovik");

  listing = Cli(common + "capture" + sites + " \"" + demo.address() + "/sk/hladaj.php?query=GC1A2B3\"");
  EXPECT_EQ(listing.status, 0);
  EXPECT_NE(listing.out.find("<BIG><STRONG> N 48°24.072' E 018°22.326'</STRONG>"), std::string::npos);
  EXPECT_NE(listing.out.find("odhlásiť"), std::string::npos);

  // The settings' user and password serve when none are given.
  CliRun com = Cli(common + "login --site com" + sites);
  EXPECT_EQ(com.status, 0);
}

// A server that takes the connection and never answers.
TEST(CliSite, APageThatNeverAnswersEndsAtTheTimeOut) {
  int listener = socket(AF_INET, SOCK_STREAM, 0);
  ASSERT_GE(listener, 0);
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  ASSERT_EQ(bind(listener, reinterpret_cast<sockaddr*>(&address), sizeof address), 0);
  ASSERT_EQ(listen(listener, 4), 0);
  socklen_t length = sizeof address;
  getsockname(listener, reinterpret_cast<sockaddr*>(&address), &length);
  const std::string url = "http://127.0.0.1:" + std::to_string(ntohs(address.sin_port)) + "/never";

  TempDir home;
  const auto start = std::chrono::steady_clock::now();
  CliRun run = Cli("--home " + home.path() + " capture --timeout 2 " + url);
  const auto seconds = std::chrono::duration_cast<std::chrono::seconds>(std::chrono::steady_clock::now() - start);
  close(listener);
  EXPECT_EQ(run.status, 0);
  EXPECT_LT(seconds.count(), 30);
}

}  // namespace
}  // namespace trovik::testing
