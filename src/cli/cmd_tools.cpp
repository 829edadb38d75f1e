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

std::vector<std::string> Exactly(const Args& args, size_t count, const char* missing) {
  std::vector<std::string> pos = args.positional();
  if (pos.size() < count) throw UsageError{missing};
  if (pos.size() > count) throw UsageError{"Priveľa argumentov."};
  return pos;
}

// The words joined by one blank, as the shell split them.
std::string Joined1250(const std::vector<std::string>& words) {
  std::string all;
  for (size_t i = 0; i < words.size(); ++i) all += (i ? " " : "") + words[i];
  return ArgTo1250(all);
}

int Deg2dm(Args& args) {
  tools::ToolFields fields;
  RunFlags flags;
  fields.edit9 = ArgTo1250(Exactly(args, 1, "Chýbajú súradnice v stupňoch.")[0]);
  tools::Edit9KeyUp(fields, flags);
  PrintLine1250(text::Cp1250::FromBytes(fields.edit10));
  return 0;
}

int Dm2deg(Args& args) {
  tools::ToolFields fields;
  fields.edit10 = ArgTo1250(Exactly(args, 1, "Chýbajú súradnice v stupňoch a minútach.")[0]);
  tools::Edit10KeyUp(fields);
  PrintLine1250(text::Cp1250::FromBytes(fields.edit9));
  return 0;
}

int Listing2deg(Args& args) {
  std::vector<std::string> pos = args.positional();
  if (pos.empty()) throw UsageError{"Chýbajú súradnice z listingu."};
  PrintLine1250(text::Cp1250::FromBytes(tools::ListingCoordsToDeg(Joined1250(pos))));
  return 0;
}

int Distance(Args& args) {
  std::vector<std::string> pos = Exactly(args, 4, "Treba štyri čísla: LAT1 LON1 LAT2 LON2.");
  tools::ToolFields fields;
  RunFlags flags;
  fields.edit11 = ArgTo1250(pos[0]);
  fields.edit12 = ArgTo1250(pos[1]);
  fields.edit13 = ArgTo1250(pos[2]);
  fields.edit14 = ArgTo1250(pos[3]);
  tools::SpeedButton16Click(fields, flags);
  PrintLine1250(text::Cp1250::FromBytes(fields.edit15));
  PrintLine1250(text::Cp1250::FromBytes(fields.edit16));
  PrintLine1250(text::Cp1250::FromBytes(fields.edit17));
  return 0;
}

int Project(Args& args) {
  std::vector<std::string> pos = Exactly(args, 4, "Treba štyri čísla: LAT1 LON1 UHOL VZDIALENOSŤ.");
  tools::ToolFields fields;
  RunFlags flags;
  fields.edit11 = ArgTo1250(pos[0]);
  fields.edit12 = ArgTo1250(pos[1]);
  fields.edit16 = ArgTo1250(pos[2]);
  fields.edit15 = ArgTo1250(pos[3]);
  PrintLine1250(text::Cp1250::FromBytes(tools::ProjectionText(fields, flags)));
  return 0;
}

int Rot13(Args& args) {
  std::vector<std::string> pos = args.positional();
  if (!pos.empty()) {
    PrintLine1250(text::Cp1250::FromBytes(tools::DecodeHint(Joined1250(pos))));
    return 0;
  }
  std::string line;
  while (std::getline(std::cin, line)) PrintLine1250(text::Cp1250::FromBytes(tools::DecodeHint(ArgTo1250(line))));
  return 0;
}

}  // namespace

void RegisterToolCommands(Registry& registry) {
  registry.add({"deg2dm", "deg2dm TEXT", "Stupne na stupne a minúty.", Deg2dm,
                "Stupne (48.123456°) na stupne a minúty, ako pole \"Formát Stupne Minuty\"."});
  registry.add({"dm2deg", "dm2deg TEXT", "Stupne a minúty na stupne.", Dm2deg,
                "Stupne a minúty (48°07.407') na stupne, ako pole \"Formát Stupne \"."});
  registry.add({"listing2deg", "listing2deg TEXT", "Súradnice z listingu ako dvojica stupňov.", Listing2deg,
                "Súradnice z listingu (N 48°35.218' E 017°50.628') ako dvojica stupňov."});
  registry.add({"distance", "distance LAT1 LON1 LAT2 LON2", "Vzdialenosť a uhly medzi dvoma bodmi.", Distance,
                "Vzdialenosť v metroch, uhol tam a uhol naspäť (Vincentyho metóda)."});
  registry.add({"project", "project LAT1 LON1 UHOL VZDIALENOSŤ", "Bod v danom uhle a vzdialenosti od bodu 1.",
                Project, "BOD1+Uhol+vzdialenost=BOD2: vzdialenosť v metroch, uhol v stupňoch."});
  registry.add({"rot13", "rot13 [TEXT...]", "Odkóduje zašifrovaný text.", Rot13,
                "Odkóduje zašifrovaný text z argumentov alebo zo štandardného vstupu, riadok po riadku."});
}

}  // namespace trovik::cli
