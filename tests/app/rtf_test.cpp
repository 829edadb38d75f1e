#include "app/rtf.h"

#include <gtest/gtest.h>

#include <random>
#include <regex>

#include "base/files.h"

namespace trovik::app {
namespace {

// The visible text of the HTML: tags dropped, paragraphs as "\n", <br/> as "|".
std::string Visible(const std::string& html) {
  std::string body = html.substr(html.find("<body"));
  body = std::regex_replace(body, std::regex("<br/>"), "|");
  body = std::regex_replace(body, std::regex("</p>"), "\x01");
  body = std::regex_replace(body, std::regex("<[^>]*>|\n"), "");
  body = std::regex_replace(body, std::regex("\x01"), "\n");
  body = std::regex_replace(body, std::regex("&nbsp;"), "");
  body = std::regex_replace(body, std::regex("&lt;"), "<");
  body = std::regex_replace(body, std::regex("&gt;"), ">");
  body = std::regex_replace(body, std::regex("&quot;"), "\"");
  body = std::regex_replace(body, std::regex("&amp;"), "&");
  return body;
}

// The style of the span that holds `text`.
std::string StyleOf(const std::string& html, const std::string& text) {
  std::smatch m;
  std::regex re("<span style=\"([^\"]*)\">[^<]*" + text);
  if (!std::regex_search(html, m, re)) return "(not found)";
  return m[1];
}

TEST(Rtf, ParagraphsLinesTabsAndEscapes) {
  const std::string html = RtfToHtml(
      "{\\rtf1\\ansi\\ansicpg1250 Prv\\'fd\\par\r\n"
      "druh\\'fd\\line zlomen\\'fd\\tab tab\\par"
      "\\{z\\'e1tvorky\\} a \\\\ <a&b> \"q\"}");
  EXPECT_EQ(Visible(html), "Prvý\ndruhý|zlomený\ttab\n{zátvorky} a \\ <a&b> \"q\"\n");
  EXPECT_NE(html.find("&lt;a&amp;b&gt;"), std::string::npos);
  EXPECT_NE(html.find("white-space:pre-wrap"), std::string::npos);
}

TEST(Rtf, SourceLineEndsAreNoTextButBackslashNewlineIsAParagraph) {
  EXPECT_EQ(Visible(RtfToHtml("{\\rtf1 jeden\r\ndva\\\ntri}")), "jedendva\ntri\n");
}

TEST(Rtf, CharacterFormatsAndGroupsRestoreThem) {
  const std::string html = RtfToHtml(
      "{\\rtf1\\ansi{\\fonttbl{\\f0\\fswiss Arial;}{\\f1\\fmodern Courier New;}}"
      "{\\colortbl;\\red255\\green0\\blue0;\\red0\\green128\\blue0;}"
      "\\f0\\fs20 obyc {\\b tucne {\\i sikme}} {\\ul pod\\ul0 nie}{\\strike pr} "
      "{\\cf1 cervene}{\\cf2\\fs36\\f1 zelene} \\b bold\\b0 koniec\\par}");
  EXPECT_EQ(Visible(html), "obyc tucne sikme podniepr cervenezelene boldkoniec\n");
  EXPECT_EQ(StyleOf(html, "obyc"), "font-family:'Arial'; font-size:10pt;");
  EXPECT_EQ(StyleOf(html, "tucne"), "font-family:'Arial'; font-size:10pt; font-weight:700;");
  EXPECT_EQ(StyleOf(html, "sikme"), "font-family:'Arial'; font-size:10pt; font-weight:700; font-style:italic;");
  EXPECT_EQ(StyleOf(html, "pod"), "font-family:'Arial'; font-size:10pt; text-decoration:underline;");
  EXPECT_EQ(StyleOf(html, "nie"), "font-family:'Arial'; font-size:10pt;");
  EXPECT_EQ(StyleOf(html, "pr"), "font-family:'Arial'; font-size:10pt; text-decoration:line-through;");
  EXPECT_EQ(StyleOf(html, "cervene"), "font-family:'Arial'; font-size:10pt; color:#ff0000;");
  EXPECT_EQ(StyleOf(html, "zelene"), "font-family:'Courier New'; font-size:18pt; color:#008000;");
  EXPECT_EQ(StyleOf(html, "bold"), "font-family:'Arial'; font-size:10pt; font-weight:700;");
  EXPECT_EQ(StyleOf(html, "koniec"), "font-family:'Arial'; font-size:10pt;");
}

TEST(Rtf, PlainResetsAndAutoColourShowsNoColour) {
  const std::string html = RtfToHtml(
      "{\\rtf1{\\colortbl;\\red1\\green2\\blue3;}\\b\\i\\fs40\\cf1 a\\plain b\\cf0 c\\cf9 d}");
  EXPECT_EQ(StyleOf(html, "a"), "font-size:20pt; font-weight:700; font-style:italic; color:#010203;");
  EXPECT_EQ(StyleOf(html, "bcd"), "font-size:12pt;");
}

TEST(Rtf, ParagraphAlignmentAndSpacing) {
  const std::string html =
      RtfToHtml("{\\rtf1\\pard\\qc\\sb240\\sa120 stred\\par\\pard vlavo\\par\\pard\\qr\\li720\\fi-360 vpravo\\par}");
  EXPECT_NE(html.find("margin-top:16px; margin-bottom:8px; margin-left:0px; text-indent:0px; text-align:center;"),
            std::string::npos);
  EXPECT_NE(html.find("text-align:left; white-space:pre-wrap;\"><span style=\"font-size:12pt;\">vlavo"),
            std::string::npos);
  EXPECT_NE(html.find("margin-left:48px; text-indent:-24px; text-align:right;"), std::string::npos);
}

TEST(Rtf, EmptyParagraphsKeepTheirLine) {
  EXPECT_EQ(Visible(RtfToHtml("{\\rtf1 a\\par\\par b\\par}")), "a\n\nb\n");
}

TEST(Rtf, HexBytesFollowTheDocumentCodePage) {
  // 0x9A is "š" in 1250 and in 1252; 0xE8 is "č" in 1250 but "è" in 1252.
  EXPECT_EQ(Visible(RtfToHtml("{\\rtf1\\ansi\\ansicpg1250 \\'9a\\'e8\\'8e}")), "ščŽ\n");
  EXPECT_EQ(Visible(RtfToHtml("{\\rtf1\\ansi\\ansicpg1252 \\'9a\\'e8\\'8e}")), "šèŽ\n");
  // Without \ansicpg, \ansi means 1252.
  EXPECT_EQ(Visible(RtfToHtml("{\\rtf1\\ansi \\'e8}")), "è\n");
  // Raw 8-bit bytes in the file are read the same way.
  EXPECT_EQ(Visible(RtfToHtml("{\\rtf1\\ansicpg1250 \xe8\xbe}")), "čľ\n");
}

TEST(Rtf, FontCharsetChoosesTheCodePageOfItsText) {
  const std::string rtf =
      "{\\rtf1\\ansi\\ansicpg1252{\\fonttbl{\\f0 Arial;}{\\f1\\fcharset238 Arial CE;}{\\f2\\fcharset204 Arial Cyr;}}"
      "\\f0\\'e8 {\\f1\\'e8} {\\f2\\'e8}}";
  EXPECT_EQ(Visible(RtfToHtml(rtf)), "è č и\n");
}

TEST(Rtf, UnicodeWithFallbackSkipping) {
  // \uc1 is the default: one fallback character after each \u is dropped.
  EXPECT_EQ(Visible(RtfToHtml("{\\rtf1 \\u269?\\u381\\'8e x}")), "čŽ x\n");
  // \uc2 drops two; a negative value counts from 65536; a group end ends the fallback.
  EXPECT_EQ(Visible(RtfToHtml("{\\rtf1\\uc2 \\u-3913??a{\\u937 ?}b}")), "\xEF\x82\xB7" "aΩb\n");
  EXPECT_EQ(Visible(RtfToHtml("{\\rtf1\\uc0 \\u8364 x}")), "€x\n");
  // A control word in the fallback counts as one character.
  EXPECT_EQ(Visible(RtfToHtml("{\\rtf1 \\u8594\\emdash y}")), "→y\n");
  // A surrogate pair gives one character beyond the 16-bit range.
  EXPECT_EQ(Visible(RtfToHtml("{\\rtf1 \\u-10179?\\u-8704?}")), "\xF0\x9F\x98\x80\n");
}

TEST(Rtf, SymbolsAndSpecialWords) {
  EXPECT_EQ(Visible(RtfToHtml("{\\rtf1 a\\~b\\-c\\_d\\endash\\bullet\\ldblquote q\\rdblquote}")),
            "a\xC2\xA0" "bc-d–•“q”\n");
}

TEST(Rtf, DestinationsThatAreNoTextAreSkipped) {
  const std::string html = RtfToHtml(
      "{\\rtf1\\ansi{\\fonttbl{\\f0 Arial{\\*\\falt Helvetica};}}{\\stylesheet{\\s0 Normal;}}"
      "{\\info{\\title Nazov}{\\author Ja}}{\\*\\generator Nejaky editor;}{\\*\\unknownthing skryte}"
      "{\\header hlavicka}{\\pict\\pngblip 89504e47}"
      "{\\field{\\*\\fldinst HYPERLINK \"http://x\"}{\\fldrslt odkaz}} "
      "{\\*\\bkmkstart z}text\\par}");
  EXPECT_EQ(Visible(html), "odkaz text\n");
  EXPECT_EQ(StyleOf(html, "text"), "font-family:'Arial'; font-size:12pt;");
}

TEST(Rtf, BinaryDataIsSkippedByItsLength) {
  EXPECT_EQ(Visible(RtfToHtml("{\\rtf1 a{\\*\\blob\\bin4 }{\\\\}b}")), "ab\n");
  EXPECT_EQ(Visible(RtfToHtml("{\\rtf1 a\\bin99999999")), "a\n");
}

TEST(Rtf, BrokenInputStillGivesText) {
  EXPECT_EQ(Visible(RtfToHtml("{\\rtf1 bez konca {\\b skupiny")), "bez konca skupiny\n");
  EXPECT_EQ(Visible(RtfToHtml("{\\rtf1 a}}}} po konci")), "a\n");
  EXPECT_EQ(Visible(RtfToHtml("{\\rtf1 zly hex \\'g1 a \\'")), "zly hex g1 a \n");
  EXPECT_EQ(Visible(RtfToHtml("{\\rtf1 \\fs99999999999999999 velke}")), "velke\n");
  EXPECT_EQ(Visible(RtfToHtml("{\\rtf1 \\")), "");
  std::string deep = "{\\rtf1 ";
  for (int i = 0; i < 100000; ++i) deep += "{";
  deep += "hlboko";
  EXPECT_EQ(Visible(RtfToHtml(deep)), "hlboko\n");
}

bool ValidUtf8WithoutControls(const std::string& s) {
  for (size_t i = 0; i < s.size();) {
    const unsigned char c = static_cast<unsigned char>(s[i]);
    size_t n = c < 0x80 ? 1 : (c >> 5) == 6 ? 2 : (c >> 4) == 14 ? 3 : (c >> 3) == 30 ? 4 : 0;
    if (n == 0 || i + n > s.size()) return false;
    if (n == 1 && c < 0x20 && c != '\n' && c != '\t') return false;
    for (size_t k = 1; k < n; ++k)
      if ((static_cast<unsigned char>(s[i + k]) >> 6) != 2) return false;
    i += n;
  }
  return true;
}

TEST(Rtf, DamagedDocumentsGiveValidUtf8) {
  const std::string good = files::ReadAll(TROVIK_TEST_DATA "/libreoffice.rtf");
  std::mt19937 rng(1250);
  for (int round = 0; round < 300; ++round) {
    std::string bad = good;
    for (int k = 0; k < 20; ++k) bad[rng() % bad.size()] = static_cast<char>(rng() % 256);
    if (round % 3 == 0) bad.resize(rng() % bad.size());
    const std::string html = RtfToHtml(bad);
    ASSERT_TRUE(ValidUtf8WithoutControls(html)) << "round " << round;
  }
}

TEST(Rtf, TextThatIsNotRtfIsShownAsPlain1250Text) {
  EXPECT_EQ(Visible(RtfToHtml("Oby\xE8" "ajn\xFD text\r\n<b>\r\n\r\nkoniec")),
            "Obyčajný text\n<b>\n\nkoniec\n");
}

TEST(Rtf, CodePageConversion) {
  EXPECT_EQ(CodePageToUtf8("\x8a\x9d", 1250), "Šť");
  EXPECT_EQ(CodePageToUtf8("\x8a\x80", 1252), "Š€");
  EXPECT_EQ(CodePageToUtf8("\xe0", 1251), "а");
  // 0x81 is unassigned in 1252.
  EXPECT_EQ(CodePageToUtf8("a\x81z", 1252), "a?z");
  // Unknown code pages fall back to 1252.
  EXPECT_EQ(CodePageToUtf8("\xe8", 99999), "è");
}

TEST(RtfFiles, LibreOfficeDocument) {
  const std::string html = RtfToHtml(files::ReadAll(TROVIK_TEST_DATA "/libreoffice.rtf"));
  const std::string text = Visible(html);
  EXPECT_EQ(text,
            "Kešky pri Zlatých Moravciach\n"
            "Obyčajný odstavec s tučným, šikmým a podčiarknutým textom.\n"
            "Červená a veľké písmo; ďalej ľaďovňa, Ťažký úľ, Ôsma.\n"
            "Znaky mimo 1250: Ω → ≈ ★ a euro €.\n"
            "Riadok jeden|riadok dva po zalomení.\n"
            "Zložené {zátvorky} a spätná lomka \\ ostávajú.\n"
            "•\u00A0 prvá položka\n"
            "•\u00A0 druhá položka\n"
            "Na stred\n");
  EXPECT_NE(StyleOf(html, "tu").find("font-weight:700"), std::string::npos);
  EXPECT_NE(StyleOf(html, "\xC5\xA1ikm").find("font-style:italic"), std::string::npos);
  EXPECT_NE(StyleOf(html, "pod").find("text-decoration:underline"), std::string::npos);
  EXPECT_NE(StyleOf(html, "\xC4\x8C" "erven").find("color:#cc0000"), std::string::npos);
  EXPECT_NE(StyleOf(html, "veľk").find("font-size:20pt"), std::string::npos);
  EXPECT_NE(StyleOf(html, "Ke").find("font-size:24pt"), std::string::npos);
  EXPECT_NE(html.find("text-align:center; white-space:pre-wrap;\"><span style=\"font-family:'Liberation Sans'; "
                      "font-size:12pt; color:#000000;\">Na stred"),
            std::string::npos);
}

TEST(RtfFiles, ShippedAboutText) {
  const std::string raw = files::ReadAll(TROVIK_SOURCE_DIR "/data/popisrtf.rtf");
  EXPECT_NE(raw.find("\\ansicpg1250"), std::string::npos);
  const std::string text = Visible(RtfToHtml(raw));
  EXPECT_EQ(text.substr(0, text.find('\n')), "Elektronický pomocník pre geocaching");
  for (const char* tab : {"Browser", "HTML", "WPT", "Nastavenia", "O programe", "PDA Manažér",
                          "Novinky v okolí miest", "Pomôcky Geokešera", "Ako začať"})
    EXPECT_NE(text.find(tab), std::string::npos) << tab;
  EXPECT_EQ(text.find('\\'), std::string::npos);
  EXPECT_EQ(text.find('?'), std::string::npos);
}

}  // namespace
}  // namespace trovik::app
