#include "waypoints/xml_stream.h"

#include <expat.h>
#include <iconv.h>

#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <exception>
#include <memory>

#include "base/error.h"
#include "base/files.h"
#include "text/text.h"

namespace trovik::waypoints {

namespace {

constexpr size_t kPiece = 64 * 1024;
constexpr size_t kHeadBytes = 1024;   // enough for a BOM and the XML declaration
constexpr size_t kMaxReference = 16;  // "&#x10FFFF;" and some leading zeros
constexpr const char kReplacement[] = "\xEF\xBF\xBD";
constexpr char kNsSeparator = '\x01';

bool XmlChar(uint32_t c) {
  return c == 0x9 || c == 0xA || c == 0xD || (c >= 0x20 && c <= 0xD7FF) || (c >= 0xE000 && c <= 0xFFFD) ||
         (c >= 0x10000 && c <= 0x10FFFF);
}

int HexValue(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

// The encoding named by the XML declaration at the start of `head`, lower case; "" when none.
std::string DeclaredEncoding(std::string_view head) {
  if (head.substr(0, 3) == "\xEF\xBB\xBF") head.remove_prefix(3);
  if (head.substr(0, 5) != "<?xml") return "";
  size_t end = head.find("?>");
  std::string_view decl = head.substr(0, end);
  size_t at = decl.find("encoding");
  if (at == std::string_view::npos) return "";
  size_t q = decl.find_first_of("\"'", at);
  if (q == std::string_view::npos) return "";
  size_t close = decl.find(decl[q], q + 1);
  if (close == std::string_view::npos) return "";
  return text::LowerCase(decl.substr(q + 1, close - q - 1));
}

// True when none of eight bytes is a control byte, non-ASCII or "&".
bool PlainAscii8(const char* p) {
  uint64_t w;
  std::memcpy(&w, p, 8);
  constexpr uint64_t kOnes = 0x0101010101010101ULL, kHigh = 0x8080808080808080ULL;
  const uint64_t amp = w ^ (kOnes * '&');
  const uint64_t special = (w | ((w - kOnes * 0x20) & ~w) | ((amp - kOnes) & ~amp)) & kHigh;
  return special == 0;
}

}  // namespace

void XmlByteFilter::decide(std::string_view head) {
  const auto byte = [&](size_t i) { return i < head.size() ? static_cast<unsigned char>(head[i]) : 0x100u; };
  if ((byte(0) == 0xFE && byte(1) == 0xFF) || (byte(0) == 0xFF && byte(1) == 0xFE) || byte(0) == 0 || byte(1) == 0) {
    mode_ = Mode::Raw;  // UTF-16: single bytes mean nothing on their own
    return;
  }
  std::string encoding = DeclaredEncoding(head.substr(0, kHeadBytes));
  mode_ = encoding.empty() || encoding == "utf-8" || encoding == "utf8" ? Mode::Utf8 : Mode::SingleByte;
}

size_t XmlByteFilter::run(std::string_view in, std::string& out, bool final) {
  const size_t n = in.size();
  size_t i = 0;
  size_t kept = 0;  // in[kept, i) is still to be copied
  const auto flush = [&](size_t upTo) { out.append(in.data() + kept, upTo - kept); };
  const auto skip = [&](size_t from, size_t to) {
    flush(from);
    kept = i = to;
  };
  while (i < n) {
    // Most of a file is plain ASCII text: eight bytes at a time past it.
    while (i + 8 <= n && PlainAscii8(in.data() + i)) i += 8;
    if (i == n) break;
    const unsigned char c = static_cast<unsigned char>(in[i]);
    if (c >= 0x20 && c < 0x80 && c != '&') {
      ++i;
    } else if (c < 0x20) {
      if (c == '\t' || c == '\n' || c == '\r')
        ++i;
      else
        skip(i, i + 1);
    } else if (c == '&') {
      // A character reference to what XML forbids goes; anything else is the parser's.
      size_t k = i + 1;
      if (k < n && in[k] == '#') {
        ++k;
        const bool hex = k < n && in[k] == 'x';
        if (hex) ++k;
        const size_t digits = k;
        uint32_t value = 0;
        bool huge = false;
        while (k < n && k - i < kMaxReference) {
          int d = hex ? HexValue(in[k]) : (in[k] >= '0' && in[k] <= '9' ? in[k] - '0' : -1);
          if (d < 0) break;
          value = value * (hex ? 16 : 10) + static_cast<uint32_t>(d);
          if (value > 0x10FFFF) {
            huge = true;
            value = 0x110000;
          }
          ++k;
        }
        if (k == n && !final) {  // the ";" may be in the next piece
          flush(i);
          return i;
        }
        if (k < n && in[k] == ';' && k > digits && (huge || !XmlChar(value))) {
          skip(i, k + 1);
          continue;
        }
      } else if (k == n && !final) {
        flush(i);
        return i;
      }
      ++i;
    } else if (mode_ != Mode::Utf8) {
      ++i;
    } else {
      // UTF-8: the longest valid start of a broken sequence becomes one U+FFFD.
      const size_t len = c >= 0xC2 && c <= 0xDF ? 2 : c >= 0xE0 && c <= 0xEF ? 3 : c >= 0xF0 && c <= 0xF4 ? 4 : 0;
      size_t k = i + 1;
      bool valid = len > 0;
      while (valid && k < i + len) {
        if (k == n) {
          if (!final) {
            flush(i);
            return i;
          }
          valid = false;
          break;
        }
        const unsigned char b = static_cast<unsigned char>(in[k]);
        unsigned char lo = 0x80, hi = 0xBF;
        if (k == i + 1) {
          if (c == 0xE0) lo = 0xA0;
          if (c == 0xED) hi = 0x9F;  // no surrogates
          if (c == 0xF0) lo = 0x90;
          if (c == 0xF4) hi = 0x8F;
        }
        if (b < lo || b > hi) {
          valid = false;
          break;
        }
        ++k;
      }
      if (!valid) {
        skip(i, k);
        out += kReplacement;
      } else if (len == 3 && c == 0xEF && in[i + 1] == '\xBF' && (in[i + 2] == '\xBE' || in[i + 2] == '\xBF')) {
        skip(i, k);  // U+FFFE, U+FFFF
      } else {
        i = k;
      }
    }
  }
  flush(n);
  return n;
}

void XmlByteFilter::feed(std::string_view in, std::string& out) {
  if (mode_ == Mode::Undecided) {
    pending_.append(in);
    if (pending_.size() < kHeadBytes) return;
    decide(pending_);
    in = {};
  }
  if (mode_ == Mode::Raw) {
    out += pending_;
    pending_.clear();
    out.append(in);
    return;
  }
  if (pending_.empty()) {
    size_t used = run(in, out, false);
    pending_.assign(in.substr(used));
  } else {
    std::string work = std::move(pending_);
    work.append(in);
    size_t used = run(work, out, false);
    pending_.assign(work, used);
  }
}

void XmlByteFilter::finish(std::string& out) {
  if (mode_ == Mode::Undecided) decide(pending_);
  if (mode_ == Mode::Raw)
    out += pending_;
  else
    run(pending_, out, true);
  pending_.clear();
}

const char* XmlAttribute(const char** attributes, std::string_view local) {
  for (size_t i = 0; attributes && attributes[i]; i += 2)
    if (local == attributes[i]) return attributes[i + 1];
  return nullptr;
}

namespace {

struct Session {
  XML_Parser parser = nullptr;
  XmlHandler* handler = nullptr;
  std::exception_ptr failure;
  bool stopped = false;
  bool entityDeclared = false;

