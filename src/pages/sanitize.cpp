#include "pages/sanitize.h"

#include <gumbo.h>
#include <sys/mman.h>

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <new>
#include <optional>
#include <unordered_set>

#include "text/text.h"

namespace trovik::pages {

namespace {

// Nesting the parser is given: its tree building scans the open elements at
// each tag, so a description of a million nested tags would take minutes.
constexpr int kMaxSourceNesting = 128;
// Nesting of the output; deeper elements give way to their content.
constexpr size_t kMaxNesting = 64;
constexpr size_t kMaxCaption = 200;

bool AsciiLetter(char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'); }

bool NameChar(char c) { return AsciiLetter(c) || (c >= '0' && c <= '9'); }

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
    const bool counted = !OneOf(name, {"area", "base", "br", "col", "embed", "hr", "img", "input", "link", "meta",
                                       "param", "source", "track", "wbr", "p", "li", "dt", "dd", "tr", "td", "th",
                                       "option", "optgroup", "thead", "tbody", "tfoot", "colgroup", "caption"});
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

enum class Rule { Keep, GiveWay, Drop };

Rule RuleOf(const GumboNode& node) {
  if (node.type == GUMBO_NODE_TEMPLATE) return Rule::Drop;
  const GumboElement& e = node.v.element;
  if (e.tag_namespace != GUMBO_NAMESPACE_HTML) return Rule::Drop;
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
}

bool IsVoid(GumboTag tag) {
  return tag == GUMBO_TAG_BR || tag == GUMBO_TAG_HR || tag == GUMBO_TAG_WBR || tag == GUMBO_TAG_COL ||
         tag == GUMBO_TAG_IMG;
}

void AppendEscaped(std::string& out, std::string_view s, bool attribute) {
  for (char c : s) {
    switch (c) {
      case '&': out += "&amp;"; break;
      case '<': out += "&lt;"; break;
      case '>': out += "&gt;"; break;
      case '"':
        if (attribute) {
          out += "&quot;";
          break;
        }
        [[fallthrough]];
      default: out += c;
    }
  }
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
    static constexpr std::string_view kProps[] = {
        "color", "background", "background-color", "font", "font-weight", "font-style", "font-size", "font-family",
        "font-variant", "text-align", "text-decoration", "text-indent", "text-transform", "letter-spacing",
        "word-spacing", "line-height", "vertical-align", "white-space", "border", "border-top", "border-right",
        "border-bottom", "border-left", "border-color", "border-style", "border-width", "border-collapse",
        "border-spacing", "margin", "margin-top", "margin-right", "margin-bottom", "margin-left", "padding",
        "padding-top", "padding-right", "padding-bottom", "padding-left", "width", "height", "max-width",
        "list-style-type", "float", "clear"};
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
               close != std::string::npos &&
               value.find_first_not_of("0123456789., %", i + 1) == close;
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
    case GUMBO_TAG_A: return name == "name";
    case GUMBO_TAG_IMG: return OneOf(name, {"alt", "border", "hspace", "vspace"});
    case GUMBO_TAG_FONT: return OneOf(name, {"color", "face", "size"});
    case GUMBO_TAG_TABLE: return OneOf(name, {"border", "cellpadding", "cellspacing", "bgcolor", "summary"});
    case GUMBO_TAG_TD: case GUMBO_TAG_TH: return OneOf(name, {"colspan", "rowspan", "bgcolor", "nowrap", "abbr"});
    case GUMBO_TAG_TR: case GUMBO_TAG_TBODY: case GUMBO_TAG_THEAD: case GUMBO_TAG_TFOOT: return name == "bgcolor";
    case GUMBO_TAG_COL: case GUMBO_TAG_COLGROUP: return name == "span";
    case GUMBO_TAG_OL: return OneOf(name, {"start", "type"});
    case GUMBO_TAG_UL: return name == "type";
    case GUMBO_TAG_LI: return OneOf(name, {"type", "value"});
    case GUMBO_TAG_BR: return name == "clear";
    case GUMBO_TAG_HR: return OneOf(name, {"size", "noshade", "color"});
    default: return false;
  }
}

const char* AttributeValue(const GumboElement& e, const char* name) {
  const GumboAttribute* a = gumbo_get_attribute(&e.attributes, name);
  return a ? a->value : nullptr;
}

// Text of a link for a picture's caption: its words, blanks collapsed, kept short.
std::string LinkText(const GumboNode* link) {
  std::string out;
  std::vector<std::pair<const GumboNode*, unsigned>> stack{{link, 0}};
  while (!stack.empty() && out.size() < kMaxCaption) {
    auto& [node, next] = stack.back();
    const GumboVector& children = node->v.element.children;
    if (next >= children.length) {
      stack.pop_back();
      continue;
    }
    const GumboNode* child = static_cast<const GumboNode*>(children.data[next++]);
    if (child->type == GUMBO_NODE_ELEMENT) {
      if (RuleOf(*child) != Rule::Drop) stack.push_back({child, 0});
    } else if (child->type == GUMBO_NODE_TEXT || child->type == GUMBO_NODE_WHITESPACE ||
               child->type == GUMBO_NODE_CDATA) {
      for (const char* p = child->v.text.text; *p && out.size() < kMaxCaption; ++p) {
        bool blank = static_cast<unsigned char>(*p) <= ' ';
        if (!blank)
          out += *p;
        else if (!out.empty() && out.back() != ' ')
          out += ' ';
      }
    }
  }
  if (out.size() >= kMaxCaption) {
    size_t cut = kMaxCaption;
    while (cut > 0 && (static_cast<unsigned char>(out[cut]) & 0xC0) == 0x80) --cut;
    out.resize(cut);
  }
  return text::Trim(out);
}

// The parser's memory. It allocates and frees a great many small blocks,
// which cost more through malloc than the parsing itself; here freed blocks
// are reused by size class, and all of it goes at once at the end, so the
// tree is never taken apart node by node either.
class ParsePool {
 public:
  ParsePool() = default;
  ParsePool(const ParsePool&) = delete;
  ParsePool& operator=(const ParsePool&) = delete;
  ~ParsePool() {
    for (void* p : large_) std::free(p);
  }

