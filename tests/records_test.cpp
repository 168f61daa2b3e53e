// The date parser, the shared predicates and YearsBetween.
#include <gtest/gtest.h>

#include <climits>
#include <cstdio>
#include <string>
#include <utility>
#include <vector>

#include "records/CodeLists.h"
#include "records/ParsedDate.h"

namespace {

using namespace qv;

ParsedDate Parse(const char* text, int* result = nullptr) {
  ParsedDate d;
  const int r = ParseDate(text, d);
  if (result) *result = r;
  return d;
}

// The flags of a parsed date as letters: valid, complete, and the form (Year
// only, year-Month only, Date only, date and Hour, date, hour and miNute);
// then what was read: year, month, day, hour.
std::string Form(const ParsedDate& d) {
  std::string f;
  for (auto [set, letter] : {std::pair<bool, char>{d.IsValid, 'v'}, {d.IsComplete, 'c'}, {d.YearOnly, 'Y'},
                             {d.YearMonthOnly, 'M'}, {d.DateOnly, 'D'}, {d.DateHour, 'H'}, {d.DateHourMinute, 'N'}})
    if (set) f += letter;
  return f;
}
std::string Read(const ParsedDate& d) {
  return std::string(d.HasYear ? "y" : "") + (d.HasMonth ? "m" : "") + (d.HasDay ? "d" : "") + (d.HasHour ? "h" : "");
}

TEST(DateParser, AcceptedForms) {
  const std::pair<const char*, const char*> rows[] = {
      {"20240000", "vY"},  {"202403", "vM"},       {"20240301", "vcD"}, {"2024030112", "vcH"},
      {"202403011230", "vcN"}, {"20240229", "vcD"}, {"20000229", "vcD"},
  };
  for (const auto& [text, form] : rows) {
    int result = 0;
    const ParsedDate d = Parse(text, &result);
    EXPECT_EQ(Form(d), form) << text;
    EXPECT_EQ(result, 1) << text;
    EXPECT_EQ(d.Length, static_cast<int>(std::string(text).size())) << text;
  }
}

TEST(DateParser, RejectedFormsKeepWhatWasRead) {
  // Day is the day read, also one that does not exist; 0 when none was read.
  struct Row { const char* Text; const char* Read; int Day; } rows[] = {
      {"20230229", "ym", 29},        // not a leap year
      {"19000229", "ym", 29},        // 1900 is no leap year
      {"19900532", "ym", 32},          {"19900431", "ym", 31}, {"19900500", "ym", 0},
      {"18000101", "", 0},           // before 1801
      {"2099", "", 0},               // nothing after the year
      {"2024031", "ym", 0},          // one-digit day
      {"20241301", "y", 0},          // month 13
      {"20240301123", "ymdh", 1},    // one-digit minute
      {"2024030112300", "ymdh", 1},  // trailing character
      {"2024030125", "ymd", 1},      // hour 25
      {"abcd0101", "", 0},
  };
  for (const Row& r : rows) {
    int result = 1;
    ParsedDate d = Parse(r.Text, &result);
    EXPECT_EQ(result, 0) << r.Text;
    EXPECT_FALSE(d.IsValid || d.IsComplete || d.DateOnly) << r.Text;
    EXPECT_EQ(Read(d), r.Read) << r.Text;
    EXPECT_EQ(d.Day, r.Day) << r.Text;
    EXPECT_EQ(d.DayNumber == -1, !d.HasDay) << r.Text;
    EXPECT_EQ(d.Length, static_cast<int>(std::string(r.Text).size())) << r.Text;
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

// Every existing day of a common and a leap year follows the one before.
TEST(DateParser, DayNumbersCountEveryDay) {
  int previous = Parse("20221231").DayNumber;
  int days = 0;
  for (int year : {2023, 2024})
    for (int month = 1; month <= 12; ++month)
      for (int day = 1; day <= 31; ++day) {
        char text[16];
        std::snprintf(text, sizeof text, "%04d%02d%02d", year, month, day);
        const ParsedDate d = Parse(text);
        if (!d.HasDay) continue;
        EXPECT_EQ(d.DayNumber, previous + 1) << text;
        previous = d.DayNumber;
        ++days;
      }
  EXPECT_EQ(days, 365 + 366);
}

TEST(DateParser, ParsingAgainIntoTheSameResult) {
  // The records parse into the same result every case; an empty text after
  // another one must leave nothing of the earlier date behind.
  auto fields = [](const ParsedDate& d) {
    return std::vector<int>{d.IsEmpty, d.HasYear, d.HasMonth, d.HasDay, d.HasHour, d.HasMinute, d.IsComplete,
                            d.IsValid, d.YearOnly, d.YearMonthOnly, d.DateOnly, d.DateHour, d.DateHourMinute,
                            d.Length, d.Year, d.Month, d.Day, d.Hour, d.Minute, d.YearMonth, d.DayNumber,
                            d.HourNumber, d.MinuteNumber};
  };
  ParsedDate reused;
  const char* const texts[] = {"", "202301051230", "", "", "2023", "20230000", nullptr, "x", "", "20231332"};
  for (const char* text : texts) {
    int result = ParseDate(text, reused);
    int freshResult = 0;
    const ParsedDate fresh = Parse(text, &freshResult);
    EXPECT_EQ(result, freshResult) << (text ? text : "null");
    EXPECT_EQ(fields(reused), fields(fresh)) << (text ? text : "null");
    EXPECT_STREQ(reused.Text, text ? text : "");
  }
}

TEST(YearsBetween, WholeYearsOnly) {
  struct Row { const char* From; const char* To; int Years; } rows[] = {
      {"20230101", "20231231", 0},  // 364 days
      {"20240101", "20250101", 1},  // 366 days from a leap year
      {"20000301", "20010301", 0},  // 365 days, but 2000 counts 366
      {"19990301", "20000301", 1},  // 366 days, 1999 counts 365
      {"19000301", "19010301", 1},  // 365 days: 1900 is no leap year
      {"20000229", "20010228", 0},
      {"19800515", "20230301", 42},
      {"20250101", "20240101", -1},
      {"20240101", "20230101", -1},  // back from 2023: its 365 days fit exactly
  };
  for (const Row& r : rows) EXPECT_EQ(YearsBetween(Parse(r.From), Parse(r.To)), r.Years) << r.From << " " << r.To;
}

TEST(Predicates, CodeLists) {
  using V = std::vector<int>;
  EXPECT_EQ((V{IsCodeInList("", _01), IsCodeInList("", {"1", ""}), IsCodeInList(nullptr, _01),
               IsCodeInList("1", 0, _01.Members), IsCodeInList("A ", _ABC), IsCodeInList("A", _ABC),
               IsCodeInList("M960", _16_KST), IsCodeInList("M960", _14_KST)}),
            (V{0, 1, 0, 0, 0, 1, 1, 0}));
  EXPECT_EQ(_265_Meldepfl_Dia.Count, 265);
  // The long lists answer through a hash set: every member is found, and
  // nothing else.
  for (const CodeList* list : {&_265_Meldepfl_Dia, &_NOGA}) {
    ASSERT_NE(list->Index, nullptr);
    for (int i = 0; i < list->Count; ++i) {
      const std::string member = list->Members[i];
      EXPECT_EQ(IsCodeInList(member.c_str(), *list), 1) << member;
      EXPECT_EQ(IsCodeInList((member + "0").c_str(), *list), 0) << member;
      EXPECT_EQ(IsCodeInList((member + std::string(9 - member.size(), '0')).c_str(), *list), 0) << member;
      EXPECT_EQ(IsCodeInList((member + std::string(8 - member.size(), '0')).c_str(), *list), 0) << member;
      EXPECT_EQ(IsCodeInList(member.substr(0, member.size() - 1).c_str(), *list),
                IsCodeInList(member.substr(0, member.size() - 1).c_str(), list->Count, list->Members))
          << member;
    }
    EXPECT_EQ(IsCodeInList("", *list), 0);
    EXPECT_EQ(IsCodeInList(nullptr, *list), 0);
  }
  EXPECT_EQ(IsCodeInList("37", _NOGA), 0);
  // The last one starts beyond the end.
  EXPECT_EQ((V{IsCodeWithPrefixInList("P5512", 1, 3, _10_DIA_PERINAT_LEN3),
               IsCodeWithPrefixInList("P2012", 1, 2, _16_DIA_PERINAT_LEN2),
               IsCodeWithPrefixInList("P23", 1, 2, _16_DIA_PERINAT_LEN2),
               IsCodeWithPrefixInList("P", 3, 2, _16_DIA_PERINAT_LEN2)}),
            (V{1, 1, 0, 0}));
  EXPECT_EQ((V{IsCodePrefixInBarList("Y849", 3, "|F05|G90|Y84"), IsCodePrefixInBarList("F0", 3, "|F05|G90|Y84"),
               IsCodePrefixInBarList("ZH", 2, "|VD|ZH|"), IsCodePrefixInBarList("BE", 2, "|VD|ZH|")}),
            (V{1, 0, 1, 0}));
}

TEST(Predicates, SecondaryAndPregnancyCodes) {
  for (const char* code : {"T31", "T320", "U691", "U85", "S0185", "S0183", "B962", "O094", "Z370", "U60", "S2184",
                           "S3183", "C9580", "C97", "G8260", "R651", "Z509", "Z540", "U610", "U800", "S147", "S347"})
    EXPECT_EQ(IsSecondaryCode(code), 1) << code;
  for (const char* code : {"T310", "U6910", "U86", "S0182", "U600", "B9", "I10", "S2180", "SA184", "C95", "G82",
                           "U69", "U692", "U8A", "Z38", "S148", "B98", ""})
    EXPECT_EQ(IsSecondaryCode(code), 0) << code;
  for (const char* code : {"O74", "Z37", "O03", "O800"}) EXPECT_EQ(IsPregnancyCode(code), 1) << code;
  for (const char* code : {"O70", "O75", "O0", "Z33", "A74"}) EXPECT_EQ(IsPregnancyCode(code), 0) << code;
}

TEST(Predicates, CharacterClasses) {
  using V = std::vector<int>;
  EXPECT_EQ((V{IsAllDigits(""), IsAllDigits("0123"), IsAllDigits("12a")}), (V{0, 1, 0}));
  EXPECT_EQ((V{IsAllHexDigits(""), IsAllHexDigits(nullptr), IsAllHexDigits("0aF9"), IsAllHexDigits("0g")}),
            (V{1, 0, 1, 0}));
  EXPECT_EQ((V{IsDigitsOrUpper(""), IsDigitsOrUpper("AB12"), IsDigitsOrUpper("Ab12")}), (V{1, 1, 0}));
  // Numbers of any length are read up to the int limits (lookup years, hours of leave).
  EXPECT_EQ((V{Int("42abc"), Int(""), Int("-5"), Int(" 12x"), Int("99999999999"), Int("-99999999999")}),
            (V{42, 0, -5, 12, INT_MAX, INT_MIN}));
}

}  // namespace
