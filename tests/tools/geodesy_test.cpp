#include "tools/geodesy.h"

#include <gtest/gtest.h>

#include <cmath>
#include <sstream>

#include "base/error.h"
#include "support/fake_host.h"
#include "text/text.h"
#include "tools/tool_tab.h"

namespace trovik::tools {
namespace {

std::string ErrorOf(const std::function<void()>& f) {
  try {
    f();
  } catch (const Error& e) {
    return e.text();
  }
  return "(no error)";
}

DirectPoint ParsePoint(const std::string& text) {
  std::istringstream in(text);
  DirectPoint p;
  in >> p.latitude >> p.longitude;
  EXPECT_TRUE(in) << text;
  return p;
}

TEST(DistanceCommand, DefaultPoints) {
  ToolFields f;
  RunFlags flags;
  SpeedButton16Click(f, flags);
  // About 74.6 km, the rounded thousandths ending in a zero that is dropped.
  EXPECT_EQ(f.edit15, "74624.83");
  EXPECT_EQ(f.edit16, "-89.6");
  EXPECT_EQ(f.edit17, "-270.4");
  EXPECT_EQ(flags.decimalSeparator, '.');
}

TEST(DistanceCommand, ProjectionLandsNearPointTwo) {
  ToolFields f;
  RunFlags flags;
  SpeedButton16Click(f, flags);
  const DirectPoint p = ParsePoint(ProjectionText(f, flags));
  // The bearing read back is rounded to a tenth of a degree: ~75 km · 0.05° ≈ 65 m at most.
  const double miss = DistanceAndBearings(p.latitude, p.longitude, 48.0, 18.0).distance;
  EXPECT_GT(miss, 5);
  EXPECT_LT(miss, 70);

  testing::FakeHost host;
  SpeedButton2Click(f, flags, host);
  ASSERT_EQ(host.messages.size(), 1u);
  EXPECT_EQ(host.messages[0], ProjectionText(f, flags));
}

TEST(DistanceCommand, FieldErrorsChangeNothing) {
  ToolFields f;
  RunFlags flags;
  // Before any distance the read-only fields are empty.
  EXPECT_EQ(ErrorOf([&] { ProjectionText(f, flags); }), "'' is not a valid floating point value");
  f.edit13 = "48,0";
  EXPECT_EQ(ErrorOf([&] { SpeedButton16Click(f, flags); }), "'48,0' is not a valid floating point value");
  EXPECT_EQ(f.edit15, "");
  EXPECT_EQ(f.edit16, "");
  // The fields are read in order: the first bad one is reported.
  f.edit11 = "sever";
  EXPECT_EQ(ErrorOf([&] { SpeedButton16Click(f, flags); }), "'sever' is not a valid floating point value");

  testing::FakeHost host;
  f = ToolFields{};
  f.edit15 = "100";
  EXPECT_THROW(SpeedButton2Click(f, flags, host), Error);  // Edit16 still empty
  EXPECT_TRUE(host.messages.empty());
}

TEST(DistanceCommand, CoincidentPointsShowZeros) {
  ToolFields f;
  RunFlags flags;
  f.edit13 = "48.0";
  f.edit14 = "19.0";
  SpeedButton16Click(f, flags);
  EXPECT_EQ(f.edit15, "0");
  EXPECT_EQ(f.edit16, "0");
  EXPECT_EQ(f.edit17, "0");
  const InverseResult r = VincentyInverse(-33.5, 151.2, -33.5, 151.2);
  EXPECT_EQ(r.outcome, InverseOutcome::Coincident);
  EXPECT_EQ(r.distance, 0);
  // The projection by 0 m gives point 1 back.
  EXPECT_EQ(ProjectionText(f, flags), "48 19");
  EXPECT_EQ(VincentyDirect(-33.5, 151.2, 123.4, 0), "-33.5 151.2");
}

TEST(VincentyInverse, AzimuthConventions) {
  // Due west: a negative bearing; the back bearing is the final one less 180°.
  InverseResult west = VincentyInverse(48, 19, 48, 18);
  // GeodSolve: azi1 -89.62842335132, azi2 -90.37157664868.
  EXPECT_NEAR(west.forwardAzimuth, -89.62842335132, 1e-8);
  EXPECT_NEAR(west.backAzimuth, -90.37157664868 - 180, 1e-8);
  InverseResult north = VincentyInverse(48, 19, 49, 19);
  EXPECT_NEAR(north.forwardAzimuth, 0, 1e-9);
  EXPECT_NEAR(north.backAzimuth, -180, 1e-9);
  InverseResult south = VincentyInverse(49, 19, 48, 19);
  EXPECT_NEAR(std::fabs(south.forwardAzimuth), 180, 1e-9);
  InverseResult east = VincentyInverse(48, 18, 48, 19);
  EXPECT_GT(east.forwardAzimuth, 0);
  EXPECT_LE(east.backAzimuth, 0);
  EXPECT_GT(east.backAzimuth, -360);
}

TEST(VincentyInverse, EquatorialPairsUseTheEquator) {
  // GeodSolve: 10018754.171395 m and 19926188.851996 m along the equator.
  const InverseResult quarter = VincentyInverse(0, 0, 0, 90);
  EXPECT_EQ(quarter.outcome, InverseOutcome::Converged);
  EXPECT_NEAR(quarter.distance, 10018754.171395, 5e-4);
  EXPECT_NEAR(quarter.forwardAzimuth, 90, 1e-9);
  EXPECT_NEAR(quarter.backAzimuth, -90, 1e-9);
  const InverseResult far = VincentyInverse(0, 10, 0, -169);
  EXPECT_EQ(far.outcome, InverseOutcome::Converged);
  EXPECT_NEAR(far.distance, 19926188.851996, 5e-4);
  EXPECT_NEAR(far.forwardAzimuth, -90, 1e-9);
}

TEST(VincentyInverse, NearlyAntipodalPairsFallBackToGeographicLib) {
  struct Case {
    double lon2, s12, azi1, azi2;  // GeodSolve -i -p 6 of (0, 0)-(0.5, lon2)
  };
  for (const Case c : {Case{179.5, 19936288.578965, 25.67187286829, 154.32708546994},
                       Case{179.7, 19944127.420750, 15.55688279349, 164.44251389085}}) {
    const InverseResult v = VincentyInverse(0, 0, 0.5, c.lon2);
    EXPECT_EQ(v.outcome, InverseOutcome::NotConverged) << c.lon2;
    EXPECT_EQ(v.passes, 20);
    const Bearings b = DistanceAndBearings(0, 0, 0.5, c.lon2);
    EXPECT_EQ(b.method, InverseMethod::GeographicLib);
    EXPECT_NEAR(b.distance, c.s12, 1e-5);
    EXPECT_NEAR(b.forwardAzimuth, c.azi1, 1e-9);
    EXPECT_NEAR(b.backAzimuth, c.azi2 - 180, 1e-9);
    // The twentieth pass was off by more than a kilometre.
    EXPECT_GT(std::fabs(v.distance - c.s12), 1000);
  }
  ToolFields f;
  RunFlags flags;
  f.edit11 = "0";
  f.edit12 = "0";
  f.edit13 = "0.5";
  f.edit14 = "179.5";
  SpeedButton16Click(f, flags);
  EXPECT_EQ(f.edit15, "19936288.579");
  EXPECT_EQ(f.edit16, "25.7");
  EXPECT_EQ(f.edit17, "-25.7");
}

TEST(VincentyInverse, ConvergedValuesAreVincentysOwn) {
  const InverseResult v = VincentyInverse(48.1, 17.1, -33.9, 151.2);
  ASSERT_EQ(v.outcome, InverseOutcome::Converged);
  const Bearings b = DistanceAndBearings(48.1, 17.1, -33.9, 151.2);
  EXPECT_EQ(b.method, InverseMethod::Vincenty);
  EXPECT_EQ(b.distance, v.distance);
  EXPECT_EQ(b.forwardAzimuth, v.forwardAzimuth);
  EXPECT_EQ(b.backAzimuth, v.backAzimuth);
}

TEST(VincentyDirect, ReturnsToTheInversePoint) {
  for (const auto& [lat1, lon1, lat2, lon2] : {std::array{48.0, 19.0, 48.0, 18.0}, std::array{48.1, 17.1, -33.9, 151.2},
                                               std::array{-70.0, -60.0, 10.0, 100.0}, std::array{0.0, 0.0, 0.0, 90.0}}) {
    const InverseResult v = VincentyInverse(lat1, lon1, lat2, lon2);
    const DirectPoint p = VincentyDirectPoint(lat1, lon1, v.forwardAzimuth, v.distance);
    EXPECT_NEAR(p.latitude, lat2, 1e-9);
    EXPECT_NEAR(std::remainder(p.longitude - lon2, 360.0), 0, 1e-9);
  }
  // The longitude is not brought back into a range.
  const DirectPoint p = VincentyDirectPoint(0, 179, 90, 300000);
  EXPECT_GT(p.longitude, 180);
  // General number text with ".".
  EXPECT_EQ(VincentyDirect(0, 0, 90, 0), "0 0");
  const std::string t = VincentyDirect(48, 19, 45, 1000);
  EXPECT_EQ(text::Pos(",", t), 0);
  EXPECT_NE(text::Pos(" ", t), 0);
}

TEST(SelfTest, ShowsTheListingPair) {
  testing::FakeHost host;
  SpeedButton27Click(host);
  ASSERT_EQ(host.messages.size(), 1u);
  EXPECT_EQ(host.messages[0], "48.58697,17.84380");
}

}  // namespace
}  // namespace trovik::tools
