// The code page at the edges: UTF-8 <-> Windows-1250, by a table for the
// characters 1250 holds and iconv's transliteration for the others.

#include "text/text.h"

#include <iconv.h>

#include <cerrno>
#include <cstring>
#include <memory>

namespace trovik::text {

namespace {

// The same table the compiler converts literals with.
constexpr const char16_t (&kUpper)[128] = detail::kUpper1250;

// Code point -> 1250 byte for the characters the code page holds (0: none).
class ReverseTable {
 public:
  static constexpr uint32_t kSize = 0x2200;  // the code page's highest character is U+2122
  ReverseTable() {
    for (int b = 0x80; b <= 0xFF; ++b) {
      char16_t u = kUpper[b - 0x80];
      if (u != 0xFFFD) byte_[u] = static_cast<unsigned char>(b);
    }
  }
  unsigned char byteOf(uint32_t cp) const { return cp < kSize ? byte_[cp] : 0; }

 private:
  unsigned char byte_[kSize] = {};
};

uint32_t DecodeUtf8(std::string_view s, size_t i, size_t len) {
  auto b = static_cast<unsigned char>(s[i]);
  uint32_t cp = len == 2 ? (b & 0x1Fu) : len == 3 ? (b & 0x0Fu) : (b & 0x07u);
  for (size_t k = 1; k < len; ++k) cp = (cp << 6) | (static_cast<unsigned char>(s[i + k]) & 0x3Fu);
  return cp;
}

// Length of the valid UTF-8 sequence at s[i], 0 when the byte starts none.
size_t Utf8SequenceLength(std::string_view s, size_t i) {
  auto b = static_cast<unsigned char>(s[i]);
  size_t len;
  uint32_t cp;
  if (b < 0x80) return 1;
  if (b >= 0xC2 && b <= 0xDF) {
    len = 2;
    cp = b & 0x1F;
  } else if (b >= 0xE0 && b <= 0xEF) {
    len = 3;
    cp = b & 0x0F;
  } else if (b >= 0xF0 && b <= 0xF4) {
    len = 4;
    cp = b & 0x07;
  } else {
    return 0;
  }
  if (i + len > s.size()) return 0;
  for (size_t k = 1; k < len; ++k) {
    auto c = static_cast<unsigned char>(s[i + k]);
    if ((c & 0xC0) != 0x80) return 0;
    cp = (cp << 6) | (c & 0x3F);
  }
  if ((len == 3 && cp < 0x800) || (len == 4 && (cp < 0x10000 || cp > 0x10FFFF)) || (cp >= 0xD800 && cp <= 0xDFFF))
    return 0;
  return len;
}

class Iconv {
 public:
  Iconv(const char* to, const char* from) : cd_(iconv_open(to, from)) {}
  ~Iconv() {
    if (ok()) iconv_close(cd_);
  }
  Iconv(const Iconv&) = delete;
  Iconv& operator=(const Iconv&) = delete;
  bool ok() const { return cd_ != reinterpret_cast<iconv_t>(-1); }
  // Converts one valid character; false when the target lacks it.
  bool convert(std::string_view in, std::string& out) {
    iconv(cd_, nullptr, nullptr, nullptr, nullptr);
    char buf[32];
    char* inp = const_cast<char*>(in.data());
    size_t inLeft = in.size();
    char* outp = buf;
    size_t outLeft = sizeof buf;
    size_t r = iconv(cd_, &inp, &inLeft, &outp, &outLeft);
    if (r == static_cast<size_t>(-1) || inLeft != 0) return false;
    out.append(buf, static_cast<size_t>(outp - buf));
    return true;
  }

 private:
  iconv_t cd_;
};

// A character at a time, so that an invalid byte or a character the code
// page lacks costs one replacement and never the rest of the line. Characters
// of the code page come from the table; `unmapped(sequence, codePoint, out)`
// writes any other.
template <class Unmapped>
std::string Utf8To1250Walk(std::string_view utf8, Unmapped&& unmapped) {
  static const ReverseTable table;
  std::string out;
  out.reserve(utf8.size());
  size_t i = 0;
  while (i < utf8.size()) {
    auto b = static_cast<unsigned char>(utf8[i]);
    if (b < 0x80) {
      // A run of ASCII goes over in one append.
      size_t end = i + 1;
      while (end < utf8.size() && static_cast<unsigned char>(utf8[end]) < 0x80) ++end;
      out.append(utf8.data() + i, end - i);
      i = end;
      continue;
    }
    size_t len = Utf8SequenceLength(utf8, i);
    if (len == 0) {
      out += '?';
      ++i;
      continue;
    }
    const uint32_t cp = DecodeUtf8(utf8, i, len);
    if (unsigned char mapped = table.byteOf(cp))
      out += static_cast<char>(mapped);
    else
      unmapped(utf8.substr(i, len), cp, out);
    i += len;
  }
  return out;
}

// iconv is opened only for the characters the table lacks.
std::string Utf8To1250Impl(std::string_view utf8, bool translit) {
  std::unique_ptr<Iconv> approx;
  return Utf8To1250Walk(utf8, [&](std::string_view sequence, uint32_t, std::string& out) {
    std::string t;
    if (translit && !approx) approx = std::make_unique<Iconv>("WINDOWS-1250//TRANSLIT", "UTF-8");
    if (translit && approx->ok() && approx->convert(sequence, t) && !t.empty()) {
      out += t;
    } else {
      out += '?';
    }
  });
}

}  // namespace

bool IsAscii(std::string_view s) {
  // Eight bytes at a time: GPX files are mostly ASCII and long.
  const char* p = s.data();
  size_t n = s.size();
  uint64_t any = 0;
  for (; n >= 8; p += 8, n -= 8) {
    uint64_t w;
    std::memcpy(&w, p, 8);
    any |= w;
  }
  for (; n > 0; ++p, --n) any |= static_cast<unsigned char>(*p);
  return (any & 0x8080808080808080ull) == 0;
}

std::string Utf8To1250(std::string_view utf8) { return Utf8To1250Impl(utf8, true); }

std::string Utf8To1250Strict(std::string_view utf8) { return Utf8To1250Impl(utf8, false); }

Cp1250 Cp1250::FromUtf8(std::string_view utf8) { return FromBytes(Utf8To1250(utf8)); }

std::string Utf8To1250Html(std::string_view utf8) {
  return Utf8To1250Walk(utf8, [](std::string_view, uint32_t cp, std::string& out) {
    out += "&#" + std::to_string(cp) + ";";
  });
}

std::string Cp1250ToUtf8(std::string_view cp1250) {
  std::string out;
  out.reserve(cp1250.size() + cp1250.size() / 4);
  for (char c : cp1250) {
    auto b = static_cast<unsigned char>(c);
    if (b < 0x80) {
      out += c;
      continue;
    }
    char16_t u = kUpper[b - 0x80];
    if (u < 0x800) {
      out += static_cast<char>(0xC0 | (u >> 6));
      out += static_cast<char>(0x80 | (u & 0x3F));
    } else {
      out += static_cast<char>(0xE0 | (u >> 12));
      out += static_cast<char>(0x80 | ((u >> 6) & 0x3F));
      out += static_cast<char>(0x80 | (u & 0x3F));
    }
  }
  return out;
}

}  // namespace trovik::text
