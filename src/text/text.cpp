#include "text/text.h"

#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <limits>

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

std::string EscapeHtml(std::string_view s) {
  std::string out;
  out.reserve(s.size() + 16);
  for (char c : s) {
    switch (c) {
      case '&': out += "&amp;"; break;
      case '<': out += "&lt;"; break;
      case '>': out += "&gt;"; break;
      case '"': out += "&quot;"; break;
      default: out += c;
    }
  }
  return out;
}

}  // namespace trovik::text
