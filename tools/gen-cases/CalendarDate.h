// Calendar dates as day numbers, for building consistent case dates.
#pragma once

#include <string>

namespace qv::gen {

struct CalendarDate {
  int year = 2000;
  int month = 1;
  int day = 1;

  // Days since 1 January 1970 (negative before).
  long dayNumber() const;
  static CalendarDate FromDayNumber(long days);
  CalendarDate plusDays(long days) const { return FromDayNumber(dayNumber() + days); }
  // yyyymmdd
  std::string text() const;
  // yyyymmddhh
  std::string textWithHour(int hour) const;
};

}  // namespace qv::gen
