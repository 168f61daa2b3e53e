// The psychiatry add-on rules: a clean psychiatric case, an empty MP line,
// the group codes that are valid in one list and not in another, agreement
// with the MB record and the year thresholds.
#include <gtest/gtest.h>

#include "rules/Catalogue.h"
#include "support/RuleTable.h"

namespace {

using namespace qvtest;

// `mp` with the discharge fields left empty, as B and C cases have them.
Fields NoDischarge(Fields mp) {
  mp.insert({{30, ""}, {31, ""}, {32, ""}});
  return mp;
}

struct MpRules : RuleTable {
  MpRules() : RuleTable("MP", qv::AppendMpRules) {}
};

TEST_F(MpRules, CleanPsychiatricCaseHasNoFinding) { EXPECT_EQ(h.Check(Case(Lines({}))).List, ""); }

TEST_F(MpRules, EmptyMpLineReportsTheMissingValues) {
  Fields all;
  for (int n = 1; n < 34; ++n) all[n] = "";
  const std::string admission = "W B4000; W B4010; W B4012; W B4014; W B4016; W B4018; W B4020; W B4022; W B4024; "
                                "W B4026; H B4040; H B4110; H B4130; W B4150",
                    discharge = "H B4310; H B4320; H B4330",
                    drugs = "W B4700; W B4705; W B4710; W B4715; W B4720; W B4725; W B4730; W B4735; W B4740; "
                            "W B4745; W B4750; W B4755";
  Expect({
      {"A case, 2023", all, admission + "; H B4220; " + discharge + "; " + drugs},
      {"A case, 2018, inpatient", all, admission + "; W B4212; H B4220; " + discharge + "; W B4350; " + drugs,
       {{19, "3"}}, 2018},
      {"B case: no discharge or treatment expected", all, admission + "; " + drugs, {{5, "B"}}},
  });
}

// The nine employment flags and the twelve drug groups: each must be 0 or 1.
TEST_F(MpRules, FlagFieldsAreZeroOrOne) {
  const struct { int Field; std::string Missing, Invalid; } flags[] = {
      {3, "B4010", "B4011"},  {4, "B4012", "B4013"},  {5, "B4014", "B4015"},  {6, "B4016", "B4017"},
      {7, "B4018", "B4019"},  {8, "B4020", "B4021"},  {9, "B4022", "B4023"},  {10, "B4024", "B4025"},
      {11, "B4026", "B4027"}, {18, "B4700", "B4701"}, {19, "B4705", "B4706"}, {20, "B4710", "B4711"},
      {21, "B4715", "B4716"}, {22, "B4720", "B4721"}, {23, "B4725", "B4726"}, {24, "B4730", "B4731"},
      {25, "B4735", "B4736"}, {26, "B4740", "B4741"}, {27, "B4745", "B4746"}, {28, "B4750", "B4751"},
      {29, "B4755", "B4756"}};
  for (const auto& flag : flags) {
    SCOPED_TRACE(flag.Field);
    Expect({
        {"missing", {{flag.Field, ""}}, "W " + flag.Missing},
        {"2", {{flag.Field, "2"}}, "E " + flag.Invalid + " 2"},
        {"01", {{flag.Field, "01"}}, "E " + flag.Invalid + " 01"},
        {"1", {{flag.Field, "1"}}, ""},
        {"0", {{flag.Field, "0"}}, ""},
    });
  }
}

TEST_F(MpRules, BeforeAndAtAdmission) {
  Expect({
      {"civil status missing", {{1, ""}}, "W B4000"},
      {"civil status 7", {{1, "7"}}, "E B4001 7"},
      {"civil status unknown", {{1, "9"}}, ""},
      {"education missing", {{12, ""}}, "H B4040"},
      {"education 7", {{12, "7"}}, "E B4041 7"},
      {"education unknown", {{12, "9"}}, ""},
      {"stay missing", {{2, ""}}, "H B4110"},
      // "1" is in both lists: a valid group that needs its detail code.
      {"stay group 1", {{2, "1"}}, "W B4112 1"},
      {"stay group 9", {{2, "9"}}, "W B4112 9; E B4115 9"},
      {"stay 13 is no code", {{2, "13"}}, "E B4111 13"},
      {"stay 30 with MB group 3", {{2, "30"}}, "", {{16, "3"}}},
      {"stay 30 with MB group 4", {{2, "30"}}, "E B4115 30", {{16, "4"}}},
      {"B case is not compared", NoDischarge({{2, "30"}}), "", {{5, "B"}, {16, "4"}}},
      {"instance missing", {{13, ""}}, "H B4130"},
      // "1" is a valid group of the MB list but no code of the MP list.
      {"instance group 1", {{13, "1"}}, "E B4131 1; W B4132 1"},
      {"instance 7", {{13, "7"}}, "E B4131 7; E B4135 7"},
      {"instance 20 with MB group 1", {{13, "20"}}, "E B4135 20"},
      {"instance 20 with MB group 2", {{13, "20"}}, "", {{18, "2"}}},
      {"voluntary, 2016", {{14, "1"}}, "W B4142 1; W B4212", {}, 2016},
      {"voluntary, 2015", {{14, "1"}}, "W B4212", {}, 2015},
      {"voluntariness 4", {{14, "4"}}, "E B4141 4; W B4142 4"},
      {"voluntariness 4, 2015", {{14, "4"}}, "E B4141 4; W B4212", {}, 2015},
      {"placement missing", {{15, ""}}, "W B4150"},
      {"placement 3", {{15, "3"}}, "E B4151 3"},
      {"placement 1", {{15, "1"}}, ""},
  });
}

TEST_F(MpRules, Treatment) {
  Expect({
      {"5 days, outpatient", {{16, "5"}}, ""},
      {"9999 days", {{16, "9999"}}, ""},
      {"10000 days", {{16, "10000"}}, "E B4211 10000"},
      {"negative days", {{16, "-1"}}, "E B4211 -1; E C0903 -1"},
      {"5 days, inpatient 2019", {{16, "5"}}, "W B4210 5", {{19, "3"}}, 2019},
      {"5 days, inpatient 2018", {{16, "5"}}, "", {{19, "3"}}, 2018},
      {"days missing, 2018", {}, "W B4212", {}, 2018},
      {"days missing, 2019", {}, "", {}, 2019},
      {"treatment missing", {{17, ""}}, "H B4220"},
      {"treatment missing, B case", NoDischarge({{17, ""}}), "", {{5, "B"}}},
      {"treatment 13, outpatient", {{17, "13"}}, ""},
      {"treatment 13, inpatient", {{17, "13"}}, "E B4221 13", {{19, "3"}}},
      {"treatment 12, inpatient", {{17, "12"}}, "", {{19, "3"}}},
      {"internal medicine", {}, "H B4235 M100", {{23, "M100"}}},
      {"area 5", {{33, "5"}}, ""},
      {"area 0", {{33, "0"}}, "E B4351 0"},
      {"area missing, outpatient", {{33, ""}}, ""},
      {"area missing, inpatient", {{33, ""}}, "W B4350", {{19, "3"}}},
      {"area missing, inpatient B case", NoDischarge({{33, ""}}), "", {{5, "B"}, {19, "3"}}},
      {"area 6, 2018", {{33, "6"}}, "W B4212; E B4351 6", {}, 2018},
      {"area 6, 2017", {{33, "6"}}, "W B4212", {}, 2017},
      {"area missing, inpatient 2017", {{33, ""}}, "W B4212", {{19, "3"}}, 2017},
  });
}

TEST_F(MpRules, DischargeAndRecordLevelTests) {
  Expect({
      {"decision missing", {{30, ""}}, "H B4310"},
      {"decision group 1", {{30, "1"}}, "E B4311 1; W B4312 1"},
      {"decision 51, MB 1", {{30, "51"}}, "E B4316 51"},
      {"decision 51, MB 5", {{30, "51"}}, "", {{26, "5"}}},
      {"stay missing", {{31, ""}}, "H B4320"},
      {"stay group 1", {{31, "1"}}, "E B4321 1; W B4322 1"},
      {"stay 44, MB 1", {{31, "44"}}, "E B4325 44"},
      {"treatment after missing", {{32, ""}}, "H B4330"},
      // The only detail test that shows no value.
      {"treatment after group 1", {{32, "1"}}, "E B4331 1; W B4332"},
      {"treatment after 21, MB 1", {{32, "21"}}, "E B4335 21"},
      {"treatment after 21, MB 2", {{32, "21"}}, "", {{28, "2"}}},
      {"B case with discharge fields", {}, "W B4315", {{5, "B"}}},
      {"C case with stay after only", {{30, ""}, {32, ""}}, "W B4315", {{5, "C"}}},
      {"B case without discharge fields", NoDischarge({}), "", {{5, "B"}}},
      {"MB announces no MP", {}, "E C0401 0", {{7, "0"}}},
      {"MB flag empty", {}, "", {{7, ""}}},
      {"hyphen, 2016", {{17, "1-2"}}, "W B4212; E C0903 1-2", {}, 2016},
      {"hyphen, 2015", {{17, "1-2"}}, "W B4212", {}, 2015},
  });
}

}  // namespace
