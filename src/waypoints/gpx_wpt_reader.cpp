#include "waypoints/gpx_wpt_reader.h"

#include <cstdint>
#include <utility>
#include <vector>

#include "tools/hint.h"
#include "waypoints/xml_stream.h"

namespace trovik::waypoints {

namespace {

// A text field keeps at most this much, a cache's texts together about
// four times as much (logs beyond it are left out), so one waypoint of a
// hostile file cannot take the memory a whole export is read in.
constexpr size_t kMaxField = 16u << 20;
constexpr size_t kCacheBudget = 64u << 20;

// clang-format off
enum class Tag : uint8_t {
  Other, Wpt, Name, Desc, Cmt, Time, Url, Link, Sym, Type,
  GsCache, GsName, GsPlacedBy, GsOwner, GsType, GsContainer, GsDifficulty, GsTerrain, GsCountry, GsState,
  GsAttributes, GsAttribute, GsShort, GsLong, GsHints, GsLogs, GsLog, GsDate, GsFinder, GsText,
  GsTravelBugs, GsTravelBug,
  GsakCode, GsakParent, GsakUserData, GsakLatBefore, GsakLonBefore,
  OcCache, OcSize, OcTripTime,
};
// clang-format on

struct Named {
  std::string_view local;
  Tag tag;
};

constexpr Named kGpxTags[] = {{"wpt", Tag::Wpt},   {"name", Tag::Name}, {"desc", Tag::Desc},
                              {"cmt", Tag::Cmt},   {"time", Tag::Time}, {"url", Tag::Url},
                              {"link", Tag::Link}, {"sym", Tag::Sym},   {"type", Tag::Type}};
constexpr Named kCacheTags[] = {{"cache", Tag::GsCache},
                                {"name", Tag::GsName},
                                {"placed_by", Tag::GsPlacedBy},
                                {"owner", Tag::GsOwner},
                                {"type", Tag::GsType},
                                {"container", Tag::GsContainer},
                                {"difficulty", Tag::GsDifficulty},
                                {"terrain", Tag::GsTerrain},
                                {"country", Tag::GsCountry},
                                {"state", Tag::GsState},
                                {"attributes", Tag::GsAttributes},
                                {"attribute", Tag::GsAttribute},
                                {"short_description", Tag::GsShort},
                                {"long_description", Tag::GsLong},
                                {"encoded_hints", Tag::GsHints},
                                {"logs", Tag::GsLogs},
                                {"log", Tag::GsLog},
                                {"date", Tag::GsDate},
                                {"finder", Tag::GsFinder},
                                {"text", Tag::GsText},
                                {"travelbugs", Tag::GsTravelBugs},
                                {"travelbug", Tag::GsTravelBug}};
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
  // Some writers leave the GPX elements without a namespace.
  if (ns == "http://www.topografix.com/GPX/1/0" || ns == "http://www.topografix.com/GPX/1/1" || ns.empty())
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

bool IsTrue(const char* value) {
  return value && text::SameTextAscii(text::Trim(value), "True");
}

class GpxHandler : public XmlHandler {
 public:
  // `sink` gets each <wpt> at its end and returns false to end the reading.
  GpxHandler(WptPass pass, int maxLogs, std::function<bool(Wpt&)> sink)
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
    // A text element holds no elements in any of these formats; taking
    // what one does as structure would move the text being gathered.
    if (capture_) return;
    CacheRecord& r = w_.rec;
    const bool all = pass_ == WptPass::Caches;
    switch (tag) {
      case Tag::Name:
        if (parent == Tag::Wpt) take(w_.name);
        break;
      case Tag::Desc:
        if (parent == Tag::Wpt) take(w_.desc);
        break;
      case Tag::Cmt:
        if (parent == Tag::Wpt) take(w_.cmt);
        break;
      case Tag::Sym:
        if (parent == Tag::Wpt) take(w_.sym);
        break;
      case Tag::Type:
        if (parent == Tag::Wpt) take(w_.type);
        break;
      case Tag::Time:
        if (parent == Tag::Wpt && all) take(r.placed);
        break;
      case Tag::Url:
        if (parent == Tag::Wpt && all) take(r.url);
        break;
      case Tag::Link:
        if (const char* href = XmlAttribute(attrs, "href"); parent == Tag::Wpt && href && r.url.empty()) r.url = href;
        break;
      case Tag::GsCache:
        w_.hasCache = true;
        if (const char* a = XmlAttribute(attrs, "available")) r.available = IsTrue(a);
        if (const char* a = XmlAttribute(attrs, "archived")) r.archived = IsTrue(a);
        break;
      case Tag::OcCache:
        w_.hasCache = true;
        break;
      case Tag::GsakCode:
        take(w_.gsakCode);
        break;
      case Tag::GsakParent:
        take(w_.gsakParent);
        break;
      default:
        if (all) startCacheDetail(tag, parent, attrs);
        break;
    }
  }

  void end(std::string_view, std::string_view) override {
    const Tag tag = stack_.back();
    const bool inText = capture_ && stack_.size() > captureDepth_;
    if (stack_.size() == captureDepth_) capture_ = nullptr;
    stack_.pop_back();
    if (wptDepth_ == 0 || inText) return;
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
      case Tag::GsPlacedBy:
        if (parent == Tag::GsCache) take(r.placedBy);
        break;
      case Tag::GsOwner:
        if (parent == Tag::GsCache) take(r.owner);
        break;
      case Tag::GsType:
        if (parent == Tag::GsCache) take(r.type);
        if (parent == Tag::GsLog && logOpen_) take(r.logs.back().type);
        break;
      case Tag::GsContainer:
        if (parent == Tag::GsCache) take(r.container);
        break;
      case Tag::GsDifficulty:
        if (parent == Tag::GsCache) take(r.difficulty);
        break;
      case Tag::GsTerrain:
        if (parent == Tag::GsCache) take(r.terrain);
        break;
      case Tag::GsCountry:
        if (parent == Tag::GsCache) take(r.country);
        break;
      case Tag::GsState:
        if (parent == Tag::GsCache) take(r.state);
        break;
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
      case Tag::GsHints:
        if (parent == Tag::GsCache) take(r.hint);
        break;
      case Tag::GsLog:
        logOpen_ = parent == Tag::GsLogs && budget_ < kCacheBudget &&
                   (maxLogs_ < 0 || r.logs.size() < static_cast<size_t>(maxLogs_));
        if (logOpen_) r.logs.emplace_back();
        break;
      case Tag::GsDate:
        if (parent == Tag::GsLog && logOpen_) take(r.logs.back().date);
        break;
      case Tag::GsFinder:
        if (parent == Tag::GsLog && logOpen_) take(r.logs.back().finder);
        break;
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
      case Tag::GsakUserData:
        take(r.userNote);
        break;
      case Tag::GsakLatBefore:
        take(w_.latBefore);
        break;
      case Tag::GsakLonBefore:
        take(w_.lonBefore);
        break;
      case Tag::OcSize:
        take(r.ocSize);
        break;
      case Tag::OcTripTime:
        take(r.ocTripTime);
        break;
      default:
        break;
    }
  }

  WptPass pass_;
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

}  // namespace

void ReadWpts(const std::string& pathUtf8, WptPass pass, int maxLogs, const std::function<bool(Wpt&)>& sink) {
  GpxHandler handler(pass, maxLogs, sink);
  ReadXmlFile(pathUtf8, handler);
}

}  // namespace trovik::waypoints
