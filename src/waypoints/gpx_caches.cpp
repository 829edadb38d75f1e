#include "waypoints/gpx_caches.h"

#include <charconv>
#include <filesystem>
#include <unordered_map>
#include <unordered_set>
#include <utility>

#include "base/error.h"
#include "text/text.h"
#include "tools/hint.h"
#include "waypoints/xml_stream.h"

namespace trovik::waypoints {

namespace {

// A text field keeps at most this much, a cache's texts together about
// four times as much (logs beyond it are left out), so one waypoint of a
// hostile file cannot take the memory a whole export is read in.
constexpr size_t kMaxField = 16u << 20;
constexpr size_t kCacheBudget = 64u << 20;

enum class Tag : uint8_t {
  Other, Wpt, Name, Desc, Cmt, Time, Url, Link, Sym, Type,
  GsCache, GsName, GsPlacedBy, GsOwner, GsType, GsContainer, GsDifficulty, GsTerrain, GsCountry, GsState,
  GsAttributes, GsAttribute, GsShort, GsLong, GsHints, GsLogs, GsLog, GsDate, GsFinder, GsText,
  GsTravelBugs, GsTravelBug,
  GsakCode, GsakParent, GsakUserData, GsakLatBefore, GsakLonBefore,
  OcCache, OcSize, OcTripTime,
};

struct Named {
  std::string_view local;
  Tag tag;
};

constexpr Named kGpxTags[] = {{"wpt", Tag::Wpt},   {"name", Tag::Name}, {"desc", Tag::Desc}, {"cmt", Tag::Cmt},
                              {"time", Tag::Time}, {"url", Tag::Url},   {"link", Tag::Link}, {"sym", Tag::Sym},
                              {"type", Tag::Type}};
constexpr Named kCacheTags[] = {
    {"cache", Tag::GsCache},         {"name", Tag::GsName},
    {"placed_by", Tag::GsPlacedBy},  {"owner", Tag::GsOwner},
    {"type", Tag::GsType},           {"container", Tag::GsContainer},
    {"difficulty", Tag::GsDifficulty}, {"terrain", Tag::GsTerrain},
    {"country", Tag::GsCountry},     {"state", Tag::GsState},
    {"attributes", Tag::GsAttributes}, {"attribute", Tag::GsAttribute},
    {"short_description", Tag::GsShort}, {"long_description", Tag::GsLong},
    {"encoded_hints", Tag::GsHints}, {"logs", Tag::GsLogs},
    {"log", Tag::GsLog},             {"date", Tag::GsDate},
    {"finder", Tag::GsFinder},       {"text", Tag::GsText},
    {"travelbugs", Tag::GsTravelBugs}, {"travelbug", Tag::GsTravelBug}};
constexpr Named kGsakTags[] = {{"Code", Tag::GsakCode},
                               {"Parent", Tag::GsakParent},
                               {"UserData", Tag::GsakUserData},
                               {"LatBeforeCorrect", Tag::GsakLatBefore},
                               {"LonBeforeCorrect", Tag::GsakLonBefore}};
constexpr Named kOcTags[] = {{"cache", Tag::OcCache}, {"size", Tag::OcSize}, {"trip_time", Tag::OcTripTime}};

template <size_t N>
Tag Find(const Named (&table)[N], std::string_view local) {
  for (const Named& n : table)
    if (n.local == local) return n.tag;
  return Tag::Other;
}

Tag TagOf(std::string_view ns, std::string_view local) {
  if (ns == "http://www.topografix.com/GPX/1/0" || ns == "http://www.topografix.com/GPX/1/1")
    return Find(kGpxTags, local);
  if (ns == "http://www.groundspeak.com/cache/1/0" || ns == "http://www.groundspeak.com/cache/1/0/1" ||
      ns == "http://www.groundspeak.com/cache/1/1")
    return Find(kCacheTags, local);
  // The database's extension has gone through six versions with the same elements.
  if (ns.size() == 27 && text::StartsWith(ns, "http://www.gsak.net/xmlv1/") && ns[26] >= '1' && ns[26] <= '6')
    return Find(kGsakTags, local);
  if (ns == "http://www.opencaching.com/xmlschemas/opencaching/1/0") return Find(kOcTags, local);
  return Tag::Other;
}

bool IsTrue(const char* value) { return value && text::SameTextAscii(text::Trim(value), "True"); }

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

// One <wpt> as read: what every pass needs, and the cache in the pass that wants it.
struct Wpt {
  std::string lat, lon;
  std::string name, desc, cmt, sym, type;
  std::string gsakCode, gsakParent, latBefore, lonBefore;
  bool hasCache = false;
  long line = 0;
  CacheRecord rec;

  std::string code() const { return !gsakCode.empty() ? text::Trim(gsakCode) : text::Trim(name); }
};

enum class Pass { Identity, Caches };

class GpxHandler : public XmlHandler {
 public:
  // `sink` gets each <wpt> at its end and returns false to end the reading.
  GpxHandler(Pass pass, int maxLogs, std::function<bool(Wpt&)> sink)
      : pass_(pass), maxLogs_(maxLogs), sink_(std::move(sink)) {}

