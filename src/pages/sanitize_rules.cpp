#include "pages/sanitize_rules.h"

#include <initializer_list>

#include "text/text.h"

namespace trovik::pages::sanitize {

namespace {

// Nesting the parser is given: its tree building scans the open elements at
// each tag, so a description of a million nested tags would take minutes.
constexpr int kMaxSourceNesting = 128;

bool AsciiLetter(char c) {
  return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
}

bool NameChar(char c) {
  return AsciiLetter(c) || (c >= '0' && c <= '9');
}

bool OneOf(std::string_view name, std::initializer_list<std::string_view> names) {
  for (std::string_view n : names)
    if (n == name) return true;
  return false;
}

// Position of "</name" (any case) at or after `from`, npos when none.
size_t FindEndTag(std::string_view html, std::string_view name, size_t from) {
  for (size_t at = html.find("</", from); at != std::string_view::npos; at = html.find("</", at + 2))
    if (text::SameTextAscii(html.substr(at + 2, name.size()), name)) return at;
  return std::string_view::npos;
}

}  // namespace

// The description with every start tag beyond kMaxSourceNesting open
// elements left out, and its end tag with it. A rough tokenizer is enough:
// what it misjudges only changes which tags are left out, and the parser
// and the allow-list see the result as they would any other input.
std::string LimitNesting(std::string_view html) {
  std::string out;
  out.reserve(html.size());
  int depth = 0;
  size_t kept = 0;
  size_t i = 0;
  const auto drop = [&](size_t from, size_t to) {
    out.append(html.substr(kept, from - kept));
    kept = to;
  };
  while ((i = html.find('<', i)) != std::string_view::npos) {
    if (html.substr(i, 4) == "<!--") {
      size_t end = html.find("-->", i + 4);
      if (end == std::string_view::npos) break;
      i = end + 3;
      continue;
    }
    const bool closing = i + 1 < html.size() && html[i + 1] == '/';
    size_t n = i + (closing ? 2 : 1);
    if (n >= html.size() || !AsciiLetter(html[n])) {
      ++i;
      continue;
    }
    size_t nameEnd = n;
    while (nameEnd < html.size() && NameChar(html[nameEnd])) ++nameEnd;
    const std::string name = text::LowerCase(html.substr(n, nameEnd - n));
    // The tag's end: a quoted attribute value may hold ">".
    size_t end = nameEnd;
    char last = ' ';
    while (end < html.size() && html[end] != '>') {
      char c = html[end];
      if ((c == '"' || c == '\'') && last == '=') {
        size_t q = html.find(c, end + 1);
        if (q == std::string_view::npos) {
          end = html.size();
          break;
        }
        end = q;
      }
      if (c != ' ' && c != '\t' && c != '\n' && c != '\r') last = c;
      ++end;
    }
    if (end >= html.size()) break;
    const size_t after = end + 1;
    // Elements that close themselves, or that the parser closes when the next of their kind starts.
    const bool counted =
        !OneOf(name, {"area",  "base",   "br",       "col",   "embed", "hr",    "img",      "input",  "link", "meta",
                      "param", "source", "track",    "wbr",   "p",     "li",    "dt",       "dd",     "tr",   "td",
                      "th",    "option", "optgroup", "thead", "tbody", "tfoot", "colgroup", "caption"});
    if (closing) {
      if (counted) {
        if (depth > kMaxSourceNesting) drop(i, after);
        if (depth > 0) --depth;
      }
      i = after;
      continue;
    }
    if (name == "plaintext") break;
    if (counted) {
      if (depth >= kMaxSourceNesting) drop(i, after);
      ++depth;
    }
    i = after;
    if (OneOf(name, {"script", "style", "textarea", "title", "xmp", "iframe", "noembed", "noframes", "noscript"})) {
      size_t close = FindEndTag(html, name, i);
      if (close == std::string_view::npos) break;
      i = close;
    }
  }
  out.append(html.substr(kept));
  return out;
}

Rule RuleOf(const GumboNode& node) {
  if (node.type == GUMBO_NODE_TEMPLATE) return Rule::Drop;
  const GumboElement& e = node.v.element;
  if (e.tag_namespace != GUMBO_NAMESPACE_HTML) return Rule::Drop;
  // clang-format off
  switch (e.tag) {
    case GUMBO_TAG_B: case GUMBO_TAG_STRONG: case GUMBO_TAG_I: case GUMBO_TAG_EM: case GUMBO_TAG_U:
    case GUMBO_TAG_S: case GUMBO_TAG_STRIKE: case GUMBO_TAG_DEL: case GUMBO_TAG_INS: case GUMBO_TAG_SUB:
    case GUMBO_TAG_SUP: case GUMBO_TAG_SMALL: case GUMBO_TAG_BIG: case GUMBO_TAG_FONT: case GUMBO_TAG_SPAN:
    case GUMBO_TAG_CODE: case GUMBO_TAG_PRE: case GUMBO_TAG_TT: case GUMBO_TAG_KBD: case GUMBO_TAG_SAMP:
    case GUMBO_TAG_VAR: case GUMBO_TAG_MARK: case GUMBO_TAG_ABBR: case GUMBO_TAG_ACRONYM: case GUMBO_TAG_CITE:
    case GUMBO_TAG_Q: case GUMBO_TAG_DFN: case GUMBO_TAG_BLOCKQUOTE: case GUMBO_TAG_CENTER: case GUMBO_TAG_BR:
    case GUMBO_TAG_HR: case GUMBO_TAG_WBR: case GUMBO_TAG_H1: case GUMBO_TAG_H2: case GUMBO_TAG_H3:
    case GUMBO_TAG_H4: case GUMBO_TAG_H5: case GUMBO_TAG_H6: case GUMBO_TAG_P: case GUMBO_TAG_DIV:
    case GUMBO_TAG_ADDRESS: case GUMBO_TAG_UL: case GUMBO_TAG_OL: case GUMBO_TAG_LI: case GUMBO_TAG_DL:
    case GUMBO_TAG_DT: case GUMBO_TAG_DD: case GUMBO_TAG_TABLE: case GUMBO_TAG_CAPTION: case GUMBO_TAG_THEAD:
    case GUMBO_TAG_TBODY: case GUMBO_TAG_TFOOT: case GUMBO_TAG_TR: case GUMBO_TAG_TD: case GUMBO_TAG_TH:
    case GUMBO_TAG_COLGROUP: case GUMBO_TAG_COL: case GUMBO_TAG_A: case GUMBO_TAG_IMG:
      return Rule::Keep;
    case GUMBO_TAG_SCRIPT: case GUMBO_TAG_STYLE: case GUMBO_TAG_IFRAME: case GUMBO_TAG_FRAME:
    case GUMBO_TAG_FRAMESET: case GUMBO_TAG_OBJECT: case GUMBO_TAG_EMBED: case GUMBO_TAG_APPLET:
    case GUMBO_TAG_PARAM: case GUMBO_TAG_FORM: case GUMBO_TAG_INPUT: case GUMBO_TAG_BUTTON: case GUMBO_TAG_SELECT:
    case GUMBO_TAG_OPTION: case GUMBO_TAG_OPTGROUP: case GUMBO_TAG_DATALIST: case GUMBO_TAG_TEXTAREA:
    case GUMBO_TAG_KEYGEN: case GUMBO_TAG_META: case GUMBO_TAG_LINK: case GUMBO_TAG_BASE: case GUMBO_TAG_NOSCRIPT:
    case GUMBO_TAG_TEMPLATE: case GUMBO_TAG_SVG: case GUMBO_TAG_MATH: case GUMBO_TAG_TITLE: case GUMBO_TAG_HEAD:
    case GUMBO_TAG_AUDIO: case GUMBO_TAG_VIDEO: case GUMBO_TAG_SOURCE: case GUMBO_TAG_TRACK: case GUMBO_TAG_CANVAS:
    case GUMBO_TAG_NOEMBED: case GUMBO_TAG_NOFRAMES: case GUMBO_TAG_BGSOUND: case GUMBO_TAG_MENUITEM:
      return Rule::Drop;
    default:
      return Rule::GiveWay;
  }
  // clang-format on
}

bool IsVoid(GumboTag tag) {
  return tag == GUMBO_TAG_BR || tag == GUMBO_TAG_HR || tag == GUMBO_TAG_WBR || tag == GUMBO_TAG_COL ||
         tag == GUMBO_TAG_IMG;
}

// An address a link or picture may keep, as it is to be written; none when
// it could run code or leads nowhere offline. Browsers drop tabs and line
// breaks anywhere and blanks at the ends, so the scheme is judged after the
// same; any other control character refuses the address.
std::optional<std::string> SafeAddress(std::string_view raw, bool picture) {
  std::string a;
  for (char c : text::Trim(raw))
    if (c != '\t' && c != '\n' && c != '\r') a += c;
  if (a.empty()) return std::nullopt;
  for (char c : a)
    if (static_cast<unsigned char>(c) < 0x20 || c == 0x7F) return std::nullopt;
  if (a[0] == '#') return picture ? std::nullopt : std::optional<std::string>(a);
  if (a.size() > 2 && a[0] == '/' && a[1] == '/') return "https:" + a;
  size_t colon = a.find(':');
  if (colon == std::string::npos || a.find_first_of("/?#") < colon) return std::nullopt;  // relative
  std::string scheme = text::LowerCase(a.substr(0, colon));
  if (scheme == "http" || scheme == "https") return a;
  if (!picture && scheme == "mailto") return a;
  if (picture && scheme == "data") {
    std::string type = text::LowerCase(a.substr(colon + 1, 16));
    for (std::string_view t : {"image/png", "image/jpeg", "image/jpg", "image/gif", "image/webp", "image/bmp"})
      if (text::StartsWith(type, t) && (type.size() == t.size() || type[t.size()] == ';' || type[t.size()] == ','))
        return a;
  }
  return std::nullopt;
}

// A style keeps only declarations of layout and typography whose values are
// words, numbers, colours and lengths: without parentheses (bar rgb()),
// backslashes, quotes, slashes or colons no value can load an address, run
// an expression or escape into one. The declarations are written anew.
std::string SafeStyle(std::string_view style) {
  std::string out;
  size_t start = 0;
  while (start <= style.size()) {
    size_t semi = style.find(';', start);
    std::string_view decl = style.substr(start, semi == std::string_view::npos ? std::string_view::npos : semi - start);
    start = semi == std::string_view::npos ? style.size() + 1 : semi + 1;
    size_t colon = decl.find(':');
    if (colon == std::string_view::npos) continue;
    std::string prop = text::LowerCase(text::Trim(decl.substr(0, colon)));
    std::string value = text::Trim(decl.substr(colon + 1));
    static constexpr std::string_view kProps[] = {"color",
                                                  "background",
                                                  "background-color",
                                                  "font",
                                                  "font-weight",
                                                  "font-style",
                                                  "font-size",
                                                  "font-family",
                                                  "font-variant",
                                                  "text-align",
                                                  "text-decoration",
                                                  "text-indent",
                                                  "text-transform",
                                                  "letter-spacing",
                                                  "word-spacing",
                                                  "line-height",
                                                  "vertical-align",
                                                  "white-space",
                                                  "border",
                                                  "border-top",
                                                  "border-right",
                                                  "border-bottom",
                                                  "border-left",
                                                  "border-color",
                                                  "border-style",
                                                  "border-width",
                                                  "border-collapse",
                                                  "border-spacing",
                                                  "margin",
                                                  "margin-top",
                                                  "margin-right",
                                                  "margin-bottom",
                                                  "margin-left",
                                                  "padding",
                                                  "padding-top",
                                                  "padding-right",
                                                  "padding-bottom",
                                                  "padding-left",
                                                  "width",
                                                  "height",
                                                  "max-width",
                                                  "list-style-type",
                                                  "float",
                                                  "clear"};
    bool known = false;
    for (std::string_view p : kProps) known = known || p == prop;
    if (!known || value.empty()) continue;
    bool safe = true;
    for (size_t i = 0; i < value.size() && safe; ++i) {
      char c = value[i];
      if (NameChar(c) || c == ' ' || c == '#' || c == '%' || c == '.' || c == ',' || c == '-') continue;
      if (c == '(') {
        // rgb(...) and rgba(...) with numbers only
        std::string before = text::LowerCase(value.substr(0, i));
        size_t close = value.find(')', i);
        safe = (text::Trim(before).ends_with("rgb") || text::Trim(before).ends_with("rgba")) &&
               close != std::string::npos && value.find_first_not_of("0123456789., %", i + 1) == close;
        if (safe) i = close;
        continue;
      }
      safe = false;
    }
    if (!safe) continue;
    if (!out.empty()) out += ' ';
    out += prop + ": " + value + ";";
  }
  return out;
}

bool KeepAttribute(GumboTag tag, std::string_view name) {
  if (OneOf(name, {"title", "lang", "dir", "align", "valign", "width", "height", "id", "class"})) return true;
  switch (tag) {
    case GUMBO_TAG_A:
      return name == "name";
    case GUMBO_TAG_IMG:
      return OneOf(name, {"alt", "border", "hspace", "vspace"});
    case GUMBO_TAG_FONT:
      return OneOf(name, {"color", "face", "size"});
    case GUMBO_TAG_TABLE:
      return OneOf(name, {"border", "cellpadding", "cellspacing", "bgcolor", "summary"});
    case GUMBO_TAG_TD:
    case GUMBO_TAG_TH:
      return OneOf(name, {"colspan", "rowspan", "bgcolor", "nowrap", "abbr"});
    case GUMBO_TAG_TR:
    case GUMBO_TAG_TBODY:
    case GUMBO_TAG_THEAD:
    case GUMBO_TAG_TFOOT:
      return name == "bgcolor";
    case GUMBO_TAG_COL:
    case GUMBO_TAG_COLGROUP:
      return name == "span";
    case GUMBO_TAG_OL:
      return OneOf(name, {"start", "type"});
    case GUMBO_TAG_UL:
      return name == "type";
    case GUMBO_TAG_LI:
      return OneOf(name, {"type", "value"});
    case GUMBO_TAG_BR:
      return name == "clear";
    case GUMBO_TAG_HR:
      return OneOf(name, {"size", "noshade", "color"});
    default:
      return false;
  }
}

}  // namespace trovik::pages::sanitize
