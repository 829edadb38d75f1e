// Photos where a Garmin unit shows them: its GeocachePhotos folder, one
// folder per cache below two levels named by the code's last characters,
// spoilers in "Spoilers\" below that. The units show JPEG only.

#include <algorithm>
#include <cstdio>
#include <memory>

#include "base/files.h"
#include "pages/page_filter.h"
#include "pages/pages.h"
#include "text/text.h"

namespace trovik::pages {

namespace {

constexpr size_t kMaxPhotoName = 60;
constexpr std::string_view kJpg = ".jpg";
constexpr int kHeaderNameLength = 100;

bool IsLetter1250(unsigned char c) {
  if ((c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z')) return true;
  if (c >= 0xC0) return c != 0xD7 && c != 0xF7;  // but for the multiplication and division signs
  static constexpr unsigned char kOthers[] = {0x8A, 0x8C, 0x8D, 0x8E, 0x8F, 0x9A, 0x9C, 0x9D, 0x9E, 0x9F,
                                              0xA3, 0xA5, 0xAA, 0xAF, 0xB3, 0xB9, 0xBA, 0xBC, 0xBE, 0xBF};
  return std::find(std::begin(kOthers), std::end(kOthers), c) != std::end(kOthers);
}

// Letters, digits, spaces and _; anything else parts words like a space.
std::string CleanName(const std::string& text1250, size_t limit) {
  std::string out;
  for (unsigned char c : text1250) {
    const bool keep = IsLetter1250(c) || (c >= '0' && c <= '9') || c == '_';
    if (keep) {
      out += static_cast<char>(c);
    } else if (!out.empty() && out.back() != ' ') {
      out += ' ';
    }
  }
  if (out.size() > limit) out.resize(limit);
  while (!out.empty() && out.back() == ' ') out.pop_back();
  return out;
}

// Upper case of 1250 text, accented letters too: the unit's file system
// takes "lávka" and "LÁVKA" for one name.
std::string FoldCase1250(const std::string& text1250) {
  std::string out = text1250;
  for (char& ch : out) {
    const auto c = static_cast<unsigned char>(ch);
    unsigned char u = c;
    if (c >= 'a' && c <= 'z') u = static_cast<unsigned char>(c - 32);
    else if (c >= 0xE0 && c != 0xF7 && c != 0xFF) u = static_cast<unsigned char>(c - 0x20);
    else if (c == 0x9A || (c >= 0x9C && c <= 0x9F)) u = static_cast<unsigned char>(c - 0x10);
    else if (c == 0xB3) u = 0xA3;
    else if (c == 0xB9) u = 0xA5;
    else if (c == 0xBA) u = 0xAA;
    else if (c == 0xBF) u = 0xAF;
    else if (c == 0xBE) u = 0xBC;
    ch = static_cast<char>(u);
  }
  return out;
}

std::string StemOf(const std::string& name) {
  const size_t dot = name.rfind('.');
  return dot == std::string::npos || dot == 0 ? name : name.substr(0, dot);
}

bool IsJpegFile(const std::string& fsPath) {
  std::unique_ptr<FILE, int (*)(FILE*)> f(std::fopen(fsPath.c_str(), "rb"), std::fclose);
  if (!f) return false;
  unsigned char head[3] = {};
  return std::fread(head, 1, 3, f.get()) == 3 && head[0] == 0xFF && head[1] == 0xD8 && head[2] == 0xFF;
}

// The text of a link fragment "<A ...>text</A>", tags left out.
std::string LinkText(const std::string& fragment) {
  const size_t open = fragment.find('>');
  const size_t close = fragment.rfind("</A>");
  if (open == std::string::npos || close == std::string::npos || close < open) return "";
  std::string inner = fragment.substr(open + 1, close - open - 1), out;
  bool inTag = false;
  for (char c : inner) {
    if (c == '<') inTag = true;
    else if (c == '>') inTag = false;
    else if (!inTag) out += c;
  }
  return text::Trim(out);
}

void AddOnce(std::vector<std::string>& list, const std::string& item) {
  if (std::find(list.begin(), list.end(), item) == list.end()) list.push_back(item);
}

}  // namespace

bool SaysSpoiler(const text::Cp1250& caption) {
  // Words that begin so ("Spoilery", "Nápovedy"), but "Hint" only whole:
  // "Hinter dem Baum" is no hint.
  const std::string folded = FoldCase1250(caption.bytes());
  static constexpr std::string_view kWords[] = {"SPOILER", text::Literal1250<"NÁPOVED">, "HINT", "HILFE"};
  for (const std::string_view word : kWords) {
    for (size_t at = folded.find(word); at != std::string::npos; at = folded.find(word, at + 1)) {
      const size_t end = at + word.size();
      const bool before = at > 0 && IsLetter1250(static_cast<unsigned char>(folded[at - 1]));
      const bool after = word == "HINT" && end < folded.size() && IsLetter1250(static_cast<unsigned char>(folded[end]));
      if (!before && !after) return true;
    }
  }
  return false;
}

std::string GarminPhotoFolder(const std::string& photoRoot, const std::string& code) {
  const std::string c = text::UpperCase(text::Trim(code));
  if (c.size() < 3) return "";
  const char last = c[c.size() - 1];
  const char secondLast = c.size() == 3 ? '0' : c[c.size() - 2];
  std::string root = photoRoot;
  if (!root.empty() && root.back() != '\\') root += '\\';
  return root + last + "\\" + secondLast + "\\" + c + "\\";
}

std::string GarminPhotoName(const text::Cp1250& caption, const std::string& pictureName,
                            std::vector<std::string>& used) {
  const size_t limit = kMaxPhotoName - kJpg.size();
  std::string stem = CleanName(caption.bytes(), limit);
  if (stem.empty()) stem = CleanName(StemOf(pictureName), limit);
  if (stem.empty()) stem = "foto";
  auto taken = [&](const std::string& name) {
    const std::string key = FoldCase1250(name);
    return std::any_of(used.begin(), used.end(), [&](const std::string& u) { return FoldCase1250(u) == key; });
  };
  std::string name = stem + std::string(kJpg);
  for (int n = 2; taken(name); ++n) {
    const std::string suffix = " " + std::to_string(n);
    std::string base = stem.substr(0, std::min(stem.size(), limit - suffix.size()));
    while (!base.empty() && base.back() == ' ') base.pop_back();
    name = base + suffix + std::string(kJpg);
  }
  used.push_back(name);
  return name;
}

void CopyGarminPhotos(PagesState& state, PageOutput& ctx, const text::Cp1250& code,
                      const std::vector<GarminPhoto>& photos) {
  if (!ctx.fields.checkBox8GarminFoto || !ctx.copyToDevice.ticked) return;
  const std::string folder = GarminPhotoFolder(ctx.fields.edit24PdaFoto, code.bytes());
  if (folder.empty()) return;
  const std::string spoilers = folder + "Spoilers\\";
  std::vector<std::string> usedMain, usedSpoilers, seen;
  for (const GarminPhoto& photo : photos) {
    const std::string fs = files::PcPath(photo.localPath);
    // A picture the page refers to twice goes once; one that never arrived is not there to copy.
    if (std::find(seen.begin(), seen.end(), fs) != seen.end()) continue;
    seen.push_back(fs);
    if (!files::Exists(fs) || files::IsDirectory(fs)) continue;
    const std::string pictureName = files::FileNameOf(photo.localPath);
    if (!IsJpegFile(fs)) {
      AddOnce(state.devicePlan.skippedPhotos, pictureName);
      continue;
    }
    const std::string& target = photo.spoiler ? spoilers : folder;
    const std::string name = GarminPhotoName(photo.caption, pictureName, photo.spoiler ? usedSpoilers : usedMain);
    // The folders are made before the first copy into them.
    AddOnce(state.devicePlan.folders, target);
    PlanDeviceCopy(state, ctx, photo.localPath, target + name, true);
  }
}

std::vector<GarminPhoto> WebRoadPhotos(const PagesState& state, const PageContext& ctx) {
  std::vector<GarminPhoto> photos;
  std::vector<std::string> headerNames;
  // The header list is this page's only when the filter harvested the header.
  if (ctx.fields.checkBox2Spooler) {
    const std::string base = ctx.fields.addresses.obrazky + "/cache/";
    for (const std::string& entry : state.headerLinks) {
      const int s = text::Pos(base, entry);
      if (s == 0) continue;
      const int q = text::LastPos("\"", entry);
      const std::string name = text::Copy(LastSegment(text::Copy(entry, s, q - s)), 1, kHeaderNameLength);
      if (!IsSafePictureName(name)) continue;
      headerNames.push_back(name);
      photos.push_back({ctx.picturesFolder + name, text::Cp1250::FromBytes(LinkText(entry)), true});
    }
  }
  // The cache's own pictures are those its offline page kept; the site's
  // icons and logos around the listing are not.
  const std::string_view page = state.outputList.empty() ? std::string_view() : state.outputList.front();
  for (const std::string& name : state.pagePictures) {
    if (!IsSafePictureName(name) || page.find(name) == std::string_view::npos) continue;
    if (std::find(headerNames.begin(), headerNames.end(), name) != headerNames.end()) continue;
    photos.push_back({ctx.picturesFolder + name, {}, false});
  }
  return photos;
}

}  // namespace trovik::pages
