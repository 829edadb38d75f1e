#include "waypoints/gpx_caches.h"

#include <charconv>
#include <filesystem>
#include <unordered_map>
#include <unordered_set>
#include <utility>

#include "base/error.h"
#include "text/text.h"
#include "waypoints/gpx_wpt_reader.h"

namespace trovik::waypoints {

namespace {

std::optional<double> ParseCoordinate(std::string_view s, double limit) {
  std::string t = text::Trim(s);
  std::string_view v = t;
  if (!v.empty() && v.front() == '+') v.remove_prefix(1);
  double d = 0;
  auto [end, ec] = std::from_chars(v.data(), v.data() + v.size(), d);
  if (ec != std::errc() || end != v.data() + v.size() || v.empty() || !(d >= -limit && d <= limit)) return std::nullopt;
  return d;
}

std::optional<GeoPoint> ParsePoint(std::string_view lat, std::string_view lon) {
  auto a = ParseCoordinate(lat, 90), b = ParseCoordinate(lon, 180);
  if (!a || !b) return std::nullopt;
  return GeoPoint{*a, *b};
}

void TrimInPlace(std::string& s) {
  if (!s.empty() && (static_cast<unsigned char>(s.front()) <= ' ' || static_cast<unsigned char>(s.back()) <= ' '))
    s = text::Trim(s);
}

ChildWaypoint ChildOf(Wpt& w) {
  ChildWaypoint c;
  c.code = w.code();
  std::string type = text::Trim(w.type);
  c.kind = text::StartsWith(type, "Waypoint|") ? type.substr(9) : text::Trim(w.sym);
  c.name = text::Trim(w.desc);
  c.note = text::Trim(w.cmt);
  auto p = ParsePoint(w.lat, w.lon);
  if (p && !(p->lat == 0 && p->lon == 0)) c.position = p;
  return c;
}

CacheRecord RecordOf(Wpt& w) {
  CacheRecord r = std::move(w.rec);
  r.code = w.code();
  r.waypointName = text::Trim(w.name);
  r.waypointDescription = text::Trim(w.desc);
  r.position = ParsePoint(w.lat, w.lon).value_or(GeoPoint{});
  if (!w.latBefore.empty() || !w.lonBefore.empty()) r.original = ParsePoint(w.latBefore, w.lonBefore);
  r.line = w.line;
  for (std::string* s : {&r.name, &r.placedBy, &r.owner, &r.type, &r.container, &r.difficulty, &r.terrain, &r.country,
                         &r.state, &r.placed, &r.url, &r.hint, &r.ocSize, &r.ocTripTime})
    TrimInPlace(*s);
  for (CacheAttribute& a : r.attributes) TrimInPlace(a.text);
  for (CacheLog& l : r.logs) {
    TrimInPlace(l.date);
    TrimInPlace(l.type);
    TrimInPlace(l.finder);
  }
  for (TravelBug& b : r.travelBugs) TrimInPlace(b.name);
  return r;
}

// What follows the first two characters: the pocket query's children share it with their cache.
std::string_view Tail(std::string_view code) {
  return code.size() > 2 ? code.substr(2) : std::string_view();
}

// "<stem>-wpts.gpx" beside "<stem>.gpx", "" when there is none.
std::string CompanionPath(const std::string& pathUtf8) {
  namespace fs = std::filesystem;
  fs::path p(pathUtf8);
  std::string ext = p.extension().string(), stem = p.stem().string();
  if (!text::SameTextAscii(ext, ".gpx") || text::LowerCase(stem).ends_with("-wpts")) return "";
  for (const std::string& e : {ext, std::string(".gpx")}) {
    fs::path candidate = p.parent_path() / (stem + "-wpts" + e);
    std::error_code ec;
    if (fs::is_regular_file(candidate, ec)) return candidate.string();
  }
  return "";
}

struct PendingChild {
  std::string parent;  // the database's Parent, else ""
  ChildWaypoint child;
};

}  // namespace

std::string NoCacheDescriptionsText() {
  return "Súbor neobsahuje popisy kešiek"_1250.bytes();
}

GpxReadReport ReadGpxCaches(const std::string& pathUtf8, const GpxReadOptions& options,
                            const std::function<bool(CacheRecord&&)>& onCache) {
  GpxReadReport report;
  std::unordered_set<std::string> cacheCodes, named;
  std::unordered_map<std::string, std::string> byTail;  // first cache of each tail
  std::vector<PendingChild> pending;
  const auto child = [&pending](Wpt& w) {
    pending.push_back({text::Trim(w.gsakParent), ChildOf(w)});
    return true;
  };

  // First pass: the whole file checked, its codes and children known.
  ReadWpts(pathUtf8, WptPass::Identity, 0, [&](Wpt& w) {
    ++report.waypoints;
    if (!w.hasCache) return child(w);
    ++report.caches;
    std::string code = w.code();
    byTail.emplace(Tail(code), code);
    if (!cacheCodes.insert(code).second && named.insert(code).second) report.duplicates.push_back(code);
    return true;
  });
  if (report.caches == 0) throw Error(text::Cp1250::FromBytes(NoCacheDescriptionsText()));
  if (options.companionWaypoints) {
    if (std::string companion = CompanionPath(pathUtf8); !companion.empty()) {
      ReadWpts(companion, WptPass::Identity, 0, [&](Wpt& w) { return w.hasCache || child(w); });
    }
  }
  std::unordered_map<std::string, std::vector<ChildWaypoint>> byParent;
  for (PendingChild& p : pending) {
    if (cacheCodes.count(p.child.code)) continue;  // a cache again, not a child
    std::string parent = p.parent;
    if (parent.empty()) {
      auto it = byTail.find(std::string(Tail(p.child.code)));
      if (it == byTail.end()) continue;
      parent = it->second;
    }
    if (cacheCodes.count(parent)) byParent[parent].push_back(std::move(p.child));
  }
  // What only the first pass needed goes before the second, which is where a
  // large run's memory peaks.
  pending = {};
  byTail = {};
  named = {};

  // Second pass: the caches, in file order, their children attached.
  std::unordered_set<std::string> wanted;
  for (const std::string& c : options.codes) wanted.insert(text::UpperCase(text::Trim(c)));
  if (options.onTotal) {
    long total = 0;
    for (const std::string& code : cacheCodes) total += wanted.empty() || wanted.count(text::UpperCase(code)) ? 1 : 0;
    options.onTotal(total);
  }
  size_t met = 0;
  ReadWpts(pathUtf8, WptPass::Caches, options.maxLogs, [&](Wpt& w) {
    if (!w.hasCache) return true;
    std::string code = w.code();
    if (cacheCodes.erase(code) == 0) return true;  // met before: the first occurrence made the page
    if (!wanted.empty() && !wanted.count(text::UpperCase(code))) return true;
    CacheRecord r = RecordOf(w);
    if (auto it = byParent.find(code); it != byParent.end()) r.children = std::move(it->second);
    return onCache(std::move(r)) && (wanted.empty() || ++met < wanted.size());
  });
  return report;
}

std::vector<std::string> GpxWaypointCodes(const std::string& pathUtf8) {
  std::vector<std::string> codes;
  ReadWpts(pathUtf8, WptPass::Identity, 0, [&codes](Wpt& w) {
    // A child waypoint's own code does not make it a cache of the list.
    codes.push_back(w.hasCache ? w.code() : std::string());
    return true;
  });
  return codes;
}

}  // namespace trovik::waypoints
