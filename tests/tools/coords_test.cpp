#include "tools/coords.h"

#include <gtest/gtest.h>

#include "base/error.h"
#include "base/flags.h"
#include "tools/tool_tab.h"

namespace trovik::tools {
namespace {

// Test texts are written with "~" for the degree sign, which is 0xB0 in 1250.
std::string D(std::string s) {
  for (char& c : s)
    if (c == '~') c = kDegree;
  return s;
}

std::string ErrorOf(const std::function<void()>& f) {
  try {
    f();
  } catch (const Error& e) {
    return e.text();
  }
  return "(no error)";
}

TEST(TwoDigits, PadsSingleDigitsOnly) {
  EXPECT_EQ(TwoDigits(0), "00");
  EXPECT_EQ(TwoDigits(7), "07");
  EXPECT_EQ(TwoDigits(9), "09");
  EXPECT_EQ(TwoDigits(10), "10");
  EXPECT_EQ(TwoDigits(179), "179");
  EXPECT_EQ(TwoDigits(-5), "0-5");
}

TEST(DegToDegMin, WritesFixedWidths) {
  EXPECT_EQ(DegToDegMin(D("48.123456~")), D("48~07.407'"));
  EXPECT_EQ(DegToDegMin("48.123456"), D("48~07.407'"));
  EXPECT_EQ(DegToDegMin("5.5"), D("05~30.000'"));
  EXPECT_EQ(DegToDegMin(D("17~")), D("17~00.000'"));
  // A thousandth of a degree is 0.06 minutes: three digits with leading zero.
  EXPECT_EQ(DegToDegMin("48.001"), D("48~00.060'"));
  EXPECT_EQ(DegToDegMin("0.0001"), D("00~00.006'"));
}

TEST(DegToDegMin, ReadsTheSeparatorFromTheText) {
  EXPECT_EQ(DegToDegMin(D("48,5~")), D("48~30.000'"));
  EXPECT_EQ(DegreeTextSeparator(D("48,5~")), ',');
  EXPECT_EQ(DegreeTextSeparator("48.5"), '.');
  EXPECT_EQ(DegreeTextSeparator("48"), ',');
  // With a "." present the comma is no separator.
  EXPECT_EQ(ErrorOf([] { DegToDegMin("48,5.1"); }), "'48,5.1' is not a valid floating point value");
}

TEST(DegToDegMin, CarriesARoundedFractionIntoTheWholeParts) {
  EXPECT_EQ(DegToDegMin("48.99999999"), D("49~00.000'"));
  // 12.9999 min rounds up to 13.000 min.
  EXPECT_EQ(DegToDegMin("48.21666658"), D("48~13.000'"));
  EXPECT_EQ(DegToDegMin("9.99999999"), D("10~00.000'"));
}

TEST(DegToDegMin, DegreeSignIsDroppedOnlyAsLastCharacter) {
  // The "°" rule drops the last character whatever it is.
  EXPECT_EQ(ErrorOf([] { DegToDegMin(D("48.~5")); }), D("'48.~' is not a valid floating point value"));
  EXPECT_EQ(ErrorOf([] { DegToDegMin(D("abc~")); }), "'abc' is not a valid floating point value");
  EXPECT_EQ(ErrorOf([] { DegToDegMin(D("~")); }), "'' is not a valid floating point value");
  EXPECT_EQ(ErrorOf([] { DegToDegMin(""); }), "'' is not a valid floating point value");
  EXPECT_EQ(ErrorOf([] { DegToDegMin("1e300"); }), "'1e300' is not a valid floating point value");
}

TEST(DegMinToDeg, WritesFiveDecimals) {
  EXPECT_EQ(DegMinToDeg(D("48~07.407'")), "48.12345");
  EXPECT_EQ(DegMinToDeg(D("48~07.407")), "48.12345");
  // 07.4 means seven minutes and four tenths.
  EXPECT_EQ(DegMinToDeg(D("48~07.4'")), "48.12333");
  // Three tenths of a minute: a fraction beginning with two zeros.
  EXPECT_EQ(DegMinToDeg(D("48~00.3'")), "48.00500");
  EXPECT_EQ(DegMinToDeg(D("5~30.000'")), "05.50000");
  EXPECT_EQ(DegMinToDeg(D(" 48~ 07.407'")), "48.12345");
}

TEST(DegMinToDeg, CarriesIntoTheDegrees) {
  EXPECT_EQ(DegMinToDeg(D("48~59.99999'")), "49.00000");
  EXPECT_EQ(DegMinToDeg(D("09~59.9999'")), "10.00000");
}

TEST(DegMinToDeg, BadWholePartsCountAsZero) {
  EXPECT_EQ(DegMinToDeg(D("x~30.0'")), "00.50000");
  EXPECT_EQ(DegMinToDeg(D("48~zz.0'")), "48.00000");
  // No "°": the degree part is empty.
  EXPECT_EQ(DegMinToDeg("30.0'"), "00.50000");
}

TEST(DegMinToDeg, BadFractionIsAnIntegerError) {
  EXPECT_EQ(ErrorOf([] { DegMinToDeg(D("48~07.'")); }), "'' is not a valid integer value");
  EXPECT_EQ(ErrorOf([] { DegMinToDeg(D("48~07.4x'")); }), "'4x' is not a valid integer value");
  // Without "." the text before the "'" is taken as the fraction.
  EXPECT_EQ(ErrorOf([] { DegMinToDeg(D("48~07'")); }), D("'48~07' is not a valid integer value"));
  EXPECT_EQ(ErrorOf([] { DegMinToDeg(""); }), "'' is not a valid integer value");
  EXPECT_EQ(ErrorOf([] { DegMinToDeg(D("48~07.99999999999'")); }), "'99999999999' is not a valid integer value");
}

TEST(ListingCoordsToDeg, SelfTestText) {
  EXPECT_EQ(ListingCoordsToDeg(std::string(kSelfTestListing)), "48.58697,17.84380");
  EXPECT_EQ(ListingCoordsToDeg(D("N  48~ 35.218' E  017~ 50.628'")), "48.58697,17.84380");
  // Hemisphere letters are not read.
  EXPECT_EQ(ListingCoordsToDeg(D("S 48~35.218' E 017~50.628'")), "48.58697,17.84380");
}

TEST(ListingCoordsToDeg, WithoutEFailsOnTheLatitude) {
  EXPECT_EQ(ErrorOf([] { ListingCoordsToDeg(D("N 48~35.218' W 017~50.628'")); }),
            "'' is not a valid integer value");
  EXPECT_EQ(ErrorOf([] { ListingCoordsToDeg(""); }), "'' is not a valid integer value");
  EXPECT_EQ(ErrorOf([] { ListingCoordsToDeg(D("N 48~35.218' E")); }), "'' is not a valid integer value");
}

TEST(ConverterFields, BothWaysAndTheSeparator) {
  ToolFields f;
  RunFlags flags;
  flags.decimalSeparator = '.';
  f.edit9 = D("48,5~");
  Edit9KeyUp(f, flags);
  EXPECT_EQ(f.edit10, D("48~30.000'"));
  EXPECT_EQ(flags.decimalSeparator, ',');

  f.edit9 = D("48.123456~");
  Edit9KeyUp(f, flags);
  EXPECT_EQ(f.edit10, D("48~07.407'"));
  EXPECT_EQ(flags.decimalSeparator, '.');

  Edit10KeyUp(f);
  EXPECT_EQ(f.edit9, D("48.12345~"));
}

TEST(ConverterFields, ErrorsLeaveTheOtherFieldAlone) {
  ToolFields f;
  RunFlags flags;
  f.edit9 = "4x";
  EXPECT_THROW(Edit9KeyUp(f, flags), Error);
  EXPECT_EQ(f.edit10, D("48~07.407'"));

  f.edit10 = D("48~07.");
  EXPECT_THROW(Edit10KeyUp(f), Error);
  EXPECT_EQ(f.edit9, "4x");
}

}  // namespace
}  // namespace trovik::tools
