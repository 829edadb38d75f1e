#include "waypoints/cache_lists.h"

#include <vector>

#include "base/files.h"
#include "text/text.h"

namespace trovik::waypoints {

std::string CodeCandidate(std::string_view line) {
  // Backwards from the end: every ")" moves c, the first "(" stops the scan.
  size_t o = 0, c = 0;  // 1-based, 0 for none
  for (size_t i = line.size(); i > 0; --i) {
    char ch = line[i - 1];
    if (ch == ')') {
      c = i;
    } else if (ch == '(') {
      o = i;
      break;
    }
  }
  if (c <= o + 1) return "";
  return std::string(line.substr(o, c - 1 - o));
}

bool IsCacheCode(std::string_view text) {
  if (text.size() < 3 || text.substr(0, 2) != "GC") return false;
  for (char ch : text.substr(2)) {
    if (!(ch >= '0' && ch <= '9') && !(ch >= 'A' && ch <= 'Z')) return false;
  }
  return true;
}

namespace {

std::vector<std::string_view> SplitFields(std::string_view line) {
  std::vector<std::string_view> fields;
  size_t start = 0;
  while (true) {
    size_t comma = line.find(',', start);
    fields.push_back(line.substr(start, comma == std::string_view::npos ? std::string_view::npos : comma - start));
    if (comma == std::string_view::npos) return fields;
    start = comma + 1;
  }
}

constexpr size_t kWptHeaderLines = 4;
constexpr size_t kTailFields = 13;   // "0,0,0,0, 6, 0,17,0,10.0,2,,,"
constexpr size_t kDescription = 10;  // field 11, counted from 0

}  // namespace

std::string DescriptionOf(std::string_view line) {
  const std::vector<std::string_view> fields = SplitFields(line);
  if (fields.size() <= kDescription) return "";
  if (fields.size() < kDescription + 1 + kTailFields) return std::string(fields[kDescription]);
  std::string description(fields[kDescription]);
  for (size_t i = kDescription + 1; i < fields.size() - kTailFields; ++i) {
    description += ',';
    description += fields[i];
  }
  return description;
}

std::optional<NamedCache> CacheFromName(std::string_view line) {
  const std::vector<std::string_view> fields = SplitFields(line);
  if (fields.size() < 3) return std::nullopt;  // no second comma: no name field
  std::string code = text::Trim(fields[1]);
  if (!IsCacheCode(code)) return std::nullopt;
  const std::string description = DescriptionOf(line);
  // The found-cache export writes name[code]; reading it back lists nothing.
  if (const std::string trimmed = text::Trim(description); !trimmed.empty() && trimmed.back() == ']') {
    size_t open = trimmed.rfind('[');
    if (open != std::string::npos && IsCacheCode(std::string_view(trimmed).substr(open + 1, trimmed.size() - open - 2)))
      return std::nullopt;
  }
  size_t by = description.rfind(" by ");
  std::string name = text::Trim(by == std::string::npos ? description : description.substr(0, by));
  // "by Owner" alone, or no description: the code is all the line says.
  if (name.empty()) name = code;
  return NamedCache{std::move(name), std::move(code)};
}

std::optional<NamedCache> ListEntry(std::string_view line, bool codeFromName) {
  std::string candidate = CodeCandidate(line);
  if (candidate.size() < 2 || candidate[0] != 'G' || candidate[1] != 'C')
    return codeFromName ? CacheFromName(line) : std::nullopt;
  std::string name;
  if (int first = text::Pos(",", line); first > 0) {
    if (int second = text::PosFrom(",", line, first + 1); second > 0)
      name = text::Trim(text::Copy(line, first + 1, second - first - 1));
  }
  return NamedCache{std::move(name), text::Trim(candidate)};
}

const std::string& NoCacheText() {
  static const std::string text = "Súbor neobsahuje žiadnu kešku s kódom GC."_1250.bytes();
  return text;
}

std::string WptSaveName(std::string_view path) {
  std::string name = files::FileNameOf(path);
  std::string ext = files::ExtensionOf(name);
  if (text::UpperCase(ext) == ".GPX") name = name.substr(0, name.size() - ext.size()) + ".wpt";
  return name;
}

void Spracujwpt(WaypointState& state) {
  state.fileNameField = WptSaveName(state.currentFile);
  CacheList& caches = state.caches;
  caches.clear();
  for (size_t i = 0; i < state.wptText.size(); ++i) {
    const std::string& line = state.wptText[i];
    if (std::optional<NamedCache> entry = ListEntry(line, state.codeFromName)) {
      caches.add(std::move(entry->name), std::move(entry->code), kPositionFromWpt);
    } else if (state.codeFromName && i >= kWptHeaderLines && i - kWptHeaderLines < state.gpxCodes.size() &&
               !state.gpxCodes[i - kWptHeaderLines].empty()) {
      // The name field is the export's own name for the cache.
      const std::vector<std::string_view> fields = SplitFields(line);
      caches.add(fields.size() > 1 ? text::Trim(fields[1]) : std::string(), state.gpxCodes[i - kWptHeaderLines],
                 kPositionFromWpt);
    }
  }
  state.statusText = caches.count() == 0 ? NoCacheText() : std::string();
}

namespace {

bool validIndex(const CacheList& caches, int i) {
  return i >= 0 && i < static_cast<int>(caches.nameMarks.size()) && i < static_cast<int>(caches.codeMarks.size());
}

void setAll(CacheList& caches, bool mark) {
  caches.nameMarks.assign(caches.names.size(), mark);
  caches.codeMarks.assign(caches.codes.size(), mark);
}

}  // namespace

void CheckListBox1Click(CacheList& caches) {
  if (validIndex(caches, caches.itemIndex)) caches.codeMarks[caches.itemIndex] = caches.nameMarks[caches.itemIndex];
}

void CheckListBox2Click(CacheList& caches, int codesIndex) {
  if (validIndex(caches, codesIndex)) caches.nameMarks[codesIndex] = caches.codeMarks[codesIndex];
}

void MarkAll(CacheList& caches) {
  setAll(caches, true);
}

void UnmarkAll(CacheList& caches) {
  setAll(caches, false);
}

void SpeedButton21Click(WaypointState& state) {
  state.caches.clear();
  state.exportButtonEnabled = false;
}

}  // namespace trovik::waypoints
