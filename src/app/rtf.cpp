// RTF to the rich text of the about tab. Over 400 lines for a reason: the
// reader is one state machine whose control words share every member.

#include "app/rtf.h"

#include <iconv.h>

#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <map>
#include <vector>

#include "text/text.h"

namespace trovik::app {

std::string CodePageToUtf8(std::string_view bytes, int codePage) {
  if (codePage == 1250) return text::Cp1250ToUtf8(bytes);
  if (bytes.empty()) return {};
  std::string name = codePage == 10000 ? "MACINTOSH" : "CP" + std::to_string(codePage);
  iconv_t cd = iconv_open("UTF-8", name.c_str());
  if (cd == reinterpret_cast<iconv_t>(-1)) cd = iconv_open("UTF-8", "CP1252");
  if (cd == reinterpret_cast<iconv_t>(-1)) return std::string(bytes);
  std::string out;
  std::vector<char> in(bytes.begin(), bytes.end());
  char* inp = in.data();
  size_t inLeft = in.size();
  char buf[256];
  while (inLeft > 0) {
    char* outp = buf;
    size_t outLeft = sizeof buf;
    size_t r = iconv(cd, &inp, &inLeft, &outp, &outLeft);
    out.append(buf, static_cast<size_t>(outp - buf));
    if (r == static_cast<size_t>(-1) && errno != E2BIG) {
      // A byte the code page lacks, or a lead byte without its trail byte.
      out += '?';
      ++inp;
      --inLeft;
      iconv(cd, nullptr, nullptr, nullptr, nullptr);
    }
  }
  iconv_close(cd);
  return out;
}

namespace {

void AppendUtf8(std::string& out, uint32_t cp) {
  if (cp >= 0xD800 && cp <= 0xDFFF) cp = 0xFFFD;  // a surrogate without its pair
  if (cp > 0x10FFFF) cp = 0xFFFD;
  if (cp < 0x80) {
    out += static_cast<char>(cp);
  } else if (cp < 0x800) {
    out += static_cast<char>(0xC0 | (cp >> 6));
    out += static_cast<char>(0x80 | (cp & 0x3F));
  } else if (cp < 0x10000) {
    out += static_cast<char>(0xE0 | (cp >> 12));
    out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (cp & 0x3F));
  } else {
    out += static_cast<char>(0xF0 | (cp >> 18));
    out += static_cast<char>(0x80 | ((cp >> 12) & 0x3F));
    out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (cp & 0x3F));
  }
}

// Code page of a font's \fcharset; 0 means "the document's own".
int CharsetCodePage(int charset) {
  switch (charset) {
    case 77: return 10000;
    case 128: return 932;
    case 129: return 949;
    case 134: return 936;
    case 136: return 950;
    case 161: return 1253;
    case 162: return 1254;
    case 163: return 1258;
    case 177: return 1255;
    case 178: return 1256;
    case 186: return 1257;
    case 204: return 1251;
    case 222: return 874;
    case 238: return 1250;
    default: return 0;
  }
}

struct CharFormat {
  bool bold = false, italic = false, underline = false, strike = false;
  int halfPoints = 24;
  int colour = 0;
  int font = 0;
};

struct ParaFormat {
  int align = 0;  // 0 left, 1 centre, 2 right, 3 justified
  int spaceBefore = 0, spaceAfter = 0;  // twips
  int leftIndent = 0, firstIndent = 0;   // twips
};

enum class Dest { Text, FontTable, ColourTable, Skip };

struct Group {
  CharFormat chr;
  ParaFormat para;
  int uc = 1;
  Dest dest = Dest::Text;
  bool listText = false;  // the bullet or number in front of a list paragraph
};

struct Font {
  std::string nameBytes;
  int codePage = 0;
};

struct Colour {
  int r = 0, g = 0, b = 0;
  bool set = false;
};