  static void* Allocate(void* self, size_t size) { return static_cast<ParsePool*>(self)->allocate(size); }
  static void Release(void* self, void* p) { static_cast<ParsePool*>(self)->release(p); }

 private:
  static constexpr size_t kHead = 16;  // keeps the blocks aligned as malloc's are
  // Blocks of 16 to 1024 bytes in steps of 16, then powers of two to 64 KiB.
  static constexpr uint32_t kClasses = 64 + 6;
  static constexpr uint32_t kLarge = kClasses;
  static constexpr size_t kChunk = 4 << 20;

  static uint32_t ClassOf(size_t bytes) {
    if (bytes <= 1024) return static_cast<uint32_t>((bytes + 15) / 16 - 1);
    uint32_t cls = 64;
    while (cls < kClasses && BlockSize(cls) < bytes) ++cls;
    return cls;
  }
  static size_t BlockSize(uint32_t cls) { return cls < 64 ? (cls + 1) * size_t{16} : size_t{2048} << (cls - 64); }

  void* allocate(size_t size) {
    const uint32_t cls = ClassOf(size + kHead);
    char* block;
    if (cls == kLarge) {
      block = static_cast<char*>(std::malloc(size + kHead));
      if (!block) throw std::bad_alloc();
      large_.insert(block);
    } else if (free_[cls]) {
      block = static_cast<char*>(free_[cls]);
      std::memcpy(&free_[cls], block + kHead, sizeof(void*));
    } else {
      const size_t bytes = BlockSize(cls);
      if (left_ < bytes) {
        void* c = std::aligned_alloc(kChunk, kChunk);
        if (!c) throw std::bad_alloc();
        madvise(c, kChunk, MADV_HUGEPAGE);
        chunks_.emplace_back(static_cast<char*>(c));
        next_ = chunks_.back().get();
        left_ = kChunk;
      }
      block = next_;
      next_ += bytes;
      left_ -= bytes;
    }
    std::memcpy(block, &cls, sizeof cls);
    return block + kHead;
  }

  void release(void* p) {
    if (!p) return;
    char* block = static_cast<char*>(p) - kHead;
    uint32_t cls;
    std::memcpy(&cls, block, sizeof cls);
    if (cls == kLarge) {
      large_.erase(block);
      std::free(block);
      return;
    }
    std::memcpy(block + kHead, &free_[cls], sizeof(void*));
    free_[cls] = block;
  }

