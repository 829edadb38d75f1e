// A waypoint file all the way to its pages' text: each cache the reader
// gives passes the sanitizer and becomes a page and an index line, converted
// to Windows-1250. The page must never carry a script, an event handler or a
// javascript: address of the owner's, and its name never a separator.

#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

#include "base/error.h"
#include "fuzz_input.h"
#include "pages/file_pages.h"
#include "text/text.h"

namespace {

// What a browser would run: a script or frame element, an event handler or
// a javascript: address among a tag's attributes. The owner's text is
// escaped, so only tags the page itself writes start with "<".
bool Runs(const std::string& page) {
  std::string lower = page;
  for (char& ch : lower)
    if (ch >= 'A' && ch <= 'Z') ch = static_cast<char>(ch - 'A' + 'a');
  for (size_t open = lower.find('<'); open != std::string::npos; open = lower.find('<', open + 1)) {
    const size_t close = lower.find('>', open);
    const std::string tag = lower.substr(open, close == std::string::npos ? std::string::npos : close - open);
    if (tag.rfind("<script", 0) == 0 || tag.rfind("<iframe", 0) == 0 || tag.rfind("<object", 0) == 0) return true;
    // Outside quoted values: an attribute named on...; an address that is a script.
    char quote = 0;
    for (size_t i = 1; i < tag.size(); ++i) {
      const char ch = tag[i];
      if (quote) {
        if (ch == quote) quote = 0;
        continue;
      }
      if (ch == '"' || ch == '\'') {
        quote = ch;
        size_t v = i + 1;
        while (v < tag.size() && tag[v] == ' ') ++v;
        const bool address = (i >= 5 && tag.compare(i - 5, 5, "href=") == 0) || (i >= 4 && tag.compare(i - 4, 4, "src=") == 0);
        if (address && (tag.compare(v, 11, "javascript:") == 0 || tag.compare(v, 9, "vbscript:") == 0)) return true;
        continue;
      }
      if (ch == ' ' && tag.compare(i + 1, 2, "on") == 0) {
        size_t end = i + 3;
        while (end < tag.size() && tag[end] >= 'a' && tag[end] <= 'z') ++end;
        if (end > i + 3 && end < tag.size() && tag[end] == '=') return true;
      }
    }
  }
  return false;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace trovik;
  fuzz::Input input(data, size);
  const uint8_t logs = input.byte();
  const std::string file = input.rest();
  static const std::string path = "/tmp/fuzz_file_pages." + std::to_string(getpid()) + ".gpx";
  if (std::FILE* f = std::fopen(path.c_str(), "wb")) {
    std::fwrite(file.data(), 1, file.size(), f);
    std::fclose(f);
  }
  waypoints::GpxReadOptions options;
  options.companionWaypoints = false;
  std::vector<pages::IndexEntry> index;
  try {
    waypoints::ReadGpxCaches(path, options, [&](waypoints::CacheRecord&& c) {
      const pages::SanitizedHtml shortHtml = c.shortIsHtml ? pages::SanitizeDescription(c.shortDescription)
                                                           : pages::SanitizedHtml{{pages::PlainTextToHtml(c.shortDescription)}, {}};
      const pages::SanitizedHtml longHtml = c.longIsHtml ? pages::SanitizeDescription(c.longDescription)
                                                         : pages::SanitizedHtml{{pages::PlainTextToHtml(c.longDescription)}, {}};
      // Every picture keeps its own address, the case that leaves most of the owner's text in the page.
      std::vector<std::string> sources;
      for (const auto* html : {&shortHtml, &longHtml})
        for (const auto& p : html->pictures) sources.push_back(p.address);
      const std::string page = text::Utf8To1250Html(
          pages::CachePageHtml({c, shortHtml, longHtml, sources, logs % 12, "fuzz.gpx"}));
      if (Runs(page)) __builtin_trap();
      const std::string name = pages::FilePageName(c, logs & 1).bytes();
      if (name.find('/') != std::string::npos || name.find('\\') != std::string::npos) __builtin_trap();
      index.push_back({c.name, c.code, c.type, c.container, c.difficulty, c.terrain,
                       text::Cp1250::FromBytes(name + ".htm"), c.position});
      return index.size() < 64;
    });
  } catch (const Error&) {
    // Malformed or empty files are refused by the reader with a message.
  }
  const std::string list = pages::IndexHtml(index, waypoints::GeoPoint{48.3, 18.1}, logs & 2).bytes();
  if (Runs(list)) __builtin_trap();
  return 0;
}