  bool done() const override { return stop_; }

  void start(std::string_view ns, std::string_view local, const char** attrs, long line) override {
    const Tag parent = stack_.empty() ? Tag::Other : stack_.back();
    const Tag tag = TagOf(ns, local);
    stack_.push_back(tag);
    if (wptDepth_ == 0) {
      if (tag == Tag::Wpt) {
        w_ = Wpt();
        const char* lat = XmlAttribute(attrs, "lat");
        const char* lon = XmlAttribute(attrs, "lon");
        w_.lat = lat ? lat : "";
        w_.lon = lon ? lon : "";
        w_.line = line;
        wptDepth_ = stack_.size();
      }
      return;
    }
    CacheRecord& r = w_.rec;
    const bool all = pass_ == Pass::Caches;
    switch (tag) {
      case Tag::Name: if (parent == Tag::Wpt) take(w_.name); break;
      case Tag::Desc: if (parent == Tag::Wpt) take(w_.desc); break;
      case Tag::Cmt: if (parent == Tag::Wpt) take(w_.cmt); break;
      case Tag::Sym: if (parent == Tag::Wpt) take(w_.sym); break;
      case Tag::Type: if (parent == Tag::Wpt) take(w_.type); break;
      case Tag::Time: if (parent == Tag::Wpt && all) take(r.placed); break;
      case Tag::Url: if (parent == Tag::Wpt && all) take(r.url); break;
      case Tag::Link:
        if (const char* href = XmlAttribute(attrs, "href"); parent == Tag::Wpt && href && r.url.empty()) r.url = href;
        break;
      case Tag::GsCache:
        w_.hasCache = true;
        if (const char* a = XmlAttribute(attrs, "available")) r.available = IsTrue(a);
        if (const char* a = XmlAttribute(attrs, "archived")) r.archived = IsTrue(a);
        break;
      case Tag::OcCache: w_.hasCache = true; break;
      case Tag::GsakCode: take(w_.gsakCode); break;
      case Tag::GsakParent: take(w_.gsakParent); break;
      default:
        if (all) startCacheDetail(tag, parent, attrs);
        break;
    }
  }

  void end(std::string_view, std::string_view) override {
    if (stack_.size() == captureDepth_) capture_ = nullptr;
    const Tag tag = stack_.back();
    stack_.pop_back();
    if (wptDepth_ == 0) return;
    if (tag == Tag::GsText && logOpen_ && encoded_) {
      w_.rec.logs.back().text = tools::DecodeHint(w_.rec.logs.back().text);
      encoded_ = false;
    }
    if (tag == Tag::GsLog) logOpen_ = false;
    if (stack_.size() + 1 == wptDepth_) {
      wptDepth_ = 0;
      budget_ = 0;
      if (!sink_(w_)) stop_ = true;
    }
  }

  void text(std::string_view piece) override {
    if (!capture_ || budget_ >= kCacheBudget) return;
    size_t room = kMaxField - std::min(kMaxField, capture_->size());
    if (piece.size() > room) {
      // Cut at a character's start, never inside one.
      while (room > 0 && (static_cast<unsigned char>(piece[room]) & 0xC0) == 0x80) --room;
      piece = piece.substr(0, room);
    }
    capture_->append(piece);
    budget_ += piece.size();
  }

 private:
  void take(std::string& target) {
    target.clear();
    capture_ = &target;
    captureDepth_ = stack_.size();
  }

