#include "pages/sanitize.h"

#include <gtest/gtest.h>
#include <gumbo.h>

#include <ctime>
#include <set>

#include "text/text.h"

namespace trovik::pages {
namespace {

// What a browser would make of the output: every element, attribute and
// address it holds, checked against what may run nothing. Returns the
// first offence, "" when none, and the deepest nesting in `depth`.
std::string Offence(const std::string& html, size_t* depth = nullptr) {
  static const std::set<std::string> kElements = {
      "b",        "strong",  "i",    "em",    "u",       "s",          "strike", "del",     "ins",  "sub", "sup",
      "small",    "big",     "font", "span",  "code",    "pre",        "tt",     "kbd",     "samp", "var", "mark",
      "abbr",     "acronym", "cite", "q",     "dfn",     "blockquote", "center", "br",      "hr",   "wbr", "h1",
      "h2",       "h3",      "h4",   "h5",    "h6",      "p",          "div",    "address", "ul",   "ol",  "li",
      "dl",       "dt",      "dd",   "table", "caption", "thead",      "tbody",  "tfoot",   "tr",   "td",  "th",
      "colgroup", "col",     "a",    "img",   "html",    "head",       "body"};
  GumboOutput* out = gumbo_parse(html.c_str());
  std::string offence;
  std::vector<std::pair<const GumboNode*, size_t>> stack{{out->root, 0}};
  size_t deepest = 0;
  while (!stack.empty() && offence.empty()) {
    auto [node, level] = stack.back();
    stack.pop_back();
    deepest = std::max(deepest, level);
    if (node->type == GUMBO_NODE_COMMENT) offence = "comment";
    if (node->type != GUMBO_NODE_ELEMENT) continue;
    const GumboElement& e = node->v.element;
    std::string tag = gumbo_normalized_tagname(e.tag);
    if (e.tag_namespace != GUMBO_NAMESPACE_HTML || !kElements.count(tag)) offence = "element " + tag;
    for (unsigned i = 0; i < e.attributes.length; ++i) {
      const GumboAttribute& a = *static_cast<const GumboAttribute*>(e.attributes.data[i]);
      std::string name = a.name, value = text::LowerCase(a.value);
      if (text::StartsWith(name, "on")) offence = "attribute " + name;
      if (name == "href" || name == "src") {
        std::string squeezed;
        for (char c : value)
          if (static_cast<unsigned char>(c) > ' ') squeezed += c;
        if (!text::StartsWith(squeezed, "http:") && !text::StartsWith(squeezed, "https:") &&
            !text::StartsWith(squeezed, "mailto:") && !text::StartsWith(squeezed, "#") &&
            !text::StartsWith(squeezed, "data:image/") && !text::StartsWith(squeezed, "pic"))
          offence = "address " + squeezed;
        if (text::StartsWith(squeezed, "data:image/svg")) offence = "address " + squeezed;
      }
      if (name == "style" && (value.find("url") != std::string::npos || value.find("expression") != std::string::npos ||
                              value.find('\\') != std::string::npos))
        offence = "style " + value;
    }
    for (unsigned i = e.children.length; i-- > 0;)
      stack.push_back({static_cast<const GumboNode*>(e.children.data[i]), level + 1});
  }
  gumbo_destroy_output(&kGumboDefaultOptions, out);
  if (depth) *depth = deepest;
  return offence;
}

std::string Clean(const std::string& html) {
  SanitizedHtml s = SanitizeDescription(html);
  EXPECT_EQ(s.parts.size(), s.pictures.size() + 1);
  std::vector<std::string> sources;
  for (size_t i = 0; i < s.pictures.size(); ++i) sources.push_back("pic" + std::to_string(i) + ".jpg");
  return s.Render(sources);
}

// An owner's description as it comes: formatting, lists, a table, links and
// pictures stay, in any script; pictures are cut out with their captions.
TEST(SanitizeDescription, KeepsWhatAReaderNeeds) {
  const std::string html =
      "<p align=\"center\"><b>Vitajte</b> na <i>kešk</i>e 🙂 — Привет!</p>\n"
      "<ul><li>jeden<li>dva</ul><table border=\"1\"><tr><td colspan=\"2\">A&amp;B</td></tr></table>"
      "<a href=\"https://example.org/x?a=1&amp;b=2\" target=\"_blank\">odkaz</a> "
      "<a href=\"mailto:owner@example.org\">mail</a> <a href=\"#dole\">dole</a> <a href=\"/relative\">rel</a>"
      "<img src=\"https://img.example.org/1.jpg\" alt=\" Mapa \" title=\"t\" width=\"100\">"
      "<a href=\"https://example.org/big\">Veľký <b>obrázok</b> <img src=\"http://img.example.org/2.png\"></a>"
      "<img src=\"data:image/png;base64,iVBORw0KGgo=\" title=\"Bodka\">"
      "<span style=\"color: #ff0000; font-weight: bold; position: fixed; background: url(http://x/y)\">red</span>"
      "<font color=\"green\" face=\"Arial\" size=\"3\">f</font>";
  SanitizedHtml s = SanitizeDescription(html);
  ASSERT_EQ(s.pictures.size(), 3u);
  EXPECT_EQ(s.pictures[0].address, "https://img.example.org/1.jpg");
  EXPECT_EQ(s.pictures[0].caption, "Mapa");
  EXPECT_EQ(s.pictures[1].address, "http://img.example.org/2.png");
  EXPECT_EQ(s.pictures[1].caption, "Veľký obrázok");
  EXPECT_EQ(s.pictures[2].address, "data:image/png;base64,iVBORw0KGgo=");
  EXPECT_EQ(s.pictures[2].caption, "Bodka");
  EXPECT_EQ(s.Render({"a\"b.jpg", "2.png", "3.png"}),
            "<p align=\"center\"><b>Vitajte</b> na <i>kešk</i>e 🙂 — Привет!</p>\n"
            "<ul><li>jeden</li><li>dva</li></ul><table border=\"1\"><tbody><tr><td colspan=\"2\">A&amp;B</td></tr>"
            "</tbody></table><a href=\"https://example.org/x?a=1&amp;b=2\">odkaz</a> "
            "<a href=\"mailto:owner@example.org\">mail</a> <a href=\"#dole\">dole</a> <a>rel</a>"
            "<img src=\"a&quot;b.jpg\" alt=\" Mapa \" title=\"t\" width=\"100\">"
            "<a href=\"https://example.org/big\">Veľký <b>obrázok</b> <img src=\"2.png\"></a>"
            "<img src=\"3.png\" title=\"Bodka\">"
            "<span style=\"color: #ff0000; font-weight: bold;\">red</span>"
            "<font color=\"green\" face=\"Arial\" size=\"3\">f</font>");

  EXPECT_EQ(PlainTextToHtml("a<b> & c\r\nd\re\nf 🙂"), "a&lt;b&gt; &amp; c<br>\nd<br>\ne<br>\nf 🙂");
}

// Every way of sneaking code in that a browser would honour: the output
// parses to allowed elements and addresses only, and the words around stay.
TEST(SanitizeDescription, HostileInputRunsNothing) {
  const std::vector<std::string> hostile = {
      "<script>alert(1)</script>",
      "<SCRIPT SRC=http://x/x.js></SCRIPT>",
      "<img src=x onerror=alert(1)>",
      "<img src=\"http://x/a.jpg\" onerror=\"alert(1)\" OnLoad=alert(2)>",
      "<a href=\"javascript:alert(1)\">x</a>",
      "<a href=\"JaVaScRiPt:alert(1)\">x</a>",
      "<a href=\"jav&#x09;ascript:alert(1)\">x</a>",
      "<a href=\"jav&#x0A;ascript:alert(1)\">x</a>",
      "<a href=\" &#14; javascript:alert(1)\">x</a>",
      "<a href=\"&#106;&#97;&#118;&#97;&#115;&#99;&#114;&#105;&#112;&#116;&#58;alert(1)\">x</a>",
      "<a href=\"&#x6A;avascript&colon;alert(1)\">x</a>",
      std::string("<a href=\"java\0script:alert(1)\">x</a>", 36),
      "<a href=\"java\x01script:alert(1)\">x</a>",
      "<a href=\"vbscript:msgbox(1)\">x</a>",
      "<a href=\"data:text/html;base64,PHNjcmlwdD5hbGVydCgxKTwvc2NyaXB0Pg==\">x</a>",
      "<img src=\"data:image/svg+xml,<svg onload=alert(1)>\">",
      "<img src=\"javascript:alert(1)\">",
      "<svg><script>alert(1)</script><a xlink:href=\"javascript:alert(1)\">x</a></svg>",
      "<math><mtext><table><mglyph><style><img src=x onerror=alert(1)>",
      "<iframe src=\"http://x\"></iframe><object data=\"x.swf\"></object><embed src=\"x.swf\">",
      "<form action=\"http://x\"><input "
      "name=a><button>b</button><select><option>c</select><textarea>d</textarea></form>",
      "<meta http-equiv=\"refresh\" content=\"0;url=javascript:alert(1)\"><link rel=stylesheet href=\"x.css\">",
      "<base href=\"javascript:alert(1)//\">",
      "<style>body{background:url(javascript:alert(1))}</style>",
      "<div style=\"background:url(javascript:alert(1))\">x</div>",
      "<div style=\"width: expression(alert(1))\">x</div>",
      "<div style=\"color: red; background-image: u\\72l(javascript:alert(1))\">x</div>",
      "<div style=\"-moz-binding: url(http://x/x.xml#x)\">x</div>",
      "<!--<script>alert(1)</script>--><!--[if IE]><script>alert(1)</script><![endif]-->",
      "<noscript><p title=\"</noscript><img src=x onerror=alert(1)>\"></noscript>",
      "<table><td><a href=javascript:alert(1)>x</a></td></table>",
      "<template><script>alert(1)</script></template>",
      "<a href=\"http://ok/\" onmouseover=\"alert(1)\" style=\"behavior: url(x.htc)\">x</a>",
      "<p onclick=alert(1)>text</p><marquee onstart=alert(1)>m</marquee>",
      "<scr<script>ipt>alert(1)</script>",
      "<img src=\"https://x/a.jpg\"<script>alert(1)</script>",
      "<a href=\"https://ok/\"><script>alert(1)</script></a>",
  };
  for (const std::string& h : hostile) {
    const std::string html = "vpredu " + h + " vzadu";
    const std::string out = Clean(html);
    EXPECT_EQ(Offence(out), "") << html << "\n=> " << out;
    EXPECT_EQ(out.find("<script"), std::string::npos) << out;
    EXPECT_NE(out.find("vpredu"), std::string::npos) << out;
  }
  // Words of dropped elements go with them; of unknown ones, stay.
  EXPECT_EQ(Clean("a<script>alert(1)</script><style>p{}</style><iframe>if</iframe><marquee>m<b>b</b></marquee>z"),
            "am<b>b</b>z");
  EXPECT_EQ(Clean("<a href=\"jav&#x09;ascript:alert(1)\" onclick=\"x\">odkaz</a>"), "<a>odkaz</a>");
  EXPECT_EQ(Clean("<img src=\"https://x/a.jpg\" onerror=\"x\">"), "<img src=\"pic0.jpg\">");
}

#if defined(__SANITIZE_THREAD__)
constexpr double kSlowdown = 10;
#elif defined(__SANITIZE_ADDRESS__)
constexpr double kSlowdown = 5;
#else
constexpr double kSlowdown = 1;
#endif

// Processor time, which other work on the machine does not inflate.
double CpuSeconds(std::clock_t since) {
  return static_cast<double>(std::clock() - since) / CLOCKS_PER_SEC;
}

// Pathological sizes: a hundred thousand nested elements neither overflow
// the stack nor take long, and the output's nesting is capped; a description
// of 5 MB takes well under a second.
TEST(SanitizeDescription, DeepAndLargeInputsStayFast) {
  std::string deep;
  for (int i = 0; i < 100000; ++i) deep += i % 3 ? "<div>" : "<b>";
  deep += "jadro";
  for (int i = 0; i < 100000; ++i) deep += "</div>";
  std::clock_t t0 = std::clock();
  std::string out = Clean(deep);
  EXPECT_LT(CpuSeconds(t0), 0.5 * kSlowdown);
  EXPECT_NE(out.find("jadro"), std::string::npos);
  size_t depth = 0;
  EXPECT_EQ(Offence(out, &depth), "");
  EXPECT_LE(depth, 80u);

  std::string big;
  const std::string piece =
      "<p>Cesta vedie <b>lesom</b> ku <a href=\"https://example.org/p\">prameňu</a> "
      "<img src=\"https://img.example.org/p.jpg\" alt=\"prameň\">, <span style=\"color: blue\">Привет "
      "🙂</span>"
      "<table><tr><td>1</td><td>2</td></tr></table><ul><li>a</li><li>b</li></ul></p>\n";
  while (big.size() < (5u << 20)) big += piece;
  t0 = std::clock();
  SanitizedHtml s = SanitizeDescription(big);
  EXPECT_LT(CpuSeconds(t0), 1.0 * kSlowdown);
  EXPECT_EQ(s.pictures.size(), big.size() / piece.size());
}

}  // namespace
}  // namespace trovik::pages
