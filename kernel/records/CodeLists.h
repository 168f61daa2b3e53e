// The constant code sets that the rule catalogues compare field values with
// (value domains of the statistics variables and classes of ICD-10 codes),
// and the small predicates the rules share. Comparisons are exact and
// case-sensitive on the text as loaded.
#pragma once

#include <cstddef>
#include <initializer_list>

#include "foundation/Number.h"

namespace qv {

// A hash set of a long list's members (built once, when the library loads;
// a lookup costs a few dozen instructions).
class CodeSet;
bool CodeSetHas(const CodeSet& set, const char* value);

struct CodeList {
  const char* const* Members;
  int Count;
  const CodeSet* Index = nullptr;  // for long lists: answers in constant time
};

extern const CodeList _NOGA, _16_KST, _14_KST, _AC, _ABC, _01, _01234589, _12, _1239, _7_1234589, _1234589,
    _13_AUFVOR, _8_INSTANZ, _4_BEHART, _4_KLASSE, _7_AUSENT, _16_DIA_PERINAT_LEN2, _10_DIA_PERINAT_LEN3,
    _265_Meldepfl_Dia, _2_KST_MN, _9_MEHRLING, _9_GEBRANG, _3_KONGEN_MISSB, _6_ZIVILSTAND, _26_AUFEIN_PSY,
    _9_AUFEIN, _7_AUSBILD_PSY, _20_EININST_PSY, _8_EININST, _3_FREIWILLIGKEIT, _12_BEHPSY, _9_AUSENT_PSY,
    _10_AUSAUF, _16_AUSAUF_PSY, _8_AUSBEH, _20_AUSBEH_PSY, _7_HKSTH, _3_SCOREART, _3_HKST_PSY_REHA, _5_VSNR;

// Exact equality (inline: most tests fail at the first byte).
inline bool Is(const char* text, const char* expected) {
  if (!text) return false;
  for (; *text == *expected; ++text, ++expected)
    if (!*text) return true;
  return false;
}

int IsCodeInList(const char* value, int count, const char* const* list);
inline int IsCodeInList(const char* value, const CodeList& list) {
  if (!value) return 0;
  if (list.Index) return CodeSetHas(*list.Index, value) ? 1 : 0;
  for (int i = 0; i < list.Count; ++i)
    if (list.Members[i] && Is(value, list.Members[i])) return 1;
  return 0;
}
// The same with a list written on the spot: IsCodeInList(v, {"1", "2"}).
inline int IsCodeInList(const char* value, std::initializer_list<const char*> list) {
  if (!value) return 0;
  for (const char* member : list)
    if (member && Is(value, member)) return 1;
  return 0;
}

int IsCodeWithPrefixInList(const char* value, int start, int length, int count, const char* const* list);
inline int IsCodeWithPrefixInList(const char* value, int start, int length, const CodeList& list) {
  return IsCodeWithPrefixInList(value, start, length, list.Count, list.Members);
}
int IsCodePrefixInBarList(const char* code, int length, const char* barList);

int IsSecondaryCode(const char* code);
int IsPregnancyCode(const char* code);
int IsAllDigits(const char* text);
int IsAllHexDigits(const char* text);
int IsDigitsOrUpper(const char* text);

struct ParsedDate;
int YearsBetween(const ParsedDate& a, const ParsedDate& b);

// Small helpers the rules read like their conditions.
inline bool Empty(const char* text) { return !text || !*text; }
// The text begins with the prefix, byte for byte (a null text never does).
// Inline: the rules test many prefixes per code, and most fail at the first byte.
inline bool StartsWith(const char* text, const char* prefix) {
  if (!text) return false;
  // The first byte apart: with a written prefix it is one compare.
  if (*prefix == '\0') return true;
  if (*text != *prefix) return false;
  for (++text, ++prefix; *prefix; ++text, ++prefix)
    if (*text != *prefix) return false;
  return true;
}
// The leading decimal integer, 0 when none.
inline int Int(const char* text) { return LeadingInt(text); }
// A value is given and is not in the list.
inline bool NotInList(const char* text, const CodeList& list) { return !Empty(text) && !IsCodeInList(text, list); }
// A value is given and its number lies outside low..high.
inline bool OutOfRange(const char* text, long long low, long long high) {
  if (Empty(text)) return false;
  const long long value = Int(text);
  return value < low || value > high;
}

}  // namespace qv
