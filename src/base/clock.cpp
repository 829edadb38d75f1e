#include "base/clock.h"

#include <cstdio>
#include <cstdlib>
#include <ctime>

namespace trovik::clock {

LocalTime Now() {
  LocalTime t;
  if (const char* fixed = std::getenv("TROVIK_NOW"); fixed && *fixed) {
    char tail = 0;
    if (std::sscanf(fixed, "%4d-%2d-%2dT%2d:%2d:%2d%c", &t.year, &t.month, &t.day, &t.hour, &t.minute, &t.second,
                    &tail) == 6)
      return t;
  }
  std::time_t now = std::time(nullptr);
  std::tm tm{};
  localtime_r(&now, &tm);
  t.year = tm.tm_year + 1900;
  t.month = tm.tm_mon + 1;
  t.day = tm.tm_mday;
  t.hour = tm.tm_hour;
  t.minute = tm.tm_min;
  t.second = tm.tm_sec;
  return t;
}

}  // namespace trovik::clock