bool IsSkippedDestination(std::string_view w) {
  static const char* const kWords[] = {
      "stylesheet", "info",     "pict",     "object",   "header",   "headerl",  "headerr", "headerf",
      "footer",     "footerl",  "footerr",  "footerf",  "footnote", "annotation", "listtable",
      "listoverridetable", "revtbl", "rsidtbl", "generator", "filetbl", "themedata",
      "colorschememapping", "datastore", "latentstyles", "xmlnstbl", "pgdsctbl", "userprops",
      "docvar", "fldinst", "bkmkstart", "bkmkend", "nonshppict", "shp", "private", "template",
      "mmathPr", "atnid", "atnauthor", "xe", "tc", "ftnsep", "ftnsepc", "ftncn", "aftnsep",
  };
  for (const char* k : kWords)
    if (w == k) return true;
  return false;
}

class Reader {
 public:
  explicit Reader(std::string_view rtf) : s_(rtf) {}

  std::string run() {
    groups_.push_back(Group{});
    const size_t n = s_.size();
    size_t i = 0;
    while (i < n) {
      const char c = s_[i];
      if (c == '{') {
        flushBytes();
        ucSkip_ = 0;
        groups_.push_back(groups_.back());
        ++i;
      } else if (c == '}') {
        flushBytes();
        ucSkip_ = 0;
        if (groups_.size() > 1) groups_.pop_back();
        if (groups_.size() == 1 && started_) break;  // the document's own group ended
        ++i;
      } else if (c == '\\') {
        i = control(i + 1);
      } else if (c == '\r' || c == '\n') {
        ++i;
      } else {
        if (c == '\t')
          tab();
        else
          textByte(static_cast<unsigned char>(c));
        ++i;
      }
    }
    flushBytes();
    if (!para_.empty()) endParagraph();
    return document();
  }

 private:
  Group& g() { return groups_.back(); }

