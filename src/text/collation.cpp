// The Slovak order of 1250 texts, built in so that a sort is the same on
// every machine whatever locales it has: the panes and the index of pages.

#include <array>
#include <string>

#include "text/text.h"

namespace trovik::text {

namespace {

struct Weight {
  unsigned char primary = 0, secondary = 1, tertiary = 1;
};

struct Collation {
  std::array<Weight, 256> w{};
  unsigned char chPrimary = 0;

  Collation() {
    // Blanks and symbols first, in code order, then digits, then letters.
    unsigned char next = 2;
    for (int b = 1; b < 256; ++b) {
      bool alnum = (b >= '0' && b <= '9') || (b >= 'A' && b <= 'Z') || (b >= 'a' && b <= 'z');
      if (!alnum) w[b] = {next < 90 ? next++ : next, 1, 1};
    }
    for (int d = 0; d < 10; ++d) w['0' + d] = {static_cast<unsigned char>(100 + d), 1, 1};
    // The Slovak alphabet; letters after the first of a group differ from it
    // only by their accent. Upper and lower case of a letter differ last.
    const char* groups[] = {"aáâăą", "ä", "b", "cćç", "č", "dďđ", "eéěëę", "f", "g", "h", "", "iíî", "j", "k",
                            "lĺľł", "m", "nňń", "oóöő", "ô", "p", "q", "rŕ", "ř", "sśşß", "š", "tťţ", "uúůüű",
                            "v", "w", "x", "yý", "zźż", "ž"};
    unsigned char primary = 120;
    for (const char* g : groups) {
      if (!*g) {  // the place of "ch", between h and i
        chPrimary = primary++;
        continue;
      }
      std::string lower = Utf8To1250(g);
      for (size_t k = 0; k < lower.size(); ++k) {
        unsigned char lo = static_cast<unsigned char>(lower[k]);
        unsigned char sec = static_cast<unsigned char>(1 + k);
        w[lo] = {primary, sec, 1};
        int up = UpperOf(lo);
        if (up >= 0) w[static_cast<unsigned char>(up)] = {primary, sec, 2};
      }
      ++primary;
    }
    // Letters of other alphabets that the code page has: after the Slovak ones.
    for (int b = 0xC0; b < 256; ++b) {
      if (w[b].primary < 120 && b != 0xD7 && b != 0xF7) w[b] = {primary, static_cast<unsigned char>(b - 0xBF), 1};
    }
  }

  // Upper case of a 1250 lower-case letter, -1 when it has none.
  static int UpperOf(unsigned char c) {
    if (c >= 'a' && c <= 'z') return c - 32;
    if (c >= 0xE0 && c != 0xF7 && c != 0xFF) return c - 32;
    switch (c) {
      case 0x9A: return 0x8A;  // š
      case 0x9C: return 0x8C;
      case 0x9D: return 0x8D;  // ť
      case 0x9E: return 0x8E;  // ž
      case 0x9F: return 0x8F;
      case 0xB3: return 0xA3;
      case 0xB9: return 0xA5;
      case 0xBA: return 0xAA;
      case 0xBE: return 0xBC;  // ľ
      case 0xBF: return 0xAF;
      default: return -1;
    }
  }
};

const Collation& Table() {
  static const Collation table;
  return table;
}

}  // namespace

std::string CollationKey(const std::string& s) {
  const Collation& c = Table();
  std::string primary, secondary, tertiary;
  primary.reserve(s.size() + 1);
  for (size_t i = 0; i < s.size(); ++i) {
    unsigned char b = static_cast<unsigned char>(s[i]);
    Weight w = c.w[b];
    if ((b == 'c' || b == 'C') && i + 1 < s.size() && (s[i + 1] == 'h' || s[i + 1] == 'H')) {
      w.primary = c.chPrimary;
      w.secondary = 1;
      ++i;
    }
    primary += static_cast<char>(w.primary);
    secondary += static_cast<char>(w.secondary);
    tertiary += static_cast<char>(w.tertiary);
  }
  return primary + '\0' + secondary + '\0' + tertiary;
}

}  // namespace trovik::text
