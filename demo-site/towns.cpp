// Slovak towns with their positions (decimal degrees, north and east), in the
// order of the town list. The generated caches gather around them.

#include "catalog.h"

namespace trovik::demo {

const std::vector<Town>& Towns() {
  static const std::vector<Town> towns = {
      {"Zlaté Moravce", 48.3853, 18.4000},
      {"Nitra", 48.3069, 18.0864},
      {"Bratislava", 48.1486, 17.1077},
      {"Košice", 48.7164, 21.2611},
      {"Banská Bystrica", 48.7363, 19.1462},
      {"Žilina", 49.2231, 18.7394},
      {"Trnava", 48.3774, 17.5883},
      {"Trenčín", 48.8945, 18.0444},
      {"Prešov", 48.9985, 21.2339},
      {"Martin", 49.0636, 18.9214},
      {"Poprad", 49.0597, 20.2975},
      {"Prievidza", 48.7745, 18.6275},
      {"Zvolen", 48.5762, 19.1371},
      {"Považská Bystrica", 49.1214, 18.4215},
      {"Nové Zámky", 47.9856, 18.1619},
      {"Michalovce", 48.7543, 21.9195},
      {"Spišská Nová Ves", 48.9446, 20.5613},
      {"Komárno", 47.7631, 18.1203},
      {"Levice", 48.2172, 18.6066},
      {"Humenné", 48.9371, 21.9063},
      {"Bardejov", 49.2918, 21.2727},
      {"Liptovský Mikuláš", 49.0830, 19.6120},
      {"Ružomberok", 49.0748, 19.3038},
      {"Piešťany", 48.5918, 17.8270},
      {"Topoľčany", 48.5614, 18.1735},
      {"Lučenec", 48.3309, 19.6671},
      {"Rimavská Sobota", 48.3823, 20.0222},
      {"Dunajská Streda", 47.9927, 17.6199},
      {"Čadca", 49.4380, 18.7896},
      {"Dubnica nad Váhom", 48.9592, 18.1708},
      {"Pezinok", 48.2894, 17.2667},
      {"Partizánske", 48.6275, 18.3764},
      {"Šaľa", 48.1513, 17.8771},
      {"Hlohovec", 48.4307, 17.8031},
      {"Senica", 48.6797, 17.3669},
      {"Brezno", 48.8053, 19.6389},
      {"Snina", 48.9881, 22.1567},
      {"Rožňava", 48.6609, 20.5316},
      {"Dolný Kubín", 49.2098, 19.2953},
      {"Bánovce nad Bebravou", 48.7186, 18.2578},
      {"Kežmarok", 49.1356, 20.4294},
      {"Skalica", 48.8453, 17.2257},
      {"Stará Ľubovňa", 49.2990, 20.6866},
      {"Galanta", 48.1901, 17.7275},
      {"Sereď", 48.2864, 17.7353},
      {"Vranov nad Topľou", 48.8883, 21.6847},
      {"Trebišov", 48.6283, 21.7187},
      {"Malacky", 48.4361, 17.0219},
      {"Levoča", 49.0255, 20.5880},
      {"Banská Štiavnica", 48.4493, 18.9100},
      {"Kremnica", 48.7047, 18.9184},
      {"Žiar nad Hronom", 48.5915, 18.8537},
      {"Detva", 48.5603, 19.4197},
      {"Myjava", 48.7554, 17.5683},
      {"Vráble", 48.2436, 18.3086},
      {"Štúrovo", 47.7985, 18.7180},
      {"Svidník", 49.3056, 21.5678},
      {"Námestovo", 49.4075, 19.4800},
      {"Nová Baňa", 48.4278, 18.6393},
      {"Šahy", 48.0717, 18.9497},
  };
  return towns;
}

}  // namespace trovik::demo