  // Returns the index after the control word or symbol that starts at i.
  size_t control(size_t i) {
    const size_t n = s_.size();
    if (i >= n) return i;
    const char c = s_[i];
    if ((c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z')) {
      size_t j = i;
      while (j < n && j - i < 32 && ((s_[j] >= 'a' && s_[j] <= 'z') || (s_[j] >= 'A' && s_[j] <= 'Z'))) ++j;
      std::string_view word = s_.substr(i, j - i);
      bool hasParam = false;
      bool negative = false;
      int64_t param = 0;
      if (j < n && s_[j] == '-' && j + 1 < n && s_[j + 1] >= '0' && s_[j + 1] <= '9') {
        negative = true;
        ++j;
      }
      while (j < n && s_[j] >= '0' && s_[j] <= '9') {
        hasParam = true;
        if (param < 100000000000LL) param = param * 10 + (s_[j] - '0');
        ++j;
      }
      if (negative) param = -param;
      if (param > INT32_MAX) param = INT32_MAX;
      if (param < INT32_MIN) param = INT32_MIN;
      if (j < n && s_[j] == ' ') ++j;
      if (word == "bin") {
        // Binary data: the parameter counts raw bytes that follow.
        flushBytes();
        const size_t len = param > 0 ? static_cast<size_t>(param) : 0;
        return len > n - j ? n : j + len;
      }
      controlWord(word, hasParam, static_cast<int>(param));
      return j;
    }
    if (c == '\'') {
      auto hex = [](char h) {
        if (h >= '0' && h <= '9') return h - '0';
        if (h >= 'a' && h <= 'f') return h - 'a' + 10;
        if (h >= 'A' && h <= 'F') return h - 'A' + 10;
        return -1;
      };
      const int hi = i + 1 < n ? hex(s_[i + 1]) : -1;
      const int lo = i + 2 < n ? hex(s_[i + 2]) : -1;
      const int value = hi >= 0 && lo >= 0 ? hi * 16 + lo : -1;
      if (value < 0) return i + 1;
      if (ucSkip_ > 0) {
        --ucSkip_;
      } else if (g().dest == Dest::Text || g().dest == Dest::FontTable) {
        pending_ += static_cast<char>(value);
      }
      return i + 3;
    }
    if (c == '*') {
      flushBytes();
      g().dest = Dest::Skip;
      return i + 1;
    }
    if (ucSkip_ > 0) {
      --ucSkip_;
      return i + 1;
    }
    switch (c) {
      case '\\': case '{': case '}': textByte(static_cast<unsigned char>(c)); break;
      case '~': unicode(0xA0); break;
      case '_': unicode('-'); break;
      case '\r': case '\n': par(); break;
      default: break;  // \- (optional hyphen) and unknown symbols show nothing
    }
    return i + 1;
  }

  void controlWord(std::string_view w, bool hasParam, int p) {
    // Inside a Unicode character's fallback every control counts as one
    // fallback character and is dropped.
    if (ucSkip_ > 0 && w != "u") {
      --ucSkip_;
      return;
    }
    if (w == "rtf") {
      started_ = true;
      return;
    }
    if (w == "listtext" || w == "pntext") {
      g().listText = true;
      return;
    }
    if (w == "fonttbl") return setDest(Dest::FontTable);
    if (w == "colortbl") return setDest(Dest::ColourTable);
    if (IsSkippedDestination(w)) return setDest(Dest::Skip);
    Group& st = g();
    if (st.dest == Dest::Skip) return;
    if (st.dest == Dest::FontTable) return fontTableWord(w, p);
    if (st.dest == Dest::ColourTable) {
      if (w == "red") current_.r = p, current_.set = true;
      if (w == "green") current_.g = p, current_.set = true;
      if (w == "blue") current_.b = p, current_.set = true;
      return;
    }
    const bool on = !hasParam || p != 0;
    if (w == "ansicpg") {
      if (p > 0) codePage_ = p;
    } else if (w == "ansi") {
      codePage_ = 1252;
    } else if (w == "mac") {
      codePage_ = 10000;
    } else if (w == "pc") {
      codePage_ = 437;
    } else if (w == "pca") {
      codePage_ = 850;
    } else if (w == "deff") {
      defaultFont_ = p;
      st.chr.font = p;
    } else if (w == "uc") {
      st.uc = p < 0 ? 0 : p;
    } else if (w == "u") {
      int v = p < 0 ? p + 65536 : p;
      unicode(static_cast<uint32_t>(v));
      ucSkip_ = st.uc;
    } else if (w == "par" || w == "sect" || w == "page" || w == "row") {
      par();
    } else if (w == "line") {
      flushBytes();
      para_ += "<br/>";
    } else if (w == "tab" || w == "cell") {
      tab();
    } else if (w == "plain") {
      flushBytes();
      st.chr = CharFormat{};
      st.chr.font = defaultFont_;
    } else if (w == "pard") {
      st.para = ParaFormat{};
    } else if (w == "b") {
      format().bold = on;
    } else if (w == "i") {
      format().italic = on;
    } else if (w == "ulnone") {
      format().underline = false;
    } else if (w == "ul" || w == "uld" || w == "uldb" || w == "ulw" || w == "ulth" || w == "uldash" ||
               w == "ulwave") {
      format().underline = on;
    } else if (w == "strike" || w == "striked") {
      format().strike = on;
    } else if (w == "fs") {
      format().halfPoints = hasParam && p > 0 ? p : 24;
    } else if (w == "cf") {
      format().colour = p;
    } else if (w == "f") {
      format().font = p;
    } else if (w == "ql") {
      st.para.align = 0;
    } else if (w == "qc") {
      st.para.align = 1;
    } else if (w == "qr") {
      st.para.align = 2;
    } else if (w == "qj") {
      st.para.align = 3;
    } else if (w == "sb") {
      st.para.spaceBefore = p;
    } else if (w == "sa") {
      st.para.spaceAfter = p;
    } else if (w == "li") {
      st.para.leftIndent = p;
    } else if (w == "fi") {
      st.para.firstIndent = p;
    } else if (w == "emdash") {
      unicode(0x2014);
    } else if (w == "endash") {
      unicode(0x2013);
    } else if (w == "bullet") {
      unicode(0x2022);
    } else if (w == "lquote") {
      unicode(0x2018);
    } else if (w == "rquote") {
      unicode(0x2019);
    } else if (w == "ldblquote") {
      unicode(0x201C);
    } else if (w == "rdblquote") {
      unicode(0x201D);
    } else if (w == "emspace" || w == "enspace" || w == "qmspace") {
      unicode(' ');
    }
  }

  // Format changes end the bytes that came before them.
  CharFormat& format() {
    flushBytes();
    return g().chr;
  }

  void setDest(Dest d) {
    flushBytes();
    if (g().dest != Dest::Skip) g().dest = d;
  }

  void fontTableWord(std::string_view w, int p) {
    if (w == "f") {
      fontIndex_ = p;
      fonts_[p];
    } else if (w == "fcharset") {
      fonts_[fontIndex_].codePage = CharsetCodePage(p);
    } else if (w == "cpg") {
      if (p > 0) fonts_[fontIndex_].codePage = p;
    }
  }

  void textByte(unsigned char c) {
    if (ucSkip_ > 0) {
      --ucSkip_;
      return;
    }
    switch (g().dest) {
      case Dest::Text:
        if (c < 0x20) {
          // Control bytes are no text of a document.
        } else if (c < 0x80) {
          flushBytes();
          text(std::string(1, static_cast<char>(c)));
        } else {
          pending_ += static_cast<char>(c);
        }
        break;
      case Dest::FontTable:
        if (c == ';') {
          fonts_[fontIndex_].nameBytes = text::Trim(fonts_[fontIndex_].nameBytes + pending_);
          pending_.clear();
        } else {
          pending_ += static_cast<char>(c);
        }
        break;
      case Dest::ColourTable:
        if (c == ';') {
          colours_.push_back(current_);
          current_ = Colour{};
        }
        break;
      case Dest::Skip:
        break;
    }
  }

  int currentCodePage() const {
    auto it = fonts_.find(groups_.back().chr.font);
    if (it != fonts_.end() && it->second.codePage != 0) return it->second.codePage;
    return codePage_;
  }

  // 8-bit bytes are collected so that double-byte code pages convert whole.
  void flushBytes() {
    if (pending_.empty()) return;
    std::string bytes;
    bytes.swap(pending_);
    if (g().dest == Dest::FontTable)
      fonts_[fontIndex_].nameBytes += bytes;
    else if (g().dest == Dest::Text)
      text(CodePageToUtf8(bytes, currentCodePage()));
  }

  void unicode(uint32_t cp) {
    flushBytes();
    if (g().dest != Dest::Text) return;
    if (cp >= 0xD800 && cp <= 0xDBFF) {
      highSurrogate_ = cp;
      return;
    }
    std::string u;
    if (cp >= 0xDC00 && cp <= 0xDFFF && highSurrogate_) {
      AppendUtf8(u, 0x10000 + ((highSurrogate_ - 0xD800) << 10) + (cp - 0xDC00));
    } else {
      AppendUtf8(u, cp);
    }
    highSurrogate_ = 0;
    text(u);
  }

  void tab() {
    flushBytes();
    // The widget has no tab stops to line a list up with, so a list's
    // bullet keeps a short gap to its text instead of a full tab.
    if (g().dest == Dest::Text) text(g().listText ? "\u00A0 " : "\t");  // a no-break space
  }

  void text(std::string utf8) {
    // Control characters (a \'00 or \u0 of a damaged file) are no text.
    std::erase_if(utf8, [](char ch) { return static_cast<unsigned char>(ch) < 0x20 && ch != '\t'; });
    if (utf8.empty() || g().dest != Dest::Text) return;
    std::string style = spanStyle(g().chr);
    if (!spanOpen_ || style != spanStyle_) {
      closeSpan();
      para_ += "<span style=\"" + style + "\">";
      spanStyle_ = std::move(style);
      spanOpen_ = true;
    }
    para_ += text::EscapeHtml(utf8);
  }

  void closeSpan() {
    if (spanOpen_) para_ += "</span>";
    spanOpen_ = false;
  }

  void par() {
    flushBytes();
    if (g().dest != Dest::Text) return;
    endParagraph();
  }

  void endParagraph() {
    closeSpan();
    const ParaFormat& pf = g().para;
    static const char* const kAlign[] = {"left", "center", "right", "justify"};
    // Twips as whole pixels at 96 dpi: the widget takes lengths in pixels only.
    auto px = [](int twips) { return static_cast<int>(twips / 15.0 + (twips < 0 ? -0.5 : 0.5)); };
    char style[200];
    std::snprintf(style, sizeof style,
                  "margin-top:%dpx; margin-bottom:%dpx; margin-left:%dpx; text-indent:%dpx; text-align:%s; "
                  "white-space:pre-wrap;",
                  px(pf.spaceBefore), px(pf.spaceAfter), px(pf.leftIndent), px(pf.firstIndent), kAlign[pf.align]);
    body_ += "<p style=\"";
    body_ += style;
    body_ += "\">";
    body_ += para_.empty() ? std::string("&nbsp;") : para_;
    body_ += "</p>\n";
    para_.clear();
  }

  std::string fontName(int index) const {
    auto it = fonts_.find(index);
    if (it == fonts_.end() || it->second.nameBytes.empty()) return {};
    int cp = it->second.codePage != 0 ? it->second.codePage : codePage_;
    std::string name = CodePageToUtf8(it->second.nameBytes, cp);
    std::string safe;
    for (char c : name)
      if (static_cast<unsigned char>(c) >= 0x20 && c != '\'' && c != '"' && c != ';' && c != '<' && c != '>' &&
          c != '&')
        safe += c;
    return safe;
  }

  std::string spanStyle(const CharFormat& f) const {
    std::string st;
    if (std::string name = fontName(f.font); !name.empty()) st += "font-family:'" + name + "'; ";
    char size[48];
    std::snprintf(size, sizeof size, "font-size:%gpt;", f.halfPoints / 2.0);
    st += size;
    if (f.bold) st += " font-weight:700;";
    if (f.italic) st += " font-style:italic;";
    if (f.underline && f.strike)
      st += " text-decoration:underline line-through;";
    else if (f.underline)
      st += " text-decoration:underline;";
    else if (f.strike)
      st += " text-decoration:line-through;";
    if (f.colour > 0 && f.colour < static_cast<int>(colours_.size()) && colours_[f.colour].set) {
      const Colour& c = colours_[f.colour];
      char col[32];
      std::snprintf(col, sizeof col, " color:#%02x%02x%02x;", c.r & 0xFF, c.g & 0xFF, c.b & 0xFF);
      st += col;
    }
    return st;
  }

  std::string document() const {
    std::string head =
        "<!DOCTYPE HTML PUBLIC \"-//W3C//DTD HTML 4.0//EN\">\n"
        "<html><head><meta name=\"qrichtext\" content=\"1\" />"
        "<meta http-equiv=\"Content-Type\" content=\"text/html; charset=utf-8\" /></head>\n<body";
    if (std::string name = fontName(defaultFont_); !name.empty()) head += " style=\"font-family:'" + name + "';\"";
    head += ">\n";
    return head + body_ + "</body></html>\n";
  }

  std::string_view s_;
  std::vector<Group> groups_;
  std::map<int, Font> fonts_;
  std::vector<Colour> colours_;
  Colour current_;
  int fontIndex_ = 0;
  int defaultFont_ = 0;
  int codePage_ = 1252;
  int ucSkip_ = 0;
  uint32_t highSurrogate_ = 0;
  bool started_ = false;
  std::string pending_;
  std::string para_;
  std::string body_;
  std::string spanStyle_;
  bool spanOpen_ = false;
};

std::string PlainTextToHtml(std::string_view cp1250) {
  std::string body;
  for (const std::string& line : text::SplitLines(cp1250)) {
    std::string clean = line;
    std::erase_if(clean, [](char ch) { return static_cast<unsigned char>(ch) < 0x20 && ch != '\t'; });
    std::string html = text::EscapeHtml(text::Cp1250ToUtf8(clean));
    body += "<p style=\"margin-top:0px; margin-bottom:0px; white-space:pre-wrap;\">" +
            (html.empty() ? std::string("&nbsp;") : html) + "</p>\n";
  }
  return "<html><head><meta http-equiv=\"Content-Type\" content=\"text/html; charset=utf-8\" /></head>\n<body>\n" +
         body + "</body></html>\n";
}

}  // namespace

std::string RtfToHtml(std::string_view rtf) {
  std::string_view start = rtf;
  while (!start.empty() && static_cast<unsigned char>(start.front()) <= 0x20) start.remove_prefix(1);
  if (!text::StartsWith(start, "{\\rtf")) return PlainTextToHtml(rtf);
  return Reader(start).run();
}

}  // namespace trovik::app
