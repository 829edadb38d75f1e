// Random texts and numbers: every conversion either gives its fixed form or
// throws trovik::Error; nothing crashes, nothing spins.

#include <gtest/gtest.h>

#include <cmath>
#include <random>
#include <regex>

#include "base/error.h"
#include "text/text.h"
#include "tools/coords.h"
#include "tools/geodesy.h"

namespace trovik::tools {
namespace {

TEST(Robustness, RandomCoordinateTexts) {
  std::mt19937 engine(4711);
  const std::string alphabet = std::string("0123456789.,'-+ EN") + kDegree;
  int converted = 0;
  for (int i = 0; i < 20000; ++i) {
    std::string t;
    const int length = static_cast<int>(engine() % 24);
    for (int k = 0; k < length; ++k) t += alphabet[engine() % alphabet.size()];
    for (auto* f : {&DegToDegMin, &DegMinToDeg, &ListingCoordsToDeg}) {
      try {
        f(t);
        ++converted;
      } catch (const Error&) {
      }
    }
  }
  EXPECT_GT(converted, 1000);
}

TEST(Robustness, DegreesThereAndBackKeepTheirFormAndValue) {
  std::mt19937_64 engine(99);
  const std::regex dm("\\d{2,}\xB0\\d{2}\\.\\d{3}'");
  const std::regex deg("\\d{2,}\\.\\d{5}");
  for (int i = 0; i < 20000; ++i) {
    // Values near whole minutes and degrees are where the rounding carries.
    double v = static_cast<double>(engine() % 180);
    if (i % 2) v += static_cast<double>(engine() % 60) / 60 - 1e-9 * static_cast<double>(engine() % 1000);
    else v += static_cast<double>(engine() >> 11) * 0x1.0p-53;
    if (v < 0) v = 0;
    const std::string text = text::FormatGeneral(v, '.');
    const std::string minutes = DegToDegMin(text);
    ASSERT_TRUE(std::regex_match(minutes, dm)) << text << " -> " << text::Cp1250ToUtf8(minutes);
    const std::string back = DegMinToDeg(minutes);
    ASSERT_TRUE(std::regex_match(back, deg)) << text << " -> " << back;
    // Half a thousandth of a minute plus half of the fifth decimal.
    EXPECT_NEAR(std::stod(back), v, 0.0005 / 60 + 0.000005 + 1e-12) << text;
  }
}

TEST(Robustness, GeodesyOnExtremeInputs) {
  std::mt19937_64 engine(5);
  auto unit = [&] { return static_cast<double>(engine() >> 11) * 0x1.0p-53; };
  const double specials[] = {90, -90, 0, 180, -180, 1e-300, 89.999999999, 360, 720};
  for (int i = 0; i < 5000; ++i) {
    auto pick = [&](double range) { return i % 3 == 0 ? specials[engine() % 9] : (unit() * 2 - 1) * range; };
    const double lat1 = std::clamp(pick(90), -90.0, 90.0), lat2 = std::clamp(pick(90), -90.0, 90.0);
    const Bearings b = DistanceAndBearings(lat1, pick(540), lat2, pick(540));
    EXPECT_TRUE(std::isfinite(b.distance) && std::isfinite(b.forwardAzimuth) && std::isfinite(b.backAzimuth))
        << lat1 << ' ' << lat2;
    EXPECT_GE(b.distance, 0);
    EXPECT_LE(b.distance, 20004000);
    // Any distance, even many times round the earth, ends.
    const DirectPoint p = VincentyDirectPoint(lat1, pick(180), pick(720), std::pow(10.0, unit() * 14));
    EXPECT_TRUE(std::isfinite(p.latitude));
    EXPECT_LE(std::fabs(p.latitude), 90 + 1e-9);
  }
}

}  // namespace
}  // namespace trovik::tools
