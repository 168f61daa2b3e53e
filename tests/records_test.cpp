// The date parser, the shared predicates and YearsBetween.
#include <gtest/gtest.h>

#include "records/CodeLists.h"
#include "records/ParsedDate.h"

namespace {

using namespace qv;

ParsedDate Parse(const char* text, int* result = nullptr) {
  ParsedDate d;
  int r = ParseDate(text, d);
  if (result) *result = r;
  return d;
}

TEST(DateParser, AcceptedForms) {
  struct Row {
    const char* Text;
    int Result;
    bool YearOnly, YearMonthOnly, DateOnly, DateHour, DateHourMinute, Complete;
  } rows[] = {
      {"20240000", 1, true, false, false, false, false, false},
      {"202403", 1, false, true, false, false, false, false},
      {"20240301", 1, false, false, true, false, false, true},
      {"2024030112", 1, false, false, false, true, false, true},
      {"202403011230", 1, false, false, false, false, true, true},
      {"20240229", 1, false, false, true, false, false, true},
      {"20000229", 1, false, false, true, false, false, true},
  };
  for (const Row& r : rows) {
    int result = 0;
    ParsedDate d = Parse(r.Text, &result);
    EXPECT_EQ(result, r.Result) << r.Text;
    EXPECT_TRUE(d.IsValid) << r.Text;
    EXPECT_EQ(d.YearOnly, r.YearOnly) << r.Text;
    EXPECT_EQ(d.YearMonthOnly, r.YearMonthOnly) << r.Text;
    EXPECT_EQ(d.DateOnly, r.DateOnly) << r.Text;
    EXPECT_EQ(d.DateHour, r.DateHour) << r.Text;
    EXPECT_EQ(d.DateHourMinute, r.DateHourMinute) << r.Text;
    EXPECT_EQ(d.IsComplete, r.Complete) << r.Text;
  }
}

TEST(DateParser, RejectedFormsKeepWhatWasRead) {
  // Day is the day read, also one that does not exist; 0 when none was read.
  struct Row { const char* Text; bool HasYear, HasMonth, HasDay, HasHour; int Day; } rows[] = {
      {"20230229", true, true, false, false, 29},    // not a leap year
      {"19000229", true, true, false, false, 29},    // 1900 is no leap year
      {"19900532", true, true, false, false, 32},
      {"19900431", true, true, false, false, 31},
      {"19900500", true, true, false, false, 0},
      {"18000101", false, false, false, false, 0},   // before 1801
      {"2099", false, false, false, false, 0},       // nothing after the year
      {"2024031", true, true, false, false, 0},      // one-digit day
      {"20241301", true, false, false, false, 0},    // month 13
      {"20240301123", true, true, true, true, 1},    // one-digit minute
      {"2024030112300", true, true, true, true, 1},  // trailing character
      {"2024030125", true, true, true, false, 1},    // hour 25
      {"abcd0101", false, false, false, false, 0},
  };
  for (const Row& r : rows) {
    int result = 1;
    ParsedDate d = Parse(r.Text, &result);
    EXPECT_EQ(result, 0) << r.Text;
    EXPECT_FALSE(d.IsValid || d.IsComplete || d.DateOnly) << r.Text;
    EXPECT_EQ(d.HasYear, r.HasYear) << r.Text;
    EXPECT_EQ(d.HasMonth, r.HasMonth) << r.Text;
    EXPECT_EQ(d.HasDay, r.HasDay) << r.Text;
    EXPECT_EQ(d.HasHour, r.HasHour) << r.Text;
    EXPECT_EQ(d.Day, r.Day) << r.Text;
    EXPECT_EQ(d.DayNumber == -1, !r.HasDay) << r.Text;
  }
}

TEST(DateParser, NumbersAndEmptyText) {
  EXPECT_EQ(Parse("18010101").DayNumber, 365);
  EXPECT_EQ(Parse("18000101").DayNumber, -1);
  ParsedDate h = Parse("2024030112");
  EXPECT_EQ(h.HourNumber, h.DayNumber * 24 + 12);
  EXPECT_EQ(h.MinuteNumber, h.DayNumber * 1440 + 720);
  EXPECT_EQ(Parse("202403011230").MinuteNumber, h.DayNumber * 1440 + 750);
  EXPECT_EQ(Parse("20240301").DayNumber - Parse("20240228").DayNumber, 2) << "29 February lies between";
  EXPECT_EQ(Parse("20230301").DayNumber - Parse("20230228").DayNumber, 1);
  EXPECT_EQ(Parse("19010101").DayNumber - Parse("19000101").DayNumber, 365);
  EXPECT_EQ(Parse("202403").YearMonth, 202403);
  int result = 1;
  ParsedDate empty = Parse("", &result);
  EXPECT_EQ(result, 0);
  EXPECT_TRUE(empty.IsEmpty && empty.IsValid && empty.IsComplete);
  EXPECT_TRUE(Parse(nullptr).IsEmpty);
}

TEST(YearsBetween, WholeYearsOnly) {
  struct Row { const char* From; const char* To; int Years; } rows[] = {
      {"20230101", "20231231", 0},  // 364 days
      {"20240101", "20250101", 1},  // 366 days from a leap year
      {"20000301", "20010301", 0},  // 365 days, but 2000 counts 366
      {"19990301", "20000301", 1},  // 366 days, 1999 counts 365
      {"20000229", "20010228", 0},
      {"19800515", "20230301", 42},
      {"20250101", "20240101", -1},
  };
  for (const Row& r : rows) EXPECT_EQ(YearsBetween(Parse(r.From), Parse(r.To)), r.Years) << r.From << " " << r.To;
}

TEST(Predicates, CodeLists) {
  EXPECT_EQ(IsCodeInList("", _01), 0);
  EXPECT_EQ(IsCodeInList("", {"1", ""}), 1);
  EXPECT_EQ(IsCodeInList(nullptr, _01), 0);
  EXPECT_EQ(IsCodeInList("1", 0, _01.Members), 0);
  EXPECT_EQ(IsCodeInList("A ", _ABC), 0);
  EXPECT_EQ(IsCodeInList("A", _ABC), 1);
  EXPECT_EQ(IsCodeInList("M960", _16_KST), 1);
  EXPECT_EQ(IsCodeInList("M960", _14_KST), 0);
  EXPECT_EQ(_265_Meldepfl_Dia.Count, 265);
  EXPECT_EQ(IsCodeWithPrefixInList("P5512", 1, 3, _10_DIA_PERINAT_LEN3), 1);
  EXPECT_EQ(IsCodeWithPrefixInList("P2012", 1, 2, _16_DIA_PERINAT_LEN2), 1);
  EXPECT_EQ(IsCodeWithPrefixInList("P23", 1, 2, _16_DIA_PERINAT_LEN2), 0);
  EXPECT_EQ(IsCodeWithPrefixInList("P", 3, 2, _16_DIA_PERINAT_LEN2), 0) << "start beyond the end";
  const char* poa = "|F05|G90|Y84";
  EXPECT_EQ(IsCodePrefixInBarList("Y849", 3, poa), 1);
  EXPECT_EQ(IsCodePrefixInBarList("F0", 3, poa), 0);
  EXPECT_EQ(IsCodePrefixInBarList("ZH", 2, "|VD|ZH|"), 1);
  EXPECT_EQ(IsCodePrefixInBarList("BE", 2, "|VD|ZH|"), 0);
}

TEST(Predicates, SecondaryAndPregnancyCodes) {
  struct Row {
    const char* Code;
    int Secondary;
  } secondary[] = {{"T31", 1},   {"T310", 0}, {"T320", 1},  {"U691", 1}, {"U6910", 0}, {"U85", 1},
                   {"U86", 0},   {"S0185", 1}, {"S0183", 1}, {"S0182", 0}, {"B962", 1}, {"O094", 1},
                   {"Z370", 1},  {"U60", 1},  {"U600", 0},  {"B9", 0},    {"I10", 0}};
  for (const Row& r : secondary) EXPECT_EQ(IsSecondaryCode(r.Code), r.Secondary) << r.Code;
  struct Preg {
    const char* Code;
    int Result;
  } pregnancy[] = {{"O70", 0}, {"O74", 1}, {"O75", 0}, {"Z37", 1}, {"O0", 0}, {"O03", 1}, {"O800", 1},
                   {"Z33", 0}, {"A74", 0}};
  for (const Preg& p : pregnancy) EXPECT_EQ(IsPregnancyCode(p.Code), p.Result) << p.Code;
}

TEST(Predicates, CharacterClasses) {
  EXPECT_EQ(IsAllDigits(""), 0);
  EXPECT_EQ(IsAllDigits("0123"), 1);
  EXPECT_EQ(IsAllDigits("12a"), 0);
  EXPECT_EQ(IsAllHexDigits(""), 1);
  EXPECT_EQ(IsAllHexDigits(nullptr), 0);
  EXPECT_EQ(IsAllHexDigits("0aF9"), 1);
  EXPECT_EQ(IsAllHexDigits("0g"), 0);
  EXPECT_EQ(IsDigitsOrUpper(""), 1);
  EXPECT_EQ(IsDigitsOrUpper("AB12"), 1);
  EXPECT_EQ(IsDigitsOrUpper("Ab12"), 0);
  EXPECT_EQ(Int("42abc"), 42);
  EXPECT_EQ(Int(""), 0);
  EXPECT_EQ(Int("-5"), -5);
}

}  // namespace
