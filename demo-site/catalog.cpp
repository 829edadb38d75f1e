#include "catalog.h"

#include <GeographicLib/Geodesic.hpp>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <unordered_map>

#include "sample_caches.h"

namespace trovik::demo {

const char* TypeNameCom(CacheType type) {
  switch (type) {
    case CacheType::Traditional: return "Traditional Cache";
    case CacheType::Multi: return "Multi Cache";
    case CacheType::Unknown: return "Unknown Cache";
    case CacheType::Webcam: return "Webcam Cache";
    case CacheType::Event: return "Event Cache";
    case CacheType::Earth: return "Earth Cache";
    case CacheType::Letterbox: return "Letterbox Hybrid";
    case CacheType::Virtual: return "Virtual Cache";
    case CacheType::Cito: return "Cache In Trash Out Event";
    case CacheType::Wherigo: return "Wherigo Cache";
  }
  return "Traditional Cache";
}

const char* TypeNameSk(CacheType type) {
  switch (type) {
    case CacheType::Traditional: return "Tradičná";
    case CacheType::Multi: return "Multi";
    case CacheType::Unknown: return "Záhadná";
    case CacheType::Webcam: return "Webkamera";
    case CacheType::Event: return "Stretávka";
    case CacheType::Earth: return "Earthcache";
    case CacheType::Letterbox: return "Letterbox";
    case CacheType::Virtual: return "Virtuálna";
    case CacheType::Cito: return "Upratovacia stretávka";
    case CacheType::Wherigo: return "Wherigo";
  }
  return "Tradičná";
}

std::string TypeIcon(CacheType type) { return "typ" + std::to_string(static_cast<int>(type)) + ".gif"; }

std::string Rot13(const std::string& s) {
  std::string out = s;
  for (char& c : out) {
    if ((c >= 'a' && c <= 'm') || (c >= 'A' && c <= 'M')) c = static_cast<char>(c + 13);
    else if ((c >= 'n' && c <= 'z') || (c >= 'N' && c <= 'Z')) c = static_cast<char>(c - 13);
  }
  return out;
}

namespace {

std::string DegMin(double value, int degreeDigits) {
  // Thousandths of a minute, rounded once, so 59.9995' never prints as 60.000'.
  long long total = std::llround(value * 60000.0);
  long long deg = total / 60000;
  long long milli = total % 60000;
  char buf[40];
  std::snprintf(buf, sizeof buf, "%0*lld°%02lld.%03lld'", degreeDigits, deg, milli / 1000, milli % 1000);
  return buf;
}

// SplitMix64: the same numbers on every platform, unlike std:: distributions.
class Rng {
 public:
  explicit Rng(uint64_t seed) : state_(seed) {}
  uint64_t next() {
    uint64_t z = (state_ += 0x9E3779B97F4A7C15ull);
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
    return z ^ (z >> 31);
  }
  double uniform() { return static_cast<double>(next() >> 11) / 9007199254740992.0; }
  int below(int n) { return static_cast<int>(next() % static_cast<uint64_t>(n)); }

