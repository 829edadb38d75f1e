#pragma once
// The caches both demo sites serve: about thirty hand-written ones around
// Zlaté Moravce (the sample waypoint file's caches) and a few hundred generated
// ones spread over Slovakia for the nearest search. All text is UTF-8.

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace trovik::demo {

enum class CacheType { Traditional, Multi, Unknown, Webcam, Event, Earth, Letterbox, Virtual, Cito, Wherigo };

// The international site's name of a type, always with a blank so that an
// attribute holding it is written in quotes.
const char* TypeNameCom(CacheType type);
// The national site's Slovak name of a type.
const char* TypeNameSk(CacheType type);
// File name of the type's icon on the image server.
std::string TypeIcon(CacheType type);

struct LogEntry {
  std::string date;    // "2005-04-17"
  std::string author;
  int kind = 0;        // 0 found, 1 not found, 2 note
  std::string text;
  std::string picture; // a picture of the log, or empty
};

struct HeaderPicture {
  std::string file;    // file name under /img/cache/
  std::string caption;
};

struct Cache {
  std::string code;
  std::string name;
  std::string owner;
  CacheType type = CacheType::Traditional;
  std::string size;    // "Micro", "Small", "Regular", "Large", "Other", "Virtual"
  double lat = 0;      // decimal degrees, north
  double lon = 0;      // decimal degrees, east
  double difficulty = 1;
  double terrain = 1;
  std::string hidden;  // "2005-03-12"
  bool archived = false;
  bool sample = false; // one of the hand-written caches of the sample file
  std::string description;  // plain text, paragraphs split by "\n"
  std::string hint;         // plain text; "\n" is a line break of the hint
  std::vector<std::string> pagePictures;     // in description order, duplicates allowed
  std::vector<HeaderPicture> headerPictures;
  std::vector<LogEntry> logs;
};

struct Town {
  const char* name;
  double lat;
  double lon;
};

// The towns of the town list, in file order.
const std::vector<Town>& Towns();

enum class PictureFormat { Jpeg, Png, Gif };

// A picture of the image server, drawn when first asked for.
struct PictureRecipe {
  std::string file;   // file name under /img/cache/
  PictureFormat format = PictureFormat::Jpeg;
  int width = 0;
  int height = 0;
  int detail = 0;     // 0 smooth (small file) .. 3 busy (big file)
  std::string label;  // text drawn on the picture
  uint32_t seed = 0;
};

struct NearCache {
  double km;
  double bearing;  // degrees clockwise from north, 0..360
  const Cache* cache;
};

class Catalog {
 public:
  Catalog();  // deterministic: the same caches on every run

  const std::vector<Cache>& all() const { return caches_; }
  // The hand-written sample caches, in file order.
  std::vector<const Cache*> samples() const;
  // By code, ignoring letter case and surrounding blanks; nullptr when unknown.
  const Cache* find(const std::string& code) const;
  // Caches within maxKm of the point, nearest first (ties by code).
  std::vector<NearCache> nearest(double lat, double lon, double maxKm) const;

  const std::vector<PictureRecipe>& pictures() const { return pictures_; }
  const PictureRecipe* findPicture(const std::string& file) const;
  // A picture of the caches, or of the album: "album1.jpg" to "album9999.jpg",
  // landscapes no listing shows, for runs that need many distinct pictures.
  std::optional<PictureRecipe> recipe(const std::string& file) const;

 private:
  void addSamples();
  void addGenerated();
  void addIcons();
  void addPicture(PictureRecipe recipe);

  std::vector<Cache> caches_;
  std::vector<PictureRecipe> pictures_;
};

// Distance (km, on the WGS 84 ellipsoid) and initial bearing from one point to another.
void Inverse(double lat1, double lon1, double lat2, double lon2, double& km, double& bearing);

// The listing's coordinate text: "N 48°23.082' E 018°23.940'".
std::string ListingCoords(double lat, double lon);
// ROT13 of the ASCII letters; everything else stays.
std::string Rot13(const std::string& s);

}  // namespace trovik::demo
