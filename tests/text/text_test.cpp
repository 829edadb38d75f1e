#include "text/text.h"

#include <gtest/gtest.h>

#include <type_traits>

namespace trovik::text {
namespace {

TEST(PosCopy, CountFromOneAndClamp) {
  EXPECT_EQ(Pos("b", "abc"), 2);
  EXPECT_EQ(Pos("x", "abc"), 0);
  EXPECT_EQ(Pos("", "abc"), 0);
  EXPECT_EQ(PosFrom("a", "abca", 2), 4);
  EXPECT_EQ(PosFrom("a", "abca", -5), 1);
  EXPECT_EQ(PosFrom("a", "abca", 99), 0);
  EXPECT_EQ(LastPos("a", "abca"), 4);
  EXPECT_EQ(PosPast("ab", "xxabyy"), 5);
  EXPECT_EQ(PosPast("zz", "xxabyy"), 0);

  EXPECT_EQ(Copy("abcdef", 2, 3), "bcd");
  EXPECT_EQ(Copy("abcdef", 0, 2), "ab");   // a start before the first character starts there
  EXPECT_EQ(Copy("abcdef", -9, 2), "ab");
  EXPECT_EQ(Copy("abcdef", 3, 0), "");
  EXPECT_EQ(Copy("abcdef", 3, -1), "");
  EXPECT_EQ(Copy("abcdef", 5, 100), "ef");  // stops at the end
  EXPECT_EQ(Copy("abcdef", 7, 1), "");
  EXPECT_EQ(CopyFrom("abcdef", 4), "def");

  std::string s = "abcdef";
  Delete(s, 2, 2);
  EXPECT_EQ(s, "adef");
  Delete(s, 0, 2);
  EXPECT_EQ(s, "adef");
  Delete(s, 3, 100);
  EXPECT_EQ(s, "ad");
}

TEST(Case, OnlyAsciiLettersChange) {
  // "žluť" in 1250: the accented bytes stay as they are.
  std::string w = "\x9El\xFA\x9D abc";
  EXPECT_EQ(UpperCase(w), "\x9EL\xFA\x9D ABC");
  EXPECT_EQ(LowerCase("AbC\xC1"), "abc\xC1");
  EXPECT_TRUE(SameTextAscii("Mesta", "mESTA"));
  EXPECT_FALSE(SameTextAscii("\xE1", "\xC1"));
}

TEST(Trim, BlanksAndControlCharacters) {
  EXPECT_EQ(Trim(" \t\r\n x y \x01"), "x y");
  EXPECT_EQ(Trim("   "), "");
  EXPECT_EQ(Trim("\xA0x\xA0"), "\xA0x\xA0");  // no-break space is a character of the text
}

TEST(Numbers, GeneralFormat) {
  EXPECT_EQ(FormatGeneral(0, '.'), "0");
  EXPECT_EQ(FormatGeneral(48.5, ','), "48,5");
  EXPECT_EQ(FormatGeneral(-0.25, '.'), "-0.25");
  EXPECT_EQ(FormatGeneral(74600, '.'), "74600");
  EXPECT_EQ(FormatGeneral(0.1 + 0.2, '.'), "0.3");  // 15 significant digits
  EXPECT_EQ(FormatGeneral(1.0 / 3, '.'), "0.333333333333333");
  EXPECT_EQ(FormatGeneral(123456789012345.0, '.'), "123456789012345");
  EXPECT_EQ(FormatGeneral(1e15, '.'), "1E15");
  EXPECT_EQ(FormatGeneral(0.00001, '.'), "0.00001");
  EXPECT_EQ(FormatGeneral(0.000001234, ','), "1,234E-6");
  EXPECT_EQ(FormatGeneral(39792.5, '.'), "39792.5");
}

TEST(Numbers, BankersRounding) {
  EXPECT_EQ(RoundHalfEven(0.5), 0);
  EXPECT_EQ(RoundHalfEven(1.5), 2);
  EXPECT_EQ(RoundHalfEven(2.5), 2);
  EXPECT_EQ(RoundHalfEven(-2.5), -2);
  EXPECT_EQ(RoundHalfEven(-3.5), -4);
  EXPECT_EQ(RoundHalfEven(2.5000001), 3);
  EXPECT_EQ(RoundHalfEven(-0.4), 0);
}

TEST(Numbers, Parsing) {
  EXPECT_EQ(ParseInt(" 42 "), 42);
  EXPECT_EQ(ParseInt("-7"), -7);
  EXPECT_EQ(ParseInt("+7"), 7);
  EXPECT_FALSE(ParseInt("4 2"));
  EXPECT_FALSE(ParseInt("12a"));
  EXPECT_FALSE(ParseInt(""));
  EXPECT_FALSE(ParseInt("-"));
  EXPECT_EQ(ParseInt("2147483647"), 2147483647);
  EXPECT_EQ(ParseInt("-2147483648"), -2147483647 - 1);
  EXPECT_FALSE(ParseInt("2147483648"));
  EXPECT_FALSE(ParseInt("99999999999999999999"));

  EXPECT_DOUBLE_EQ(*ParseFloat("48.5", '.'), 48.5);
  EXPECT_DOUBLE_EQ(*ParseFloat("48,5", ','), 48.5);
  EXPECT_FALSE(ParseFloat("48,5", '.'));
  EXPECT_DOUBLE_EQ(*ParseFloat("-1.5E3", '.'), -1500);
  EXPECT_DOUBLE_EQ(*ParseFloat(".5", '.'), 0.5);
  EXPECT_FALSE(ParseFloat("1e", '.'));
  EXPECT_FALSE(ParseFloat("abc", '.'));
  EXPECT_FALSE(ParseFloat("1.2.3", '.'));
  EXPECT_FALSE(ParseFloat("1e999", '.'));
}

TEST(Lines, SplitAtEveryKindOfLineEnd) {
  EXPECT_EQ(SplitLines("a\r\nb\rc\nd"), (std::vector<std::string>{"a", "b", "c", "d"}));
  EXPECT_EQ(SplitLines("a\r\n"), (std::vector<std::string>{"a"}));
  EXPECT_EQ(SplitLines("a\n\nb"), (std::vector<std::string>{"a", "", "b"}));
  EXPECT_EQ(SplitLines("\r\n\r\n"), (std::vector<std::string>{"", ""}));
  EXPECT_EQ(SplitLines("\n\r"), (std::vector<std::string>{"", ""}));  // LF then a lone CR
  EXPECT_TRUE(SplitLines("").empty());
  EXPECT_EQ(SplitLines(std::string("a\0b", 3)), (std::vector<std::string>{std::string("a\0b", 3)}));
  EXPECT_EQ(JoinLinesCrLf({"a", "", "b"}), "a\r\n\r\nb\r\n");
  EXPECT_EQ(JoinLinesCrLf({}), "");
}

TEST(Dates, DaysSince18991230) {
  EXPECT_DOUBLE_EQ(DayCount(1899, 12, 30, 0, 0, 0), 0);
  EXPECT_DOUBLE_EQ(DayCount(1900, 1, 1, 0, 0, 0), 2);
  EXPECT_DOUBLE_EQ(DayCount(1900, 3, 1, 0, 0, 0), 61);  // no 29 February 1900
  EXPECT_DOUBLE_EQ(DayCount(2008, 12, 10, 12, 0, 0), 39792.5);
  EXPECT_DOUBLE_EQ(DayCount(1899, 12, 29, 18, 0, 0), -1 + 0.75);
}

TEST(CodePage, Utf8To1250) {
  // "Žltý kôň" in UTF-8 -> 1250
  EXPECT_EQ(Utf8To1250("\xC5\xBDlt\xC3\xBD k\xC3\xB4\xC5\x88"), "\x8Elt\xFD k\xF4\xF2");
  EXPECT_EQ(Utf8To1250("a\xE2\x82\xAC"), "a\x80");  // euro sign
}

TEST(CodePage, InvalidUtf8NeverStopsTheLine) {
  EXPECT_EQ(Utf8To1250("a\xFFz"), "a?z");
  EXPECT_EQ(Utf8To1250("a\xC5"), "a?");             // cut sequence at the end
  EXPECT_EQ(Utf8To1250("\xC0\xAFx"), "??x");        // overlong form
  EXPECT_EQ(Utf8To1250("\xED\xA0\x80y"), "???y");   // surrogate
  EXPECT_EQ(Utf8To1250(std::string("a\0b", 3)), std::string("a\0b", 3));
}

TEST(CodePage, MissingCharacters) {
  // Chinese has no 1250 form: one "?" (or a transliteration) per character, the rest kept.
  std::string out = Utf8To1250("x\xE4\xB8\xADy");
  EXPECT_EQ(out.front(), 'x');
  EXPECT_EQ(out.back(), 'y');
  EXPECT_EQ(Utf8To1250Strict("x\xE4\xB8\xADy"), "x?y");
  // Transliteration: a curly quote of UTF-8 exists in 1250; "ø" does not and becomes an approximation.
  EXPECT_EQ(Utf8To1250("\xE2\x80\x9E"), "\x84");
  std::string o = Utf8To1250("\xC3\xB8");
  EXPECT_FALSE(o.empty());
}

TEST(CodePage, RoundTripEveryByte) {
  std::string all;
  for (int b = 1; b < 256; ++b) all += static_cast<char>(b);
  std::string back = Utf8To1250Strict(Cp1250ToUtf8(all));
  // The five unassigned bytes come back as "?"; every other byte as itself.
  for (int b = 1; b < 256; ++b) {
    char expect = (b == 0x81 || b == 0x83 || b == 0x88 || b == 0x90 || b == 0x98) ? '?' : static_cast<char>(b);
    EXPECT_EQ(back[static_cast<size_t>(b - 1)], expect) << "byte " << b;
  }
}

TEST(CodePage, LiteralsConvertWhileCompiling) {
  static_assert(Literal1250<"Kód kešky: 48°"> == "K\xF3" "d ke\x9Aky: 48\xB0");
  // Only an explicit conversion makes 1250 text of a literal or a std::string.
  static_assert(!std::is_convertible_v<const char*, Cp1250>);
  static_assert(!std::is_convertible_v<std::string, Cp1250>);
  static_assert(!std::is_constructible_v<Cp1250, std::string>);
  // Every character the code page holds, in the order of its bytes.
  constexpr std::string_view all = Literal1250<
      "\u20AC\u201A\u201E\u2026\u2020\u2021\u2030\u0160\u2039\u015A\u0164\u017D"
      "\u0179\u2018\u2019\u201C\u201D\u2022\u2013\u2014\u2122\u0161\u203A\u015B"
      "\u0165\u017E\u017A\u00A0\u02C7\u02D8\u0141\u00A4\u0104\u00A6\u00A7\u00A8"
      "\u00A9\u015E\u00AB\u00AC\u00AD\u00AE\u017B\u00B0\u00B1\u02DB\u0142\u00B4"
      "\u00B5\u00B6\u00B7\u00B8\u0105\u015F\u00BB\u013D\u02DD\u013E\u017C\u0154"
      "\u00C1\u00C2\u0102\u00C4\u0139\u0106\u00C7\u010C\u00C9\u0118\u00CB\u011A"
      "\u00CD\u00CE\u010E\u0110\u0143\u0147\u00D3\u00D4\u0150\u00D6\u00D7\u0158"
      "\u016E\u00DA\u0170\u00DC\u00DD\u0162\u00DF\u0155\u00E1\u00E2\u0103\u00E4"
      "\u013A\u0107\u00E7\u010D\u00E9\u0119\u00EB\u011B\u00ED\u00EE\u010F\u0111"
      "\u0144\u0148\u00F3\u00F4\u0151\u00F6\u00F7\u0159\u016F\u00FA\u0171\u00FC"
      "\u00FD\u0163\u02D9">;
  std::string bytes;
  for (int b = 0x80; b < 256; ++b) {
    if (b != 0x81 && b != 0x83 && b != 0x88 && b != 0x90 && b != 0x98) bytes += static_cast<char>(b);
  }
  EXPECT_EQ(std::string(all), bytes);
  EXPECT_EQ(("Ďalšia "_1250 + Cp1250::FromUtf8("strana \xE2\x80\x9E")).bytes(), "\xCF" "al\x9Aia strana \x84");
}

TEST(Replace, AllOccurrences) {
  EXPECT_EQ(ReplaceAll("a/b/c", "/", "_"), "a_b_c");
  EXPECT_EQ(ReplaceAll("aaa", "aa", "b"), "ba");
  EXPECT_EQ(ReplaceAll("abc", "", "x"), "abc");
  EXPECT_TRUE(StartsWith("GC123", "GC"));
  EXPECT_FALSE(StartsWith("G", "GC"));
}

}  // namespace
}  // namespace trovik::text