  struct FreeChunk {
    void operator()(char* p) const { std::free(p); }
  };
  std::vector<std::unique_ptr<char, FreeChunk>> chunks_;
  char* next_ = nullptr;
  size_t left_ = 0;
  void* free_[kClasses] = {};
  std::unordered_set<void*> large_;
};

}  // namespace

SanitizedHtml SanitizeDescription(std::string_view html) {
  SanitizedHtml result;
  result.parts.emplace_back();
  const std::string limited = LimitNesting(html);
  ParsePool pool;
  GumboOptions options = kGumboDefaultOptions;
  options.allocator = ParsePool::Allocate;
  options.deallocator = ParsePool::Release;
  options.userdata = &pool;
  options.fragment_context = GUMBO_TAG_DIV;
  options.fragment_namespace = GUMBO_NAMESPACE_HTML;
  options.max_errors = 0;
  const GumboOutput* output = gumbo_parse_with_options(&options, limited.data(), limited.size());
  if (!output || !output->root) return result;

  struct Frame {
    const GumboNode* node;
    unsigned next;
    bool written;  // its end tag is due
    std::optional<std::string> linkText;
  };
  std::vector<Frame> stack;
  stack.push_back({output->root, 0, false, std::nullopt});
  size_t written = 0;   // elements open in the output
  size_t openLink = 0;  // index in `stack` + 1 of the innermost written link, 0 when none
  std::string* out = &result.parts.back();
  while (!stack.empty()) {
    Frame& frame = stack.back();
    const GumboVector& children = frame.node->v.element.children;
    if (frame.next >= children.length) {
      if (frame.written) {
        *out += "</";
        *out += gumbo_normalized_tagname(frame.node->v.element.tag);
        *out += '>';
        --written;
      }
      if (openLink == stack.size()) {
        openLink = 0;
        for (size_t i = stack.size() - 1; i-- > 0;)
          if (stack[i].written && stack[i].node->v.element.tag == GUMBO_TAG_A) {
            openLink = i + 1;
            break;
          }
      }
      stack.pop_back();
      continue;
    }
    const GumboNode* child = static_cast<const GumboNode*>(children.data[frame.next++]);
    if (child->type == GUMBO_NODE_TEXT || child->type == GUMBO_NODE_WHITESPACE || child->type == GUMBO_NODE_CDATA) {
      AppendEscaped(*out, child->v.text.text, false);
      continue;
    }
    if (child->type != GUMBO_NODE_ELEMENT && child->type != GUMBO_NODE_TEMPLATE) continue;  // comments
    const Rule rule = RuleOf(*child);
    if (rule == Rule::Drop) continue;
    const GumboElement& e = child->v.element;
    bool write = rule == Rule::Keep && written < kMaxNesting;
    std::optional<std::string> picture;
    if (write && e.tag == GUMBO_TAG_IMG) {
      const char* src = AttributeValue(e, "src");
      picture = src ? SafeAddress(src, true) : std::nullopt;
      if (!picture) continue;
    }
    if (write) {
      const char* name = gumbo_normalized_tagname(e.tag);
      *out += '<';
      *out += name;
      if (picture) {
        DescriptionPicture p;
        p.address = *picture;
        for (const char* attr : {"alt", "title"}) {
          if (const char* v = AttributeValue(e, attr); v && p.caption.empty()) p.caption = text::Trim(v);
        }
        if (p.caption.empty() && openLink) {
          Frame& link = stack[openLink - 1];
          if (!link.linkText) link.linkText = LinkText(link.node);
          p.caption = *link.linkText;
        }
        *out += " src=\"";
        result.pictures.push_back(std::move(p));
        result.parts.emplace_back("\"");
        out = &result.parts.back();
      }
      if (e.tag == GUMBO_TAG_A) {
        const char* href = AttributeValue(e, "href");
        if (auto address = href ? SafeAddress(href, false) : std::nullopt) {
          *out += " href=\"";
          AppendEscaped(*out, *address, true);
          *out += '"';
        }
      }
      for (unsigned i = 0; i < e.attributes.length; ++i) {
        const GumboAttribute& a = *static_cast<const GumboAttribute*>(e.attributes.data[i]);
        std::string value;
        if (std::strcmp(a.name, "style") == 0) {
          value = SafeStyle(a.value);
          if (value.empty()) continue;
        } else if (KeepAttribute(e.tag, a.name)) {
          value = a.value;
        } else {
          continue;
        }
        *out += ' ';
        *out += a.name;
        *out += "=\"";
        AppendEscaped(*out, value, true);
        *out += '"';
      }
      *out += '>';
      if (IsVoid(e.tag)) continue;
      ++written;
    }
    stack.push_back({child, 0, write, std::nullopt});
    if (write && e.tag == GUMBO_TAG_A) openLink = stack.size();
  }
  return result;
}

std::string SanitizedHtml::Render(const std::vector<std::string>& sources) const {
  std::string out = parts.empty() ? std::string() : parts[0];
  for (size_t i = 1; i < parts.size(); ++i) {
    if (i - 1 < sources.size()) AppendEscaped(out, sources[i - 1], true);
    out += parts[i];
  }
  return out;
}

std::string PlainTextToHtml(std::string_view text) {
  std::string out;
  out.reserve(text.size() + text.size() / 16);
  for (size_t i = 0; i < text.size(); ++i) {
    char c = text[i];
    if (c == '\r' || c == '\n') {
      if (c == '\r' && i + 1 < text.size() && text[i + 1] == '\n') ++i;
      out += "<br>\n";
    } else {
      AppendEscaped(out, std::string_view(&c, 1), false);
    }
  }
  return out;
}

}  // namespace trovik::pages