  bool idle() const { return stopped || failure || entityDeclared; }
  void after() {
    if (handler->done()) stop();
  }
  void stop() {
    stopped = true;
    XML_StopParser(parser, XML_FALSE);
  }
  void fail() {
    failure = std::current_exception();
    XML_StopParser(parser, XML_FALSE);
  }
};

std::pair<std::string_view, std::string_view> SplitName(const XML_Char* name) {
  std::string_view all(name);
  size_t sep = all.find(kNsSeparator);
  if (sep == std::string_view::npos) return {std::string_view(), all};
  return {all.substr(0, sep), all.substr(sep + 1)};
}

void XMLCALL OnStart(void* data, const XML_Char* name, const XML_Char** attributes) {
  auto& s = *static_cast<Session*>(data);
  if (s.idle()) return;
  try {
    auto [ns, local] = SplitName(name);
    s.handler->start(ns, local, attributes, static_cast<long>(XML_GetCurrentLineNumber(s.parser)));
    s.after();
  } catch (...) {
    s.fail();
  }
}

void XMLCALL OnEnd(void* data, const XML_Char* name) {
  auto& s = *static_cast<Session*>(data);
  if (s.idle()) return;
  try {
    auto [ns, local] = SplitName(name);
    s.handler->end(ns, local);
    s.after();
  } catch (...) {
    s.fail();
  }
}

void XMLCALL OnText(void* data, const XML_Char* piece, int len) {
  auto& s = *static_cast<Session*>(data);
  if (s.idle()) return;
  try {
    s.handler->text(std::string_view(piece, static_cast<size_t>(len)));
    s.after();
  } catch (...) {
    s.fail();
  }
}

// No entity of the file's own is expanded: the declaration ends the reading,
// before any reference to it could grow or reach outside.
void XMLCALL OnEntityDecl(void* data, const XML_Char*, int, const XML_Char*, int, const XML_Char*, const XML_Char*,
                          const XML_Char*, const XML_Char*) {
  auto& s = *static_cast<Session*>(data);
  if (s.idle()) return;
  s.entityDeclared = true;
  XML_StopParser(s.parser, XML_FALSE);
}

// A single-byte code page expat lacks (windows-1250, ...), mapped through iconv.
int XMLCALL OnUnknownEncoding(void*, const XML_Char* name, XML_Encoding* info) {
  iconv_t cd = iconv_open("UTF-32LE", name);
  if (cd == reinterpret_cast<iconv_t>(-1)) return XML_STATUS_ERROR;
  bool ok = true;
  for (int b = 0; b < 256 && ok; ++b) {
    char in = static_cast<char>(b);
    unsigned char outBytes[8] = {};
    char* inPtr = &in;
    char* outPtr = reinterpret_cast<char*>(outBytes);
    size_t inLeft = 1, outLeft = sizeof outBytes;
    iconv(cd, nullptr, nullptr, nullptr, nullptr);
    if (iconv(cd, &inPtr, &inLeft, &outPtr, &outLeft) == static_cast<size_t>(-1)) {
      ok = errno == EILSEQ && b >= 0x80;  // a lead byte of a multi-byte code page is not handled
      info->map[b] = -1;
      continue;
    }
    uint32_t cp = outBytes[0] | outBytes[1] << 8 | outBytes[2] << 16 | static_cast<uint32_t>(outBytes[3]) << 24;
    if (sizeof outBytes - outLeft != 4 || (b < 0x80 && cp != static_cast<uint32_t>(b))) ok = false;
    info->map[b] = static_cast<int>(cp);
  }
  iconv_close(cd);
  info->data = nullptr;
  info->convert = nullptr;
  info->release = nullptr;
  return ok ? XML_STATUS_OK : XML_STATUS_ERROR;
}

std::string Reason(XML_Error code) {
  switch (code) {
    case XML_ERROR_NO_MEMORY:
      return "nedostatok pamäte"_1250.bytes();
    case XML_ERROR_SYNTAX:
      return "syntaktická chyba"_1250.bytes();
    case XML_ERROR_NO_ELEMENTS:
      return "súbor končí pred koncom dokumentu"_1250.bytes();
    case XML_ERROR_INVALID_TOKEN:
    case XML_ERROR_BAD_CHAR_REF:
      return "neplatný znak alebo značka"_1250.bytes();
    case XML_ERROR_UNCLOSED_TOKEN:
    case XML_ERROR_PARTIAL_CHAR:
      return "súbor končí uprostred značky"_1250.bytes();
    case XML_ERROR_TAG_MISMATCH:
      return "koncová značka nezodpovedá otvorenej"_1250.bytes();
    case XML_ERROR_DUPLICATE_ATTRIBUTE:
      return "atribút sa opakuje"_1250.bytes();
    case XML_ERROR_JUNK_AFTER_DOC_ELEMENT:
      return "text za koncom dokumentu";
    case XML_ERROR_UNDEFINED_ENTITY:
      return "neznáma entita"_1250.bytes();
    case XML_ERROR_UNKNOWN_ENCODING:
    case XML_ERROR_INCORRECT_ENCODING:
      return "nepodporované kódovanie"_1250.bytes();
    case XML_ERROR_UNCLOSED_CDATA_SECTION:
      return "neukončená sekcia CDATA"_1250.bytes();
    case XML_ERROR_UNBOUND_PREFIX:
      return "nedeklarovaný prefix menného priestoru"_1250.bytes();
    case XML_ERROR_AMPLIFICATION_LIMIT_BREACH:
      return "entity sa rozvíjajú neúmerne"_1250.bytes();
    default:
      return std::string("chyba XML (") + XML_ErrorString(code) + ")";
  }
}

struct ParserFree {
  void operator()(XML_ParserStruct* p) const { XML_ParserFree(p); }
};
struct FileClose {
  void operator()(std::FILE* f) const { std::fclose(f); }
};

}  // namespace

void ReadXmlFile(const std::string& pathUtf8, XmlHandler& handler) {
  std::unique_ptr<std::FILE, FileClose> f(std::fopen(pathUtf8.c_str(), "rb"));
  if (!f) throw CannotOpenFile(files::FromPcPath(pathUtf8));
  std::unique_ptr<XML_ParserStruct, ParserFree> parser(XML_ParserCreateNS(nullptr, kNsSeparator));
  if (!parser) throw std::bad_alloc();
  Session s;
  s.parser = parser.get();
  s.handler = &handler;
  XML_SetUserData(s.parser, &s);
  XML_SetElementHandler(s.parser, OnStart, OnEnd);
  XML_SetCharacterDataHandler(s.parser, OnText);
  XML_SetEntityDeclHandler(s.parser, OnEntityDecl);
  XML_SetParamEntityParsing(s.parser, XML_PARAM_ENTITY_PARSING_NEVER);
  XML_SetUnknownEncodingHandler(s.parser, OnUnknownEncoding, nullptr);

  XmlByteFilter filter;
  std::unique_ptr<char[]> piece(new char[kPiece]);
  std::string filtered;
  filtered.reserve(kPiece + kPiece / 8);
  for (bool final = false; !final;) {
    size_t n = std::fread(piece.get(), 1, kPiece, f.get());
    filtered.clear();
    if (n == 0) {
      // A folder opens and fails only here.
      if (std::ferror(f.get())) throw CannotOpenFile(files::FromPcPath(pathUtf8));
      final = true;
      filter.finish(filtered);
    } else {
      filter.feed(std::string_view(piece.get(), n), filtered);
    }
    XML_Status status = XML_Parse(s.parser, filtered.data(), static_cast<int>(filtered.size()), final);
    if (s.failure) std::rethrow_exception(s.failure);
    if (s.stopped) return;
    if (status == XML_STATUS_ERROR) {
      std::string reason = s.entityDeclared ? "súbor deklaruje entity, tie sa nečítajú"_1250.bytes()
                                            : Reason(XML_GetErrorCode(s.parser));
      throw Error("Chybný GPX súbor "_1250 +
                  text::Cp1250::FromBytes(files::FromPcPath(pathUtf8) + ": riadok " +
                                          std::to_string(XML_GetCurrentLineNumber(s.parser))) +
                  ", stĺpec "_1250 +
                  text::Cp1250::FromBytes(std::to_string(XML_GetCurrentColumnNumber(s.parser) + 1) + ": " + reason));
    }
  }
}

}  // namespace trovik::waypoints
