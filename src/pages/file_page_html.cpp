// The text of a page made from a waypoint file, and of the run's index. Built
// as UTF-8 and converted once, so an owner's emoji or Cyrillic survives as a
// character reference in the 1250 page.

#include <algorithm>
#include <cmath>
#include <cstdio>

#include "base/clock.h"
#include "pages/file_pages.h"
#include "text/text.h"
#include "tools/coords.h"
#include "tools/geodesy.h"
#include "waypoints/cache_lists.h"

namespace trovik::pages {

namespace {

using waypoints::CacheRecord;
using waypoints::GeoPoint;

std::string Escape(std::string_view s) { return text::EscapeHtml(s); }

// Plain text with its line breaks kept.
std::string EscapeLines(std::string_view s) {
  std::string out = Escape(s);
  std::string joined;
  joined.reserve(out.size());
  for (size_t i = 0; i < out.size(); ++i) {
    if (out[i] == '\r') {
      if (i + 1 < out.size() && out[i + 1] == '\n') ++i;
      joined += "<BR>\r\n";
    } else if (out[i] == '\n') {
      joined += "<BR>\r\n";
    } else {
      joined += out[i];
    }
  }
  return joined;
}

// One coordinate as the program writes degrees and minutes: "48°20.000'",
// longitudes with three degree digits as the listings show them.
std::string DegMin(double value, int degreeDigits) {
  const double a = std::fabs(value);
  long long thousandths = std::llround(a * 60000.0);  // minutes x 1000 overall
  const long long degrees = thousandths / 60000;
  thousandths %= 60000;
  char buf[48];
  std::snprintf(buf, sizeof buf, "%0*lld°%02lld.%03lld'", degreeDigits, degrees, thousandths / 1000,
                thousandths % 1000);
  return buf;
}

std::string Position(const GeoPoint& p) {
  return std::string(p.lat < 0 ? "S " : "N ") + DegMin(p.lat, 2) + (p.lon < 0 ? " W " : " E ") + DegMin(p.lon, 3);
}

std::string Decimal(const GeoPoint& p) {
  char buf[64];
  std::snprintf(buf, sizeof buf, "%.5f, %.5f", p.lat, p.lon);
  return buf;
}

std::string Row(const char* label, const std::string& valueUtf8) {
  if (valueUtf8.empty()) return "";
  return "<TR><TD><B>" + std::string(label) + "</B></TD><TD>" + Escape(valueUtf8) + "</TD></TR>\r\n";
}

std::string Header(const std::string& titleUtf8) {
  return "<!DOCTYPE HTML PUBLIC \"-//W3C//DTD HTML 4.01 Transitional//EN\">\r\n"
         "<HTML><HEAD>\r\n"
         "<META http-equiv=\"Content-Type\" content=\"text/html; charset=windows-1250\">\r\n"
         // Owner HTML is sanitized already; this keeps any browser that honours it from running code.
         "<META http-equiv=\"Content-Security-Policy\" content=\"script-src 'none'; object-src 'none'\">\r\n"
         "<TITLE>" +
         Escape(titleUtf8) + "</TITLE>\r\n</HEAD>\r\n<BODY>\r\n";
}

std::string Footer(const std::string& sourceFile) {
  const clock::LocalTime now = clock::Now();
  char date[32];
  std::snprintf(date, sizeof date, "%d.%d.%04d %02d:%02d", now.day, now.month, now.year, now.hour, now.minute);
  std::string made = "<HR><SMALL>Stránka vytvorená ";
  if (!sourceFile.empty()) made += "zo súboru " + Escape(sourceFile) + " ";
  return made + date + "</SMALL>\r\n</BODY></HTML>\r\n";
}

std::string Date(const std::string& iso) { return iso.substr(0, std::min<size_t>(iso.size(), 10)); }

void Descriptions(std::string& page, const CachePageInput& in) {
  const size_t shortCount = in.shortDescription.pictures.size();
  auto slice = [&](size_t from, size_t count) {
    std::vector<std::string> s;
    for (size_t i = from; i < from + count && i < in.sources.size(); ++i) s.push_back(in.sources[i]);
    while (s.size() < count) s.emplace_back();
    return s;
  };
  const std::string shortHtml = in.shortDescription.Render(slice(0, shortCount));
  const std::string longHtml = in.longDescription.Render(slice(shortCount, in.longDescription.pictures.size()));
  if (!shortHtml.empty()) page += "<DIV class=\"short\">\r\n" + shortHtml + "\r\n</DIV>\r\n";
  if (!longHtml.empty()) page += "<DIV class=\"long\">\r\n" + longHtml + "\r\n</DIV>\r\n";
}

void Children(std::string& page, const CacheRecord& c) {
  if (c.children.empty()) return;
  page += "<H3>Body</H3>\r\n<TABLE border=\"1\" cellpadding=\"2\" cellspacing=\"0\">\r\n"
          "<TR><TH>Druh</TH><TH>Názov</TH><TH>Poloha</TH><TH>Poznámka</TH></TR>\r\n";
  for (const auto& w : c.children) {
    const std::string where = w.position ? Position(*w.position) : "bez súradníc";
    std::string name = w.name;
    if (!w.code.empty()) name = name.empty() ? w.code : w.code + " " + name;
    page += "<TR><TD>" + Escape(w.kind) + "</TD><TD>" + Escape(name) + "</TD><TD>" + Escape(where) + "</TD><TD>" +
            EscapeLines(w.note) + "</TD></TR>\r\n";
  }
  page += "</TABLE>\r\n";
}

void Logs(std::string& page, const CacheRecord& c, int limit) {
  if (c.logs.empty() || limit == 0) return;
  page += "<H3>Záznamy</H3>\r\n";
  int shown = 0;
  for (const auto& log : c.logs) {
    if (limit >= 0 && shown++ >= limit) break;
    page += "<P><B>" + Escape(Date(log.date)) + " " + Escape(log.type) + "</B> " + Escape(log.finder) + "<BR>\r\n" +
            EscapeLines(log.text) + "</P>\r\n";
  }
}

std::string DirectionName(double azimuth) {
  static const char* const names[] = {"S", "SV", "V", "JV", "J", "JZ", "Z", "SZ"};
  double a = std::fmod(azimuth + 360.0, 360.0);
  return names[static_cast<int>(std::floor((a + 22.5) / 45.0)) % 8];
}

}  // namespace

std::string CachePageHtml(const CachePageInput& in) {
  const CacheRecord& c = in.cache;
  std::string page = Header(c.code + " " + c.name);
  page += "<H2>" + Escape(c.name) + "</H2>\r\n";
  if (c.archived)
    page += "<P><FONT color=\"#CC0000\"><B>Archivovaná</B></FONT></P>\r\n";
  else if (!c.available)
    page += "<P><FONT color=\"#CC0000\"><B>Dočasne nedostupná</B></FONT></P>\r\n";
  page += "<TABLE>\r\n";
  page += Row("Kód", c.code);
  page += Row("Typ", c.type);
  page += Row("Veľkosť", c.container);
  if (!c.difficulty.empty() || !c.terrain.empty())
    page += Row("Obtiažnosť / terén", c.difficulty + " / " + c.terrain);
  page += Row("Vlastník", c.owner.empty() ? c.placedBy : c.owner);
  page += Row("Založená", Date(c.placed));
  std::string where = c.country;
  if (!c.state.empty()) where += where.empty() ? c.state : ", " + c.state;
  page += Row("Krajina", where);
  page += Row(c.original ? "Opravená poloha" : "Poloha", Position(c.position) + " (" + Decimal(c.position) + ")");
  if (c.original) page += Row("Pôvodná poloha", Position(*c.original) + " (" + Decimal(*c.original) + ")");
  page += Row("Veľkosť (OC)", c.ocSize);
  page += Row("Čas na trase", c.ocTripTime.empty() ? "" : c.ocTripTime + " h");
  page += "</TABLE>\r\n";
  if (!c.attributes.empty()) {
    std::string words;
    for (const auto& a : c.attributes) {
      if (!words.empty()) words += ", ";
      words += a.present ? a.text : "nie: " + a.text;
    }
    page += "<P><B>Atribúty:</B> " + Escape(words) + "</P>\r\n";
  }
  Descriptions(page, in);
  if (!c.hint.empty()) page += "<H3>Nápoveda</H3>\r\n<P>" + EscapeLines(c.hint) + "</P>\r\n";
  Children(page, c);
  Logs(page, c, in.logs);
  if (!c.travelBugs.empty()) {
    page += "<H3>Predmety v keške</H3>\r\n<UL>\r\n";
    for (const auto& tb : c.travelBugs) page += "<LI>" + Escape(tb.ref + " " + tb.name) + "</LI>\r\n";
    page += "</UL>\r\n";
  }
  if (!c.userNote.empty()) page += "<H3>Moja poznámka</H3>\r\n<P>" + EscapeLines(c.userNote) + "</P>\r\n";
  page += Footer(in.sourceFile);
  return page;
}

text::Cp1250 IndexHtml(const std::vector<IndexEntry>& entries, const std::optional<GeoPoint>& home, bool byDistance) {
  struct Keyed {
    std::string key;
    double distance = 0, azimuth = 0;
    const IndexEntry* entry;
  };
  std::vector<Keyed> rows;
  rows.reserve(entries.size());
  for (const auto& e : entries) {
    Keyed k{text::CollationKey(text::Utf8To1250(e.name)) + '\1' + e.code, 0, 0, &e};
    if (home) {
      const tools::Bearings b = tools::DistanceAndBearings(home->lat, home->lon, e.position.lat, e.position.lon);
      k.distance = b.distance, k.azimuth = b.forwardAzimuth;
    }
    rows.push_back(std::move(k));
  }
  std::stable_sort(rows.begin(), rows.end(), [byDistance](const Keyed& a, const Keyed& b) {
    if (byDistance && a.distance != b.distance) return a.distance < b.distance;
    return a.key < b.key;
  });
  // Converted a row at a time: an index of 50,000 caches is never held in both encodings.
  std::string out;
  std::string page = Header(byDistance ? "Kešky podľa vzdialenosti" : "Kešky");
  page += std::string("<H2>") + (byDistance ? "Kešky podľa vzdialenosti" : "Kešky") + "</H2>\r\n";
  if (home) {
    page += "<P>Domov: " + Escape(Position(*home)) + " &nbsp; <A href=\"" +
            std::string(byDistance ? "index.htm\">podľa názvu" : "index-vzdialenost.htm\">podľa vzdialenosti") +
            "</A></P>\r\n";
  }
  page += "<TABLE border=\"1\" cellpadding=\"2\" cellspacing=\"0\">\r\n<TR><TH>Názov</TH><TH>Kód</TH><TH>Typ</TH>"
          "<TH>Veľkosť</TH><TH>O/T</TH>";
  if (home) page += "<TH>Vzdialenosť</TH><TH>Smer</TH>";
  page += "</TR>\r\n";
  for (const auto& r : rows) {
    out += text::Utf8To1250Html(page);
    page.clear();
    const IndexEntry& e = *r.entry;
    // The page's name is 1250 already; the row is converted from UTF-8 as a whole.
    page += "<TR><TD><A href=\"" + Escape(text::Cp1250ToUtf8(e.page.bytes())) + "\">" + Escape(e.name) +
            "</A></TD><TD>" + Escape(e.code) + "</TD><TD>" + Escape(e.type) + "</TD><TD>" + Escape(e.container) +
            "</TD><TD>" + Escape(e.difficulty + "/" + e.terrain) + "</TD>";
    if (home) {
      char buf[64];
      std::snprintf(buf, sizeof buf, "%.1f km", r.distance / 1000.0);
      const double az = std::fmod(r.azimuth + 360.0, 360.0);
      // At home itself a direction means nothing.
      const std::string direction = r.distance < 1.0 ? "" : DirectionName(r.azimuth) + " " +
                                    std::to_string(static_cast<int>(std::lround(az)) % 360) + "°";
      page += std::string("<TD align=\"right\">") + buf + "</TD><TD>" + direction + "</TD>";
    }
    page += "</TR>\r\n";
  }
  page += "</TABLE>\r\n";
  page += Footer("");
  out += text::Utf8To1250Html(page);
  return text::Cp1250::FromBytes(std::move(out));
}

text::Cp1250 FilePageName(const CacheRecord& cache, bool codeFromName) {
  // The waypoint's line as the GPX conversion writes it: name and description
  // as the file has them (entities unresolved), the fields the list reads.
  auto raw = [](const std::string& s) {
    std::string out;
    for (char c : s) {
      if (c == '&') out += "&amp;";
      else if (c == '<') out += "&lt;";
      else if (c == '>') out += "&gt;";
      else out += c;
    }
    return text::Utf8To1250(out);
  };
  const std::string name = raw(cache.waypointName);
  const std::string line = "0," + name + ", 0, 0, 0,117,0,3,0,65535," + raw(cache.waypointDescription) +
                           ",0,0,0,0, 6, 0,17,0,10.0,2,,,";
  std::string entry;
  if (auto listed = waypoints::ListEntry(line, codeFromName))
    entry = listed->name;
  else
    entry = text::Trim(name.substr(0, name.find(',')));  // an export's own name
  for (char& c : entry) {
    if (c == '/' || c == ':' || c == ';' || c == '?' || c == '\\') c = '_';
  }
  return text::Cp1250::FromBytes(std::move(entry));
}

std::optional<GeoPoint> ParseHomePosition(const text::Cp1250& position) {
  // "N 48°20.000' E 018°05.000'": hemisphere, degrees, degree sign, minutes.
  const std::string t = text::Trim(position.bytes());
  size_t i = 0;
  auto skipBlanks = [&] {
    while (i < t.size() && t[i] == ' ') ++i;
  };
  auto part = [&](char positive, char negative, double limit) -> std::optional<double> {
    skipBlanks();
    if (i >= t.size()) return std::nullopt;
    const char h = static_cast<char>(text::UpperCase(std::string(1, t[i]))[0]);
    if (h != positive && h != negative) return std::nullopt;
    ++i;
    skipBlanks();
    size_t start = i;
    while (i < t.size() && t[i] >= '0' && t[i] <= '9') ++i;
    if (i == start || i >= t.size() || t[i] != tools::kDegree) return std::nullopt;
    const double degrees = std::stod(t.substr(start, i - start));
    ++i;
    skipBlanks();
    start = i;
    while (i < t.size() && ((t[i] >= '0' && t[i] <= '9') || t[i] == '.' || t[i] == ',')) ++i;
    if (i == start) return std::nullopt;
    std::string minutesText = t.substr(start, i - start);
    std::replace(minutesText.begin(), minutesText.end(), ',', '.');
    if (std::count(minutesText.begin(), minutesText.end(), '.') > 1) return std::nullopt;
    const double minutes = std::stod(minutesText);
    if (i < t.size() && t[i] == '\'') ++i;
    const double value = degrees + minutes / 60.0;
    if (minutes >= 60.0 || value > limit) return std::nullopt;
    return h == negative ? -value : value;
  };
  const auto lat = part('N', 'S', 90.0);
  if (!lat) return std::nullopt;
  const auto lon = part('E', 'W', 180.0);
  if (!lon) return std::nullopt;
  skipBlanks();
  if (i != t.size()) return std::nullopt;
  return GeoPoint{*lat, *lon};
}

}  // namespace trovik::pages
