// trovik-cli [--home DIR] COMMAND [options]: the window's commands without a window.

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <exception>
#include <string>

#include "app/lifecycle.h"
#include "app/main_state.h"
#include "base/error.h"
#include "base/paths.h"
#include "cli/command.h"

namespace {

using trovik::cli::Registry;

void printUsage(const Registry& registry) {
  std::printf("Použitie: trovik-cli [--home DIR] [--verbose] PRÍKAZ [voľby]\n       trovik-cli --version\n\nPríkazy:\n");
  for (const auto& c : registry.commands()) std::printf("  %-44s %s\n", c.usage.c_str(), c.summary.c_str());
  std::printf("\nKaždý príkaz má --help.\n");
}

}  // namespace

int main(int argc, char** argv) {
  Registry registry;
  trovik::cli::RegisterWaypointCommands(registry);
  trovik::cli::RegisterToolCommands(registry);
  trovik::cli::RegisterSiteCommands(registry);
  trovik::cli::RegisterPageCommands(registry);
  trovik::cli::RegisterFilePageCommands(registry);
  trovik::cli::RegisterNearbyCommands(registry);
  trovik::cli::RegisterDeviceCommands(registry);

  int i = 1;
  bool verbose = false;
  for (; i < argc; ++i) {
    std::string a = argv[i];
    std::string home;
    if (a == "--verbose") {
      verbose = true;
      continue;
    }
    if (a == "--home" && i + 1 < argc) {
      home = argv[++i];
    } else if (a.rfind("--home=", 0) == 0) {
      home = a.substr(7);
    } else {
      break;
    }
    trovik::paths::SetProgramFolder(home);
    // The device library finds its default root through the same variable.
    ::setenv("TROVIK_HOME", trovik::paths::ProgramFolder().c_str(), 1);
  }
  if (i < argc && std::strcmp(argv[i], "--version") == 0) {
    std::printf("Trovik %s\n", trovik::app::VersionText().c_str());
    return 0;
  }
  if (i >= argc || std::strcmp(argv[i], "--help") == 0 || std::strcmp(argv[i], "help") == 0) {
    printUsage(registry);
    return i >= argc ? 1 : 0;
  }
  // Before any command writes: what killed runs left behind goes.
  trovik::app::RemoveLeftoverTemps(trovik::app::ProgramFolder1250());
  const auto* command = registry.find(argv[i]);
  if (!command) {
    std::fprintf(stderr, "Neznámy príkaz: %s\n", argv[i]);
    printUsage(registry);
    return 1;
  }
  trovik::cli::Args args;
  for (int k = i + 1; k < argc; ++k) args.items.emplace_back(argv[k]);
  args.verbose = args.flag("--verbose") || verbose;
  if (args.flag("--help")) {
    std::printf("Použitie: trovik-cli %s\n\n%s\n", command->usage.c_str(), command->summary.c_str());
    return 0;
  }
  try {
    return command->run(args);
  } catch (const trovik::Error& e) {
    trovik::cli::PrintError1250(e.text());
  } catch (const trovik::cli::UsageError& e) {
    std::fprintf(stderr, "%s\nPoužitie: trovik-cli %s\n", e.text.c_str(), command->usage.c_str());
  } catch (const std::exception& e) {
    std::fprintf(stderr, "%s\n", e.what());
  }
  return 1;
}
