#include "pages/sanitize.h"

#include <gumbo.h>
#include <sys/mman.h>

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <optional>
#include <unordered_set>

#include "pages/sanitize_rules.h"
#include "text/text.h"

namespace trovik::pages {

namespace {

using sanitize::IsVoid;
using sanitize::KeepAttribute;
using sanitize::LimitNesting;
using sanitize::Rule;
using sanitize::RuleOf;
using sanitize::SafeAddress;
using sanitize::SafeStyle;

// Nesting of the output; deeper elements give way to their content.
constexpr size_t kMaxNesting = 64;
constexpr size_t kMaxCaption = 200;

void AppendEscaped(std::string& out, std::string_view s, bool attribute) {
  for (char c : s) {
    switch (c) {
      case '&':
        out += "&amp;";
        break;
      case '<':
        out += "&lt;";
        break;
      case '>':
        out += "&gt;";
        break;
      case '"':
        if (attribute) {
          out += "&quot;";
          break;
        }
        [[fallthrough]];
      default:
        out += c;
    }
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

  static void* Allocate(void* self, size_t size) {
    try {
      return static_cast<ParsePool*>(self)->allocate(size);
    } catch (...) {
      OutOfMemory();
    }
  }
  static void Release(void* self, void* p) { static_cast<ParsePool*>(self)->release(p); }

 private:
  static constexpr size_t kHead = 16;  // keeps the blocks aligned as malloc's are
  // Blocks of 16 to 1024 bytes in steps of 16, then powers of two to 64 KiB.
  static constexpr uint32_t kClasses = 64 + 6;
  static constexpr uint32_t kLarge = kClasses;
  static constexpr size_t kHugePage = 2 << 20;
  static constexpr size_t kMaxChunk = 4 << 20;

  // No exception may cross the parser's C frames; it would have crashed on
  // malloc's null as well.
  [[noreturn]] static void OutOfMemory() { std::abort(); }

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
      if (!block) OutOfMemory();
      large_.insert(block);
    } else if (free_[cls]) {
      block = static_cast<char*>(free_[cls]);
      std::memcpy(&free_[cls], block + kHead, sizeof(void*));
    } else {
      const size_t bytes = BlockSize(cls);
      if (left_ < bytes) {
        // Chunks grow with the description, so a short one stays cheap; the
        // large ones ask for huge pages, as faulting in the memory of a tree
        // of megabytes costs as much as building it.
        const bool huge = chunkSize_ >= kHugePage;
        void* c = huge ? std::aligned_alloc(kHugePage, chunkSize_) : std::malloc(chunkSize_);
        if (!c) OutOfMemory();
        if (huge) madvise(c, chunkSize_, MADV_HUGEPAGE);
        chunks_.emplace_back(static_cast<char*>(c));
        next_ = chunks_.back().get();
        left_ = chunkSize_;
        chunkSize_ = std::min(chunkSize_ * 2, kMaxChunk);
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
  size_t chunkSize_ = 64 << 10;
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
