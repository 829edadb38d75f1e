#pragma once
// Distance, bearings and the projection of a point on the WGS-84 ellipsoid,
// after Vincenty. Angles are decimal degrees, distances metres.

#include <string>

namespace trovik::tools {

// Ellipsoid of the tools: a and b are both fixed values; b is not a·(1 − f).
inline constexpr double kSemiMajor = 6378137.0;
inline constexpr double kSemiMinor = 6356752.3142;
inline constexpr double kFlattening = 1 / 298.257223563;

enum class InverseOutcome {
  Converged,     // λ settled within 1e-12 in at most 20 passes
  Coincident,    // sin σ = 0 on the first pass: the points are one point
  NotConverged,  // 20 passes without settling (nearly antipodal points)
};

struct InverseResult {
  double distance = 0;        // metres
  double forwardAzimuth = 0;  // at point 1 towards point 2, (−180°, 180°]
  double backAzimuth = 0;     // final azimuth less 180°, (−360°, 0]
  InverseOutcome outcome = InverseOutcome::Converged;
  int passes = 0;
};

// Vincenty's inverse formula, at most 20 passes. For NotConverged the values
// are those of the twentieth pass. Coincident points give 0 for all three.
InverseResult VincentyInverse(double lat1, double lon1, double lat2, double lon2);

enum class InverseMethod { Vincenty, GeographicLib };

struct Bearings {
  double distance = 0;
  double forwardAzimuth = 0;
  double backAzimuth = 0;
  InverseMethod method = InverseMethod::Vincenty;
};

// What the distance tool shows: Vincenty's values wherever his formula
// settles, otherwise GeographicLib's geodesic (same ellipsoid, converges
// everywhere) in the same conventions.
Bearings DistanceAndBearings(double lat1, double lon1, double lat2, double lon2);

struct DirectPoint {
  double latitude = 0;
  double longitude = 0;  // lon1 plus the longitude difference, not brought into a range
};

// Vincenty's direct formula.
DirectPoint VincentyDirectPoint(double lat1, double lon1, double bearing, double distance);
// The same as "lat2 lon2", each in general number text with ".".
std::string VincentyDirect(double lat1, double lon1, double bearing, double distance);

}  // namespace trovik::tools
