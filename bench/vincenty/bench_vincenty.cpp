// bench_vincenty [PAIRS] [ROUNDS]: VincentyInverse against GeographicLib's
// Geodesic::Inverse on the same random pairs (fixed seed). Each side is timed
// ROUNDS times and the best round counts, so a busy machine hurts both alike.

#include <GeographicLib/Geodesic.hpp>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <random>
#include <vector>

#include "tools/geodesy.h"

namespace {

using trovik::tools::InverseOutcome;

struct Pair {
  double lat1, lon1, lat2, lon2;
};

std::vector<Pair> RandomPairs(size_t count) {
  std::mt19937_64 engine(20240607);
  auto unit = [&] { return static_cast<double>(engine() >> 11) * 0x1.0p-53; };
  std::vector<Pair> pairs(count);
  for (auto& p : pairs) p = {unit() * 180 - 90, unit() * 360 - 180, unit() * 180 - 90, unit() * 360 - 180};
  return pairs;
}

// Best time of `rounds` runs of `body` over all pairs, in seconds; `sink`
// keeps the results alive.
template <class Body>
double BestSeconds(const std::vector<Pair>& pairs, int rounds, double& sink, Body body) {
  double best = 1e300;
  for (int r = 0; r < rounds; ++r) {
    const auto start = std::chrono::steady_clock::now();
    double sum = 0;
    for (const Pair& p : pairs) sum += body(p);
    const std::chrono::duration<double> took = std::chrono::steady_clock::now() - start;
    best = std::min(best, took.count());
    sink += sum;
  }
  return best;
}

}  // namespace

int main(int argc, char** argv) {
  const size_t count = argc > 1 ? std::strtoul(argv[1], nullptr, 10) : 100000;
  const int rounds = argc > 2 ? std::atoi(argv[2]) : 5;
  const std::vector<Pair> pairs = RandomPairs(count);
  const GeographicLib::Geodesic& geod = GeographicLib::Geodesic::WGS84();

  // Which pairs Vincenty settles, and how far apart the two answers are there.
  std::vector<Pair> settled;
  double worstDistance = 0, worstAzimuth = 0;
  for (const Pair& p : pairs) {
    const auto v = trovik::tools::VincentyInverse(p.lat1, p.lon1, p.lat2, p.lon2);
    if (v.outcome == InverseOutcome::NotConverged) continue;
    settled.push_back(p);
    double s12, azi1, azi2;
    geod.Inverse(p.lat1, p.lon1, p.lat2, p.lon2, s12, azi1, azi2);
    worstDistance = std::max(worstDistance, std::fabs(v.distance - s12));
    if (v.outcome == InverseOutcome::Converged)
      worstAzimuth = std::max(worstAzimuth, std::fabs(std::remainder(v.forwardAzimuth - azi1, 360.0)));
  }

  double sink = 0;
  const double vincenty = BestSeconds(settled, rounds, sink, [](const Pair& p) {
    const auto v = trovik::tools::VincentyInverse(p.lat1, p.lon1, p.lat2, p.lon2);
    return v.distance + v.forwardAzimuth + v.backAzimuth;
  });
  const double geographic = BestSeconds(settled, rounds, sink, [&geod](const Pair& p) {
    double s12, azi1, azi2;
    geod.Inverse(p.lat1, p.lon1, p.lat2, p.lon2, s12, azi1, azi2);
    return s12 + azi1 + azi2;
  });
  // What the distance tool runs: Vincenty with GeographicLib where he does not settle.
  const double shown = BestSeconds(pairs, rounds, sink, [](const Pair& p) {
    const auto b = trovik::tools::DistanceAndBearings(p.lat1, p.lon1, p.lat2, p.lon2);
    return b.distance + b.forwardAzimuth + b.backAzimuth;
  });

  const double n = static_cast<double>(settled.size());
  std::printf("pairs: %zu random, %zu settled by Vincenty (%zu fall back), best of %d rounds\n", pairs.size(),
              settled.size(), pairs.size() - settled.size(), rounds);
  std::printf("VincentyInverse        %12.0f pairs/s\n", n / vincenty);
  std::printf("GeographicLib Inverse  %12.0f pairs/s\n", n / geographic);
  std::printf("ratio Vincenty/GeographicLib: %.2f\n", geographic / vincenty);
  std::printf("DistanceAndBearings (all pairs, with fallback) %12.0f pairs/s\n",
              static_cast<double>(pairs.size()) / shown);
  std::printf("largest distance difference: %.3f mm; largest forward azimuth difference: %.2g deg\n",
              worstDistance * 1000, worstAzimuth);
  return sink == 12345.678 ? 2 : 0;  // never; only keeps the sums
}
