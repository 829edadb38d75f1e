// The description sanitizer on arbitrary HTML: what it gives back, parsed
// again as a browser would, holds only allowed elements, no event handler
// and no address that runs code; pictures are cut out one for one.

#include <gumbo.h>

#include <cstdint>
#include <string>
#include <vector>

#include "pages/sanitize.h"
#include "text/text.h"

namespace {

bool Allowed(const std::string& tag) {
  static const char* const kTags[] = {
      "b", "strong", "i", "em", "u", "s", "strike", "del", "ins", "sub", "sup", "small", "big", "font", "span",
      "code", "pre", "tt", "kbd", "samp", "var", "mark", "abbr", "acronym", "cite", "q", "dfn", "blockquote",
      "center", "br", "hr", "wbr", "h1", "h2", "h3", "h4", "h5", "h6", "p", "div", "address", "ul", "ol", "li",
      "dl", "dt", "dd", "table", "caption", "thead", "tbody", "tfoot", "tr", "td", "th", "colgroup", "col", "a",
      "img", "html", "head", "body"};
  for (const char* t : kTags)
    if (tag == t) return true;
  return false;
}

bool SafeAddress(const std::string& value, bool picture) {
  std::string v;
  for (char c : trovik::text::LowerCase(value))
    if (static_cast<unsigned char>(c) > ' ') v += c;
  using trovik::text::StartsWith;
  if (picture) return StartsWith(v, "pic");
  return StartsWith(v, "http:") || StartsWith(v, "https:") || StartsWith(v, "mailto:") || StartsWith(v, "#");
}

void Check(const std::string& html) {
  GumboOutput* out = gumbo_parse_with_options(&kGumboDefaultOptions, html.data(), html.size());
  std::vector<const GumboNode*> stack{out->root};
  while (!stack.empty()) {
    const GumboNode* node = stack.back();
    stack.pop_back();
    if (node->type == GUMBO_NODE_COMMENT || node->type == GUMBO_NODE_TEMPLATE) __builtin_trap();
    if (node->type != GUMBO_NODE_ELEMENT) continue;
    const GumboElement& e = node->v.element;
    if (e.tag_namespace != GUMBO_NAMESPACE_HTML || !Allowed(gumbo_normalized_tagname(e.tag))) __builtin_trap();
    for (unsigned i = 0; i < e.attributes.length; ++i) {
      const GumboAttribute& a = *static_cast<const GumboAttribute*>(e.attributes.data[i]);
      std::string name = a.name, value = trovik::text::LowerCase(a.value);
      if (trovik::text::StartsWith(name, "on")) __builtin_trap();
      if ((name == "href" || name == "src") && !SafeAddress(value, name == "src")) __builtin_trap();
      if (name == "style" && (value.find('(') != value.npos && value.find("rgb") == value.npos)) __builtin_trap();
      if (name == "style" && (value.find("url") != value.npos || value.find('\\') != value.npos)) __builtin_trap();
    }
    for (unsigned i = 0; i < e.children.length; ++i) stack.push_back(static_cast<const GumboNode*>(e.children.data[i]));
  }
  gumbo_destroy_output(&kGumboDefaultOptions, out);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace trovik;
  std::string html(reinterpret_cast<const char*>(data), size);
  pages::SanitizedHtml s = pages::SanitizeDescription(html);
  if (s.parts.size() != s.pictures.size() + 1) __builtin_trap();
  std::vector<std::string> sources;
  for (const pages::DescriptionPicture& p : s.pictures) {
    std::string a = text::LowerCase(p.address);
    if (!text::StartsWith(a, "http:") && !text::StartsWith(a, "https:") && !text::StartsWith(a, "data:image/"))
      __builtin_trap();
    sources.push_back("pic" + std::to_string(sources.size()));
  }
  Check(s.Render(sources));
  std::string plain = pages::PlainTextToHtml(html);
  for (size_t at = plain.find('<'); at != std::string::npos; at = plain.find('<', at + 1))
    if (plain.compare(at, 4, "<br>") != 0) __builtin_trap();
  return 0;
}
