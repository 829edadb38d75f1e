// Coordinate texts in both directions and the listing text, on arbitrary
// field contents. A text that is not a number is a trovik::Error, never more;
// a converted value converts back.

#include <cstdint>
#include <string>

#include "base/error.h"
#include "tools/coords.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace trovik;
  std::string s(reinterpret_cast<const char*>(data), size);
  (void)tools::DegreeTextSeparator(s);
  (void)tools::TwoDigits(static_cast<int64_t>(size) - 50);
  try {
    std::string dm = tools::DegToDegMin(s);
    try {
      (void)tools::DegMinToDeg(dm);
    } catch (const Error&) {
    }
  } catch (const Error&) {
  }
  try {
    (void)tools::DegMinToDeg(s);
  } catch (const Error&) {
  }
  try {
    (void)tools::ListingCoordsToDeg(s);
  } catch (const Error&) {
  }
  return 0;
}
