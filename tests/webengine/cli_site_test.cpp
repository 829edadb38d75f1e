// The CLI's site commands as separate runs: exit statuses and a login that
// holds into the next run through the profile's cookies.
#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <string>
#include <vector>

#include "base/profile.h"
#include "support/demo_site_process.h"
#include "support/run_program.h"
#include "support/silent_server.h"
#include "support/temp_dir.h"

namespace trovik::testing {
namespace {

// trovik-cli ARGS...; each run must end on its own.
RunResult Cli(std::vector<std::string> args) {
  RunResult run = RunCli(std::move(args));
  EXPECT_TRUE(run.exited()) << run.describe();
  return run;
}

// The CLI carries no Qt: the page commands load the engine library when they
// run, quietly, and a CLI without it still does everything else.
TEST(CliSite, OnlyPageCommandsLoadTheEngineAndTheyRunQuietly) {
  const std::string cli = CliPath();
  RunOptions lddOptions;
  lddOptions.args = {cli};
  RunResult linked = RunProgram("ldd", lddOptions);
  ASSERT_EQ(linked.exitCode, 0) << linked.describe();
  EXPECT_EQ(linked.out.find("libQt"), std::string::npos) << linked.out;

  TempDir dir;
  const std::string page = dir.write("page.html", "<html><body><p>Ahoj</p></body></html>");
  std::filesystem::create_directories(dir.file("home"));
  const std::string home = dir.path() + "home";
  RunResult quiet = Cli({"--home", home, "capture", page});
  EXPECT_EQ(quiet.exitCode, 0) << quiet.describe();
  EXPECT_NE(quiet.out.find("<P>Ahoj</P>"), std::string::npos) << quiet.out;
  EXPECT_EQ(quiet.err, "");
  // A real error still reaches standard error.
  RunResult missing = Cli({"--home", home, "capture", dir.file("none.html")});
  EXPECT_EQ(missing.exitCode, 1);
  EXPECT_NE(missing.err.find("Cannot open file"), std::string::npos) << missing.describe();

  // The executable alone, without the engine library beside it.
  std::filesystem::create_directories(dir.file("alone"));
  std::filesystem::copy_file(cli, dir.file("alone/trovik-cli"));
  RunOptions toolOptions;
  toolOptions.args = {"rot13", "Ahoj"};
  RunResult tool = RunProgram(dir.file("alone/trovik-cli"), toolOptions);
  EXPECT_EQ(tool.exitCode, 0);
  EXPECT_EQ(tool.out, "Nubw\n");
  RunOptions needsOptions;
  needsOptions.args = {"--home", home, "capture", page};
  RunResult needs = RunProgram(dir.file("alone/trovik-cli"), needsOptions);
  EXPECT_EQ(needs.exitCode, 1);
  EXPECT_NE(needs.err.find("Tento príkaz potrebuje prehliadač"), std::string::npos) << needs.err;
}

TEST(CliSite, LoginStatusAndTheLoginHoldsIntoTheNextRun) {
  DemoSiteProcess demo;
  ASSERT_TRUE(demo.running()) << "trovik-demo-site did not start";
  TempDir home;
  const std::vector<std::string> common = {"--home", home.path()};
  const std::vector<std::string> sites = {"--sk", demo.address() + "/sk", "--com", demo.address() + "/com"};
  auto args = [&](std::vector<std::string> command) {
    std::vector<std::string> all = common;
    all.insert(all.end(), command.begin(), command.end());
    all.insert(all.end(), sites.begin(), sites.end());
    return all;
  };
  const std::string listingAddress = demo.address() + "/sk/hladaj.php?query=GC1A2B3";

  RunResult bad = Cli(args({"login", "--site", "sk", "--user", "geocacher", "--password", "zle"}));
  EXPECT_EQ(bad.exitCode, 1);
  EXPECT_EQ(profile::ReadString(home.file("Trovik.ini"), "Prihlasovanie", "password", "<none>"), "<none>");
  // An address without the login form: the engine's error reaches the CLI as
  // a failed login, not as a crash.
  RunResult noForm = Cli({"--home", home.path(), "login", "--site", "sk", "--sk", demo.address() + "/none",
                          "--user", "geocacher", "--password", "trovik"});
  EXPECT_EQ(noForm.exitCode, 1) << noForm.describe();
  EXPECT_NE(noForm.err.find("Prihlásenie sa nepodarilo."), std::string::npos) << noForm.describe();

  RunResult listing = Cli(args({"capture", listingAddress}));
  EXPECT_EQ(listing.exitCode, 0);
  EXPECT_EQ(listing.out.find("<BIG><STRONG>"), std::string::npos);  // coordinates only for logged-in users

  RunResult good = Cli(args({"login", "--site", "sk", "--user", "geocacher", "--password", "trovik"}));
  EXPECT_EQ(good.exitCode, 0);
  EXPECT_NE(good.out.find("Ste prihlásený ako užívateľ s menom geocacher"), std::string::npos) << good.out;
  EXPECT_EQ(profile::ReadString(home.file("Trovik.ini"), "Prihlasovanie", "password", "<none>"), "trovik");

  listing = Cli(args({"capture", listingAddress}));
  EXPECT_EQ(listing.exitCode, 0);
  EXPECT_NE(listing.out.find("<BIG><STRONG> N 48°24.072' E 018°22.326'</STRONG>"), std::string::npos);
  EXPECT_NE(listing.out.find("odhlásiť"), std::string::npos);

  // The settings' user and password serve when none are given.
  RunResult com = Cli(args({"login", "--site", "com"}));
  EXPECT_EQ(com.exitCode, 0);
}

// A document-complete handler of the CLI that throws runs inside the engine's
// event dispatch: the error must come out of the command as its own, not
// through Qt's event loop. An SVG document has no body to capture.
TEST(CliSite, AHandlerThatFailsInsideTheEventLoopEndsTheCommandWithItsError) {
  TempDir dir;
  const std::string svg = dir.write("results.svg", "<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"9\" height=\"9\"/>");
  RunResult run = Cli({"--home", dir.path(), "nearby", "--page", svg, "--timeout", "30"});
  EXPECT_EQ(run.signal, 0) << run.describe();
  EXPECT_EQ(run.exitCode, 1) << run.describe();
  EXPECT_EQ(run.err, "The document has no body\n") << run.describe();
}

// A CLI beside an engine library of another interface refuses it by name
// before calling into it, and its other commands still work.
TEST(CliSite, AnEngineLibraryOfAnotherInterfaceIsRefused) {
  TempDir dir;
  std::filesystem::create_directories(dir.file("program"));
  std::filesystem::copy_file(CliPath(), dir.file("program/trovik-cli"));
  std::filesystem::copy_file(TROVIK_OTHER_INTERFACE_ENGINE, dir.file("program/libtrovik-webengine.so"));
  const std::string page = dir.write("page.html", "<html><body><p>Ahoj</p></body></html>");
  RunOptions options;
  options.args = {"--home", dir.path(), "capture", page};
  RunResult refused = RunProgram(dir.file("program/trovik-cli"), options);
  EXPECT_EQ(refused.exitCode, 1) << refused.describe();
  EXPECT_EQ(refused.err.rfind("Tento príkaz potrebuje prehliadač: ", 0), 0u) << refused.describe();
  EXPECT_NE(refused.err.find("libtrovik-webengine.so je z inej verzie programu (rozhranie 0123456789abcdef, "
                             "tento program potrebuje "),
            std::string::npos)
      << refused.describe();
  options.args = {"rot13", "Ahoj"};
  RunResult tool = RunProgram(dir.file("program/trovik-cli"), options);
  EXPECT_EQ(tool.exitCode, 0) << tool.describe();
  EXPECT_EQ(tool.out, "Nubw\n");
}

// A server that takes the connection and never answers.
TEST(CliSite, APageThatNeverAnswersEndsAtTheTimeOut) {
  SilentServer server;
  ASSERT_NE(server.port(), 0);
  const std::string url = server.origin() + "/never";

  TempDir home;
  const auto start = std::chrono::steady_clock::now();
  RunResult run = Cli({"--home", home.path(), "capture", "--timeout", "2", url});
  const auto seconds = std::chrono::duration_cast<std::chrono::seconds>(std::chrono::steady_clock::now() - start);
  EXPECT_EQ(run.exitCode, 0);
  EXPECT_LT(seconds.count(), 30);
}

}  // namespace
}  // namespace trovik::testing
