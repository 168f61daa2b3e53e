// The newborn add-on rules: a clean newborn case, an empty MN line, the
// boundaries of each test group and the year thresholds.
#include <gtest/gtest.h>

#include "rules/Catalogue.h"
#include "support/RuleTable.h"

namespace {

using namespace qvtest;

// A stillborn child's MB: discharged dead, no stay or treatment after.
const Fields kDead = {{26, "5"}, {27, "0"}, {28, "0"}};

// Stillborn with the given weight and both gestational ages.
Fields Stillborn(const char* weight, const char* age) {
  return {{3, "0"}, {6, weight}, {7, "25"}, {11, age}, {12, age}};
}

struct MnRules : RuleTable {
  MnRules() : RuleTable("MN", qv::AppendMnRules) {}
};

TEST_F(MnRules, CleanNewbornCaseHasNoFinding) { EXPECT_EQ(h.Check(Case(Lines({}))).List, ""); }

TEST_F(MnRules, EmptyMnLineReportsEveryMissingValueOnce) {
  Fields all;
  for (int n = 1; n < 18; ++n) all[n] = "";
  // The birth time (B3195) is required from 2016 on.
  const std::string missing = "E B3000; W B3010; W B3020; H B3040; H B3050; H B3060; H B3070; E B3080; H B3110; "
      "E B3130; E B3140; E B3160; E B3170; E B3180; E B3190";
  Expect({{"all empty, 2023", all, missing + "; E B3195"}, {"all empty, 2015", all, missing, {}, 2015}});
}

TEST_F(MnRules, MotherBirthDateAndPregnancies) {
  Expect({
      {"born 1900", {{10, "19000101"}}, ""},
      {"born 1899", {{10, "18991231"}}, "E B3002 18991231"},
      {"seven characters", {{10, "1990011"}}, "E B3001 1990011"},
      {"date with hour", {{10, "1990010112"}}, "E B3001 1990010112"},
      {"year and month only", {{10, "199001"}}, ""},
      {"year only", {{10, "19900000"}}, "E B3003 19900000"},
      {"month 13", {{10, "19901301"}}, "E B3003 19901301"},
      {"no year", {{10, "abcd"}}, "E B3002 abcd; E B3003 abcd"},
      // Eight characters: only a day that does not exist.
      {"day 32", {{10, "19900532"}}, "E B3001 19900532"},
      {"31 April", {{10, "19900431"}}, "E B3001 19900431"},
      {"29 February of a common year", {{10, "19900229"}}, "E B3001 19900229"},
      {"29 February of a leap year", {{10, "19920229"}}, ""},
      {"day 00", {{10, "19900500"}}, ""},
      {"same month as the child", {{10, "20230315"}}, "E B3005 20230315"},
      {"child born a month later", {{10, "20230215"}}, ""},
      {"more pregnancies than outcomes", {{13, "2"}}, "W B3065"},
      {"outcome count missing", {{13, "2"}, {16, ""}}, "H B3070"},
      {"40 pregnancies", {{13, "40"}, {14, "20"}, {15, "20"}, {16, "0"}}, ""},
      {"41 pregnancies", {{13, "41"}, {14, "20"}, {15, "20"}, {16, "1"}}, "E B3041 41"},
      {"21 live births and abortions", {{14, "21"}, {16, "21"}}, "E B3051 21; E B3071 21"},
      {"negative miscarriages", {{15, "-1"}}, "E B3061 -1; W B3065; E C0902 -1"},
      {"huge counts do not overflow the sum", {{13, "5"}, {14, "2147483647"}, {15, "2147483647"}},
       "E B3051 2147483647; E B3061 2147483647"},
      {"mother transfer missing", {{17, ""}}, "E B3080"},
      {"mother transfer 2", {{17, "2"}}, "E B3081 2"},
  });
}

TEST_F(MnRules, GestationalAges) {
  Expect({
      {"40 weeks 6 days", {{11, "406"}, {12, "406"}}, ""},
      {"day digit 7", {{11, "407"}, {12, "407"}}, "E B3011 407; E B3021 407"},
      {"15 weeks", {{11, "150"}, {12, "150"}}, "E B3012 150; W B3015 150; E B3022 150; W B3025 150"},
      {"16 weeks", {{11, "160"}, {12, "160"}}, ""},
      {"45 weeks: too many for age 1 only", {{11, "450"}, {12, "456"}}, "E B3012 450; W B3015 450"},
      {"44 and 46 weeks", {{11, "446"}, {12, "460"}}, "E B3022 460; W B3025 460"},
      {"two characters", {{11, "40"}}, "E B3011 40; E B3012 40; W B3015 40; W B3026 400"},
      {"age 2 five weeks later", {{11, "300"}, {12, "350"}}, "W B3026 350"},
      {"age 2 four weeks later", {{11, "300"}, {12, "346"}}, ""},
      {"age 2 missing", {{12, ""}}, "W B3020"},
  });
}

TEST_F(MnRules, AgreementWithTheMbRecordAndTheChild) {
  Expect({
      {"paediatrics", {}, "", {{23, "M400"}}},
      {"internal medicine", {}, "H B3102 M100", {{23, "M100"}}},
      {"age 1", {}, "E B3104 1", {{12, "1"}}},
      {"stillborn, discharged alive", {{3, "0"}}, "E B3105 0"},
      {"stillborn, discharged dead", {{3, "0"}}, "", kDead},
      {"MB announces no MN", {}, "E C0301", {{6, "0"}}},
      {"MB flag empty", {}, "", {{6, ""}}},
      {"birth number 9999", {{1, "9999"}}, ""},
      {"birth number 10000", {{1, "10000"}}, "E B3111 10000"},
      {"vital status 2", {{3, "2"}}, "E B3131 2"},
      {"multiple birth 0", {{4, "0"}}, "E B3141 0"},
      {"twin, rank 3", {{4, "2"}, {5, "3"}}, "E B3150 3"},
      {"twin, rank missing", {{4, "2"}, {5, ""}}, "E B3150"},
      {"twin, rank 2", {{4, "2"}, {5, "2"}}, ""},
      {"single, rank 10", {{5, "10"}}, "H B3151 10; H B3152 10"},
      {"malformations unknown", {{8, "9"}}, ""},
      {"malformations 2", {{8, "2"}}, "E B3181 2"},
      {"child transfer missing", {{9, ""}}, "E B3190"},
      {"child transfer 2", {{9, "2"}}, "E B3191 2"},
  });
}

TEST_F(MnRules, WeightAndLength) {
  Expect({
      {"weight missing", {{6, ""}}, "E B3160; W B3174"},
      {"5999 g", {{6, "5999"}, {7, "60"}}, ""},
      {"6000 g", {{6, "6000"}, {7, "60"}}, "W B3164 6000"},
      {"7000 g", {{6, "7000"}, {7, "60"}}, "W B3164 7000"},
      {"7001 g", {{6, "7001"}, {7, "60"}}, "E B3161 7001"},
      {"negative weight", {{6, "-1"}}, "E B3161 -1; W B3162 -1; W B3174 -1; E C0902 -1"},
      {"500 g live born", {{6, "500"}, {7, "25"}}, "W B3162 500"},
      // Also the smallest length and ratio (20) that pass.
      {"501 g live born", {{6, "501"}, {7, "25"}}, ""},
      {"stillborn 501 g at 21+6", Stillborn("501", "216"), "W B3163", kDead},
      {"stillborn 500 g at 21+6", Stillborn("500", "216"), "", kDead},
      {"stillborn 500 g at 22 weeks", Stillborn("500", "220"), "W B3163", kDead},
      {"stillborn 501 g at 22 weeks", Stillborn("501", "220"), "", kDead},
      {"length missing", {{7, ""}}, "E B3170"},
      {"length 0", {{7, "0"}}, "E B3171 0"},
      {"length 0, stillborn", {{3, "0"}, {7, "0"}}, "", kDead},
      {"length 65", {{7, "65"}}, ""},
      {"length 66", {{7, "66"}}, "E B3171 66"},
      {"length 24", {{6, "600"}, {7, "24"}}, "W B3172 24"},
      {"ratio 19", {{6, "999"}, {7, "50"}}, "W B3174 999"},
      {"ratio 120", {{6, "6000"}, {7, "50"}}, "W B3164 6000"},
      {"ratio 121", {{6, "6050"}, {7, "50"}}, "W B3164 6050; W B3174 6050"},
      {"extreme weight over length -1", {{6, "-2147483648"}, {7, "-1"}},
       "E B3161 -2147483648; W B3162 -2147483648; W B3174 -2147483648; E C0902 -2147483648"},
  });
}

// The birth time is four digits hhmm from 0000 to 2359, required from 2016.
TEST_F(MnRules, BirthTimeAndForbiddenCharacters) {
  Expect({
      {"midnight", {{2, "0000"}}, ""},
      {"23:59", {{2, "2359"}}, ""},
      {"hour 24", {{2, "2400"}}, "E B3196 2400"},
      {"minute 60", {{2, "1260"}}, "E B3196 1260"},
      {"three digits", {{2, "930"}}, "E B3196 930"},
      {"five digits", {{2, "12345"}}, "E B3196 12345"},
      {"letter", {{2, "12a4"}}, "E B3196 12a4"},
      {"missing, 2016", {{2, ""}}, "E B3195", {}, 2016},
      {"missing, 2015", {{2, ""}}, "", {}, 2015},
      {"hour 24, 2015", {{2, "2400"}}, "", {}, 2015},
      {"full stop, 2016", {{1, "1.0"}}, "E C0902 1.0", {}, 2016},
      {"full stop, 2015", {{1, "1.0"}}, "", {}, 2015},
      {"space in the last field", {{17, "0 "}}, "E B3081 0 ; E C0902 0 "},
  });
}

}  // namespace
