// The newborn add-on rules: a clean newborn case, an empty MN line, the
// boundaries of each test group, year thresholds, and the counters the MN
// record leaves on its MB.
#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

#include "datasource/tDataSource.h"
#include "foundation/Logger.h"
#include "interface/LibraryGlobals.h"
#include "records/RecordMB.h"
#include "records/RecordMN.h"
#include "rules/Catalogue.h"
#include "support/CleanAddons.h"

using qvtest::Addons;
using qvtest::Case;
using qvtest::CleanMbWith;
using qvtest::CleanMn;
using qvtest::Finding;
using qvtest::Line;

namespace {

// A finding of the MN line, which is line 2 of every case here.
Finding Mn(char type, const char* code, const std::string& value = "") { return {type, code, 2, value}; }

using Fields = std::map<int, std::string>;

struct Variation {
  const char* Name;
  Fields MnFields;
  Fields MbFields;
  std::vector<Finding> Expected;
  int Year = 2023;
};

class MnRules : public ::testing::Test {
 protected:
  qvtest::Handle h;

  std::string NewbornCase(const Fields& mn, const Fields& mb, int year = 2023) {
    std::vector<std::string> mbLine = qvtest::AtYear(CleanMbWith(Addons{true, false, false}), year);
    for (const auto& [n, v] : mb) mbLine[n] = v;
    std::vector<std::string> mnLine = CleanMn();
    for (const auto& [n, v] : mn) mnLine[n] = v;
    return Case({Line(mbLine), Line(mnLine)});
  }

