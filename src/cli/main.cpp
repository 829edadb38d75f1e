// trovik-cli [--home DIR] COMMAND [options]: the window's commands without a window.

#include <cstdio>
#include <cstdlib>
#include <exception>
#include <string>

#include "app/lifecycle.h"
#include "app/main_state.h"
#include "base/error.h"
#include "base/paths.h"
#include "cli/command.h"

int main(int argc, char** argv) {
  using trovik::cli::Registry;
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
  if (i >= argc) {
    std::fputs(registry.overview().c_str(), stderr);
    return 2;
  }
  const std::string word = argv[i];
  if (word == "--version") {
    std::printf("Trovik %s\n", trovik::app::VersionText().c_str());
    return 0;
  }
  // "help COMMAND" is "COMMAND --help".
  const bool helpWord = word == "help" && i + 1 < argc;
  if (word == "--help" || (word == "help" && !helpWord)) {
    std::fputs(registry.overview().c_str(), stdout);
    return 0;
  }
  const std::string name = helpWord ? argv[i + 1] : word;
  const auto* command = registry.find(name);
  if (!command) {
    std::fprintf(stderr, "%s %s. Pozri trovik-cli --help.\n",
                 name.rfind('-', 0) == 0 ? "Neznáma voľba" : "Neznámy príkaz:", name.c_str());
    return 2;
  }
  trovik::cli::Args args;
  for (int k = i + 1; k < argc; ++k) args.items.emplace_back(argv[k]);
  args.verbose = args.flag("--verbose") || verbose;
  if (helpWord || args.flag("--help")) {
    std::fputs(Registry::usageOf(*command).c_str(), stdout);
    return 0;
  }
  // Before any command writes: what killed runs left behind goes.
  trovik::app::RemoveLeftoverTemps(trovik::app::ProgramFolder1250());
  try {
    return command->run(args);
  } catch (const trovik::Error& e) {
    trovik::cli::PrintError1250(trovik::text::Cp1250::FromBytes(e.text()));
  } catch (const trovik::cli::UsageError& e) {
    std::fprintf(stderr, "%s\nPoužitie: trovik-cli %s\n", e.text.c_str(), command->usage.c_str());
  } catch (const trovik::cli::UnknownArgument& e) {
    std::fprintf(stderr, "%s Pozri trovik-cli %s --help.\n", e.text.c_str(), command->name.c_str());
    return 2;
  } catch (const std::exception& e) {
    std::fprintf(stderr, "%s\n", e.what());
  }
  return 1;
}
