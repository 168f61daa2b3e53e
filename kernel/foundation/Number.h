// The number at the start of a text, as the rules and the prepared lookup
// rows read it.
#pragma once

#include <climits>

namespace qv {

// Like atoi (leading white space, a sign, the digits up to the first other
// character), but a number outside the int range is clamped instead of being
// undefined; 0 for a null text or one without digits.
inline int LeadingInt(const char* text) {
  if (!text) return 0;
  while (*text == ' ' || (*text >= '\t' && *text <= '\r')) ++text;
  const bool negative = *text == '-';
  if (*text == '-' || *text == '+') ++text;
  long long value = 0;
  for (; *text >= '0' && *text <= '9'; ++text) {
    value = value * 10 + (*text - '0');
    if (value > static_cast<long long>(INT_MAX) + 1) value = static_cast<long long>(INT_MAX) + 1;
  }
  if (negative) value = -value;
  if (value > INT_MAX) return INT_MAX;
  return static_cast<int>(value);
}

}  // namespace qv
