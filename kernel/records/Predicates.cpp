#include <climits>
#include <cstdlib>
#include <cstring>

#include "records/CodeLists.h"

#include "foundation/Number.h"
#include "records/ParsedDate.h"

namespace qv {

namespace {
bool IsDigit(char c) { return c >= '0' && c <= '9'; }
bool IsUpper(char c) { return c >= 'A' && c <= 'Z'; }
bool IsHex(char c) { return IsDigit(c) || (c >= 'A' && c <= 'F') || (c >= 'a' && c <= 'f'); }
}  // namespace

int IsCodeInList(const char* value, int count, const char* const* list) {
  if (!value || !list || count < 1) return 0;
  for (int i = 0; i < count; ++i)
    if (list[i] && list[i][0] == value[0] && std::strcmp(value, list[i]) == 0) return 1;
  return 0;
}

int IsCodeWithPrefixInList(const char* value, int start, int length, int count, const char* const* list) {
  if (!value || !list || count < 1 || start < 0 || length < 0) return 0;
  if (std::strlen(value) < static_cast<size_t>(start)) return 0;
  const char* part = value + start;
  for (int i = 0; i < count; ++i)
    if (list[i] && std::strncmp(part, list[i], static_cast<size_t>(length)) == 0) return 1;
  return 0;
}

int IsCodePrefixInBarList(const char* code, int length, const char* barList) {
  if (!code || !barList || length < 0 || std::strlen(code) < static_cast<size_t>(length) || length > 30) return 0;
  char probe[32];
  probe[0] = '|';
  std::memcpy(probe + 1, code, static_cast<size_t>(length));
  probe[length + 1] = '\0';
  return std::strstr(barList, probe) != nullptr;
}

// Codes marked "!" that may only be secondary diagnoses. Sorted by their
// first letter, so that a code is compared only with its own group.
int IsSecondaryCode(const char* code) {
  if (!code || !code[0] || !code[1] || !code[2]) return 0;
  switch (code[0]) {
    case 'B': return StartsWith(code, "B95") || StartsWith(code, "B96") || StartsWith(code, "B97");
    case 'C': return StartsWith(code, "C958") || StartsWith(code, "C97");
    case 'G': return StartsWith(code, "G826");
    case 'O': return StartsWith(code, "O09");
    case 'R': return StartsWith(code, "R65");
    case 'S':
      // S147, S247, S347, S0183, S2183, S3183 and S?18 with 4-9 after it.
      return StartsWith(code, "S147") || StartsWith(code, "S247") || StartsWith(code, "S347") ||
             StartsWith(code, "S0183") || StartsWith(code, "S2183") || StartsWith(code, "S3183") ||
             (IsDigit(code[1]) && code[2] == '1' && code[3] == '8' && code[4] >= '4' && code[4] <= '9');
    case 'T': return Is(code, "T31") || StartsWith(code, "T32");
    case 'U':
      return Is(code, "U60") || StartsWith(code, "U61") || (StartsWith(code, "U69") && Is(code + 3, "1")) ||
             (code[1] == '8' && code[2] >= '0' && code[2] <= '5');
    case 'Z': return StartsWith(code, "Z37") || StartsWith(code, "Z50") || StartsWith(code, "Z54");
    default: return 0;
  }
}

int IsPregnancyCode(const char* code) {
  if (!code || code[0] == '\0' || code[1] == '\0' || code[2] == '\0') return 0;
  if (code[0] != 'O' && code[0] != 'Z') return 0;
  // The number the two characters after the letter begin with (as atoi
  // reads it; two digits, the usual case, are read here directly).
  char two[3] = {code[1], code[2], '\0'};
  const int n = IsDigit(two[0]) && IsDigit(two[1]) ? (two[0] - '0') * 10 + (two[1] - '0') : std::atoi(two);
  if (code[0] == 'O')
    return (n >= 3 && n <= 7) || (n >= 10 && n <= 16) || (n >= 20 && n <= 48) || (n >= 60 && n <= 69) ||
           n == 74 || (n >= 80 && n <= 82);
  if (code[0] == 'Z') return n >= 34 && n <= 37;
  return 0;
}

int IsAllDigits(const char* text) {
  if (!text || !*text) return 0;
  for (; *text; ++text)
    if (!IsDigit(*text)) return 0;
  return 1;
}

int IsAllHexDigits(const char* text) {
  if (!text) return 0;
  for (; *text; ++text)
    if (!IsHex(*text)) return 0;
  return 1;
}

int IsDigitsOrUpper(const char* text) {
  if (!text) return 0;
  for (; *text; ++text)
    if (!IsDigit(*text) && !IsUpper(*text)) return 0;
  return 1;
}

namespace {
long long FloorDiv(long long a, long long b) { return a >= 0 ? a / b : -((-a + b - 1) / b); }

// Days from 1 January of year 1 to 1 January of year y, for any y with the
// Gregorian leap rule carried on before year 1: the length of a run of
// whole years is one difference.
long long DaysBeforeYear(long long y) {
  const long long p = y - 1;
  return 365 * p + FloorDiv(p, 4) - FloorDiv(p, 100) + FloorDiv(p, 400);
}
}  // namespace

// The whole years, each as long as its calendar year, that fit in the days
// from a to b: counted from a's year on, or back from b's year when b is the
// earlier date (then negative). Counted on from the least count the days
// allow (all years leap years) instead of from zero: about one step per 400
// years of the span.
int YearsBetween(const ParsedDate& a, const ParsedDate& b) {
  const long long days = static_cast<long long>(b.DayNumber) - a.DayNumber;
  if (days >= 0) {
    const long long from = DaysBeforeYear(a.Year);
    long long years = days / 366;
    while (DaysBeforeYear(a.Year + years + 1) - from <= days) ++years;
    return static_cast<int>(years);
  }
  const long long to = DaysBeforeYear(static_cast<long long>(b.Year) + 1);
  long long years = -days / 366;
  while (to - DaysBeforeYear(b.Year - years) <= -days) ++years;
  return -static_cast<int>(years);
}

}  // namespace qv
