#include "text/text.h"

#include <iconv.h>

#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <memory>

namespace trovik::text {

int Pos(std::string_view needle, std::string_view hay) { return PosFrom(needle, hay, 1); }

int PosFrom(std::string_view needle, std::string_view hay, int from) {
  if (needle.empty()) return 0;
  size_t start = from < 1 ? 0 : static_cast<size_t>(from - 1);
  if (start >= hay.size()) return 0;
  size_t p = hay.find(needle, start);
  return p == std::string_view::npos ? 0 : static_cast<int>(p + 1);
}

int LastPos(std::string_view needle, std::string_view hay) {
  if (needle.empty()) return 0;
  size_t p = hay.rfind(needle);
  return p == std::string_view::npos ? 0 : static_cast<int>(p + 1);
}

int PosPast(std::string_view needle, std::string_view hay) {
  int p = Pos(needle, hay);
  return p == 0 ? 0 : p + static_cast<int>(needle.size());
}

int PosAfter(std::string_view needle, std::string_view hay, int k) {
  return PosFrom(needle, hay, k < 0 ? 1 : k + 1);
}

std::string Copy(std::string_view s, int64_t index, int64_t count) {
  if (count <= 0) return {};
  if (index < 1) {
    // A start before the first character starts there; the count is not shortened.
    index = 1;
  }
  auto start = static_cast<uint64_t>(index - 1);
  if (start >= s.size()) return {};
  auto n = static_cast<uint64_t>(count);
  if (n > s.size() - start) n = s.size() - start;
  return std::string(s.substr(start, n));
}

std::string CopyFrom(std::string_view s, int64_t index) {
  return Copy(s, index, static_cast<int64_t>(s.size()) + 1);
}

void Delete(std::string& s, int64_t index, int64_t count) {
  // Like Pascal's Delete: a start before 1 or past the end deletes nothing.
  if (count <= 0 || index < 1) return;
  auto start = static_cast<uint64_t>(index - 1);
  if (start >= s.size()) return;
  auto n = static_cast<uint64_t>(count);
  if (n > s.size() - start) n = s.size() - start;
  s.erase(start, n);
}

std::string UpperCase(std::string_view s) {
  std::string out(s);
  for (char& c : out)
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
  return out;
}

std::string LowerCase(std::string_view s) {
  std::string out(s);
  for (char& c : out)
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  return out;
}

bool SameTextAscii(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i) {
    char x = a[i], y = b[i];
    if (x >= 'a' && x <= 'z') x = static_cast<char>(x - 'a' + 'A');
    if (y >= 'a' && y <= 'z') y = static_cast<char>(y - 'a' + 'A');
    if (x != y) return false;
  }
  return true;
}

namespace {
bool IsBlank(char c) { return static_cast<unsigned char>(c) <= 0x20; }
}  // namespace

std::string Trim(std::string_view s) {
  size_t b = 0, e = s.size();
  while (b < e && IsBlank(s[b])) ++b;
  while (e > b && IsBlank(s[e - 1])) --e;
  return std::string(s.substr(b, e - b));
}

bool StartsWith(std::string_view s, std::string_view prefix) { return s.substr(0, prefix.size()) == prefix; }

std::string ReplaceAll(std::string_view s, std::string_view from, std::string_view to) {
  if (from.empty()) return std::string(s);
  std::string out;
  out.reserve(s.size());
  size_t i = 0;
  for (;;) {
    size_t p = s.find(from, i);
    if (p == std::string_view::npos) break;
    out.append(s.substr(i, p - i));
    out.append(to);
    i = p + from.size();
  }
  out.append(s.substr(i));
  return out;
}

