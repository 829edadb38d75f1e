// The results parser of the nearest-caches page and its cache-type filter.

#include <string>

#include "nearby/nearby.h"
#include "text/text.h"

namespace trovik::nearby {

using text::Copy;
using text::Pos;

std::string_view CacheTypeCaption(CacheType type) {
  switch (type) {
    case CacheType::Tradicna: return text::Literal1250<"Tradičná">;
    case CacheType::Multi: return "Multi";
    case CacheType::Zahadna: return text::Literal1250<"Záhadná">;
    case CacheType::Webkamera: return "Webkamera";
    case CacheType::Stretavka: return text::Literal1250<"Stretávka">;
    case CacheType::Ostatne: return text::Literal1250<"Ostatné">;
  }
  return "";
}

std::string DecodeEntities(std::string_view s) {
  // One level only, in this order: "&amp;lt;" becomes "&lt;", not "<".
  std::string out = text::ReplaceAll(s, "&lt;", "<");
  out = text::ReplaceAll(out, "&gt;", ">");
  out = text::ReplaceAll(out, "&quot;", "\"");
  out = text::ReplaceAll(out, "&apos;", "'");
  out = text::ReplaceAll(out, "&amp;", "&");
  return out;
}

CacheType TypeOfSiteName(std::string_view siteTypeName) {
  std::string t = text::LowerCase(siteTypeName);
  auto has = [&](const char* w) { return t.find(w) != std::string::npos; };
  if (has("event")) return CacheType::Stretavka;  // before "traditional": no event is one, but be explicit
  if (has("traditional")) return CacheType::Tradicna;
  if (has("multi")) return CacheType::Multi;
  if (has("unknown") || has("mystery") || has("puzzle")) return CacheType::Zahadna;
  if (has("webcam")) return CacheType::Webkamera;
  return CacheType::Ostatne;
}

void ToggleType(NearbyState& state, CacheType type) {
  bool& checked = state.typeChecked[static_cast<int>(type)];
  checked = !checked;
}

namespace {

constexpr const char* kResultMark = "/seek/cache_details.aspx?";
constexpr size_t kLineLimit = 4096;

// The cache type a line names, if it names one. The size picture carries a
// title too; its line holds the size mark and is not a type. The serializer
// writes a one-word title without quotes, so both forms are read.
bool TypeOnLine(const std::string& line, std::string& type) {
  if (Pos("alt=\"Size:", line) > 0 || Pos("alt=Size:", line) > 0) return false;
  int p = text::PosPast("<IMG title=", line);
  if (p == 0) return false;
  if (p <= static_cast<int>(line.size()) && line[static_cast<size_t>(p - 1)] == '"') {
    std::string rest = text::CopyFrom(line, p + 1);
    int q = Pos("\"", rest);
    type = q > 0 ? Copy(rest, 1, q - 1) : rest;
  } else {
    std::string rest = text::CopyFrom(line, p);
    size_t e = rest.find_first_of(" >");
    type = rest.substr(0, e);
  }
  return true;
}

bool CodeListed(const waypoints::CacheList& caches, const std::string& code) {
  for (const auto& c : caches.codes)
    if (text::SameTextAscii(c, code)) return true;
  return false;
}

}  // namespace

void VyhodnotmemoHTM(NearbyState& state, waypoints::CacheList& caches) {
  state.rowCount = 0;
  const auto& memo = state.memo3;

  // The type of a row is the last type named since the previous row, else the
  // first one named before the next row.
  std::string pendingType;
  bool havePending = false;
  for (size_t i = 0; i < memo.size(); ++i) {
    std::string line = memo[i].size() > kLineLimit ? memo[i].substr(0, kLineLimit) : memo[i];
    std::string lineType;
    if (TypeOnLine(line, lineType)) {
      pendingType = lineType;
      havePending = true;
    }
    if (Pos(kResultMark, line) == 0) continue;

    int p = Pos("\">", line);
    int q = Pos(")<BR>", line);
    std::string r = Copy(line, p + 2, q - p - 1);

    // Names may hold parentheses; the code is the last parenthesised group,
    // the one that ends the row text.
    int c = text::LastPos(")", r);
    int a = 0;
    if (c > 0) {
      for (int k = c - 1; k >= 1; --k) {
        if (r[static_cast<size_t>(k - 1)] == '(') {
          a = k;
          break;
        }
      }
    }
    std::string code = Copy(r, a + 1, c - a - 1);

    int e = Pos("</STRIKE>", line) > 0 ? Pos("</STRIKE>", r) : Pos("<", r);

    if (state.checkBox5) {
      std::string type;
      bool found = havePending;
      if (found) {
        type = pendingType;
      } else {
        for (size_t k = i + 1; k < memo.size(); ++k) {
          std::string next = memo[k].size() > kLineLimit ? memo[k].substr(0, kLineLimit) : memo[k];
          if (Pos(kResultMark, next) > 0) break;
          if (TypeOnLine(next, type)) {
            found = true;
            break;
          }
        }
      }
      CacheType t = found ? TypeOfSiteName(type) : CacheType::Ostatne;
      havePending = false;
      if (!state.typeChecked[static_cast<int>(t)]) continue;
    }
    havePending = false;

    if (!state.addMode) {
      ++state.rowCount;
      continue;
    }
    if (CodeListed(caches, code)) continue;
    caches.add(DecodeEntities(Copy(r, 1, e - 1)), code, waypoints::kPositionUnknown);
    ++state.rowCount;
  }
  if (state.rowCount > 0) state.speedButton24Enabled = true;
}

}  // namespace trovik::nearby
