#include "tools/geodesy.h"

#include <GeographicLib/Geodesic.hpp>

#include <cmath>
#include <numbers>

#include "text/text.h"

namespace trovik::tools {

namespace {

constexpr double kPi = std::numbers::pi;
constexpr double kToRadians = kPi / 180;
constexpr double kToDegrees = 180 / kPi;
constexpr double kThreshold = 1e-12;
constexpr int kInversePasses = 20;
// The direct iteration settles in a handful of passes for any distance; the
// bound only keeps a pathological input from spinning forever.
constexpr int kDirectPassesBound = 1000;

struct Series {
  double A, B;
};

Series SeriesOf(double cosSqAlpha) {
  const double uSq = cosSqAlpha * (kSemiMajor * kSemiMajor - kSemiMinor * kSemiMinor) / (kSemiMinor * kSemiMinor);
  return {1 + uSq / 16384 * (4096 + uSq * (-768 + uSq * (320 - 175 * uSq))),
          uSq / 1024 * (256 + uSq * (-128 + uSq * (74 - 47 * uSq)))};
}

double DeltaSigma(double B, double sinSigma, double cosSigma, double cos2SigmaM) {
  return B * sinSigma *
         (cos2SigmaM + B / 4 *
                           (cosSigma * (-1 + 2 * cos2SigmaM * cos2SigmaM) -
                            B / 6 * cos2SigmaM * (-3 + 4 * sinSigma * sinSigma) * (-3 + 4 * cos2SigmaM * cos2SigmaM)));
}

double Cterm(double cosSqAlpha) { return kFlattening / 16 * cosSqAlpha * (4 + kFlattening * (4 - 3 * cosSqAlpha)); }

bool Finite(const InverseResult& r) {
  return std::isfinite(r.distance) && std::isfinite(r.forwardAzimuth) && std::isfinite(r.backAzimuth);
}

}  // namespace

InverseResult VincentyInverse(double lat1, double lon1, double lat2, double lon2) {
  const double L = (lon2 - lon1) * kToRadians;
  const double U1 = std::atan((1 - kFlattening) * std::tan(lat1 * kToRadians));
  const double U2 = std::atan((1 - kFlattening) * std::tan(lat2 * kToRadians));
  const double sinU1 = std::sin(U1), cosU1 = std::cos(U1);
  const double sinU2 = std::sin(U2), cosU2 = std::cos(U2);

  InverseResult r;
  double lambda = L, lambdaPrev = 2 * kPi;
  int passesLeft = kInversePasses;
  while (std::fabs(lambda - lambdaPrev) > kThreshold && passesLeft > 0) {
    const double sinLambda = std::sin(lambda), cosLambda = std::cos(lambda);
    const double sinSigma = std::sqrt((cosU2 * sinLambda) * (cosU2 * sinLambda) +
                                      (cosU1 * sinU2 - sinU1 * cosU2 * cosLambda) *
                                          (cosU1 * sinU2 - sinU1 * cosU2 * cosLambda));
    if (sinSigma == 0) {
      // On the first pass this is one point twice. Later it is an iteration
      // that lost its way, which is no answer either.
      if (r.passes == 0) return InverseResult{0, 0, 0, InverseOutcome::Coincident, 1};
      r.outcome = InverseOutcome::NotConverged;
      return r;
    }
    const double cosSigma = sinU1 * sinU2 + cosU1 * cosU2 * cosLambda;
    const double sigma = std::atan2(sinSigma, cosSigma);
    const double sinAlpha = cosU1 * cosU2 * sinLambda / sinSigma;
    const double cosSqAlpha = 1 - sinAlpha * sinAlpha;
    // Both points on the equator: cos²α is 0 and the geodesic runs along it.
    const double cos2SigmaM = cosSqAlpha != 0 ? cosSigma - 2 * sinU1 * sinU2 / cosSqAlpha : 0;
    const double C = Cterm(cosSqAlpha);
    lambdaPrev = lambda;
    lambda = L + (1 - C) * kFlattening * sinAlpha *
                     (sigma + C * sinSigma * (cos2SigmaM + C * cosSigma * (-1 + 2 * cos2SigmaM * cos2SigmaM)));

    const Series s = SeriesOf(cosSqAlpha);
    r.distance = kSemiMinor * s.A * (sigma - DeltaSigma(s.B, sinSigma, cosSigma, cos2SigmaM));
    const double sinNew = std::sin(lambda), cosNew = std::cos(lambda);
    r.forwardAzimuth = std::atan2(cosU2 * sinNew, cosU1 * sinU2 - sinU1 * cosU2 * cosNew) * kToDegrees;
    r.backAzimuth = (std::atan2(cosU1 * sinNew, -sinU1 * cosU2 + cosU1 * sinU2 * cosNew) - kPi) * kToDegrees;
    ++r.passes;
    --passesLeft;
  }
  r.outcome = std::fabs(lambda - lambdaPrev) > kThreshold ? InverseOutcome::NotConverged : InverseOutcome::Converged;
  return r;
}

Bearings DistanceAndBearings(double lat1, double lon1, double lat2, double lon2) {
  const InverseResult v = VincentyInverse(lat1, lon1, lat2, lon2);
  if (v.outcome != InverseOutcome::NotConverged && Finite(v))
    return {v.distance, v.forwardAzimuth, v.backAzimuth, InverseMethod::Vincenty};

  // GeographicLib's WGS-84 has the same a and f.
  double s12 = 0, azi1 = 0, azi2 = 0;
  GeographicLib::Geodesic::WGS84().Inverse(lat1, lon1, lat2, lon2, s12, azi1, azi2);
  if (!std::isfinite(s12) || !std::isfinite(azi1) || !std::isfinite(azi2)) {
    // Only latitudes beyond ±90° get here: no geodesic answers them, so the
    // formula's own values stand.
    return {v.distance, v.forwardAzimuth, v.backAzimuth, InverseMethod::Vincenty};
  }
  // Vincenty's forward azimuth lies in (−180°, 180°]; GeographicLib's may be −180°.
  if (azi1 <= -180) azi1 += 360;
  if (azi2 <= -180) azi2 += 360;
  return {s12, azi1, azi2 - 180, InverseMethod::GeographicLib};
}

DirectPoint VincentyDirectPoint(double lat1, double lon1, double bearing, double distance) {
  const double alpha1 = bearing * kToRadians;
  const double sinAlpha1 = std::sin(alpha1), cosAlpha1 = std::cos(alpha1);
  const double tanU1 = (1 - kFlattening) * std::tan(lat1 * kToRadians);
  const double cosU1 = 1 / std::sqrt(tanU1 * tanU1 + 1);
  const double sinU1 = tanU1 * cosU1;
  const double sigma1 = std::atan2(tanU1, cosAlpha1);
  const double sinAlpha = cosU1 * sinAlpha1;
  const double cosSqAlpha = 1 - sinAlpha * sinAlpha;
  const Series s = SeriesOf(cosSqAlpha);

  double sigma = distance / (kSemiMinor * s.A), sigmaPrev = 2 * kPi;
  double sinSigma = 0, cosSigma = 0, cos2SigmaM = 0;
  for (int pass = 0; std::fabs(sigma - sigmaPrev) > kThreshold && pass < kDirectPassesBound; ++pass) {
    cos2SigmaM = std::cos(2 * sigma1 + sigma);
    sinSigma = std::sin(sigma);
    cosSigma = std::cos(sigma);
    const double deltaSigma = DeltaSigma(s.B, sinSigma, cosSigma, cos2SigmaM);
    sigmaPrev = sigma;
    sigma = distance / (kSemiMinor * s.A) + deltaSigma;
  }

  const double t = sinU1 * sinSigma - cosU1 * cosSigma * cosAlpha1;
  const double lat2 = std::atan2(sinU1 * cosSigma + cosU1 * sinSigma * cosAlpha1,
                                 (1 - kFlattening) * std::sqrt(sinAlpha * sinAlpha + t * t));
  const double lambda = std::atan2(sinSigma * sinAlpha1, cosU1 * cosSigma - sinU1 * sinSigma * cosAlpha1);
  const double C = Cterm(cosSqAlpha);
  const double Lr = lambda - (1 - C) * kFlattening * sinAlpha *
                                 (sigma + C * sinSigma * (cos2SigmaM + C * cosSigma * (-1 + 2 * cos2SigmaM * cos2SigmaM)));
  return {lat2 * kToDegrees, lon1 + Lr * kToDegrees};
}

std::string VincentyDirect(double lat1, double lon1, double bearing, double distance) {
  const DirectPoint p = VincentyDirectPoint(lat1, lon1, bearing, distance);
  return text::FormatGeneral(p.latitude, '.') + " " + text::FormatGeneral(p.longitude, '.');
}

}  // namespace trovik::tools
