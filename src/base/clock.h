#pragma once
// Local date and time. TROVIK_NOW ("YYYY-MM-DDTHH:MM:SS") fixes the clock so
// that files with dates in them are reproducible byte for byte.

namespace trovik::clock {

struct LocalTime {
  int year = 1899, month = 12, day = 30, hour = 0, minute = 0, second = 0;
};

LocalTime Now();

}  // namespace trovik::clock
