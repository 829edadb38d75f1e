// Writes a made-up pocket-query style GPX file: a header, then N pretty-printed
// caches with a cache extension (descriptions, hint, logs), about 1.3 kB each.
// Usage: gen_gpx OUT.gpx [COUNT]   (COUNT defaults to 50000)

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

namespace {

uint64_t state = 0x9E3779B97F4A7C15ull;
uint32_t next() {
  state ^= state << 13;
  state ^= state >> 7;
  state ^= state << 17;
  return static_cast<uint32_t>(state >> 11);
}
uint32_t below(uint32_t n) {
  return next() % n;
}

const char* const kWords[] = {"mlyn",   "hrad",    "studnička", "vyhliadka", "kostol",    "potok", "lúka",
                              "skala",  "jaskyňa", "most",      "kaplnka",   "rozhľadňa", "chata", "sad",
                              "údolie", "cesta",   "kameň",     "prameň",    "vrch",      "žľab",  "ôsmy"};
const char* const kNames[] = {"Jano", "Zuzka", "Peťo", "Mária", "Ľubo", "Katka", "Ďuri", "Šimon"};
const char* const kTypes[] = {"Traditional Cache", "Multi-cache", "Unknown Cache", "Earthcache", "Letterbox Hybrid"};
const char* const kLogTypes[] = {"Found it", "Didn't find it", "Write note"};
const char* const kSizes[] = {"Micro", "Small", "Regular", "Large", "Other"};

std::string words(int n) {
  std::string s;
  for (int i = 0; i < n; ++i) {
    if (i) s += ' ';
    s += kWords[below(sizeof kWords / sizeof *kWords)];
  }
  return s;
}

std::string coord(double base, double span) {
  char buf[32];
  std::snprintf(buf, sizeof buf, "%.6f", base + span * (next() % 1000000) / 1000000.0);
  return buf;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2) {
    std::fprintf(stderr, "usage: gen_gpx OUT.gpx [COUNT]\n");
    return 1;
  }
  long count = argc > 2 ? std::strtol(argv[2], nullptr, 10) : 50000;
  std::FILE* f = std::fopen(argv[1], "wb");
  if (!f) {
    std::perror(argv[1]);
    return 1;
  }
  std::fprintf(f,
               "<?xml version=\"1.0\" encoding=\"utf-8\"?>\r\n"
               "<gpx xmlns:xsi=\"http://www.w3.org/2001/XMLSchema-instance\" xmlns:xsd=\"http://www.w3.org/2001/"
               "XMLSchema\" version=\"1.0\" creator=\"Trovik bench\" xmlns=\"http://www.topografix.com/GPX/1/0\">\r\n"
               "  <name>Bench Query</name>\r\n"
               "  <desc>Made-up caches for the conversion benchmark</desc>\r\n"
               "  <author>Trovik</author>\r\n"
               "  <time>2026-01-01T00:00:00Z</time>\r\n"
               "  <keywords>cache, geocache</keywords>\r\n"
               "  <bounds minlat=\"47.7\" minlon=\"16.8\" maxlat=\"49.6\" maxlon=\"22.6\" />\r\n");
  for (long i = 0; i < count; ++i) {
    std::string code = "GC" + std::to_string(100000 + i);
    std::string title = words(1 + static_cast<int>(below(2)));
    const char* owner = kNames[below(8)];
    const char* type = kTypes[below(5)];
    std::fprintf(f, "  <wpt lat=\"%s\" lon=\"%s\">\r\n", coord(47.7, 1.9).c_str(), coord(16.8, 5.8).c_str());
    std::fprintf(f, "    <time>2019-%02u-%02uT00:00:00</time>\r\n", 1 + below(12), 1 + below(28));
    std::fprintf(f, "    <name>%s</name>\r\n", code.c_str());
    std::fprintf(f, "    <desc>%s by %s, %s (%u/%u)</desc>\r\n", title.c_str(), owner, type, 1 + below(5),
                 1 + below(5));
    std::fprintf(f, "    <urlname>%s</urlname>\r\n", title.c_str());
    std::fprintf(f, "    <sym>Geocache</sym>\r\n");
    std::fprintf(f, "    <type>Geocache|%s</type>\r\n", type);
    std::fprintf(f,
                 "    <tc:cache id=\"%ld\" available=\"True\" archived=\"False\" "
                 "xmlns:tc=\"http://example.org/cache/1/0\">\r\n",
                 1000 + i);
    std::fprintf(f, "      <tc:name>%s</tc:name>\r\n", title.c_str());
    std::fprintf(f, "      <tc:placed_by>%s</tc:placed_by>\r\n", owner);
    std::fprintf(f, "      <tc:owner id=\"%u\">%s</tc:owner>\r\n", 500 + below(9000), owner);
    std::fprintf(f, "      <tc:type>%s</tc:type>\r\n", type);
    std::fprintf(f, "      <tc:container>%s</tc:container>\r\n", kSizes[below(5)]);
    std::fprintf(f, "      <tc:difficulty>%u</tc:difficulty>\r\n", 1 + below(5));
    std::fprintf(f, "      <tc:terrain>%u</tc:terrain>\r\n", 1 + below(5));
    std::fprintf(f, "      <tc:state>Nitriansky kraj</tc:state>\r\n");
    std::fprintf(f, "      <tc:short_description html=\"False\">%s</tc:short_description>\r\n", words(3).c_str());
    std::fprintf(
        f,
        "      <tc:long_description html=\"True\">&lt;p&gt;%s&lt;/p&gt;&lt;p&gt;%s&lt;/p&gt;</tc:long_description>\r\n",
        words(4).c_str(), words(2).c_str());
    std::fprintf(f, "      <tc:encoded_hints>%s</tc:encoded_hints>\r\n", words(3).c_str());
    std::fprintf(f, "      <tc:logs>\r\n");
    for (int k = 0; k < 1; ++k) {
      std::fprintf(f, "        <tc:log id=\"%u\">\r\n", next() % 90000000);
      std::fprintf(f, "          <tc:date>2024-%02u-%02uT12:00:00</tc:date>\r\n", 1 + below(12), 1 + below(28));
      std::fprintf(f, "          <tc:type>%s</tc:type>\r\n", kLogTypes[below(3)]);
      std::fprintf(f, "          <tc:finder id=\"%u\">%s</tc:finder>\r\n", below(90000), kNames[below(8)]);
      std::fprintf(f, "          <tc:text encoded=\"False\">%s</tc:text>\r\n",
                   words(1 + static_cast<int>(below(3))).c_str());
      std::fprintf(f, "        </tc:log>\r\n");
    }
    std::fprintf(f, "      </tc:logs>\r\n");
    std::fprintf(f, "    </tc:cache>\r\n");
    std::fprintf(f, "  </wpt>\r\n");
  }
  std::fprintf(f, "</gpx>\r\n");
  return std::fclose(f) == 0 ? 0 : 1;
}
