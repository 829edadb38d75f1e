#include "pages/page_filter.h"

#include "text/text.h"
#include "tools/hint.h"

namespace trovik::pages {

namespace {

constexpr std::string_view kSrcQuote = "SRC=\"";

inline char upperAscii(char c) { return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c; }

}  // namespace

std::string LastSegment(std::string_view address) {
  int slash = text::LastPos("/", address);
  return text::CopyFrom(address, slash + 1);
}

void CutPage(const std::vector<std::string>& captured, Site site, std::vector<std::string>& working) {
  const std::string_view start = site == Site::Sk ? kStartMarkerSk : kStartMarkerCom;
  working.emplace_back(kPagePrologue);
  bool copying = false;
  for (const auto& line : captured) {
    std::string upper = text::UpperCase(line);
    if (text::Pos(start, upper) > 0) copying = true;
    if (text::Pos(kStopMarker, upper) > 0) break;
    if (copying) working.push_back(line);
  }
  working.emplace_back(kPageEpilogue);
}

std::string JoinPage(const std::vector<std::string>& working) {
  size_t total = 0;
  for (const auto& line : working) total += line.size();
  std::string page;
  page.reserve(total);
  for (const auto& line : working) page += line;
  return page;
}

// The page is P = out + orig[tail..]: `out` is final (a later rewrite only
// changes text after its own "SRC=\"", which always lies in the untouched
// tail), so each step appends to `out` and moves `tail` forward. Positions
// p and k are the 1-based positions of the description within P.
std::string RewritePictureReferences(std::string_view orig) {
  const std::string up = text::UpperCase(orig);
  std::string out;
  out.reserve(orig.size() + orig.size() / 8 + 64);
  size_t tail = 0;
  size_t k = 0;

  auto charOfP = [&](size_t pos1) -> char {  // upper-cased character at 1-based position of P
    return pos1 <= out.size() ? upperAscii(out[pos1 - 1]) : up[tail + (pos1 - out.size() - 1)];
  };
  for (;;) {
    const size_t pLength = out.size() + (orig.size() - tail);
    size_t p = 0;
    // A match may begin in the last characters of `out` (the inserted name)
    // when its double quote is the first character of the tail.
    size_t from = std::max<size_t>(k + 1, out.size() >= 3 ? out.size() - 3 : 1);
    for (size_t m = from; m <= out.size() && m + 4 <= pLength && p == 0; ++m) {
      bool hit = true;
      for (size_t j = 0; j < kSrcQuote.size() && hit; ++j) hit = charOfP(m + j) == kSrcQuote[j];
      if (hit) p = m;
    }
    if (p == 0) {
      size_t s = std::max(k + 1, out.size() + 1);
      size_t idx = tail + (s - out.size() - 1);
      if (idx >= up.size()) break;
      size_t found = up.find(kSrcQuote, idx);
      if (found == std::string::npos) break;
      p = out.size() + 1 + (found - tail);
    }
    // R begins at P position p+5; its first double quote ends the address.
    const size_t rStart = tail + (p + 4 - out.size());
    const size_t quote = orig.find('"', rStart);
    std::string_view address = quote == std::string_view::npos ? std::string_view{} : orig.substr(rStart, quote - rStart);
    std::string file = LastSegment(address);
    // H = P[1..p+4]; T begins at the closing quote (or, without one, at the
    // opening quote again, P position p+4).
    out.append(orig.substr(tail, p + 4 - out.size()));
    const size_t hLength = out.size();
    out += kPictureFolderRef;
    out += file;
    tail = quote == std::string_view::npos ? rStart - 1 : quote;
    k = hLength + 9 + file.size();
  }
  out.append(orig.substr(tail));
  return out;
}

std::vector<std::string> HintLines(std::string_view page, std::string& part1, std::string& part2) {
  std::vector<std::string> lines;
  int d = text::Pos("decrypt=y", page);
  if (d == 0) return lines;
  int b = text::PosAfter("</A>]<BR>", page, d);
  // Without the hint's start there is no hint to decode.
  if (b == 0) return lines;
  int c = text::PosAfter("<P", page, b + 9);
  part1 = text::Copy(page, b + 9, c - b - 9);
  part2.clear();
  int br = text::Pos("<BR>", part1);
  if (br > 0) {
    part2 = text::CopyFrom(part1, br + 4);
    part1 = text::Copy(part1, 1, br - 1);
  }
  lines.push_back(std::string(kHintHeading) + tools::DecodeHint(part1) + std::string(kHintCloser));
  if (!part2.empty()) {
    lines.push_back(std::string(kHintSecondOpener) + tools::DecodeHint(part2) + std::string(kHintCloser));
  }
  return lines;
}

std::vector<std::string> HeaderPictureLines(const std::vector<std::string>& headerLinks,
                                            const std::vector<std::string>& pagePictures) {
  std::vector<std::string> lines;
  for (const auto& entry : headerLinks) {
    int q = text::LastPos("\"", entry);
    std::string caption = text::CopyFrom(entry, q + 1);
    std::string file = LastSegment(text::Copy(entry, 1, q - 1));
    if (text::Pos(".JPG", text::UpperCase(file)) == 0) continue;
    bool onPage = false;
    for (const auto& picture : pagePictures) onPage = onPage || text::SameTextAscii(picture, file);
    if (onPage) continue;
    lines.push_back(std::string(kHeaderPictureOpener) + file + "\"" + caption + "<BR>");
  }
  return lines;
}

}  // namespace trovik::pages