  void startCacheDetail(Tag tag, Tag parent, const char** attrs) {
    CacheRecord& r = w_.rec;
    switch (tag) {
      case Tag::GsName:
        if (parent == Tag::GsCache) take(r.name);
        if (parent == Tag::GsTravelBug && bugOpen_) take(r.travelBugs.back().name);
        break;
      case Tag::GsPlacedBy: if (parent == Tag::GsCache) take(r.placedBy); break;
      case Tag::GsOwner: if (parent == Tag::GsCache) take(r.owner); break;
      case Tag::GsType:
        if (parent == Tag::GsCache) take(r.type);
        if (parent == Tag::GsLog && logOpen_) take(r.logs.back().type);
        break;
      case Tag::GsContainer: if (parent == Tag::GsCache) take(r.container); break;
      case Tag::GsDifficulty: if (parent == Tag::GsCache) take(r.difficulty); break;
      case Tag::GsTerrain: if (parent == Tag::GsCache) take(r.terrain); break;
      case Tag::GsCountry: if (parent == Tag::GsCache) take(r.country); break;
      case Tag::GsState: if (parent == Tag::GsCache) take(r.state); break;
      case Tag::GsAttribute:
        if (parent == Tag::GsAttributes) {
          CacheAttribute a;
          if (const char* id = XmlAttribute(attrs, "id")) a.id = text::ParseInt(text::Trim(id)).value_or(0);
          if (const char* inc = XmlAttribute(attrs, "inc")) a.present = text::Trim(inc) != "0";
          r.attributes.push_back(std::move(a));
          take(r.attributes.back().text);
        }
        break;
      case Tag::GsShort:
        if (parent == Tag::GsCache) {
          r.shortIsHtml = IsTrue(XmlAttribute(attrs, "html"));
          take(r.shortDescription);
        }
        break;
      case Tag::GsLong:
        if (parent == Tag::GsCache) {
          r.longIsHtml = IsTrue(XmlAttribute(attrs, "html"));
          take(r.longDescription);
        }
        break;
      case Tag::GsHints: if (parent == Tag::GsCache) take(r.hint); break;
      case Tag::GsLog:
        logOpen_ = parent == Tag::GsLogs && budget_ < kCacheBudget &&
                   (maxLogs_ < 0 || r.logs.size() < static_cast<size_t>(maxLogs_));
        if (logOpen_) r.logs.emplace_back();
        break;
      case Tag::GsDate: if (parent == Tag::GsLog && logOpen_) take(r.logs.back().date); break;
      case Tag::GsFinder: if (parent == Tag::GsLog && logOpen_) take(r.logs.back().finder); break;
      case Tag::GsText:
        if (parent == Tag::GsLog && logOpen_) {
          encoded_ = IsTrue(XmlAttribute(attrs, "encoded"));
          take(r.logs.back().text);
        }
        break;
      case Tag::GsTravelBug:
        bugOpen_ = parent == Tag::GsTravelBugs;
        if (bugOpen_) {
          const char* ref = XmlAttribute(attrs, "ref");
          r.travelBugs.push_back({ref ? text::Trim(ref) : "", ""});
        }
        break;
      case Tag::GsakUserData: take(r.userNote); break;
      case Tag::GsakLatBefore: take(w_.latBefore); break;
      case Tag::GsakLonBefore: take(w_.lonBefore); break;
      case Tag::OcSize: take(r.ocSize); break;
      case Tag::OcTripTime: take(r.ocTripTime); break;
      default: break;
    }
  }

  Pass pass_;
  int maxLogs_;
  std::function<bool(Wpt&)> sink_;
  bool stop_ = false;
  std::vector<Tag> stack_;
  size_t wptDepth_ = 0;  // stack depth of the open <wpt>, 0 outside one
  Wpt w_;
  std::string* capture_ = nullptr;
  size_t captureDepth_ = 0;
  size_t budget_ = 0;
  bool logOpen_ = false;
  bool bugOpen_ = false;
  bool encoded_ = false;
};

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
  for (std::string* s : {&r.name, &r.placedBy, &r.owner, &r.type, &r.container, &r.difficulty, &r.terrain,
                         &r.country, &r.state, &r.placed, &r.url, &r.hint, &r.ocSize, &r.ocTripTime})
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
std::string_view Tail(std::string_view code) { return code.size() > 2 ? code.substr(2) : std::string_view(); }

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

std::string NoCacheDescriptionsText() { return "S\xFA" "bor neobsahuje popisy ke\x9Aiek"; }

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
  GpxHandler identity(Pass::Identity, 0, [&](Wpt& w) {
    ++report.waypoints;
    if (!w.hasCache) return child(w);
    ++report.caches;
    std::string code = w.code();
    byTail.emplace(Tail(code), code);
    if (!cacheCodes.insert(code).second && named.insert(code).second) report.duplicates.push_back(code);
    return true;
  });
  ReadXmlFile(pathUtf8, identity);
  if (report.caches == 0) throw Error(NoCacheDescriptionsText());
  if (options.companionWaypoints) {
    if (std::string companion = CompanionPath(pathUtf8); !companion.empty()) {
      GpxHandler children(Pass::Identity, 0, [&](Wpt& w) { return w.hasCache || child(w); });
      ReadXmlFile(companion, children);
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
  pending = {};

  // Second pass: the caches, in file order, their children attached.
  std::unordered_set<std::string> wanted, seen;
  for (const std::string& c : options.codes) wanted.insert(text::UpperCase(text::Trim(c)));
  if (options.onTotal) {
    long total = 0;
    for (const std::string& code : cacheCodes) total += wanted.empty() || wanted.count(text::UpperCase(code)) ? 1 : 0;
    options.onTotal(total);
  }
  size_t met = 0;
  GpxHandler caches(Pass::Caches, options.maxLogs, [&](Wpt& w) {
    if (!w.hasCache) return true;
    std::string code = w.code();
    if (!seen.insert(code).second) return true;
    if (!wanted.empty() && !wanted.count(text::UpperCase(code))) return true;
    CacheRecord r = RecordOf(w);
    if (auto it = byParent.find(code); it != byParent.end()) r.children = std::move(it->second);
    return onCache(std::move(r)) && (wanted.empty() || ++met < wanted.size());
  });
  ReadXmlFile(pathUtf8, caches);
  return report;
}

std::vector<std::string> GpxWaypointCodes(const std::string& pathUtf8) {
  std::vector<std::string> codes;
  GpxHandler handler(Pass::Identity, 0, [&codes](Wpt& w) {
    // A child waypoint's own code does not make it a cache of the list.
    codes.push_back(w.hasCache ? w.code() : std::string());
    return true;
  });
  ReadXmlFile(pathUtf8, handler);
  return codes;
}

}  // namespace trovik::waypoints
