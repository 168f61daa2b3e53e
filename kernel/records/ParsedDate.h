// Dates of the record lines (yyyy0000, yyyymm, yyyymmdd, yyyymmddhh,
// yyyymmddhhmm) and what the parser read of them. A failed parse keeps the
// parts it had read before the failure; rules look at those.
#pragma once

namespace qv {

struct ParsedDate {
  const char* Text = "";
  bool IsEmpty = true;
  bool HasYear = false, HasMonth = false, HasDay = false, HasHour = false, HasMinute = false;
  bool IsComplete = false;
  bool IsValid = false;
  bool YearOnly = false, YearMonthOnly = false, DateOnly = false, DateHour = false, DateHourMinute = false;
  int Length = 0;
  int Year = 0, Month = 0, Day = 0, Hour = 0, Minute = 0;
  int YearMonth = -1;
  int DayNumber = -1;     // days since 1 January 1800
  int HourNumber = -1;
  int MinuteNumber = -1;  // minutes since 1 January 1800 00:00
};

// Fills d from text; returns 1 when a non-empty text had an accepted form.
int ParseDate(const char* text, ParsedDate& d);

}  // namespace qv
