// Vincenty's inverse against GeographicLib's GeodSolve on random pairs.

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <random>
#include <sstream>
#include <vector>

#include "support/run_program.h"
#include "tools/geodesy.h"

namespace trovik::tools {
namespace {

struct Pair {
  double lat1, lon1, lat2, lon2;
};

// Fixed seed; the doubles come from the engine's bits directly so the pairs
// do not depend on the library's distributions.
// After `uniform` pairs spread over the globe come `antipodal` pairs within a
// degree of antipodal, where Vincenty's iteration often fails to settle.
std::vector<Pair> RandomPairs(size_t uniform, size_t antipodal) {
  std::mt19937_64 engine(20240607);
  auto unit = [&] { return static_cast<double>(engine() >> 11) * 0x1.0p-53; };
  std::vector<Pair> pairs(uniform + antipodal);
  for (size_t i = 0; i < pairs.size(); ++i) {
    const double lat1 = unit() * 180 - 90, lon1 = unit() * 360 - 180;
    if (i < uniform)
      pairs[i] = {lat1, lon1, unit() * 180 - 90, unit() * 360 - 180};
    else
      pairs[i] = {lat1, lon1, std::clamp(-lat1 + (unit() - 0.5) * 2, -90.0, 90.0), lon1 + 180 + (unit() - 0.5) * 2};
  }
  return pairs;
}

double AngleDifference(double a, double b) { return std::fabs(std::remainder(a - b, 360.0)); }

TEST(GeodSolveComparison, RandomPairs) {
  constexpr size_t kUniform = 10000, kAntipodal = 2000;
  const std::vector<Pair> pairs = RandomPairs(kUniform, kAntipodal);
  std::ostringstream in;
  in.precision(17);
  for (const Pair& p : pairs) in << p.lat1 << ' ' << p.lon1 << ' ' << p.lat2 << ' ' << p.lon2 << '\n';
  trovik::testing::RunOptions solve;
  solve.args = {"-i", "-p", "9"};
  solve.input = in.str();
  const trovik::testing::RunResult run = trovik::testing::RunProgram("GeodSolve", solve);
  ASSERT_EQ(run.exitCode, 0) << "GeodSolve (geographiclib-tools): " << run.describe();
  std::istringstream out(run.out);

  int converged = 0, convergedUniform = 0, fallbacks = 0;
  double worstDistance = 0, worstAzimuth = 0;
  for (size_t i = 0; i < pairs.size(); ++i) {
    const Pair& p = pairs[i];
    double azi1, azi2, s12;
    ASSERT_TRUE(out >> azi1 >> azi2 >> s12);
    const InverseResult v = VincentyInverse(p.lat1, p.lon1, p.lat2, p.lon2);
    const Bearings shown = DistanceAndBearings(p.lat1, p.lon1, p.lat2, p.lon2);
    if (v.outcome == InverseOutcome::NotConverged) {
      ++fallbacks;
      EXPECT_EQ(shown.method, InverseMethod::GeographicLib);
      EXPECT_NEAR(shown.distance, s12, 1e-6);
      EXPECT_LT(AngleDifference(shown.forwardAzimuth, azi1), 1e-9);
      continue;
    }
    ++converged;
    if (i < kUniform) ++convergedUniform;
    EXPECT_EQ(shown.method, InverseMethod::Vincenty);
    const double dd = std::fabs(v.distance - s12);
    const double da = std::max(AngleDifference(v.forwardAzimuth, azi1), AngleDifference(v.backAzimuth + 180, azi2));
    worstDistance = std::max(worstDistance, dd);
    worstAzimuth = std::max(worstAzimuth, da);
    EXPECT_LE(dd, 0.5e-3) << p.lat1 << ' ' << p.lon1 << ' ' << p.lat2 << ' ' << p.lon2;
    EXPECT_LE(da, 1e-6) << p.lat1 << ' ' << p.lon1 << ' ' << p.lat2 << ' ' << p.lon2;
    EXPECT_LE(v.backAzimuth, 0);
    EXPECT_GT(v.backAzimuth, -360);
  }
  EXPECT_GT(convergedUniform, 9900);
  EXPECT_GT(fallbacks, 100);
  RecordProperty("converged", converged);
  RecordProperty("fallbacks", fallbacks);
  std::printf("converged %d, fallbacks %d, worst distance %.3g m, worst azimuth %.3g deg\n", converged, fallbacks,
              worstDistance, worstAzimuth);
}

}  // namespace
}  // namespace trovik::tools
