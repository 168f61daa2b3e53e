#include "records/ParsedDate.h"

#include <cstring>

namespace qv {

namespace {

constexpr int kMonthDays[12] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
// Days of a common year before each month.
constexpr int kDaysBefore[12] = {0, 31, 59, 90, 120, 151, 181, 212, 243, 273, 304, 334};

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

// Reads two digits at p; -1 when they are not two digits.
int TwoDigits(const char* p) {
  if (!IsDigit(p[0]) || !IsDigit(p[1])) return -1;
  return (p[0] - '0') * 10 + (p[1] - '0');
}

// Years divisible by 4 are leap years, except 1900 (the parser's range is
// 1801 to 2099, where 1900 is the only century year that is not).
bool IsLeap(int year) { return year % 4 == 0 && year != 1900; }

}  // namespace

int ParseDateText(const char* s, ParsedDate& d) {
  d = ParsedDate{};
  d.Text = s ? s : "";
  if (!s || !*s) {
    d.IsValid = d.IsComplete = true;
    return 0;
  }
  d.IsEmpty = false;
  // An accepted form ends where the parse stops, so its length is known
  // without counting; a refused text is counted to its end.
  auto accept = [&](const char* end) {
    d.Length = static_cast<int>(end - s);
    return 1;
  };
  auto refuse = [&] {
    d.Length = static_cast<int>(std::strlen(s));
    return 0;
  };
  const char* p = s;
  for (int i = 0; i < 4; ++i)
    if (!IsDigit(p[i])) return refuse();
  int year = (p[0] - '0') * 1000 + (p[1] - '0') * 100 + (p[2] - '0') * 10 + (p[3] - '0');
  if (year < 1801 || year > 2099 || p[4] == '\0') return refuse();
  d.HasYear = true;
  d.Year = year;
  p += 4;

  if (p[0] == '0' && p[1] == '0' && p[2] == '0' && p[3] == '0' && p[4] == '\0') {
    d.YearOnly = d.IsValid = true;
    return accept(p + 4);
  }

  int month = TwoDigits(p);
  if (month < 1 || month > 12) return refuse();
  long days = (year - 1800) * 365L + (year - 1801) / 4;
  if (year > 1900) days -= 1;
  if (month > 2 && IsLeap(year)) days += 1;
  days += kDaysBefore[month - 1];
  const long m0 = days * 1440;
  d.HasMonth = true;
  d.Month = month;
  d.YearMonth = year * 100 + month;
  p += 2;
  if (*p == '\0') {
    d.YearMonthOnly = d.IsValid = true;
    return accept(p);
  }

  int day = TwoDigits(p);
  // The day read is kept even when the date is refused (32 in "19900532"):
  // the mother's birth date test tells an impossible day from a short text.
  if (day > 0) d.Day = day;
  bool dayOk = day >= 1 && (day <= kMonthDays[month - 1] || (month == 2 && day == 29 && IsLeap(year)));
  if (!dayOk) return refuse();
  const long md = m0 + (day - 1) * 1440L;
  d.HasDay = true;
  d.Day = day;
  d.DayNumber = static_cast<int>(days + day - 1);
  p += 2;
  if (*p == '\0') {
    d.DateOnly = d.IsValid = d.IsComplete = true;
    return accept(p);
  }

  int hour = TwoDigits(p);
  if (hour < 0 || hour > 23) return refuse();
  d.HasHour = true;
  d.Hour = hour;
  d.HourNumber = d.DayNumber * 24 + hour;
  p += 2;
  if (*p == '\0') {
    d.DateHour = true;
    d.MinuteNumber = static_cast<int>(md + hour * 60);
    d.IsValid = d.IsComplete = true;
    return accept(p);
  }

  int minute = TwoDigits(p);
  if (minute < 0 || minute > 59) return refuse();
  d.HasMinute = true;
  d.Minute = minute;
  d.MinuteNumber = static_cast<int>(md + hour * 60 + minute);
  if (p[2] != '\0') return refuse();
  d.DateHourMinute = d.IsValid = d.IsComplete = true;
  return accept(p + 2);
}

}  // namespace qv
