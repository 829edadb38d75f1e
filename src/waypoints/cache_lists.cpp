#include "waypoints/cache_lists.h"

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
  for (const std::string& line : state.wptText) {
    std::string candidate = CodeCandidate(line);
    if (candidate.size() < 2 || candidate[0] != 'G' || candidate[1] != 'C') continue;
    std::string name;
    if (int first = text::Pos(",", line); first > 0) {
      if (int second = text::PosFrom(",", line, first + 1); second > 0)
        name = text::Trim(text::Copy(line, first + 1, second - first - 1));
    }
    caches.add(std::move(name), text::Trim(candidate), kPositionFromWpt);
  }
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
