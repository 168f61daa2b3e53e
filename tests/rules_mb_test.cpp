// The MB rules through the exported functions: the clean case stays silent,
// single changes make exactly the expected findings (code, type, value) in
// the expected order, and values just inside a limit stay silent. The
// "missing" and "invalid" finding of every plain field is checked field by
// field near the end, all fields together and each alone.
#include <gtest/gtest.h>

#include <utility>

#include "support/RuleTable.h"

namespace {

using namespace qvtest;

using MbRules = RuleTable;

TEST_F(MbRules, CleanCaseAloneAndWithItsDetailRecordHaveNoFinding) {
  EXPECT_EQ(h.Check(Line(CleanMb())).List, "");
  EXPECT_EQ(h.Check(Line(MbWith({{8, "1"}})) + Line(CleanMd())).List, "");
}

// Birth on the day of admission and newborn admissions at age 0 are in the
// code rule tests (B1023, B3101).
TEST_F(MbRules, PersonalData) {
  Expect({
      {"born after admission", {{11, "20230302"}, {12, "0"}}, "E A1825 20230302; E B0115 20230302"},
      {"age 124 is inside the range", {{11, "18990115"}, {12, "124"}}, ""},
      {"age 125 is outside", {{11, "18980115"}, {12, "125"}}, "E B0121 125"},
      // A minus sign is a forbidden character as well.
      {"negative age", {{12, "-1"}}, "E B0121 -1; E B0201; E C0901 -1"},
      {"newborn admission with age 1", {{11, "20220115"}, {12, "1"}, {17, "3"}}, "E B0122 1; E B1022 3"},
      {"residence Switzerland as nationality code", {{13, "CHE"}}, "W B0132 CHE"},
      {"residence as region", {{13, "ZH01"}}, ""},
      {"residence as foreign region", {{13, "DE01"}}, ""},
      {"residence as world region", {{13, "EU"}}, ""},
      {"nationality missing for an inpatient", {{19, "3"}, {5, "C"}, {14, ""}}, "E B0140"},
      {"nationality missing for an outpatient", {{14, ""}}, ""},
      {"nationality as world region", {{14, "EU"}}, ""},
      {"nationality with a trailing space", {{14, "CHE "}}, "E B0141 CHE ; E C0901 CHE "},
      // Born 1980, admitted 2023: ages 42 and 43 agree.
      {"age two below the year difference", {{12, "41"}}, "E B0201"},
      {"age equal to the year difference", {{12, "43"}}, ""},
      {"age above the year difference", {{12, "44"}}, "E B0201"},
      {"infant with birth year only", {{11, "20220000"}, {12, "1"}}, "E B0202 20220000"},
      {"two-year-old with birth year only", {{11, "20210000"}, {12, "2"}}, ""},
      {"death with birth year only", {{11, "19800000"}, {26, "5"}, {27, "0"}, {28, "0"}}, "E B0203 19800000"},
  });
}

TEST_F(MbRules, Admission) {
  Expect({
      {"admission without day", {{15, "202303"}}, "E B1001 202303"},
      {"admission with a one-digit hour", {{15, "202303011"}}, "E B1002 202303011"},
      {"admission of 8 characters needs no hour", {{15, "20230301"}}, ""},
      {"emergency admission without hour", {{15, "20230301"}, {17, "1"}}, "E B1005 20230301"},
      {"emergency admission with hour", {{17, "1"}}, ""},
      {"admission hours after treatment begin", {{15, "2023030112"}, {60, "2023030108"}},
       "E B1060 2023030108; E B1061 2023030112"},
      {"same for a B case", {{5, "B"}, {15, "2023030112"}, {60, "2023030108"}},
       "E B1060 2023030108; E B1061 2023030112"},
      {"admission a day after treatment begin", {{15, "2023030210"}}, "E B1060 2023030112"},
      {"same for a B case", {{5, "B"}, {15, "2023030210"}}, ""},
      {"admission and treatment begin in the same hour", {{15, "2023030112"}}, ""},
      {"admission after discharge day", {{15, "2023031110"}, {60, "2023031111"}}, "E B1065 2023031110"},
      {"admission after discharge hour", {{15, "2023031013"}, {60, "2023031014"}}, "E B1066 2023031013"},
  });
}

TEST_F(MbRules, Stay) {
  Expect({
      {"treatment type unknown", {{19, "9"}}, "W B1112 9"},
      {"partial inpatient with a trailing space", {{19, "2 "}}, "E B1111 2 ; E C0901 2 "},
      {"partial inpatient psychiatry in Bern", {{19, "2"}, {23, "M500"}, {3, "BE"}}, ""},
      {"partial inpatient psychiatry in Zurich", {{19, "2"}, {23, "M500"}}, "E B1113 2"},
      {"partial inpatient in Bern outside psychiatry", {{19, "2"}, {3, "BE"}}, "E B1113 2"},
      {"partial inpatient in 2008", {{19, "2"}, {29, "K358"}, {59, "4701"}}, "", {}, 2008},
      {"partial inpatient in 2009", {{19, "2"}}, "E B1113 2", {}, 2009},
      {"class missing for an inpatient", {{5, "C"}, {19, "3"}, {20, ""}}, "E B1120"},
      {"class missing for an outpatient", {{20, ""}}, ""},
      {"class unknown for an inpatient", {{5, "C"}, {19, "3"}, {20, "9"}}, "H B1122 9"},
      {"class unknown for an outpatient", {{20, "9"}}, ""},
      {"cost centre M960 in 2016", {{23, "M960"}}, "", {}, 2016},
      {"cost centre M960 in 2015", {{23, "M960"}}, "E B1131 M960", {}, 2015},
      {"paediatrics at 19", {{23, "M400"}, {11, "20040115"}, {12, "19"}}, "W B1135 19"},
      {"paediatrics at 18", {{23, "M400"}, {11, "20050115"}, {12, "18"}}, ""},
      {"geriatrics at 29", {{23, "M900"}, {11, "19940115"}, {12, "29"}}, "W B1136 29"},
      {"geriatrics at 30", {{23, "M900"}, {11, "19930115"}, {12, "30"}}, ""},
      {"leave missing for an inpatient", {{5, "C"}, {19, "3"}, {22, ""}}, "W B1150"},
      {"leave negative", {{22, "-1"}}, "E B1151 -1; E C0901 -1"},
      {"leave of 48 hours in two days", {{25, "2023030212"}, {22, "48"}}, ""},
      {"leave of 49 hours in two days", {{25, "2023030212"}, {22, "49"}}, "E B1152 49"},
      {"leave on a one-day stay is not compared", {{25, "2023030112"}, {22, "100"}}, ""},
      {"intensive care missing for an inpatient A case", {{19, "3"}, {21, ""}}, "W B2000; E C0710"},
      {"intensive care missing for an inpatient C case", {{5, "C"}, {19, "3"}, {21, ""}}, ""},
      {"intensive care negative", {{21, "-5"}}, "E B2001 -5; E C0901 -5"},
      {"intensive care of 49 hours in two days", {{25, "2023030212"}, {21, "49"}}, "E B2400 49"},
  });
}

TEST_F(MbRules, Discharge) {
  // Without a discharge the statistics year comes from the clock; no rule
  // here depends on it beyond 2016.
  const Fields noDischarge = {{25, ""}, {26, ""}, {27, ""}, {28, ""}};
  Expect({
      // "A " begins with A but is not A.
      {"\"A \" case", Plus(noDischarge, {{5, "A "}}), "E B1200; E B1220; E C0901 A ; E C2051 A "},
      {"discharge fields missing in an A case", noDischarge, "E B1200; E B1210; E B1220; E B1230"},
      {"discharge fields missing in a B case", Plus(noDischarge, {{5, "B"}}), ""},
      {"discharge with a one-digit hour", {{25, "202303101"}}, "E B1202 202303101"},
      {"discharge of 8 characters needs no hour", {{25, "20230310"}}, ""},
      {"death with treatment after discharge", {{26, "5"}, {27, "0"}, {28, "1"}}, "W B1250"},
      {"death with both after-discharge fields 0", {{26, "5"}, {27, "0"}, {28, "0"}}, ""},
      {"death discharge without hour", {{26, "5"}, {27, "0"}, {28, "0"}, {25, "20230310"}}, "E B1251 20230310"},
      {"stay after discharge 0 without death", {{27, "0"}}, "E B1252"},
      {"treatment after discharge 0 without death", {{28, "0"}}, "E B1252"},
  });
}

TEST_F(MbRules, AddOnRecordsAndRecordFields) {
  Expect({
      {"newborn record announced but absent", {{6, "1"}}, "E B3100"},
      {"newborn record announced in a B case", {{5, "B"}, {6, "1"}}, ""},
      {"inpatient psychiatry without psychiatry record", {{19, "3"}, {23, "M500"}}, "H B4900; E C0710"},
      {"the same in 2015", {{19, "3"}, {23, "M500"}}, "E C0710", {}, 2015},
      {"inpatient A case without detail record in 2013", {{19, "3"}}, "", {}, 2013},
      {"psychiatry record announced but absent", {{7, "1"}}, "E C0400 1"},
      {"cantonal record announced but absent", {{9, "1"}}, "E C0600"},
      {"detail record announced but absent", {{8, "1"}}, "E C0700 1"},
      {"the first field with a bad character is named", {{3, "Z H"}, {4, "ABC-EF0123456789"}}, "E C0901 Z H"},
      {"hyphen in the patient code in 2015", {{4, "ABC-EF0123456789"}}, "", {}, 2015},
      {"site missing in 2010", {{2, ""}}, "", {}, 2010},
      {"site too long", {{2, "011"}}, "E C2021 011; E C2022"},
      {"site too long in 2010", {{2, "011"}}, "", {}, 2010},
  });
}

// Fields and the finding each gives, "T CODE value", its value set in the
// field. All the fields set at once give the findings in the order listed,
// which is the catalogue's whatever the field order; each field set alone
// gives its own finding too, so a test that reads the wrong field shows.
void ExpectFieldByField(Handle& h, const std::vector<std::pair<int, std::string>>& rows) {
  Fields all;
  std::string want;
  for (const auto& [field, finding] : rows) {
    all[field] = finding.find(' ', 2) == finding.npos ? "" : finding.substr(finding.find(' ', 2) + 1);
    want += (want.empty() ? "" : "; ") + finding;
  }
  EXPECT_EQ(Shown(h.Check(Line(MbWith(all))), 1), want);
  for (const auto& [field, finding] : rows) {
    const std::string alone = "; " + Shown(h.Check(Line(MbWith({{field, all[field]}}))), 1) + ";";
    EXPECT_NE(alone.find("; " + finding + ";"), alone.npos) << field;
  }
}

TEST_F(MbRules, EveryFieldMissingOrInvalid) {
  ExpectFieldByField(h, {{10, "E B0100"}, {11, "E B0110"}, {12, "E B0120"}, {13, "E B0130"}, {13, "E B0131"},
                         {15, "E B1000"}, {16, "E B1010"}, {17, "E B1020"}, {18, "E B1030"}, {19, "E B1110"},
                         {23, "E B1130"}, {24, "E B1140"}, {2, "E C2020"}, {5, "E C2050"}, {6, "E C2060"},
                         {7, "E C2070"}, {8, "E C2080"}, {9, "E C2090"}});
  ExpectFieldByField(h, {{10, "E B0101 3"}, {11, "E B0111 1980"}, {12, "E B0121 200"}, {13, "E B0131 XX"},
                         {14, "E B0141 XXX"}, {15, "E B1001 20230000"}, {16, "E B1011 99"}, {17, "E B1021 99"},
                         {18, "E B1031 99"}, {19, "E B1111 8"}, {20, "E B1121 8"}, {23, "E B1131 M123"},
                         {24, "E B1141 99"}, {22, "E B1151 10000"}, {25, "E B1201 20240000"}, {26, "E B1211 99"},
                         {27, "E B1221 99"}, {28, "E B1231 99"}, {21, "E B2001 10000"}, {2, "E C2021 99"},
                         {5, "E C2051 D"}, {6, "E C2061 2"}, {7, "E C2071 2"}, {8, "E C2081 2"}, {9, "E C2091 2"},
                         {11, "H C2111 1980"}, {29, "E A02000 QQ"}, {59, "E A12000 YY"}});
}

// The begin of the main treatment is field 40 in the 50-field layout.
TEST_F(MbRules, ShortLayoutTakesTreatmentBeginFromField40) {
  std::vector<std::string> f = MbWith({{39, "8952"}, {40, "2023030112"}}, 50);
  EXPECT_EQ(h.Check(Line(f)).List, "");
  f[15] = "2023030114";
  EXPECT_EQ(Shown(h.Check(Line(f)), 1), "E B1060 2023030112; E B1061 2023030114");
}

}  // namespace
