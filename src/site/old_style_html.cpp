#include "site/old_style_html.h"

#include <gumbo.h>

#include <memory>
#include <vector>

#include "text/text.h"

namespace trovik::site {
namespace {

bool IsOneOf(std::string_view name, std::initializer_list<std::string_view> names) {
  for (auto n : names)
    if (n == name) return true;
  return false;
}

bool IsAddressAttribute(std::string_view name) {
  return IsOneOf(name, {"href", "src", "action", "background", "cite", "longdesc", "usemap", "lowsrc",
                        "dynsrc", "codebase", "data", "poster"});
}

bool IsBooleanAttribute(std::string_view name) {
  return IsOneOf(name, {"checked", "selected", "disabled", "readonly", "multiple", "nowrap", "noshade",
                        "compact", "ismap", "defer", "noresize", "hidden", "async", "autofocus", "autoplay",
                        "controls", "loop", "muted", "required"});
}

bool IsVoid(std::string_view upperName) {
  return IsOneOf(upperName, {"BR", "IMG", "INPUT", "HR", "META", "LINK", "AREA", "BASE", "COL", "PARAM", "WBR",
                             "EMBED", "SOURCE", "TRACK"});
}

// Elements whose text the engine writes without escaping.
bool IsRawText(std::string_view upperName) {
  return IsOneOf(upperName, {"SCRIPT", "STYLE", "XMP", "IFRAME", "NOEMBED", "NOFRAMES", "PLAINTEXT"});
}

bool IsBareValue(std::string_view value) {
  if (value.empty()) return false;
  for (unsigned char c : value) {
    bool ok = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '-' ||
              c == '_' || c == '.' || c == ':' || c == '#';
    if (!ok) return false;
  }
  return true;
}

std::string TagName(const GumboElement& element) {
  std::string name;
  if (element.tag != GUMBO_TAG_UNKNOWN) {
    name = gumbo_normalized_tagname(element.tag);
  } else {
    GumboStringPiece piece = element.original_tag;
    gumbo_tag_from_original_text(&piece);
    name.assign(piece.data, piece.length);
  }
  return text::UpperCase(name);
}

void AppendEscapedText(std::string& out, std::string_view s) {
  for (size_t i = 0; i < s.size(); ++i) {
    char c = s[i];
    if (c == '&') {
      out += "&amp;";
    } else if (c == '<') {
      out += "&lt;";
    } else if (c == '>') {
      out += "&gt;";
    } else if (c == '\xC2' && i + 1 < s.size() && s[i + 1] == '\xA0') {
      out += "&nbsp;";
      ++i;
    } else {
      out += c;
    }
  }
}

void AppendQuoted(std::string& out, std::string_view value) {
  out += '"';
  for (char c : value) {
    if (c == '&')
      out += "&amp;";
    else if (c == '"')
      out += "&quot;";
    else
      out += c;
  }
  out += '"';
}

// The parser leaves the text pending before a "</form>" unattached until the
// next node, so it would land after the form. A bogus comment just before
// every "</form" makes it attach the text in place; the mark is taken out of
// whatever it ends up in (comments, scripts, attribute values).
constexpr std::string_view kFormMark = "<?trovik-form?>";
constexpr std::string_view kFormMarkData = "?trovik-form?";

std::string MarkFormEnds(std::string_view html) {
  std::string out;
  out.reserve(html.size() + 64);
  size_t i = 0;
  while (i < html.size()) {
    if (html[i] == '<' && i + 6 <= html.size() && html[i + 1] == '/' &&
        text::UpperCase(html.substr(i + 2, 4)) == "FORM")
      out += kFormMark;
    out += html[i++];
  }
  return out;
}

std::string Unmark(std::string_view s) {
  std::string out(s);
  for (size_t at = out.find(kFormMark); at != std::string::npos; at = out.find(kFormMark, at))
    out.erase(at, kFormMark.size());
  return out;
}

void AppendAttribute(std::string& out, const GumboAttribute& attribute) {
  std::string_view name = attribute.name;
  std::string unmarked = Unmark(attribute.value);
  std::string_view value = unmarked;
  out += ' ';
  out += name;
  if (IsAddressAttribute(name)) {
    out += '=';
    AppendQuoted(out, value);
  } else if (value.empty()) {
    if (!IsBooleanAttribute(name)) out += "=\"\"";
  } else if (IsBareValue(value)) {
    out += '=';
    out += value;
  } else {
    out += '=';
    AppendQuoted(out, value);
  }
}

// Every LF (the parser has already turned CR LF and lone CR into LF) as CR LF.
std::string CrLf(const std::string& s) {
  std::string out;
  out.reserve(s.size() + s.size() / 32);
  for (char c : s) {
    if (c == '\n') out += '\r';
    out += c;
  }
  return out;
}

struct OutputDeleter {
  void operator()(GumboOutput* output) const { gumbo_destroy_output(&kGumboDefaultOptions, output); }
};

}  // namespace

std::string OldStyleHtmlUtf8(std::string_view bodyUtf8) {
  GumboOptions options = kGumboDefaultOptions;
  options.fragment_context = GUMBO_TAG_BODY;
  options.fragment_namespace = GUMBO_NAMESPACE_HTML;
  options.max_errors = 0;  // nobody reads them
  const std::string html = MarkFormEnds(bodyUtf8);
  std::unique_ptr<GumboOutput, OutputDeleter> output(gumbo_parse_with_options(&options, html.data(), html.size()));
  std::string out;
  if (!output || output->root == nullptr) return out;

  // Iterative walk: listing pages nest deeply enough to worry a recursive one.
  struct Frame {
    const GumboNode* node;
    unsigned next;     // index of the next child to visit
    std::string end;   // end tag written after the children, empty for void elements
    bool raw;          // children are raw text
  };
  std::vector<Frame> stack;
  stack.push_back({output->root, 0, "", false});
  while (!stack.empty()) {
    Frame& frame = stack.back();
    const GumboVector& children = frame.node->v.element.children;
    if (frame.next >= children.length) {
      out += frame.end;
      stack.pop_back();
      continue;
    }
    const GumboNode* child = static_cast<const GumboNode*>(children.data[frame.next++]);
    bool raw = frame.raw;
    switch (child->type) {
      case GUMBO_NODE_TEXT:
      case GUMBO_NODE_WHITESPACE:
      case GUMBO_NODE_CDATA:
        if (raw)
          out += Unmark(child->v.text.text);
        else
          AppendEscapedText(out, Unmark(child->v.text.text));
        break;
      case GUMBO_NODE_COMMENT:
        if (child->v.text.text == kFormMarkData) break;
        out += "<!--";
        out += Unmark(child->v.text.text);
        out += "-->";
        break;
      case GUMBO_NODE_ELEMENT:
      case GUMBO_NODE_TEMPLATE: {
        const GumboElement& element = child->v.element;
        std::string name = TagName(element);
        out += '<';
        out += name;
        for (unsigned i = 0; i < element.attributes.length; ++i)
          AppendAttribute(out, *static_cast<const GumboAttribute*>(element.attributes.data[i]));
        out += '>';
        std::string end = IsVoid(name) ? std::string() : "</" + name + ">";
        stack.push_back({child, 0, std::move(end), IsRawText(name)});
        break;
      }
      case GUMBO_NODE_DOCUMENT:
        break;
    }
  }
  return CrLf(out);
}

std::string OldStyleHtml(std::string_view bodyUtf8) { return text::Utf8To1250Strict(OldStyleHtmlUtf8(bodyUtf8)); }

}  // namespace trovik::site
