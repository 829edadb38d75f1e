#include "tools/coords.h"

#include <cmath>

#include "base/error.h"
#include "text/text.h"

namespace trovik::tools {

namespace {

// Whole degrees beyond this cannot be split into a whole part and an exact
// fraction in a double; such a text is no coordinate.
constexpr double kLargestDegrees = 1e15;

// `value` with at least `width` digits, zeros in front; a minus sign stays in
// front of the zeros.
std::string PadDigits(int64_t value, int width) {
  std::string digits = std::to_string(value < 0 ? -value : value);
  if (static_cast<int>(digits.size()) < width) digits.insert(0, width - digits.size(), '0');
  return value < 0 ? "-" + digits : digits;
}

// A rounded fraction of `unit` steps that reached a whole unit goes into the
// next larger part, so it is never written with an extra digit.
void Carry(int64_t& fraction, int64_t& whole, int64_t unit) {
  if (fraction >= unit) {
    fraction -= unit;
    ++whole;
  } else if (fraction <= -unit) {
    fraction += unit;
    --whole;
  }
}

}  // namespace

std::string TwoDigits(int64_t value) {
  if (value > 9) return std::to_string(value);
  return "0" + std::to_string(value);
}

char DegreeTextSeparator(const std::string& text) { return text::Pos(".", text) > 0 ? '.' : ','; }

std::string DegToDegMin(const std::string& text) {
  const char separator = DegreeTextSeparator(text);
  std::string number = text;
  if (text::Pos(std::string(1, kDegree), text) > 0) number = text::Copy(text, 1, static_cast<int64_t>(text.size()) - 1);
  const auto v = text::ParseFloat(number, separator);
  if (!v || std::fabs(*v) >= kLargestDegrees) throw NotValidFloat(number);

  int64_t d = static_cast<int64_t>(std::trunc(*v));
  const double m = (*v - static_cast<double>(d)) * 60;
  int64_t mi = static_cast<int64_t>(std::trunc(m));
  int64_t k = text::RoundHalfEven((m - static_cast<double>(mi)) * 1000);
  Carry(k, mi, 1000);
  Carry(mi, d, 60);
  return TwoDigits(d) + kDegree + TwoDigits(mi) + "." + PadDigits(k, 3) + "'";
}

std::string DegMinToDeg(const std::string& text) {
  const int p1 = text::Pos(std::string(1, kDegree), text);
  const int p2 = text::Pos(".", text);
  int p3 = text::Pos("'", text);
  if (p3 == 0) p3 = static_cast<int>(text.size()) + 1;

  const int d = text::ParseInt(text::Copy(text, 1, p1 - 1)).value_or(0);
  const int mi = text::ParseInt(text::Copy(text, p1 + 1, p2 - p1 - 1)).value_or(0);
  const std::string fractionText = text::Copy(text, p2 + 1, p3 - p2 - 1);
  const auto f = text::ParseInt(fractionText);
  if (!f) throw NotValidInteger(fractionText);
  const double fraction = *f / std::pow(10.0, static_cast<double>(fractionText.size()));

  const double v = (fraction + mi) / 60 + d;
  int64_t di = static_cast<int64_t>(std::trunc(v));
  int64_t k = text::RoundHalfEven((v - static_cast<double>(di)) * 100000);
  Carry(k, di, 100000);
  return TwoDigits(di) + "." + PadDigits(k, 5);
}

std::string ListingCoordsToDeg(const std::string& text) {
  const int p = text::Pos("E", text);
  const std::string latitude = text::Copy(text, 2, p - 3);
  const std::string longitude = text::Copy(text, p + 1, 100);
  // Latitude first: a text without "E" fails on its empty latitude fraction.
  std::string result = DegMinToDeg(latitude);
  return result + "," + DegMinToDeg(longitude);
}

}  // namespace trovik::tools