  void ExpectAll(const std::vector<Variation>& rows) {
    for (const Variation& row : rows) {
      qvtest::Result r = h.Check(NewbornCase(row.MnFields, row.MbFields, row.Year));
      std::vector<Finding> own = qvtest::FindingsOf(r, qv::AppendMnRules);
      EXPECT_EQ(own, row.Expected) << row.Name << "\n  list: " << r.List;
    }
  }
};

TEST(MnCatalogue, FiftyFourTestsInCodeOrderWithConsecutiveMessages) {
  const std::vector<qv::RuleInfo> rules = qvtest::RulesOf(qv::AppendMnRules);
  ASSERT_EQ(rules.size(), 54u);
  EXPECT_STREQ(rules.front().Code, "B3000");
  EXPECT_STREQ(rules.back().Code, "C0902");
  for (size_t i = 0; i < rules.size(); ++i) {
    EXPECT_EQ(rules[i].Msg, 85 + static_cast<int>(i)) << rules[i].Code;
    if (i > 0) {
      EXPECT_LT(std::string(rules[i - 1].Code), rules[i].Code);
    }
  }
}

TEST_F(MnRules, CleanNewbornCaseHasNoFinding) {
  qvtest::Result r = h.Check(NewbornCase({}, {}));
  EXPECT_EQ(r.Count, 0) << r.List;
  EXPECT_EQ(r.Status, 0);
}

TEST_F(MnRules, EmptyMnLineReportsEveryMissingValueOnce) {
  Fields all;
  for (int n = 1; n < 18; ++n) all[n] = "";
  ExpectAll({
      {"all empty, 2023", all, {},
       {Mn('E', "B3000"), Mn('W', "B3010"), Mn('W', "B3020"), Mn('H', "B3040"), Mn('H', "B3050"),
        Mn('H', "B3060"), Mn('H', "B3070"), Mn('E', "B3080"), Mn('H', "B3110"), Mn('E', "B3130"),
        Mn('E', "B3140"), Mn('E', "B3160"), Mn('E', "B3170"), Mn('E', "B3180"), Mn('E', "B3190"),
        Mn('E', "B3195")}},
      {"all empty, 2015: no birth time required", all, {},
       {Mn('E', "B3000"), Mn('W', "B3010"), Mn('W', "B3020"), Mn('H', "B3040"), Mn('H', "B3050"),
        Mn('H', "B3060"), Mn('H', "B3070"), Mn('E', "B3080"), Mn('H', "B3110"), Mn('E', "B3130"),
        Mn('E', "B3140"), Mn('E', "B3160"), Mn('E', "B3170"), Mn('E', "B3180"), Mn('E', "B3190")},
       2015},
  });
}

TEST_F(MnRules, MotherBirthDate) {
  ExpectAll({
      {"complete date", {{10, "19851231"}}, {}, {}},
      {"seven characters", {{10, "1990011"}}, {}, {Mn('E', "B3001", "1990011")}},
      {"date with hour", {{10, "1990010112"}}, {}, {Mn('E', "B3001", "1990010112")}},
      {"year and month only", {{10, "199001"}}, {}, {}},
      {"year only", {{10, "19900000"}}, {}, {Mn('E', "B3003", "19900000")}},
      {"year before 1900", {{10, "18991231"}}, {}, {Mn('E', "B3002", "18991231")}},
      {"month 13", {{10, "19901301"}}, {}, {Mn('E', "B3003", "19901301")}},
      {"no year", {{10, "abcd"}}, {}, {Mn('E', "B3002", "abcd"), Mn('E', "B3003", "abcd")}},
      // An impossible day in an eight-character date passes all three tests:
      // B3001 looks only at dates of another length.
      {"day 32", {{10, "19900132"}}, {}, {}},
      {"same month as the child", {{10, "20230315"}}, {}, {Mn('E', "B3005", "20230315")}},
      {"child born a month later", {{10, "20230215"}}, {}, {}},
  });
}

TEST_F(MnRules, GestationalAges) {
  ExpectAll({
      {"40 weeks 6 days", {{11, "406"}, {12, "406"}}, {}, {}},
      {"day digit 7", {{11, "407"}, {12, "407"}}, {},
       {Mn('E', "B3011", "407"), Mn('E', "B3021", "407")}},
      {"15 weeks", {{11, "150"}, {12, "150"}}, {},
       {Mn('E', "B3012", "150"), Mn('W', "B3015", "150"), Mn('E', "B3022", "150"), Mn('W', "B3025", "150")}},
      {"16 weeks", {{11, "160"}, {12, "160"}}, {}, {}},
      {"44 weeks", {{11, "446"}, {12, "446"}}, {}, {}},
      {"45 weeks: too many for age 1 only", {{11, "450"}, {12, "450"}}, {},
       {Mn('E', "B3012", "450"), Mn('W', "B3015", "450")}},
      {"46 weeks", {{11, "450"}, {12, "460"}}, {},
       {Mn('E', "B3012", "450"), Mn('W', "B3015", "450"), Mn('E', "B3022", "460"), Mn('W', "B3025", "460")}},
      {"two characters", {{11, "40"}}, {},
       {Mn('E', "B3011", "40"), Mn('E', "B3012", "40"), Mn('W', "B3015", "40"), Mn('W', "B3026", "400")}},
      {"age 2 five weeks later", {{11, "300"}, {12, "350"}}, {}, {Mn('W', "B3026", "350")}},
      {"age 2 four weeks later", {{11, "300"}, {12, "346"}}, {}, {}},
      {"age 2 missing", {{12, ""}}, {}, {Mn('W', "B3020")}},
  });
}

TEST_F(MnRules, EarlierPregnanciesAndMotherTransfer) {
  ExpectAll({
      {"more pregnancies than outcomes", {{13, "2"}}, {}, {Mn('W', "B3065")}},
      {"outcome count missing", {{13, "2"}, {16, ""}}, {}, {Mn('H', "B3070")}},
      {"40 pregnancies", {{13, "40"}, {14, "20"}, {15, "20"}, {16, "0"}}, {}, {}},
      {"41 pregnancies", {{13, "41"}, {14, "20"}, {15, "20"}, {16, "1"}}, {}, {Mn('E', "B3041", "41")}},
      {"21 live births", {{14, "21"}}, {}, {Mn('E', "B3051", "21")}},
      {"negative miscarriages", {{15, "-1"}}, {}, {Mn('E', "B3061", "-1"), Mn('W', "B3065"), Mn('E', "C0902", "-1")}},
      {"21 abortions", {{16, "21"}}, {}, {Mn('E', "B3071", "21")}},
      {"huge counts do not overflow the sum", {{13, "5"}, {14, "2147483647"}, {15, "2147483647"}}, {},
       {Mn('E', "B3051", "2147483647"), Mn('E', "B3061", "2147483647")}},
      {"mother transfer missing", {{17, ""}}, {}, {Mn('E', "B3080")}},
      {"mother transfer 2", {{17, "2"}}, {}, {Mn('E', "B3081", "2")}},
  });
}

TEST_F(MnRules, AgreementWithTheMbRecord) {
  ExpectAll({
      {"paediatrics", {}, {{23, "M400"}}, {}},
      {"internal medicine", {}, {{23, "M100"}}, {Mn('H', "B3102", "M100")}},
      {"age 1", {}, {{12, "1"}}, {Mn('E', "B3104", "1")}},
      {"stillborn, discharged alive", {{3, "0"}}, {}, {Mn('E', "B3105", "0")}},
      {"stillborn, discharged dead", {{3, "0"}}, {{26, "5"}, {27, "0"}, {28, "0"}}, {}},
      {"MB announces no MN", {}, {{6, "0"}}, {Mn('E', "C0301")}},
      {"MB flag empty", {}, {{6, ""}}, {}},
  });
}

TEST_F(MnRules, TheChild) {
  ExpectAll({
      {"birth number 9999", {{1, "9999"}}, {}, {}},
      {"birth number 10000", {{1, "10000"}}, {}, {Mn('E', "B3111", "10000")}},
      {"vital status 2", {{3, "2"}}, {}, {Mn('E', "B3131", "2")}},
      {"multiple birth 0", {{4, "0"}}, {}, {Mn('E', "B3141", "0")}},
      {"twin, rank 3", {{4, "2"}, {5, "3"}}, {}, {Mn('E', "B3150", "3")}},
      {"twin, rank missing", {{4, "2"}, {5, ""}}, {}, {Mn('E', "B3150")}},
      {"twin, rank 2", {{4, "2"}, {5, "2"}}, {}, {}},
      {"single, rank 2", {{5, "2"}}, {}, {Mn('H', "B3151", "2")}},
      {"single, rank 10", {{5, "10"}}, {}, {Mn('H', "B3151", "10"), Mn('H', "B3152", "10")}},
      {"malformations unknown", {{8, "9"}}, {}, {}},
      {"malformations 2", {{8, "2"}}, {}, {Mn('E', "B3181", "2")}},
      {"child transfer missing", {{9, ""}}, {}, {Mn('E', "B3190")}},
      {"child transfer 2", {{9, "2"}}, {}, {Mn('E', "B3191", "2")}},
  });
}

TEST_F(MnRules, WeightAndLength) {
  ExpectAll({
      {"weight missing", {{6, ""}}, {}, {Mn('E', "B3160"), Mn('W', "B3174")}},
      {"6000 g", {{6, "6000"}, {7, "60"}}, {}, {Mn('W', "B3164", "6000")}},
      {"7000 g", {{6, "7000"}, {7, "60"}}, {}, {Mn('W', "B3164", "7000")}},
      {"7001 g", {{6, "7001"}, {7, "60"}}, {}, {Mn('E', "B3161", "7001")}},
      {"5999 g", {{6, "5999"}, {7, "60"}}, {}, {}},
      {"negative weight", {{6, "-1"}}, {},
       {Mn('E', "B3161", "-1"), Mn('W', "B3162", "-1"), Mn('W', "B3174", "-1"), Mn('E', "C0902", "-1")}},
      {"500 g live born", {{6, "500"}, {7, "25"}}, {}, {Mn('W', "B3162", "500")}},
      {"501 g live born", {{6, "501"}, {7, "25"}}, {}, {}},
      {"stillborn 2500 g at 21 weeks", {{3, "0"}, {6, "2500"}, {11, "210"}, {12, "210"}},
       {{26, "5"}, {27, "0"}, {28, "0"}}, {Mn('W', "B3163")}},
      {"stillborn 2500 g at 38 weeks", {{3, "0"}, {6, "2500"}, {11, "380"}, {12, "380"}},
       {{26, "5"}, {27, "0"}, {28, "0"}}, {}},
      {"stillborn 501 g at 21+6", {{3, "0"}, {6, "501"}, {7, "25"}, {11, "216"}, {12, "216"}},
       {{26, "5"}, {27, "0"}, {28, "0"}}, {Mn('W', "B3163")}},
      {"stillborn 500 g at 21+6", {{3, "0"}, {6, "500"}, {7, "25"}, {11, "216"}, {12, "216"}},
       {{26, "5"}, {27, "0"}, {28, "0"}}, {}},
      {"stillborn 500 g at 22 weeks", {{3, "0"}, {6, "500"}, {7, "25"}, {11, "220"}, {12, "220"}},
       {{26, "5"}, {27, "0"}, {28, "0"}}, {Mn('W', "B3163")}},
      {"length missing", {{7, ""}}, {}, {Mn('E', "B3170")}},
      {"length 0", {{7, "0"}}, {}, {Mn('E', "B3171", "0")}},
      {"length 0, stillborn", {{3, "0"}, {7, "0"}}, {{26, "5"}, {27, "0"}, {28, "0"}}, {}},
      {"length 65", {{7, "65"}}, {}, {}},
      {"length 66", {{7, "66"}}, {}, {Mn('E', "B3171", "66")}},
      {"length 24", {{6, "600"}, {7, "24"}}, {}, {Mn('W', "B3172", "24")}},
      {"length 25", {{6, "600"}, {7, "25"}}, {}, {}},
      {"ratio 19", {{6, "999"}, {7, "50"}}, {}, {Mn('W', "B3174", "999")}},
      {"ratio 20", {{6, "1000"}, {7, "50"}}, {}, {}},
      {"ratio 120", {{6, "6000"}, {7, "50"}}, {}, {Mn('W', "B3164", "6000")}},
      {"ratio 121", {{6, "6050"}, {7, "50"}}, {}, {Mn('W', "B3164", "6050"), Mn('W', "B3174", "6050")}},
      {"extreme weight over length -1", {{6, "-2147483648"}, {7, "-1"}}, {},
       {Mn('E', "B3161", "-2147483648"), Mn('W', "B3162", "-2147483648"), Mn('W', "B3174", "-2147483648"),
        Mn('E', "C0902", "-2147483648")}},
  });
}

// The birth time must be four digits hhmm from 0000 to 2359.
TEST_F(MnRules, BirthTime) {
  ExpectAll({
      {"midnight", {{2, "0000"}}, {}, {}},
      {"23:59", {{2, "2359"}}, {}, {}},
      {"hour 24", {{2, "2400"}}, {}, {Mn('E', "B3196", "2400")}},
      {"minute 60", {{2, "1260"}}, {}, {Mn('E', "B3196", "1260")}},
      {"three digits", {{2, "930"}}, {}, {Mn('E', "B3196", "930")}},
      {"five digits", {{2, "12345"}}, {}, {Mn('E', "B3196", "12345")}},
      {"letter", {{2, "12a4"}}, {}, {Mn('E', "B3196", "12a4")}},
      {"colon", {{2, "12:3"}}, {}, {Mn('E', "B3196", "12:3"), Mn('E', "C0902", "12:3")}},
      {"missing", {{2, ""}}, {}, {Mn('E', "B3195")}},
      {"missing, 2016", {{2, ""}}, {}, {Mn('E', "B3195")}, 2016},
      {"missing, 2015", {{2, ""}}, {}, {}, 2015},
      {"hour 24, 2015", {{2, "2400"}}, {}, {}, 2015},
  });
}

TEST_F(MnRules, ForbiddenCharacters) {
  ExpectAll({
      {"full stop, 2016", {{1, "1.0"}}, {}, {Mn('E', "C0902", "1.0")}, 2016},
      {"full stop, 2015", {{1, "1.0"}}, {}, {}, 2015},
      {"space in the last field", {{17, "0 "}}, {}, {Mn('E', "B3081", "0 "), Mn('E', "C0902", "0 ")}},
  });
}

TEST_F(MnRules, MbCountersIncludeTheMnFindings) {
  qvtest::KernelCase k;
  std::vector<std::string> mn(18);
  mn[0] = "MN";
  ASSERT_EQ(k.Run(Case({Line(CleanMbWith(Addons{true, false, false})), Line(mn)})), 0) << qv::GetLastErrorText();
  const qv::tDataSource& s = k.Source();
  EXPECT_EQ(s.RecMN->ErrorCount, 9);
  EXPECT_EQ(s.RecMN->WarningCount, 2);
  EXPECT_EQ(s.RecMN->HintCount, 5);
  // Without a detail record the MB holds every finding of the case.
  EXPECT_EQ(s.RecMB->ErrorCount, s.Messages->ErrorCount);
  EXPECT_EQ(s.RecMB->WarningCount, s.Messages->WarningCount);
  EXPECT_EQ(s.RecMB->HintCount, s.Messages->HintCount);
  EXPECT_GE(s.RecMB->ErrorCount, 9);
}

TEST(MnRecord, AddsAllFourCountersToItsMb) {
  qv::RecordMB mb;
  qv::RecordMN mn;
  mn.MbRecord = &mb;
  mb.ErrorCount = 1;
  mb.WarningCount = 2;
  mb.HintCount = 3;
  mb.StructureCount = 4;
  mn.StructureCount = 5;
  const char* fields[18] = {"MN", "1", "1030", "1", "1", "1", "3400", "50", "0", "0", "19900101", "", "400",
                            "1", "1", "0", "0", "7"};
  for (int i = 0; i < 18; ++i) mn.F[i] = fields[i];
  mn.onAfterLoadData();
  mb.F[6] = "0";  // C0301
  qv::StatYear = 2023;
  mn.TestRecord();
  // B3081, C0301 and B3102 (no cost centre), B3010 (gestational age 1).
  EXPECT_EQ(mn.ErrorCount, 2);
  EXPECT_EQ(mn.WarningCount, 1);
  EXPECT_EQ(mn.HintCount, 1);
  EXPECT_EQ(mb.ErrorCount, 3);
  EXPECT_EQ(mb.WarningCount, 3);
  EXPECT_EQ(mb.HintCount, 4);
  EXPECT_EQ(mb.StructureCount, 9);
}

}  // namespace
