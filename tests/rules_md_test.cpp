// The detail record's tests through the exported functions: a clean case of
// MB and MD lines, varied per row.
#include <gtest/gtest.h>

#include "quorvant.h"
#include "support/RuleTable.h"

namespace {

using namespace qvtest;

// A newborn case has its MN line and is admitted on the day of birth to the
// newborns' cost centre: live birth Z381, admission weight equal to the MN
// birth weight, head circumference given.
const Fields kNewbornMb = {{6, "1"}, {11, "20230301"}, {12, "0"}, {17, "3"}, {23, "M300"}, {29, "Z381"}};
const Fields kNewbornMd = {{3, "Z381"}, {660, "3400"}, {661, "35"}};

// Interruptions from field 663 on: interim discharge and re-admission dates
// in pairs, the reason "1" wherever a re-admission is given; then more changes.
Fields Stays(const std::vector<std::string>& dates, const Fields& more = {}) {
  Fields md;
  for (int i = 0; i < static_cast<int>(dates.size()); ++i) {
    md[663 + 3 * (i / 2) + i % 2] = dates[i];
    if (i % 2 == 1 && !dates[i].empty()) md[665 + 3 * (i / 2)] = "1";
  }
  return Plus(md, more);
}

// Each row lists every finding of the MD line (its own tests and the code
// rules it runs) in the order reported.
struct MdRules : RuleTable {
  MdRules() : RuleTable("MD") {}
};

TEST_F(MdRules, CleanCaseWithMdHasNoFinding) {
  for (const std::string& data : {Case(Lines({})), Line(CleanMx()) + Case(Lines({}))}) {
    const Result r = h.Check(data);
    EXPECT_TRUE(r.Count == 0 && r.Status == 0 && r.List.empty()) << r.List;
  }
}

TEST_F(MdRules, CodeRulesRunOnceFromTheMdEntries) {
  // The invalid code stands in both lines: it is reported once, for the MD.
  EXPECT_EQ(h.Check(Case(Lines({"", {{7, "Q999"}}, "", {{31, "Q999"}}}))).List, "E|A02002|2|Q999\r\n");
  Expect({
      // Only one line has it: the MD's entries are checked and differ from the MB's.
      {"MB only", {}, "W C22102 Q999", {{31, "Q999"}}},
      {"MD only", {{7, "Q999"}}, "E A02002 Q999; W C22102"},
      {"treatment differs", {{154, "9904"}}, "W C22200 8952"},
      // One finding of each stage in the order the stages run: clinical,
      // rehospitalisation, administrative, shared code rules, entry tests.
      {"stage order", {{7, "Q999"}, {4, "7"}, {691, "455"}, {675, "2"}, {2, "x"}},
       "W B0301 455; E B6640 2; E C7029 x; E A02002 Q999; E A05110 7", {{31, "Q999"}}},
  });
}

TEST_F(MdRules, ClinicalDetails) {
  // The clean MB stay is 219 hours (1 March 10:00 to 10 March 12:00).
  const Fields icu = {{21, "10"}}, icuDrg = {{21, "10"}, {19, "3"}};
  const std::string hex16 = "0123456789ABCDEF";
  Expect({
      {"16 weeks 0 days", {{691, "160"}}, ""},
      {"44 weeks 6 days", {{691, "446"}}, ""},
      {"15 weeks 6 days", {{691, "156"}}, "W B0301 156"},
      {"45 weeks", {{691, "450"}}, "W B0301 450"},
      {"7 days", {{691, "387"}}, "E B0302 387"},
      {"two digits", {{691, "38"}}, "E B0305 38"},
      {"encrypted", {{691, hex16}}, "E B0304 " + hex16},
      {"16 non-hex", {{691, "0123456789ABCDEG"}}, "E B0305 0123456789ABCDEG"},
      {"infant, no gestational age", {{676, "1"}, {660, "3000"}}, "W B0300", {{19, "3"}, {11, "20230101"}, {12, "0"}}},
      {"infant aged 365 days, tariff 7", {{676, "7"}}, "", {{19, "3"}, {11, "20220301"}, {12, "1"}}},
      {"tariff missing", {}, "W B1300", {{19, "3"}}},
      {"tariff missing, case kind B", {}, "", {{19, "3"}, {5, "B"}}},
      {"tariff 8", {{676, "8"}}, "E B1301 8"},
      {"tariff 12", {{676, "12"}}, "E B1301 12; W C7061 12"},

      {"ICU hours, ventilation missing", {{655, "10"}, {656, "S"}}, "W B2010", icu},
      {"ICU hours, severity missing", {{654, "1"}}, "W B2010", icu},
      {"ICU hours with details", {{654, "1"}, {655, "10"}, {656, "S"}}, "", icu},
      {"NEMS zero", {{676, "1"}, {657, "0"}}, "W B2010; E B2011", icuDrg},
      {"NEMS 1", {{676, "1"}, {657, "1"}}, "W B2010", icuDrg},
      {"ventilation and weight negative", {{654, "-1"}, {660, "-5"}}, "E B2110 -1; E B3168 -5; E C0904 -1"},
      {"ventilation beyond int", {{654, "99999999999"}}, "E B2110 99999999999; E B2130 99999999999"},
      {"ventilation ICU + 18", {{654, "28"}}, "W B2010", icu},
      {"ventilation ICU + 19", {{654, "29"}}, "W B2010; H B2120 29", icu},
      {"ventilation stay + 18, no ICU hours", {{654, "237"}}, ""},
      {"ventilation stay + 19", {{654, "238"}}, "E B2130 238"},
      {"ventilation stay + 19, case kind B", {{654, "238"}}, "", {{5, "B"}}},
      {"ventilation stay - 48 h leave + 18", {{654, "189"}}, "", {{22, "48"}}},
      {"ventilation stay - 48 h leave + 19", {{654, "190"}}, "E B2130 190", {{22, "48"}}},
      // The leave is read up to the int limit, not wrapped around.
      {"leave beyond int", {{654, "-2147483000"}},
       "E B2110 -2147483000; E B2130 -2147483000; E B6977; E C0904 -2147483000", {{22, "99999999999"}}},
      {"severity 1000", {{655, "1000"}, {656, "S"}}, "E B2210 1000"},
      {"severity without score kind", {{655, "10"}}, "E B2220"},
      {"score kind X", {{655, "10"}, {656, "X"}}, "E B2221 X"},
      {"score kind alone", {{656, "P"}}, "E B2225"},
      {"score kind with IMC points", {{656, "C"}, {659, "5"}}, ""},
      {"IMC hours and points with letter", {{658, "12a"}, {659, "x"}}, "E B2350 12a; E B2360 x"},

      {"weight missing on birth admission", {}, "H B3165", {{17, "3"}}},
      {"weight missing under one year", {}, "E B3167", {{11, "20230101"}, {12, "0"}}},
      {"NEMS, IMC hours and weight at their limits", {{657, "999999"}, {658, "999999"}, {660, "16000"}}, ""},
      {"NEMS, IMC hours and weight beyond", {{657, "1000000"}, {658, "1000000"}, {660, "16001"}},
       "E B2310 1000000; E B2350 1000000; E B3168 16001"},
      {"newborn, weights agree", Plus(kNewbornMd, {{660, "03400"}}), "", kNewbornMb},
      {"newborn, weights differ", Plus(kNewbornMd, {{660, "3500"}}), "E B3169 3500", kNewbornMb},
      {"newborn, head missing", Plus(kNewbornMd, {{661, ""}}), "W B3175", kNewbornMb},
      {"head 14, decision 6", {{661, "14"}}, "W B3177 14", {{26, "6"}}},
      {"head 15, decision 6", {{661, "15"}}, "", {{26, "6"}}},
      {"head 50, decision 9", {{661, "50"}}, "", {{26, "9"}}},
      {"head 51, decision 8", {{661, "51"}}, "W B3177 51", {{26, "8"}}},
      {"head 14, decision 5", {{661, "14"}}, "", {{26, "5"}}},
  });
}

// Interruptions of the clean stay (1 to 10 March 2023; Ek is the k-th interim
// discharge, Rk the k-th re-admission), the stay after each interim
// discharge, leave and the 18-day window.
TEST_F(MdRules, Rehospitalisation) {
  const Fields december = {{15, "2022122010"}, {25, "2023011012"}, {60, "2022122012"}};
  const Fields march31 = {{25, "2023033112"}}, april10 = {{25, "2023041012"}};
  const Fields kFour =
      Stays({"20230302", "20230303", "20230304", "20230305", "20230306", "20230307", "20230308", "20230309"});
  Expect({
      {"valid, reasons 3 and 9", Stays({"20230303", "20230305", "20230306", "20230308"}, {{665, "3"}, {668, "9"}}), ""},
      {"E1 with hour", Stays({"2023030312", "20230305"}), "E B6900 2023030312; E B6984 2023030312"},
      {"R1 not a date", Stays({"20230303", "2023033"}), "E B6901 2023033; E B6911 2023033; E B6984 20230303"},
      {"4th interruption with hours",
       Stays({"20230303", "20230305", "20230306", "20230308", "20230309", "20230310", "2023031108", "2023031208"}),
       "E B6906 2023031108; E B6907 2023031208; E B6987 2023031108", march31},
      {"E1 before admission", Stays({"20230228", "20230305"}), "E B6910 20230228; E B6984 20230228"},
      {"after discharge", Stays({"20230311", "20230312"}), "E B6920 20230311; E B6921 20230312; E B6984 20230311"},
      {"E2 < E1", Stays({"20230305", "20230306", "20230304", "20230307"}), "E B6930 20230305; E B6985 20230304"},
      {"R2 < R1", Stays({"20230303", "20230306", "20230307", "20230305"}), "E B6940 20230306; E B6985 20230307"},
      {"reasons 4 and 0", Stays({"20230303", "20230305", "20230306", "20230308"}, {{665, "4"}, {668, "0"}}),
       "E B6950 4; E B6951 0"},
      {"re-admission missing", Stays({"20230303", ""}), "E B6960; E B6984 20230303"},
      {"1st and 3rd reason missing",
       Stays({"20230302", "20230303", "20230304", "20230305", "20230306", "20230307"}, {{665, ""}, {671, ""}}),
       "E B6970; E B6972"},
      // Measured from an empty 1st interim discharge, every re-admission is late.
      {"only the 2nd interruption", Stays({"", "", "20230303", "20230305"}), "E B6978"},
      {"case kind B", Stays({"20230228", "20230312"}), "", {{5, "B"}}},
      {"stay after: hex digits", {{692, "AB"}, {693, "0"}, {694, "12"}}, ""},
      {"stay after the 1st and 3rd", {{692, "4x"}, {694, "x"}}, "E B6990 4x; E B6994 x"},
      {"stay after the 2nd and 4th", {{693, "G"}, {695, "Z"}}, "E B6992 G; E B6996 Z"},

      {"E1 in the year before", Stays({"20221224", "20221228"}, {{156, "2022122012"}}), "E B6975 20221224", december},
      {"E1 in the discharge year", Stays({"20230102", "20230104"}, {{156, "2022122012"}}), "", december},
      // Leave of 5 days (120 hours) equal to an absence of 5 days; 25 hours
      // make one day of leave, 24 none.
      {"leave equals the absence", Stays({"20230303", "20230308"}), "E B6976", {{25, "2023033112"}, {22, "120"}}},
      {"leave of 4 days, absence of 5", Stays({"20230303", "20230308"}), "", {{25, "2023033112"}, {22, "96"}}},
      {"same-day stay with one day of leave", {}, "E B6977", {{25, "2023030118"}, {22, "25"}}},
      {"same-day stay with 24 hours of leave", {}, "", {{25, "2023030118"}, {22, "24"}}},
      {"stay of zero days, case kind B", {}, "", {{5, "B"}, {25, "2023030118"}, {22, "25"}}},
      // Four parts of one day in hospital, four days away; the chain of
      // interruptions stops at the first interim discharge without a day.
      {"four interruptions, leave of 4 days", kFour, "E B6976", {{22, "97"}}},
      {"four interruptions, leave of 5 days", kFour, "E B6977", {{22, "121"}}},
      {"3rd interruption missing, leave of 2 days",
       Stays({"20230302", "20230303", "20230304", "20230305", "", "", "20230308", "20230309"}), "E B6976",
       {{22, "49"}}},
      // Without a first interim discharge the stay is the whole of 9 days.
      {"1st interruption missing, leave of 8 days", Stays({"", "", "20230305", "20230306"}), "E B6978", {{22, "193"}}},
      {"1st interruption not a date, leave of 8 days",
       Stays({"2023030", "20230305"}),
       "E B6900 2023030; E B6910 2023030; E B6978; E B6984 2023030",
       {{22, "193"}}},
      {"R1 on day 18", Stays({"20230301", "20230319"}), "", april10},
      {"R1 on day 19", Stays({"20230301", "20230320"}), "E B6978; E B6980 20230320", april10},
      {"R2 on day 19 after E1", Stays({"20230305", "20230310", "20230315", "20230324"}), "E B6978; E B6981 20230324",
       april10},
      {"R4 on day 19",
       Stays({"20230302", "20230303", "20230304", "20230305", "20230306", "20230307", "20230308", "20230321"}),
       "E B6978; E B6983 20230321", april10},
  });
}

TEST_F(MdRules, AdministrativeFields) {
  const std::string a17(17, 'A'), a51(51, 'A');
  Expect({
      {"MB does not announce the MD", {}, "E C0701 0", {{8, "0"}}},
      {"main treatment begins at another hour", {}, "E C2222 2023030112", {{60, "2023030111"}}},
      {"main treatment begin differs, 2024", {}, "", {{60, "2024030111"}}, 2024},
      {"location missing", {{1, ""}}, "E C7010"},
      {"location unknown", {{1, "9999"}}, "W C7011 9999"},
      {"case number of 16, medication of 50", {{662, std::string(16, 'A')}, {677, std::string(50, 'A')}}, ""},
      {"case number of 17", {{662, a17}}, "E C7051 " + a17},
      {"case number in lower case", {{662, "abc"}}, "E C7052 abc"},
      {"medications 1 and 14, reserves 16 and 20 of 51",
       {{677, a51}, {690, a51}, {691, a51}, {695, a51}},
       "E B0305 " + a51 + "; W C7301 " + a51 + "; W C7314 " + a51 + "; E C7911 " + a51 + "; E C7951 " + a51},
      {"drugs separated by a blank", {{677, "Aspirin Dafalgan"}}, "E C0904 Aspirin Dafalgan"},
      {"date with dots", {{156, "2023.03.01"}}, "E C0904 2023.03.01; E C2222 2023.03.01; E A18100 2023.03.01"},
      {"special characters in 2015", {{677, "a b"}}, "", {}, 2015},
      // The first field with a byte outside letters and digits is shown; drug
      // names may hold ';', '.' and umlauts.
      {"medication with ;, . and o-umlauts", {{677, "A;B.\xF6\xD6"}}, ""},
      {"accepted medication hides a later field", {{677, "A;B"}, {681, "a b"}}, ""},
      {"medication with an a-umlaut", {{678, "B\xE4r"}}, "E C0904 B\xE4r"},
      {"reserve field with a dot", {{691, "3.5"}}, "W B0301 3.5; E C0904 3.5"},
      {"a field before the medications first", {{2, "-"}, {677, "A B"}}, "E C0904 -; E C7029 -"},
      {"the last field", {{695, "a b"}}, "E B6996 a b; E C0904 a b"},
      {"two fields: the first one", {{694, "a.b"}, {695, "a b"}}, "E B6994 a.b; E B6996 a b; E C0904 a.b"},
  });
}

// The exported counts: C7029 (error), B0301, C7011 and C22103 (warnings) and
// one duplicate (hint) on the MD line; the next call counts afresh.
TEST_F(MdRules, CountsByType) {
  for (int run = 0; run < 2; ++run) {
    const Result r =
        h.Check(Case(Lines({"", {{2, "x"}, {1, "9999"}, {691, "455"}, {7, "I10"}, {10, "I10"}}, "", {{31, "I10"}}})));
    EXPECT_EQ((std::vector<int>{r.Count, r.Errors, r.Warnings, r.Hints, r.Controls, r.Structs}),
              (std::vector<int>{5, 1, 3, 1, 0, 0})) << r.List;
  }
}

// Messages of a case with an MD show its case-cost number, cut to the 127
// characters a message line can hold; the next case, without an MD (its MB
// runs the code rules itself), shows none.
TEST_F(MdRules, CaseCostNumberInMessageLines) {
  QV_setFormatString("{{SYS.FID}}|{{SYS.ErrorNr}}\r\n");
  const std::string number(200, 'B');
  Result r = h.Check(Case(Lines({"", {{662, number}, {2, "x"}}, ""})));
  EXPECT_EQ(r.List, number.substr(0, 127) + "|C7029\r\n" + number.substr(0, 127) + "|C7051\r\n");
  std::vector<std::string> mb = CleanMb();
  mb[31] = "Q999";
  EXPECT_EQ(h.Check(Line(mb)).List, "|A02002\r\n");
}

// Treatment entry 1 (fields 159-163), listed in the MB at position 1.
Row Second(const char* name, const std::string& code, const std::string& date, const std::string& expected,
           const Fields& mb = {}, int year = 2023) {
  return Row{name, {{159, code}, {161, date}}, expected, Plus(mb, {{61, code}}), year};
}

TEST_F(MdRules, DiagnosisAndTreatmentEntries) {
  const std::string d0305 = "20230305";
  Expect({
      {"laterality 4, L and 5", {{4, "4"}, {7, "I10"}, {8, "L"}, {155, "5"}}, "E A05110 4; E A05112 L; E A15110 5",
       {{31, "I10"}}},
      {"I10 with laterality 9 needs no POA", {{7, "I10"}, {8, "9"}}, "", {{31, "I10"}}},
      {"ZH, J189 without POA", {{5, ""}}, "W A05200 J189"},
      {"VD, J189 without POA", {{5, ""}}, "W A05200 J189", {{3, "VD"}}},
      {"BE, J189 without POA", {{5, ""}}, "", {{3, "BE"}}},
      {"ZH, J189 without POA, 2022", {{5, ""}}, "", {}, 2022},
      {"ZH, S-code without POA", {{7, "S7200"}}, "W A05202 S7200", {{31, "S7200"}}},
      {"ZH, S-code with POA", {{7, "S7200"}, {9, "0"}}, "", {{31, "S7200"}}},
      {"ZH, Y84 at the end of the list", {{7, "Y849"}}, "W A05202 Y849", {{31, "Y849"}}},
      {"ZH, unknown S-code", {{7, "S999"}}, "E A02002 S999", {{31, "S999"}}},
      // The supplementary code has no attributes and is skipped.
      {"ZH, Y84 as supplementary code", {{6, "Y849"}}, "", {{30, "Y849"}}},
      // One duplicate finding per earlier equal entry.
      {"I10 at 2, 3 and 4, the main diagnosis again at 5",
       {{7, "I10"}, {10, "I10"}, {13, "I10"}, {16, "J189"}, {18, "1"}},
       "H A09903 I10; H A09904 I10; H A09904 I10; H A09905 J189",
       {{31, "I10"}, {32, "I10"}, {33, "I10"}, {34, "J189"}}},
      // Any field of an entry makes it written, in the last entry of each list too.
      {"laterality alone at entry 50", {{152, "x"}}, "E A051150 x"},
      {"laterality alone at treatment 99", {{650, "5"}}, "E A151199 5"},
      {"bytes no field may hold alone", {{8, "-"}, {160, "."}}, "E C0904 -; E A05112 -; E A15111 ."},
      {"supplement only", {{6, "Y849"}}, "W C22101"},
      {"both lists empty", {{3, ""}, {5, ""}, {154, ""}, {156, ""}}, "E C2222; H A1001; W C22100 J189; W C22200 8952"},
      // Entry 50 lies beyond the MB's positions and after a gap.
      {"repeated at the last entry", {{7, "I10"}, {151, "I10"}}, "E C710050 I10; H A099050 I10", {{31, "I10"}}},
      {"entry 50 without POA", {{151, "S7200"}, {152, "9"}}, "E C710050 S7200; W A052050 S7200"},
      // The code rules look for Z38 up to the last entry given.
      {"newborn, Z381 at entry 50", Plus(kNewbornMd, {{3, "J189"}, {151, "Z381"}}), "E C710050 Z381",
       Plus(kNewbornMb, {{29, "J189"}})},
      {"newborn without Z38", Plus(kNewbornMd, {{3, "J189"}}), "E A0320", Plus(kNewbornMb, {{29, "J189"}})},
      // Treatment 99 (fields 649-653) takes its codes from the treatment list.
      {"ICD code as treatment 99", {{649, "J189"}, {650, "1"}, {651, "2023030514"}},
       "E A120099 J189; E A181599 2023030514"},
      {"date of a treatment without code", {{161, "2023030"}}, "E A18101 2023030"},

      // Secondary treatments may have an hour from 2024 on.
      Second("secondary treatment with hour, 2024", "9904", "2024030514", "", {}, 2024),
      Second("secondary treatment hour 25", "9904", "2023030525", "E A18111 2023030525; E A18151 2023030525"),
      {"main treatment without hour", {{156, "20230301"}}, "E A18110 20230301", {{60, "20230301"}}},
      Second("date missing", "9904", "", "E A18001"),
      Second("neither code nor date", "", "", ""),
      Second("date not a date", "9904", "2023133", "E A18101 2023133"),
      Second("date before admission", "9904", "20230228", "E A18211 20230228"),
      Second("date before admission, case kind B", "9904", "20230228", "", {{5, "B"}}),
      Second("earlier hour on the admission day, case kind B", "9904", "2023030109",
             "E A18151 2023030109; E A18211 2023030109", {{5, "B"}}),
      Second("date after discharge", "9904", "20230311", "E A18221 20230311"),
      Second("later hour on the discharge day", "9904", "2023031013", "E A18151 2023031013; E A18221 2023031013"),
      {"chapter 13 for a man: 7201 and 7599", {{159, "7201"}, {161, d0305}, {164, "7599"}, {166, d0305}},
       "E A14011 7201; E A14012 7599", {{61, "7201"}, {62, "7599"}}},
      {"7199 and 7600 are outside", {{159, "7199"}, {161, d0305}, {164, "7600"}, {166, d0305}}, "",
       {{61, "7199"}, {62, "7600"}}},
      Second("chapter 13 under 12 years", "7201", d0305, "W A14121 7201", {{10, "2"}, {12, "10"}}),
      Second("chapter 13, empty age field", "7201", d0305, "W A14121 7201", {{10, "2"}, {12, ""}}),
      Second("chapter 13, 2012", "7201", "20120305", "", {}, 2012),
  });
}

}  // namespace