std::string FormatGeneral(double value, char separator) {
  if (std::isnan(value)) return "NAN";
  if (std::isinf(value)) return value < 0 ? "-INF" : "INF";
  if (value == 0) return "0";
  // 15 significant digits, then the shortest text of those digits.
  char buf[64];
  std::snprintf(buf, sizeof buf, "%.14e", value);
  // buf: [-]d.dddddddddddddde[+-]XX
  std::string s(buf);
  size_t e = s.find('e');
  std::string mant = s.substr(0, e);
  int exp = std::atoi(s.c_str() + e + 1);
  bool neg = mant[0] == '-';
  if (neg) mant.erase(0, 1);
  std::string digits;
  for (char c : mant)
    if (c != '.') digits += c;
  while (digits.size() > 1 && digits.back() == '0') digits.pop_back();

  std::string out = neg ? "-" : "";
  if (exp >= 15 || exp < -5) {
    // Exponent form, as the general format writes very large and small values.
    out += digits[0];
    if (digits.size() > 1) {
      out += separator;
      out += digits.substr(1);
    }
    out += 'E';
    out += std::to_string(exp);
    return out;
  }
  if (exp >= 0) {
    size_t intLen = static_cast<size_t>(exp) + 1;
    if (digits.size() <= intLen) {
      out += digits;
      out.append(intLen - digits.size(), '0');
    } else {
      out += digits.substr(0, intLen);
      out += separator;
      out += digits.substr(intLen);
    }
  } else {
    out += '0';
    out += separator;
    out.append(static_cast<size_t>(-exp - 1), '0');
    out += digits;
  }
  return out;
}

int64_t RoundHalfEven(double value) {
  // nearbyint rounds in the default mode: to nearest, ties to even.
  double r = std::nearbyint(value);
  if (r >= 9.2e18) return std::numeric_limits<int64_t>::max();
  if (r <= -9.2e18) return std::numeric_limits<int64_t>::min();
  return static_cast<int64_t>(r);
}

std::optional<int> ParseInt(std::string_view s) {
  std::string t = Trim(s);
  if (t.empty()) return std::nullopt;
  size_t i = 0;
  bool neg = false;
  if (t[0] == '+' || t[0] == '-') {
    neg = t[0] == '-';
    i = 1;
  }
  if (i >= t.size()) return std::nullopt;
  int64_t v = 0;
  for (; i < t.size(); ++i) {
    if (t[i] < '0' || t[i] > '9') return std::nullopt;
    v = v * 10 + (t[i] - '0');
    if (v > 2147483648LL) return std::nullopt;
  }
  if (neg) v = -v;
  if (v > std::numeric_limits<int>::max() || v < std::numeric_limits<int>::min()) return std::nullopt;
  return static_cast<int>(v);
}

std::optional<double> ParseFloat(std::string_view s, char separator) {
  std::string t = Trim(s);
  if (t.empty()) return std::nullopt;
  std::string c;  // normalised to the C locale's form for strtod
  size_t i = 0;
  if (t[i] == '+' || t[i] == '-') c += t[i++];
  bool digits = false, sep = false;
  for (; i < t.size(); ++i) {
    char ch = t[i];
    if (ch >= '0' && ch <= '9') {
      c += ch;
      digits = true;
    } else if (ch == separator && !sep) {
      c += '.';
      sep = true;
    } else {
      break;
    }
  }
  if (!digits) return std::nullopt;
  if (i < t.size() && (t[i] == 'e' || t[i] == 'E')) {
    c += 'e';
    ++i;
    if (i < t.size() && (t[i] == '+' || t[i] == '-')) c += t[i++];
    bool expDigits = false;
    for (; i < t.size() && t[i] >= '0' && t[i] <= '9'; ++i) {
      c += t[i];
      expDigits = true;
    }
    if (!expDigits) return std::nullopt;
  }
  if (i != t.size()) return std::nullopt;
  errno = 0;
  double v = std::strtod(c.c_str(), nullptr);
  if (!std::isfinite(v)) return std::nullopt;
  return v;
}

std::vector<std::string> SplitLines(std::string_view s) {
  std::vector<std::string> lines;
  // Counted first: a file of a million lines is not moved twenty times over.
  size_t ends = 0;
  for (size_t i = 0; i < s.size(); ++i) {
    if (s[i] == '\n' || (s[i] == '\r' && (i + 1 == s.size() || s[i + 1] != '\n'))) ++ends;
  }
  lines.reserve(ends + 1);
  size_t start = 0, i = 0;
  while (i < s.size()) {
    char c = s[i];
    if (c == '\r' || c == '\n') {
      lines.emplace_back(s.substr(start, i - start));
      if (c == '\r' && i + 1 < s.size() && s[i + 1] == '\n') ++i;
      start = ++i;
    } else {
      ++i;
    }
  }
  if (start < s.size()) lines.emplace_back(s.substr(start));
  return lines;
}

std::string JoinLinesCrLf(const std::vector<std::string>& lines) {
  size_t n = 0;
  for (const auto& l : lines) n += l.size() + 2;
  std::string out;
  out.reserve(n);
  for (const auto& l : lines) {
    out += l;
    out += "\r\n";
  }
  return out;
}

