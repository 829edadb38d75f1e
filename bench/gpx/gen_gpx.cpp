// Writes a made-up pocket-query style GPX file: a header, then N pretty-printed
// caches with a cache extension (descriptions, hint, logs), about 1.3 kB each.
// Usage: gen_gpx OUT.gpx [COUNT] [--pq] [--pictures URL N]   (COUNT defaults to 50000)
//   --pq            the cache extension in the pocket queries' own namespace and
//                   prefix, so readers of cache descriptions take it (by default
//                   it is a made-up one that only the waypoint conversion reads)
//   --pictures URL N  N pictures in each long description, the demo site's album
//                   at URL: cache i shows URL/img/cache/album<i*N+1>.jpg ... , all distinct

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
  long count = 50000;
  bool pq = false;
  std::string pictureBase;
  long picturesPerCache = 0;
  const char* out = nullptr;
  for (int i = 1; i < argc; ++i) {
    const std::string a = argv[i];
    if (a == "--pq") {
      pq = true;
    } else if (a == "--pictures" && i + 2 < argc) {
      pictureBase = argv[++i];
      picturesPerCache = std::strtol(argv[++i], nullptr, 10);
    } else if (!out) {
      out = argv[i];
    } else {
      count = std::strtol(argv[i], nullptr, 10);
    }
  }
  if (!out || count < 0 || picturesPerCache < 0 || picturesPerCache * count > 9999) {
    std::fprintf(stderr, "usage: gen_gpx OUT.gpx [COUNT] [--pq] [--pictures URL N]   (at most 9999 pictures)\n");
    return 1;
  }
  const char* tc = pq ? "groundspeak" : "tc";
  const char* ns = pq ? "http://www.groundspeak.com/cache/1/0/1" : "http://example.org/cache/1/0";
  std::FILE* f = std::fopen(out, "wb");
  if (!f) {
    std::perror(out);
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
    // In the pocket queries' namespace each cache is written aside and its prefix renamed.
    char* buffer = nullptr;
    size_t length = 0;
    std::FILE* c = pq ? open_memstream(&buffer, &length) : f;
    std::string code = "GC" + std::to_string(100000 + i);
    std::string title = words(1 + static_cast<int>(below(2)));
    const char* owner = kNames[below(8)];
    const char* type = kTypes[below(5)];
    std::fprintf(c, "  <wpt lat=\"%s\" lon=\"%s\">\r\n", coord(47.7, 1.9).c_str(), coord(16.8, 5.8).c_str());
    std::fprintf(c, "    <time>2019-%02u-%02uT00:00:00</time>\r\n", 1 + below(12), 1 + below(28));
    std::fprintf(c, "    <name>%s</name>\r\n", code.c_str());
    std::fprintf(c, "    <desc>%s by %s, %s (%u/%u)</desc>\r\n", title.c_str(), owner, type, 1 + below(5),
                 1 + below(5));
    std::fprintf(c, "    <urlname>%s</urlname>\r\n", title.c_str());
    std::fprintf(c, "    <sym>Geocache</sym>\r\n");
    std::fprintf(c, "    <type>Geocache|%s</type>\r\n", type);
    std::fprintf(c, "    <%s:cache id=\"%ld\" available=\"True\" archived=\"False\" xmlns:%s=\"%s\">\r\n", tc, 1000 + i,
                 tc, ns);
    std::fprintf(c, "      <tc:name>%s</tc:name>\r\n", title.c_str());
    std::fprintf(c, "      <tc:placed_by>%s</tc:placed_by>\r\n", owner);
    std::fprintf(c, "      <tc:owner id=\"%u\">%s</tc:owner>\r\n", 500 + below(9000), owner);
    std::fprintf(c, "      <tc:type>%s</tc:type>\r\n", type);
    std::fprintf(c, "      <tc:container>%s</tc:container>\r\n", kSizes[below(5)]);
    std::fprintf(c, "      <tc:difficulty>%u</tc:difficulty>\r\n", 1 + below(5));
    std::fprintf(c, "      <tc:terrain>%u</tc:terrain>\r\n", 1 + below(5));
    std::fprintf(c, "      <tc:state>Nitriansky kraj</tc:state>\r\n");
    std::fprintf(c, "      <tc:short_description html=\"False\">%s</tc:short_description>\r\n", words(3).c_str());
    std::string pictures;
    for (long k = 0; k < picturesPerCache; ++k)
      pictures += "&lt;p&gt;&lt;img src=\"" + pictureBase + "/img/cache/album" +
                  std::to_string(i * picturesPerCache + k + 1) + ".jpg\" /&gt;&lt;/p&gt;";
    std::fprintf(
        c,
        "      <tc:long_description html=\"True\">&lt;p&gt;%s&lt;/p&gt;&lt;p&gt;%s&lt;/p&gt;%s</tc:long_description>\r\n",
        words(4).c_str(), words(2).c_str(), pictures.c_str());
    std::fprintf(c, "      <tc:encoded_hints>%s</tc:encoded_hints>\r\n", words(3).c_str());
    std::fprintf(c, "      <tc:logs>\r\n");
    for (int k = 0; k < 1; ++k) {
      std::fprintf(c, "        <tc:log id=\"%u\">\r\n", next() % 90000000);
      std::fprintf(c, "          <tc:date>2024-%02u-%02uT12:00:00</tc:date>\r\n", 1 + below(12), 1 + below(28));
      std::fprintf(c, "          <tc:type>%s</tc:type>\r\n", kLogTypes[below(3)]);
      std::fprintf(c, "          <tc:finder id=\"%u\">%s</tc:finder>\r\n", below(90000), kNames[below(8)]);
      std::fprintf(c, "          <tc:text encoded=\"False\">%s</tc:text>\r\n",
                   words(1 + static_cast<int>(below(3))).c_str());
      std::fprintf(c, "        </tc:log>\r\n");
    }
    std::fprintf(c, "      </tc:logs>\r\n");
    std::fprintf(c, "    </tc:cache>\r\n");
    std::fprintf(c, "  </wpt>\r\n");
    if (pq) {
      std::fclose(c);
      std::string text(buffer, length);
      std::free(buffer);
      std::string renamed;
      renamed.reserve(text.size() + 512);
      for (size_t at = 0; at < text.size();) {
        if (text.compare(at, 4, "<tc:") == 0) {
          renamed += "<groundspeak:";
          at += 4;
        } else if (text.compare(at, 5, "</tc:") == 0) {
          renamed += "</groundspeak:";
          at += 5;
        } else {
          renamed += text[at++];
        }
      }
      std::fwrite(renamed.data(), 1, renamed.size(), f);
    }
  }
  std::fprintf(f, "</gpx>\r\n");
  return std::fclose(f) == 0 ? 0 : 1;
}
