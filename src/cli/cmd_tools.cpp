// Field tools: the converter fields, the distance panel and the hint decoder
// of the tab "Pomôcky Geokešera", one command per field or button.

#include <iostream>
#include <string>
#include <vector>

#include "base/flags.h"
#include "cli/command.h"
#include "tools/coords.h"
#include "tools/hint.h"
#include "tools/tool_tab.h"

namespace trovik::cli {

namespace {

std::vector<std::string> exactly(const Args& args, size_t count, const char* missing) {
  std::vector<std::string> pos = args.positional();
  if (pos.size() < count) throw UsageError{missing};
  if (pos.size() > count) throw UsageError{"Priveľa argumentov."};
  return pos;
}

// The words joined by one blank, as the shell split them.
std::string joined1250(const std::vector<std::string>& words) {
  std::string all;
  for (size_t i = 0; i < words.size(); ++i) all += (i ? " " : "") + words[i];
  return ArgTo1250(all);
}

int deg2dmCommand(Args& args) {
  tools::ToolFields fields;
  RunFlags flags;
  fields.edit9 = ArgTo1250(exactly(args, 1, "Chýbajú súradnice v stupňoch.")[0]);
  tools::Edit9KeyUp(fields, flags);
  PrintLine1250(fields.edit10);
  return 0;
}

int dm2degCommand(Args& args) {
  tools::ToolFields fields;
  fields.edit10 = ArgTo1250(exactly(args, 1, "Chýbajú súradnice v stupňoch a minútach.")[0]);
  tools::Edit10KeyUp(fields);
  PrintLine1250(fields.edit9);
  return 0;
}

int listing2degCommand(Args& args) {
  std::vector<std::string> pos = args.positional();
  if (pos.empty()) throw UsageError{"Chýbajú súradnice z listingu."};
  PrintLine1250(tools::ListingCoordsToDeg(joined1250(pos)));
  return 0;
}

int distanceCommand(Args& args) {
  std::vector<std::string> pos = exactly(args, 4, "Treba štyri čísla: LAT1 LON1 LAT2 LON2.");
  tools::ToolFields fields;
  RunFlags flags;
  fields.edit11 = ArgTo1250(pos[0]);
  fields.edit12 = ArgTo1250(pos[1]);
  fields.edit13 = ArgTo1250(pos[2]);
  fields.edit14 = ArgTo1250(pos[3]);
  tools::SpeedButton16Click(fields, flags);
  PrintLine1250(fields.edit15);
  PrintLine1250(fields.edit16);
  PrintLine1250(fields.edit17);
  return 0;
}

int projectCommand(Args& args) {
  std::vector<std::string> pos = exactly(args, 4, "Treba štyri čísla: LAT1 LON1 UHOL VZDIALENOSŤ.");
  tools::ToolFields fields;
  RunFlags flags;
  fields.edit11 = ArgTo1250(pos[0]);
  fields.edit12 = ArgTo1250(pos[1]);
  fields.edit16 = ArgTo1250(pos[2]);
  fields.edit15 = ArgTo1250(pos[3]);
  PrintLine1250(tools::ProjectionText(fields, flags));
  return 0;
}

int rot13Command(Args& args) {
  std::vector<std::string> pos = args.positional();
  if (!pos.empty()) {
    PrintLine1250(tools::DecodeHint(joined1250(pos)));
    return 0;
  }
  std::string line;
  while (std::getline(std::cin, line)) PrintLine1250(tools::DecodeHint(ArgTo1250(line)));
  return 0;
}

}  // namespace

void RegisterToolCommands(Registry& registry) {
  registry.add({"deg2dm", "deg2dm TEXT", "Stupne (48.123456°) na stupne a minúty, ako pole \"Formát Stupne Minuty\".",
                deg2dmCommand});
  registry.add({"dm2deg", "dm2deg TEXT", "Stupne a minúty (48°07.407') na stupne, ako pole \"Formát Stupne \".",
                dm2degCommand});
  registry.add({"listing2deg", "listing2deg TEXT",
                "Súradnice z listingu (N 48°35.218' E 017°50.628') ako dvojica stupňov.", listing2degCommand});
  registry.add({"distance", "distance LAT1 LON1 LAT2 LON2",
                "Vzdialenosť v metroch, uhol tam a uhol naspäť (Vincentyho metóda).", distanceCommand});
  registry.add({"project", "project LAT1 LON1 UHOL VZDIALENOSŤ",
                "Bod v danom uhle a vzdialenosti od bodu 1 (BOD1+Uhol+vzdialenost=BOD2).", projectCommand});
  registry.add({"rot13", "rot13 [TEXT...]", "Odkóduje zašifrovaný text z argumentov alebo zo štandardného vstupu.",
                rot13Command});
}

}  // namespace trovik::cli
