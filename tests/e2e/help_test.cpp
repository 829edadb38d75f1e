// trovik-cli's help as a user reads it: one aligned line per command, the
// options the page commands share once, a command's whole usage on its own,
// and a mistyped word named with a pointer to the help.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "support/run_program.h"
#include "text/text.h"

namespace trovik::e2e {
namespace {

using testing::RunCli;
using testing::RunResult;

size_t Count(const std::string& text, const std::string& what) {
  size_t n = 0;
  for (size_t at = text.find(what); at != std::string::npos; at = text.find(what, at + 1)) ++n;
  return n;
}

// The column (in characters) where the summary of a command line starts.
size_t SummaryColumn(const std::string& line) {
  const size_t gap = line.find("  ", 2);
  size_t at = line.find_first_not_of(' ', gap);
  size_t column = 0;
  for (size_t i = 0; i < at; ++i) column += (static_cast<unsigned char>(line[i]) & 0xC0) != 0x80;
  return column;
}

TEST(CliHelp, ListsCommandsAlignedSharedOptionsOnceAndEachCommandInFull) {
  RunResult help = RunCli({"--help"});
  ASSERT_EQ(help.exitCode, 0) << help.describe();
  const std::vector<std::string> lines = text::SplitLines(help.out);
  std::vector<std::string> commandLines;
  bool inCommands = false;
  for (const std::string& line : lines) {
    if (line == "Príkazy:") {
      inCommands = true;
      continue;
    }
    if (inCommands && line.empty()) break;
    if (inCommands) commandLines.push_back(line);
  }
  ASSERT_GE(commandLines.size(), 15u) << help.out;
  for (const std::string& line : commandLines) {
    EXPECT_EQ(SummaryColumn(line), SummaryColumn(commandLines[0])) << line;
    EXPECT_EQ(line.back(), '.') << "a short sentence: " << line;
  }
  // Each shared option once in the overview, under its heading with the commands that take it.
  EXPECT_EQ(Count(help.out, "--timeout S"), 1u) << help.out;
  EXPECT_EQ(Count(help.out, "--no-header-pictures"), 1u) << help.out;
  EXPECT_NE(help.out.find("Voľby prehliadača (capture, login, fetch, filter, export, nearby):"), std::string::npos);
  EXPECT_NE(help.out.find("Voľby stránok (filter, export):"), std::string::npos);

  RunResult exportHelp = RunCli({"export", "--help"});
  EXPECT_EQ(exportHelp.exitCode, 0);
  EXPECT_EQ(exportHelp.out.rfind("Použitie: trovik-cli export ", 0), 0u) << exportHelp.out;
  for (const char* option : {"--codes", "--wpt", "--login", "--shrink LIMIT", "--timeout S"})
    EXPECT_NE(exportHelp.out.find(option), std::string::npos) << option << " in\n" << exportHelp.out;
  EXPECT_EQ(RunCli({"help", "export"}).out, exportHelp.out);

  RunResult option = RunCli({"gpx2wpt", "--bogus", "a.gpx"});
  EXPECT_EQ(option.exitCode, 2);
  EXPECT_EQ(option.err, "Neznáma voľba --bogus. Pozri trovik-cli gpx2wpt --help.\n");
  RunResult command = RunCli({"gpx2wtp", "a.gpx"});
  EXPECT_EQ(command.exitCode, 2);
  EXPECT_EQ(command.err, "Neznámy príkaz: gpx2wtp. Pozri trovik-cli --help.\n");
  RunResult before = RunCli({"--bogus", "rot13", "x"});
  EXPECT_EQ(before.exitCode, 2);
  EXPECT_EQ(before.err, "Neznáma voľba --bogus. Pozri trovik-cli --help.\n");
  // A wrong use of a known command is still a usage error.
  EXPECT_EQ(RunCli({"gpx2wpt"}).exitCode, 1);
}

}  // namespace
}  // namespace trovik::e2e
