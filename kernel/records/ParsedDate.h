// Dates of the record lines (yyyy0000, yyyymm, yyyymmdd, yyyymmddhh,
// yyyymmddhhmm) and what the parser read of them. A failed parse keeps the
// parts it had read before the failure; rules look at those.
#pragma once

namespace qv {

struct ParsedDate {
  const char* Text = "";
  bool IsEmpty = true;
  // Has<Part>: the part was read and lies in its range (a day that exists
  // in its month, an hour 0-23, a minute 0-59), and so did every part before.
  bool HasYear = false, HasMonth = false, HasDay = false, HasHour = false, HasMinute = false;
  // IsValid: the whole text has one of the accepted forms, including the
  // partial ones (yyyy0000, yyyymm), or is empty. IsComplete: it is also
  // exact to the day at least (yyyymmdd and longer), or empty.
  bool IsComplete = false;
  bool IsValid = false;
  // Exactly one of these names the accepted form.
  bool YearOnly = false, YearMonthOnly = false, DateOnly = false, DateHour = false, DateHourMinute = false;
  int Length = 0;
  // The parts read; 0 for a part not reached. Day keeps a day that was read
  // but does not exist (32, or 29 February of a common year).
  int Year = 0, Month = 0, Day = 0, Hour = 0, Minute = 0;
  int YearMonth = -1;
  int DayNumber = -1;     // days since 1 January 1800
  int HourNumber = -1;
  int MinuteNumber = -1;  // minutes since 1 January 1800 00:00
};

// The full parse behind ParseDate (any text).
int ParseDateText(const char* text, ParsedDate& d);

// Fills d from text; returns 1 when a non-empty text had an accepted form.
// Inline: most dates of a case (treatment dates) are empty, and an empty
// text parsed into an empty result changes nothing but the text.
inline int ParseDate(const char* text, ParsedDate& d) {
  if ((!text || !*text) && d.IsEmpty && d.IsValid) {
    // Only an empty text leaves a result both empty and valid, so the rest
    // of d is as parsing sets it.
    d.Text = text ? text : "";
    return 0;
  }
  return ParseDateText(text, d);
}

}  // namespace qv