 private:
  uint64_t state_;
};

std::string Lower(std::string s) {
  for (char& c : s)
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  return s;
}

std::string Upper(std::string s) {
  for (char& c : s)
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
  return s;
}

const char* const kLogAuthors[] = {"Ďuro z Tekova", "KešMajster", "Lesná víla", "mikrobus", "tribečan",
                                   "team Žitava", "Zuzka&Peťo", "hľadač", "Pán Hrad", "zlatomoravčan",
                                   "geológ", "Jožko Mrkvička"};

const char* const kFoundLogs[] = {
    "Našli sme hneď, ďakujeme za pekné miesto!",
    "Po dlhom hľadaní konečne v ruke. Vymenili sme autíčko za pero.",
    "Krásna prechádzka, keška v poriadku, logbook takmer plný.",
    "Ráno za hmly, bolo to ako v rozprávke. TFTC",
    "S deťmi sme ju našli za päť minút, deti sa tešili z pokladu.",
    "Skvelý výhľad, mokrý les. Keška je suchá.",
    "Na bicykli zo Zlatých Moraviec, cestou sme našli ešte dve ďalšie."};
const char* const kDnfLogs[] = {"Hľadali sme pol hodiny, ale muklovia nás vyrušili.",
                                "Nenašli sme, možno je keška preč. Prosím o kontrolu."};
const char* const kNoteLogs[] = {"Keška je mokrá, treba vymeniť logbook.",
                                 "Boli sme tu v zime, sneh po kolená. Skúsime v lete."};

std::vector<LogEntry> MakeLogs(Rng& rng, int count, int year) {
  std::vector<LogEntry> logs;
  for (int n = 0; n < count; ++n) {
    LogEntry log;
    char date[32];
    std::snprintf(date, sizeof date, "%04d-%02d-%02d", year + 1 + n / 4, 1 + rng.below(12), 1 + rng.below(28));
    log.date = date;
    log.author = kLogAuthors[rng.below(static_cast<int>(std::size(kLogAuthors)))];
    int roll = rng.below(10);
    log.kind = roll < 7 ? 0 : (roll < 9 ? 1 : 2);
    if (log.kind == 0) log.text = kFoundLogs[rng.below(static_cast<int>(std::size(kFoundLogs)))];
    else if (log.kind == 1) log.text = kDnfLogs[rng.below(static_cast<int>(std::size(kDnfLogs)))];
    else log.text = kNoteLogs[rng.below(static_cast<int>(std::size(kNoteLogs)))];
    logs.push_back(log);
  }
  return logs;
}

}  // namespace

std::string ListingCoords(double lat, double lon) {
  return "N " + DegMin(lat, 2) + " E " + DegMin(lon, 3);
}

void Inverse(double lat1, double lon1, double lat2, double lon2, double& km, double& bearing) {
  double metres = 0, azi1 = 0, azi2 = 0;
  GeographicLib::Geodesic::WGS84().Inverse(lat1, lon1, lat2, lon2, metres, azi1, azi2);
  km = metres / 1000.0;
  bearing = azi1 < 0 ? azi1 + 360.0 : azi1;
}

Catalog::Catalog() {
  addIcons();
  addSamples();
  addGenerated();
}

void Catalog::addPicture(PictureRecipe recipe) {
  recipe.seed = static_cast<uint32_t>(pictures_.size() * 2654435761u + 12345u);
  pictures_.push_back(std::move(recipe));
}

void Catalog::addIcons() {
  for (int t = 0; t <= static_cast<int>(CacheType::Wherigo); ++t)
    addPicture({TypeIcon(static_cast<CacheType>(t)), PictureFormat::Gif, 32, 32, t, "", 0});
  for (const char* size : {"Micro", "Small", "Regular", "Large", "Other", "Virtual"})
    addPicture({"vel_" + Lower(size) + ".gif", PictureFormat::Gif, 45, 12, 10, "", 0});
  addPicture({"hviezda.gif", PictureFormat::Gif, 12, 12, 20, "", 0});
  addPicture({"log_nasiel.gif", PictureFormat::Gif, 16, 16, 0, "", 0});
  addPicture({"log_nenasiel.gif", PictureFormat::Gif, 16, 16, 3, "", 0});
  addPicture({"log_poznamka.gif", PictureFormat::Gif, 16, 16, 2, "", 0});
  addPicture({"atr_pes.png", PictureFormat::Png, 30, 30, 1, "PES", 0});
  addPicture({"atr_deti.png", PictureFormat::Png, 30, 30, 2, "DETI", 0});
  addPicture({"atr_bicykel.png", PictureFormat::Png, 30, 30, 3, "BIC", 0});
  addPicture({"logo_sk.png", PictureFormat::Png, 120, 40, 4, "GEOKES.SK", 0});
  addPicture({"logo_com.png", PictureFormat::Png, 120, 40, 5, "GEOCACHING", 0});
}

void Catalog::addSamples() {
  const auto& list = SampleCaches();
  for (size_t i = 0; i < list.size(); ++i) {
    const SampleCache& s = list[i];
    Cache c;
    c.code = s.code;
    c.name = s.name;
    c.owner = s.owner;
    c.type = s.type;
    c.size = s.size;
    c.lat = s.lat;
    c.lon = s.lon;
    c.difficulty = s.difficulty;
    c.terrain = s.terrain;
    c.hidden = s.hidden;
    c.archived = s.archived;
    c.sample = true;
    c.description = s.description;
    c.hint = s.hint;

    const std::string base = Lower(c.code);
    // Three sizes of photos: the page filter and the halving rule see
    // pictures below 30000 bytes, between 30000 and 50000, and above 50000.
    static const int widths[] = {320, 480, 640};
    static const int heights[] = {240, 360, 480};
    static const int details[] = {1, 1, 2};
    int cls = static_cast<int>(i % 3);
    addPicture({base + "_foto.jpg", PictureFormat::Jpeg, widths[cls], heights[cls], details[cls], c.code, 0});
    c.pagePictures.push_back(base + "_foto.jpg");
    if (i % 4 == 0) {
      addPicture({base + "_okolie.jpg", PictureFormat::Jpeg, 320, 240, 1, c.code + " OKOLIE", 0});
      c.pagePictures.push_back(base + "_okolie.jpg");
    }
    if (i == 1) {
      addPicture({base + "_plan.png", PictureFormat::Png, 200, 150, 2, "PLAN", 0});
      addPicture({base + "_znak.gif", PictureFormat::Gif, 64, 64, 30, "", 0});
      c.pagePictures.push_back(base + "_plan.png");
      c.pagePictures.push_back(base + "_znak.gif");
    }
    if (i == 7) {
      // A query after the extension: not a page picture for the harvester.
      addPicture({base + "_nahlad.jpg", PictureFormat::Jpeg, 160, 120, 1, "NAHLAD", 0});
      c.pagePictures.push_back(base + "_nahlad.jpg?size=2");
    }
    if (i == 9) c.pagePictures.push_back(base + "_chyba.jpg");  // never existed: 404
    if (i % 5 == 0) c.pagePictures.push_back(base + "_foto.jpg");  // the same picture twice

    if (i % 6 != 5) {
      addPicture({base + "_spoiler.jpg", PictureFormat::Jpeg, i % 2 ? 480 : 640, i % 2 ? 360 : 480, i % 2 ? 1 : 2,
                  c.code + " SPOILER", 0});
      c.headerPictures.push_back({base + "_spoiler.jpg", "Spoiler"});
    }
    if (i % 3 == 0) {
      addPicture({base + "_mapa.png", PictureFormat::Png, 160, 120, 1, "MAPA", 0});
      c.headerPictures.push_back({base + "_mapa.png", "Mapka"});
    }
    if (i == 0) c.headerPictures.push_back({base + "_foto.jpg", "Fotka z listingu"});
    if (i == 3) {
      addPicture({base + "_detail.jpeg", PictureFormat::Jpeg, 320, 240, 2, "DETAIL", 0});
      c.headerPictures.push_back({base + "_detail.jpeg", "Detail"});
    }
    if (i == 10) {
      std::string longName = base + "_pohlad_na_klastor_svateho_hypolita_zo_zobora_v_zime_ked_bolo_vsetko_zasnezene_a_"
                                    "slnko_prave_zapadalo.jpg";
      addPicture({longName, PictureFormat::Jpeg, 400, 300, 1, "ZOBOR", 0});
      c.headerPictures.push_back({longName, "Zobor v zime"});
    }

    Rng rng(1000 + i);
    c.logs = MakeLogs(rng, 2 + static_cast<int>(i % 3), std::stoi(c.hidden.substr(0, 4)));
    if (i % 2 == 0) {
      std::string pic = base + "_log1.jpg";
      addPicture({pic, PictureFormat::Jpeg, 320, 240, 1, c.code + " LOG", 0});
      c.logs[0].picture = pic;
    }
    caches_.push_back(std::move(c));
  }
}

void Catalog::addGenerated() {
  static const char* const objects[] = {
      "Studnička", "Vyhliadka", "Kaplnka", "Starý dub", "Lesná cesta", "Skalka", "Mostík", "Lavička",
      "Krížik", "Pod lipou", "Na hrádzi", "Kameňolom", "Pramenisko", "Stará píla", "Cintorínsky múr",
      "Železničná zastávka", "Hradisko", "Jaskynka", "Poľovnícky posed", "Prístrešok", "Vinohrad",
      "Kaštieľ", "Rozhľadňa", "Meander", "Zvonica", "Altánok", "Ovocný sad", "Mlynský náhon",
      "Kamenný most", "Božia muka"};
  static const char* const owners[] = {"Ďuro z Tekova", "KešMajster", "Lesná víla", "mikrobus", "Pán Hrad",
                                       "geológ", "hľadač", "Zuzka&Peťo", "Marek K.", "Tatranský orol",
                                       "východniar", "Bratislavčan"};
  static const char* const hints[] = {"pod kameňom", "v dutine stromu", "magnetická, na kovovej konštrukcii",
                                      "za tabuľou", "v múre\nvo výške kolien", "pod koreňom", "v kríkoch vpravo",
                                      "prikrytá kôrou"};
  static const char* const sizes[] = {"Micro", "Small", "Regular", "Large", "Other"};
  static const char* const alphabet = "0123456789ABCDEFGHJKMNPQRTVWXYZ";

  Rng rng(20051208);
  int serial = 0;
  for (const Town& town : Towns()) {
    for (int k = 0; k < 6; ++k, ++serial) {
      Cache c;
      int n = serial + 31;  // keeps the codes apart from the sample caches'
      std::string code = "GC3";
      code += alphabet[(n / (31 * 31)) % 31];
      code += alphabet[(n / 31) % 31];
      code += alphabet[n % 31];
      c.code = code;

      double distKm = 1.0 + rng.uniform() * 17.0;
      double bearing = rng.uniform() * 2.0 * M_PI;
      c.lat = town.lat + distKm * std::cos(bearing) / 111.2;
      c.lon = town.lon + distKm * std::sin(bearing) / (111.2 * std::cos(town.lat * M_PI / 180.0));
      c.lat = std::round(c.lat * 100000.0) / 100000.0;
      c.lon = std::round(c.lon * 100000.0) / 100000.0;

      const char* object = objects[rng.below(static_cast<int>(std::size(objects)))];
      std::string name = std::string(object) + " – " + town.name;
      if (serial % 17 == 5) name = std::string(object) + " (" + town.name + ")";
      else if (serial % 23 == 7) name = std::string(object) + " & " + objects[rng.below(10)];
      else if (serial % 29 == 11) name = "Tip <" + std::string(town.name) + "> " + object;
      else if (serial % 31 == 13) name = std::string(object) + " \"" + town.name + "\"";
      c.name = name;
      c.owner = owners[rng.below(static_cast<int>(std::size(owners)))];

      int roll = rng.below(100);
      if (roll < 58) c.type = CacheType::Traditional;
      else if (roll < 72) c.type = CacheType::Multi;
      else if (roll < 84) c.type = CacheType::Unknown;
      else if (roll < 87) c.type = CacheType::Webcam;
      else if (roll < 90) c.type = CacheType::Event;
      else if (roll < 93) c.type = CacheType::Earth;
      else if (roll < 95) c.type = CacheType::Letterbox;
      else if (roll < 97) c.type = CacheType::Virtual;
      else if (roll < 98) c.type = CacheType::Cito;
      else c.type = CacheType::Wherigo;
      bool virtualish = c.type == CacheType::Webcam || c.type == CacheType::Earth || c.type == CacheType::Virtual;
      bool eventish = c.type == CacheType::Event || c.type == CacheType::Cito;
      c.size = virtualish ? "Virtual" : (eventish ? "Other" : sizes[rng.below(4)]);
      c.difficulty = 1.0 + 0.5 * rng.below(8);
      c.terrain = 1.0 + 0.5 * rng.below(8);
      int year = 2001 + rng.below(6);
      char date[32];
      std::snprintf(date, sizeof date, "%04d-%02d-%02d", year, 1 + rng.below(12), 1 + rng.below(28));
      c.hidden = date;
      c.archived = serial % 13 == 4;
      c.description = std::string("Keška v okolí mesta ") + town.name + ". " + object +
                      " stojí za zastávku, aj keď nie je v žiadnom sprievodcovi.\n"
                      "Parkovať sa dá pri ceste, ďalej pešo asi desať minút.";
      c.hint = hints[rng.below(static_cast<int>(std::size(hints)))];
      c.logs = MakeLogs(rng, 1 + rng.below(3), year);
      caches_.push_back(std::move(c));
    }
  }
}

std::vector<const Cache*> Catalog::samples() const {
  std::vector<const Cache*> out;
  for (const Cache& c : caches_)
    if (c.sample) out.push_back(&c);
  return out;
}

const Cache* Catalog::find(const std::string& code) const {
  size_t b = code.find_first_not_of(" \t\r\n");
  size_t e = code.find_last_not_of(" \t\r\n");
  if (b == std::string::npos) return nullptr;
  std::string key = Upper(code.substr(b, e - b + 1));
  for (const Cache& c : caches_)
    if (c.code == key) return &c;
  return nullptr;
}

const PictureRecipe* Catalog::findPicture(const std::string& file) const {
  for (const PictureRecipe& p : pictures_)
    if (p.file == file) return &p;
  return nullptr;
}

std::optional<PictureRecipe> Catalog::recipe(const std::string& file) const {
  if (const PictureRecipe* p = findPicture(file)) return *p;
  // "album" and 1 to 9999 without leading zeros, so each picture has one name.
  const std::string prefix = "album", suffix = ".jpg";
  if (file.size() <= prefix.size() + suffix.size() || file.compare(0, prefix.size(), prefix) != 0 ||
      file.compare(file.size() - suffix.size(), suffix.size(), suffix) != 0)
    return std::nullopt;
  const std::string digits = file.substr(prefix.size(), file.size() - prefix.size() - suffix.size());
  if (digits.size() > 4 || digits[0] == '0') return std::nullopt;
  for (char c : digits)
    if (c < '0' || c > '9') return std::nullopt;
  const int n = std::stoi(digits);
  // The three sizes of the caches' photos, in turn.
  static const int widths[] = {320, 480, 640};
  static const int heights[] = {240, 360, 480};
  static const int details[] = {1, 1, 2};
  const int cls = n % 3;
  return PictureRecipe{file, PictureFormat::Jpeg, widths[cls], heights[cls], details[cls], "ALBUM " + digits,
                       static_cast<uint32_t>(n * 2654435761u + 777u)};
}

std::vector<NearCache> Catalog::nearest(double lat, double lon, double maxKm) const {
  std::vector<NearCache> out;
  for (const Cache& c : caches_) {
    double km = 0, bearing = 0;
    Inverse(lat, lon, c.lat, c.lon, km, bearing);
    if (km <= maxKm) out.push_back({km, bearing, &c});
  }
  std::sort(out.begin(), out.end(), [](const NearCache& a, const NearCache& b) {
    if (a.km != b.km) return a.km < b.km;
    return a.cache->code < b.cache->code;
  });
  return out;
}

}  // namespace trovik::demo