double DayCount(int year, int month, int day, int hour, int minute, int second) {
  // Days from the civil date (proleptic Gregorian), then relative to 1899-12-30.
  auto daysFromCivil = [](int64_t y, unsigned m, unsigned d) {
    y -= m <= 2;
    const int64_t era = (y >= 0 ? y : y - 399) / 400;
    const auto yoe = static_cast<unsigned>(y - era * 400);
    const unsigned doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
    const unsigned doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    return era * 146097 + static_cast<int64_t>(doe) - 719468;
  };
  int64_t days = daysFromCivil(year, static_cast<unsigned>(month), static_cast<unsigned>(day)) -
                 daysFromCivil(1899, 12, 30);
  return static_cast<double>(days) + (hour * 3600.0 + minute * 60.0 + second) / 86400.0;
}

namespace {

// The upper half of Windows-1250; the five unassigned bytes map to U+FFFD.
const char16_t kUpper[128] = {
      0x20AC, 0xFFFD, 0x201A, 0xFFFD, 0x201E, 0x2026, 0x2020, 0x2021, 0xFFFD, 0x2030, 0x0160, 0x2039, 0x015A,
      0x0164, 0x017D, 0x0179, 0xFFFD, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014, 0xFFFD, 0x2122,
      0x0161, 0x203A, 0x015B, 0x0165, 0x017E, 0x017A, 0x00A0, 0x02C7, 0x02D8, 0x0141, 0x00A4, 0x0104, 0x00A6,
      0x00A7, 0x00A8, 0x00A9, 0x015E, 0x00AB, 0x00AC, 0x00AD, 0x00AE, 0x017B, 0x00B0, 0x00B1, 0x02DB, 0x0142,
      0x00B4, 0x00B5, 0x00B6, 0x00B7, 0x00B8, 0x0105, 0x015F, 0x00BB, 0x013D, 0x02DD, 0x013E, 0x017C, 0x0154,
      0x00C1, 0x00C2, 0x0102, 0x00C4, 0x0139, 0x0106, 0x00C7, 0x010C, 0x00C9, 0x0118, 0x00CB, 0x011A, 0x00CD,
      0x00CE, 0x010E, 0x0110, 0x0143, 0x0147, 0x00D3, 0x00D4, 0x0150, 0x00D6, 0x00D7, 0x0158, 0x016E, 0x00DA,
      0x0170, 0x00DC, 0x00DD, 0x0162, 0x00DF, 0x0155, 0x00E1, 0x00E2, 0x0103, 0x00E4, 0x013A, 0x0107, 0x00E7,
      0x010D, 0x00E9, 0x0119, 0x00EB, 0x011B, 0x00ED, 0x00EE, 0x010F, 0x0111, 0x0144, 0x0148, 0x00F3, 0x00F4,
      0x0151, 0x00F6, 0x00F7, 0x0159, 0x016F, 0x00FA, 0x0171, 0x00FC, 0x00FD, 0x0163, 0x02D9};

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

std::string Utf8To1250Impl(std::string_view utf8, bool translit) {
  // A character at a time, so that an invalid byte or a character the code
  // page lacks costs one "?" and never the rest of the line. Characters of
  // the code page come from the table; iconv is opened only for the others.
  static const ReverseTable table;
  std::unique_ptr<Iconv> approx;
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
    if (unsigned char mapped = table.byteOf(DecodeUtf8(utf8, i, len))) {
      out += static_cast<char>(mapped);
    } else {
      std::string t;
      if (translit && !approx) approx = std::make_unique<Iconv>("WINDOWS-1250//TRANSLIT", "UTF-8");
      if (translit && approx->ok() && approx->convert(utf8.substr(i, len), t) && !t.empty()) {
        out += t;
      } else {
        out += '?';
      }
    }
    i += len;
  }
  return out;
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

std::string Utf8To1250Html(std::string_view utf8) {
  static const ReverseTable table;
  std::string out;
  out.reserve(utf8.size());
  size_t i = 0;
  while (i < utf8.size()) {
    auto b = static_cast<unsigned char>(utf8[i]);
    if (b < 0x80) {
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
      out += "&#" + std::to_string(cp) + ";";
    i += len;
  }
  return out;
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
