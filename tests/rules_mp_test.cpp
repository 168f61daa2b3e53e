// The psychiatry add-on rules: a clean psychiatric case, an empty MP line,
// the group codes that are valid in one list and not in another, agreement
// with the MB record and the year thresholds.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "foundation/Logger.h"
#include "records/RecordMB.h"
#include "records/RecordMP.h"
#include "rules/Catalogue.h"
#include "support/CleanAddons.h"

using qvtest::Fields;
using qvtest::Finding;
using qvtest::Own;

namespace {

// `mp` with the discharge fields left empty, as B and C cases have them.
Fields NoDischarge(Fields mp) {
  mp.insert({{30, ""}, {31, ""}, {32, ""}});
  return mp;
}

struct MpRules : qvtest::AddonRules {
  MpRules() : AddonRules({{false, true, false}, qvtest::CleanMp, qv::AppendMpRules}) {}
};

TEST_F(MpRules, CleanPsychiatricCaseHasNoFinding) { ExpectClean(); }

TEST_F(MpRules, EmptyMpLineReportsTheMissingValues) {
  Fields all;
  for (int n = 1; n < 34; ++n) all[n] = "";
  std::vector<Finding> a2023;
  for (const char* code : {"W B4000", "W B4010", "W B4012", "W B4014", "W B4016", "W B4018", "W B4020", "W B4022",
                           "W B4024", "W B4026", "H B4040", "H B4110", "H B4130", "W B4150", "H B4220", "H B4310",
                           "H B4320", "H B4330", "W B4700", "W B4705", "W B4710", "W B4715", "W B4720", "W B4725",
                           "W B4730", "W B4735", "W B4740", "W B4745", "W B4750", "W B4755"})
    a2023.push_back(Own(code[0], code + 2));
  std::vector<Finding> a2018 = a2023;
  a2018.insert(a2018.begin() + 14, Own('W', "B4212"));  // before B4220
  a2018.insert(a2018.begin() + 19, Own('W', "B4350"));  // after B4330
  std::vector<Finding> bCase(a2023.begin(), a2023.begin() + 14);  // without B4220 to B4330
  bCase.insert(bCase.end(), a2023.begin() + 18, a2023.end());
  ExpectAll({
      {"A case, 2023", all, {}, a2023},
      {"A case, 2018, inpatient", all, {{19, "3"}}, a2018, 2018},
      {"B case: no discharge or treatment expected", all, {{5, "B"}}, bCase},
  });
}

// The nine employment flags and the twelve drug groups: each must be 0 or 1.
TEST_F(MpRules, FlagFieldsAreZeroOrOne) {
  const struct { int Field; const char *Missing, *Invalid; } flags[] = {
      {3, "B4010", "B4011"},  {4, "B4012", "B4013"},  {5, "B4014", "B4015"},  {6, "B4016", "B4017"},
      {7, "B4018", "B4019"},  {8, "B4020", "B4021"},  {9, "B4022", "B4023"},  {10, "B4024", "B4025"},
      {11, "B4026", "B4027"}, {18, "B4700", "B4701"}, {19, "B4705", "B4706"}, {20, "B4710", "B4711"},
      {21, "B4715", "B4716"}, {22, "B4720", "B4721"}, {23, "B4725", "B4726"}, {24, "B4730", "B4731"},
      {25, "B4735", "B4736"}, {26, "B4740", "B4741"}, {27, "B4745", "B4746"}, {28, "B4750", "B4751"},
      {29, "B4755", "B4756"}};
  for (const auto& flag : flags) {
    SCOPED_TRACE(flag.Field);
    ExpectAll({
        {"missing", {{flag.Field, ""}}, {}, {Own('W', flag.Missing)}},
        {"2", {{flag.Field, "2"}}, {}, {Own('E', flag.Invalid, "2")}},
        {"01", {{flag.Field, "01"}}, {}, {Own('E', flag.Invalid, "01")}},
        {"1", {{flag.Field, "1"}}, {}, {}},
        {"0", {{flag.Field, "0"}}, {}, {}},
    });
  }
}

TEST_F(MpRules, BeforeAndAtAdmission) {
  ExpectAll({
      {"civil status missing", {{1, ""}}, {}, {Own('W', "B4000")}},
      {"civil status 7", {{1, "7"}}, {}, {Own('E', "B4001", "7")}},
      {"civil status unknown", {{1, "9"}}, {}, {}},
      {"education missing", {{12, ""}}, {}, {Own('H', "B4040")}},
      {"education 7", {{12, "7"}}, {}, {Own('E', "B4041", "7")}},
      {"education unknown", {{12, "9"}}, {}, {}},
      {"stay missing", {{2, ""}}, {}, {Own('H', "B4110")}},
      // "1" is in both lists: a valid group that needs its detail code.
      {"stay group 1", {{2, "1"}}, {}, {Own('W', "B4112", "1")}},
      {"stay group 9", {{2, "9"}}, {}, {Own('W', "B4112", "9"), Own('E', "B4115", "9")}},
      {"stay 13 is no code", {{2, "13"}}, {}, {Own('E', "B4111", "13")}},
      {"stay 30 with MB group 3", {{2, "30"}}, {{16, "3"}}, {}},
      {"stay 30 with MB group 4", {{2, "30"}}, {{16, "4"}}, {Own('E', "B4115", "30")}},
      {"B case is not compared", NoDischarge({{2, "30"}}), {{5, "B"}, {16, "4"}}, {}},
      {"instance missing", {{13, ""}}, {}, {Own('H', "B4130")}},
      // "1" is a valid group of the MB list but no code of the MP list.
      {"instance group 1", {{13, "1"}}, {}, {Own('E', "B4131", "1"), Own('W', "B4132", "1")}},
      {"instance 7", {{13, "7"}}, {}, {Own('E', "B4131", "7"), Own('E', "B4135", "7")}},
      {"instance 20 with MB group 1", {{13, "20"}}, {}, {Own('E', "B4135", "20")}},
      {"instance 20 with MB group 2", {{13, "20"}}, {{18, "2"}}, {}},
      {"voluntary, 2016", {{14, "1"}}, {}, {Own('W', "B4142", "1"), Own('W', "B4212")}, 2016},
      {"voluntary, 2015", {{14, "1"}}, {}, {Own('W', "B4212")}, 2015},
      {"voluntariness 4", {{14, "4"}}, {}, {Own('E', "B4141", "4"), Own('W', "B4142", "4")}},
      {"voluntariness 4, 2015", {{14, "4"}}, {}, {Own('E', "B4141", "4"), Own('W', "B4212")}, 2015},
      {"placement missing", {{15, ""}}, {}, {Own('W', "B4150")}},
      {"placement 3", {{15, "3"}}, {}, {Own('E', "B4151", "3")}},
      {"placement 1", {{15, "1"}}, {}, {}},
  });
}

TEST_F(MpRules, Treatment) {
  ExpectAll({
      {"5 days, outpatient", {{16, "5"}}, {}, {}},
      {"9999 days", {{16, "9999"}}, {}, {}},
      {"10000 days", {{16, "10000"}}, {}, {Own('E', "B4211", "10000")}},
      {"negative days", {{16, "-1"}}, {}, {Own('E', "B4211", "-1"), Own('E', "C0903", "-1")}},
      {"5 days, inpatient 2019", {{16, "5"}}, {{19, "3"}}, {Own('W', "B4210", "5")}, 2019},
      {"5 days, inpatient 2018", {{16, "5"}}, {{19, "3"}}, {}, 2018},
      {"days missing, 2018", {}, {}, {Own('W', "B4212")}, 2018},
      {"days missing, 2019", {}, {}, {}, 2019},
      {"treatment missing", {{17, ""}}, {}, {Own('H', "B4220")}},
      {"treatment missing, B case", NoDischarge({{17, ""}}), {{5, "B"}}, {}},
      {"treatment 13, outpatient", {{17, "13"}}, {}, {}},
      {"treatment 13, inpatient", {{17, "13"}}, {{19, "3"}}, {Own('E', "B4221", "13")}},
      {"treatment 12, inpatient", {{17, "12"}}, {{19, "3"}}, {}},
      {"internal medicine", {}, {{23, "M100"}}, {Own('H', "B4235", "M100")}},
      {"area 5", {{33, "5"}}, {}, {}},
      {"area 0", {{33, "0"}}, {}, {Own('E', "B4351", "0")}},
      {"area missing, outpatient", {{33, ""}}, {}, {}},
      {"area missing, inpatient", {{33, ""}}, {{19, "3"}}, {Own('W', "B4350")}},
      {"area missing, inpatient B case", NoDischarge({{33, ""}}), {{5, "B"}, {19, "3"}}, {}},
      {"area 6, 2018", {{33, "6"}}, {}, {Own('W', "B4212"), Own('E', "B4351", "6")}, 2018},
      {"area 6, 2017", {{33, "6"}}, {}, {Own('W', "B4212")}, 2017},
      {"area missing, inpatient 2017", {{33, ""}}, {{19, "3"}}, {Own('W', "B4212")}, 2017},
  });
}

TEST_F(MpRules, DischargeAndRecordLevelTests) {
  ExpectAll({
      {"decision missing", {{30, ""}}, {}, {Own('H', "B4310")}},
      {"decision group 1", {{30, "1"}}, {}, {Own('E', "B4311", "1"), Own('W', "B4312", "1")}},
      {"decision 51, MB 1", {{30, "51"}}, {}, {Own('E', "B4316", "51")}},
      {"decision 51, MB 5", {{30, "51"}}, {{26, "5"}}, {}},
      {"stay missing", {{31, ""}}, {}, {Own('H', "B4320")}},
      {"stay group 1", {{31, "1"}}, {}, {Own('E', "B4321", "1"), Own('W', "B4322", "1")}},
      {"stay 44, MB 1", {{31, "44"}}, {}, {Own('E', "B4325", "44")}},
      {"treatment after missing", {{32, ""}}, {}, {Own('H', "B4330")}},
      // The only detail test that shows no value.
      {"treatment after group 1", {{32, "1"}}, {}, {Own('E', "B4331", "1"), Own('W', "B4332")}},
      {"treatment after 21, MB 1", {{32, "21"}}, {}, {Own('E', "B4335", "21")}},
      {"treatment after 21, MB 2", {{32, "21"}}, {{28, "2"}}, {}},
      {"B case with discharge fields", {}, {{5, "B"}}, {Own('W', "B4315")}},
      {"C case with stay after only", {{30, ""}, {32, ""}}, {{5, "C"}}, {Own('W', "B4315")}},
      {"B case without discharge fields", NoDischarge({}), {{5, "B"}}, {}},
      {"MB announces no MP", {}, {{7, "0"}}, {Own('E', "C0401", "0")}},
      {"MB flag empty", {}, {{7, ""}}, {}},
      {"hyphen, 2016", {{17, "1-2"}}, {}, {Own('W', "B4212"), Own('E', "C0903", "1-2")}, 2016},
      {"hyphen, 2015", {{17, "1-2"}}, {}, {Own('W', "B4212")}, 2015},
  });
}

TEST(MpRecord, LogsItsEnd) {
  qv::RecordMB mb;
  qv::RecordMP mp;
  mp.MbRecord = &mb;
  qv::ClearErrorState();
  mp.TestRecord();
  EXPECT_STREQ(qv::GetLastErrorText(), "RecordMP.TestRecord exit");
}

}  // namespace
