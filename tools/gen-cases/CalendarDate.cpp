#include "CalendarDate.h"

#include <cstdio>

namespace qv::gen {

// Days from civil date and back, on the proleptic Gregorian calendar.
long CalendarDate::dayNumber() const {
  long y = year - (month <= 2 ? 1 : 0);
  long era = (y >= 0 ? y : y - 399) / 400;
  long yoe = y - era * 400;
  long mp = (month + 9) % 12;
  long doy = (153 * mp + 2) / 5 + day - 1;
  long doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
  return era * 146097 + doe - 719468;
}

CalendarDate CalendarDate::FromDayNumber(long z) {
  z += 719468;
  long era = (z >= 0 ? z : z - 146096) / 146097;
  long doe = z - era * 146097;
  long yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
  long doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
  long mp = (5 * doy + 2) / 153;
  CalendarDate d;
  d.day = static_cast<int>(doy - (153 * mp + 2) / 5 + 1);
  d.month = static_cast<int>(mp < 10 ? mp + 3 : mp - 9);
  d.year = static_cast<int>(yoe + era * 400 + (d.month <= 2 ? 1 : 0));
  return d;
}

std::string CalendarDate::text() const {
  char buf[16];
  std::snprintf(buf, sizeof buf, "%04d%02d%02d", year, month, day);
  return buf;
}

std::string CalendarDate::textWithHour(int hour) const {
  char buf[16];
  std::snprintf(buf, sizeof buf, "%04d%02d%02d%02d", year, month, day, hour);
  return buf;
}

}  // namespace qv::gen
