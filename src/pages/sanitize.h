#pragma once
// Owner HTML from a waypoint file is untrusted: it passes an allow-list on
// the way into an offline page, so the page never runs code, in the
// handheld's browser or in the window's. Text in and out is UTF-8.

#include <string>
#include <string_view>
#include <vector>

namespace trovik::pages {

struct DescriptionPicture {
  std::string address;  // as written in src: http(s) or data:image/...
  std::string caption;  // alt, else title, else the text of the link around it
};

// Sanitized HTML with its pictures cut out: the page is parts[0], the address
// chosen for pictures[0] (attribute-escaped by Render), parts[1], ... so the
// caller picks each address after it knows which pictures it could fetch.
struct SanitizedHtml {
  std::vector<std::string> parts;  // pictures.size() + 1 pieces
  std::vector<DescriptionPicture> pictures;

  // The whole HTML, `sources[i]` standing for picture i (raw text; escaped here).
  std::string Render(const std::vector<std::string>& sources) const;
};

// Keeps text formatting, paragraphs, lists, tables, links and pictures;
// drops script, style, iframe, object, embed, form (and its controls), meta,
// link, base with their content, every on* attribute, and every address that
// is not http, https, mailto, a fragment or (for pictures) data:image ("//x"
// is taken as https://x). A style keeps only harmless declarations. Other
// elements give way to their content. Never deeper than a fixed nesting,
// linear in the input.
SanitizedHtml SanitizeDescription(std::string_view html);

// Plain text (html="False"): <, > and & escaped, each line break (CR LF, CR,
// LF) written as "<br>" and a LF.
std::string PlainTextToHtml(std::string_view text);

}  // namespace trovik::pages
