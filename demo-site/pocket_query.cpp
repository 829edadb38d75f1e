#include "pocket_query.h"

#include <algorithm>
#include <cstdio>
#include <filesystem>

#include "html.h"
#include "pages.h"

namespace trovik::demo {

namespace {

constexpr const char* kCacheNs = "http://www.groundspeak.com/cache/1/0/1";

// An attribute value of the description's HTML.
std::string EscAttr(const std::string& text) {
  std::string out;
  for (char c : Esc(text)) {
    if (c == '"') out += "&quot;";
    else out += c;
  }
  return out;
}

// The catalogue's line breaks in the file's own line ends.
std::string CrLf(const std::string& text) {
  std::string out;
  for (char c : text) {
    if (c == '\n') out += '\r';
    out += c;
  }
  return out;
}

std::string Number(double value) {
  char buf[32];
  std::snprintf(buf, sizeof buf, "%.5f", value);
  return buf;
}

// A stable number for a name (owner and finder ids), the same on every run.
unsigned NameId(const std::string& name) {
  unsigned h = 2166136261u;
  for (unsigned char c : name) h = (h ^ c) * 16777619u;
  return 1000 + h % 8999000;
}

// The query's spelling of the types, where the site's differs.
const char* TypeNamePq(CacheType type) {
  if (type == CacheType::Multi) return "Multi-cache";
  if (type == CacheType::Earth) return "Earthcache";
  return TypeNameCom(type);
}

const char* LogType(int kind) { return kind == 0 ? "Found it" : (kind == 1 ? "Didn't find it" : "Write note"); }

std::vector<std::string> Paragraphs(const std::string& text) {
  std::vector<std::string> out;
  size_t start = 0;
  while (start <= text.size()) {
    size_t end = text.find('\n', start);
    if (end == std::string::npos) end = text.size();
    out.push_back(text.substr(start, end - start));
    start = end + 1;
  }
  return out;
}

// What the owner wrote, as the listing shows it: paragraphs, the page's
// pictures in place, the header pictures as links named by their captions.
std::string LongDescription(const Cache& c, const std::string& base) {
  std::string html;
  for (const std::string& p : Paragraphs(c.description)) html += "<p>" + Esc(p) + "</p>\r\n";
  for (size_t i = 0; i < c.pagePictures.size(); ++i)
    html += "<p><img src=\"" + EscAttr(base + "/img/cache/" + c.pagePictures[i]) + "\" alt=\"Obrázok " +
            std::to_string(i + 1) + "\" /></p>\r\n";
  if (!c.headerPictures.empty()) {
    html += "<p>Obrázky: ";
    for (size_t i = 0; i < c.headerPictures.size(); ++i) {
      if (i) html += " | ";
      html += "<a href=\"" + EscAttr(base + "/img/cache/" + c.headerPictures[i].file) + "\">" +
              Esc(c.headerPictures[i].caption) + "</a>";
    }
    html += "</p>\r\n";
  }
  return html;
}

struct Attribute {
  int id;
  bool present;
  const char* text;
};

// A few attributes per cache, some of them "not", picked by its place in the sample file.
std::vector<Attribute> Attributes(size_t i, const Cache& c) {
  std::vector<Attribute> out;
  if (i % 3 == 0) out.push_back({6, true, "Recommended for kids"});
  if (i % 4 == 1) out.push_back({1, false, "Dogs"});
  if (i % 5 == 2) out.push_back({8, true, "Scenic view"});
  if (i % 2 == 0) out.push_back({25, true, "Parking available"});
  if (i % 7 == 3) out.push_back({15, false, "Available during winter"});
  if (c.terrain >= 3.5) out.push_back({9, true, "Significant hike"});
  if (c.type == CacheType::Event) out.push_back({13, false, "Available at all times"});
  return out;
}

struct TravelBug {
  const char* cache;
  unsigned id;
  const char* ref;
  const char* name;
};

const TravelBug kTravelBugs[] = {{"GC1A2B3", 3001001, "TB2F4K1", "Putovný medveď Mišo"},
                                 {"GC1L3N5", 3001002, "TB3C8D2", "Geocoin Tekov"},
                                 {"GC1L3N5", 3001003, "TB4H7M9", "Žabka na cestách"}};

struct Child {
  const char* cache;
  const char* prefix;   // replaces "GC" in the child's code
  const char* kind;     // after "Waypoint|"
  const char* name;
  const char* note;
  double dLat, dLon;    // from the cache, in degrees
  bool hidden;          // written at 0,0: the owner keeps it secret
};

const Child kChildren[] = {
    {"GC1B7K4", "PK", "Parking Area", "Parkovisko pri kostole v Hostí", "Odtiaľ pešo po modrej značke asi 40 minút.",
     0.00480, -0.03650, false},
    {"GC1B7K4", "ST", "Stages of a Multicache", "Zastávka 1: veža", "Spočítajte okná veže, to je A.", 0.00040,
     -0.00070, false},
    {"GC1B7K4", "FN", "Final Location", "Finálka", "Súradnice vypočítajte zo zastávok.", 0, 0, true},
    {"GC1D0F2", "RP", "Reference Point", "Lavička s výhľadom", "Tu začína hlavolam: prečítajte nápis na lavičke.",
     -0.00210, 0.00180, false},
    {"GC1F4H1", "PK", "Parking Area", "Parkovisko pri vstupe do arboréta", "Vstupné sa platí pri bráne.", -0.00350,
     0.00420, false},
    {"GC1F4H1", "ST", "Stages of a Multicache", "Tabuľa s rokom založenia", "", 0.00120, -0.00090, false},
    {"GC2E7G1", "PK", "Parking Area", "Parkovisko Píla", "V zime sa cesta neudržiava.", -0.02100, -0.01300, false},
    {"GC2E7G1", "TH", "Trailhead", "Začiatok chodníka", "Červená značka na vrchol.", -0.01950, -0.01180, false},
};

std::string Header(const std::string& name, const std::string& desc, const std::string& base,
                   const std::string& bounds) {
  return std::string("<?xml version=\"1.0\" encoding=\"utf-8\"?>\r\n") +
         "<gpx xmlns:xsi=\"http://www.w3.org/2001/XMLSchema-instance\" xmlns:xsd=\"http://www.w3.org/2001/XMLSchema\" "
         "version=\"1.0\" creator=\"Trovik demo site\" xsi:schemaLocation=\"http://www.topografix.com/GPX/1/0 "
         "http://www.topografix.com/GPX/1/0/gpx.xsd " +
         kCacheNs + " " + kCacheNs + "/cache.xsd\" xmlns=\"http://www.topografix.com/GPX/1/0\">\r\n" +
         "  <name>" + Esc(name) + "</name>\r\n" +
         "  <desc>" + Esc(desc) + "</desc>\r\n" +
         "  <author>Account \"geocacher\" From the Trovik demo site</author>\r\n" +
         "  <url>" + Esc(base + "/com/Default.aspx") + "</url>\r\n" +
         "  <urlname>Trovik demo site</urlname>\r\n" +
         // Noon of 15 October 2006, when the sample waypoint file was exported too.
         "  <time>2006-10-15T12:00:00Z</time>\r\n" +
         "  <keywords>cache, geocache</keywords>\r\n" + bounds;
}

std::string Bounds(const std::vector<const Cache*>& caches) {
  double minLat = 90, maxLat = -90, minLon = 180, maxLon = -180;
  for (const Cache* c : caches) {
    minLat = std::min(minLat, c->lat), maxLat = std::max(maxLat, c->lat);
    minLon = std::min(minLon, c->lon), maxLon = std::max(maxLon, c->lon);
  }
  return "  <bounds minlat=\"" + Number(minLat) + "\" minlon=\"" + Number(minLon) + "\" maxlat=\"" + Number(maxLat) +
         "\" maxlon=\"" + Number(maxLon) + "\" />\r\n";
}

std::string ListingAddress(const std::string& base, const Cache& c) {
  return base + "/com/seek/cache_details.aspx?wp=" + c.code;
}

void AppendCache(std::string& out, size_t i, const Cache& c, const std::string& base) {
  const std::string g = "groundspeak:";
  auto element = [&](const std::string& indent, const std::string& name, const std::string& value) {
    out += indent + "<" + g + name + ">" + CrLf(Esc(value)) + "</" + g + name + ">\r\n";
  };
  out += "  <wpt lat=\"" + Number(c.lat) + "\" lon=\"" + Number(c.lon) + "\">\r\n";
  out += "    <time>" + c.hidden + "T00:00:00</time>\r\n";
  out += "    <name>" + c.code + "</name>\r\n";
  out += "    <desc>" + Esc(c.name + " by " + c.owner + ", " + TypeNamePq(c.type) + " (" + FormatRating(c.difficulty) +
                        "/" + FormatRating(c.terrain) + ")") +
         "</desc>\r\n";
  out += "    <url>" + Esc(ListingAddress(base, c)) + "</url>\r\n";
  out += "    <urlname>" + Esc(c.name) + "</urlname>\r\n";
  out += "    <sym>Geocache</sym>\r\n";
  out += std::string("    <type>Geocache|") + TypeNamePq(c.type) + "</type>\r\n";
  out += "    <" + g + "cache id=\"" + std::to_string(200100 + i) + "\" available=\"" +
         (c.archived ? "False" : "True") + "\" archived=\"" + (c.archived ? "True" : "False") + "\" xmlns:groundspeak=\"" +
         kCacheNs + "\">\r\n";
  const std::string in = "      ";
  element(in, "name", c.name);
  element(in, "placed_by", c.owner);
  out += in + "<" + g + "owner id=\"" + std::to_string(NameId(c.owner)) + "\">" + Esc(c.owner) + "</" + g +
         "owner>\r\n";
  element(in, "type", TypeNamePq(c.type));
  element(in, "container", c.size);
  const std::vector<Attribute> attributes = Attributes(i, c);
  if (attributes.empty()) {
    out += in + "<" + g + "attributes />\r\n";
  } else {
    out += in + "<" + g + "attributes>\r\n";
    for (const Attribute& a : attributes)
      out += in + "  <" + g + "attribute id=\"" + std::to_string(a.id) + "\" inc=\"" + (a.present ? "1" : "0") + "\">" +
             a.text + "</" + g + "attribute>\r\n";
    out += in + "</" + g + "attributes>\r\n";
  }
  element(in, "difficulty", FormatRating(c.difficulty));
  element(in, "terrain", FormatRating(c.terrain));
  element(in, "country", "Slovakia");
  element(in, "state", Region(c.lat, c.lon));
  out += in + "<" + g + "short_description html=\"False\">" + Esc(c.name + "\r\n" + Region(c.lat, c.lon) + ", Slovensko") +
         "</" + g + "short_description>\r\n";
  out += in + "<" + g + "long_description html=\"True\">" + Esc(LongDescription(c, base)) + "</" + g +
         "long_description>\r\n";
  element(in, "encoded_hints", c.hint);

  // Newest first, as the site sends them.
  std::vector<size_t> order(c.logs.size());
  for (size_t n = 0; n < order.size(); ++n) order[n] = n;
  std::stable_sort(order.begin(), order.end(),
                   [&](size_t a, size_t b) { return c.logs[a].date > c.logs[b].date; });
  out += in + "<" + g + "logs>\r\n";
  for (size_t n : order) {
    const LogEntry& log = c.logs[n];
    out += in + "  <" + g + "log id=\"" + std::to_string(40000000 + i * 100 + n) + "\">\r\n";
    element(in + "    ", "date", log.date + "T19:00:00Z");
    element(in + "    ", "type", LogType(log.kind));
    out += in + "    <" + g + "finder id=\"" + std::to_string(NameId(log.author)) + "\">" + Esc(log.author) + "</" +
           g + "finder>\r\n";
    out += in + "    <" + g + "text encoded=\"False\">" + Esc(log.text) + "</" + g + "text>\r\n";
    out += in + "  </" + g + "log>\r\n";
  }
  out += in + "</" + g + "logs>\r\n";

  std::string bugs;
  for (const TravelBug& tb : kTravelBugs) {
    if (c.code != tb.cache) continue;
    bugs += in + "  <" + g + "travelbug id=\"" + std::to_string(tb.id) + "\" ref=\"" + tb.ref + "\">\r\n";
    bugs += in + "    <" + g + "name>" + Esc(tb.name) + "</" + g + "name>\r\n";
    bugs += in + "  </" + g + "travelbug>\r\n";
  }
  if (bugs.empty()) out += in + "<" + g + "travelbugs />\r\n";
  else out += in + "<" + g + "travelbugs>\r\n" + bugs + in + "</" + g + "travelbugs>\r\n";
  out += "    </" + g + "cache>\r\n";
  out += "  </wpt>\r\n";
}

}  // namespace

std::string PocketQuery(const Catalog& catalog, const std::string& base) {
  const std::vector<const Cache*> caches = catalog.samples();
  std::string out = Header("Zlaté Moravce 50 km", "Geocache file generated by the Trovik demo site", base,
                           Bounds(caches));
  for (size_t i = 0; i < caches.size(); ++i) AppendCache(out, i, *caches[i], base);
  out += "</gpx>\r\n";
  return out;
}

std::string PocketQueryWaypoints(const Catalog& catalog, const std::string& base) {
  const std::vector<const Cache*> caches = catalog.samples();
  std::string out = Header("Zlaté Moravce 50 km Waypoints", "Geocache waypoints generated by the Trovik demo site",
                           base, Bounds(caches));
  for (const Cache* c : caches) {
    for (const Child& w : kChildren) {
      if (c->code != w.cache) continue;
      const std::string code = w.prefix + c->code.substr(2);
      out += "  <wpt lat=\"" + Number(w.hidden ? 0 : c->lat + w.dLat) + "\" lon=\"" +
             Number(w.hidden ? 0 : c->lon + w.dLon) + "\">\r\n";
      out += "    <time>" + c->hidden + "T00:00:00</time>\r\n";
      out += "    <name>" + code + "</name>\r\n";
      out += "    <cmt>" + Esc(w.note) + "</cmt>\r\n";
      out += "    <desc>" + Esc(w.name) + "</desc>\r\n";
      out += "    <url>" + Esc(ListingAddress(base, *c)) + "</url>\r\n";
      out += std::string("    <urlname>") + w.kind + "</urlname>\r\n";
      out += std::string("    <sym>") + w.kind + "</sym>\r\n";
      out += std::string("    <type>Waypoint|") + w.kind + "</type>\r\n";
      out += "  </wpt>\r\n";
    }
  }
  out += "</gpx>\r\n";
  return out;
}

std::string WaypointsFileFor(const std::string& pocketQueryPath) {
  const std::filesystem::path path(pocketQueryPath);
  return (path.parent_path() / (path.stem().string() + "-wpts.gpx")).string();
}

}  // namespace trovik::demo
