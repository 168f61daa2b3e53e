// The psychiatry add-on rules: a clean psychiatric case, an empty MP line,
// the group codes that are valid in one list and not in another, agreement
// with the MB record, year thresholds, and the counters left on the MB.
#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

#include "datasource/tDataSource.h"
#include "foundation/Logger.h"
#include "interface/LibraryGlobals.h"
#include "records/RecordMB.h"
#include "records/RecordMP.h"
#include "rules/Catalogue.h"
#include "support/CleanAddons.h"

using qvtest::Addons;
using qvtest::Case;
using qvtest::CleanMbWith;
using qvtest::CleanMp;
using qvtest::Finding;
using qvtest::Line;

namespace {

// A finding of the MP line, which is line 2 of every case here.
Finding Mp(char type, const char* code, const std::string& value = "") { return {type, code, 2, value}; }

using Fields = std::map<int, std::string>;

struct Variation {
  const char* Name;
  Fields MpFields;
  Fields MbFields;
  std::vector<Finding> Expected;
  int Year = 2023;
};

// The discharge fields left empty, as B and C cases have them.
const Fields kNoDischarge = {{30, ""}, {31, ""}, {32, ""}};

Fields With(Fields base, const Fields& more) {
  for (const auto& [n, v] : more) base[n] = v;
  return base;
}

Fields AllEmpty() {
  Fields f;
  for (int n = 1; n < 34; ++n) f[n] = "";
  return f;
}

class MpRules : public ::testing::Test {
 protected:
  qvtest::Handle h;

  std::string PsychiatryCase(const Fields& mp, const Fields& mb, int year = 2023) {
    std::vector<std::string> mbLine = qvtest::AtYear(CleanMbWith(Addons{false, true, false}), year);
    for (const auto& [n, v] : mb) mbLine[n] = v;
    std::vector<std::string> mpLine = CleanMp();
    for (const auto& [n, v] : mp) mpLine[n] = v;
    return Case({Line(mbLine), Line(mpLine)});
  }

  void ExpectAll(const std::vector<Variation>& rows) {
    for (const Variation& row : rows) {
      qvtest::Result r = h.Check(PsychiatryCase(row.MpFields, row.MbFields, row.Year));
      EXPECT_EQ(r.Status, 0) << row.Name << ": " << r.List;
      EXPECT_EQ(qvtest::FindingsOf(r, qv::AppendMpRules), row.Expected) << row.Name << "\n  list: " << r.List;
    }
  }
};

TEST(MpCatalogue, EightyOneTestsInCodeOrderWithConsecutiveMessages) {
  const std::vector<qv::RuleInfo> rules = qvtest::RulesOf(qv::AppendMpRules);
  ASSERT_EQ(rules.size(), 81u);
  EXPECT_STREQ(rules.front().Code, "B4000");
  EXPECT_STREQ(rules.back().Code, "C0903");
  for (size_t i = 0; i < rules.size(); ++i) {
    EXPECT_EQ(rules[i].Msg, 139 + static_cast<int>(i)) << rules[i].Code;
    if (i > 0) {
      EXPECT_LT(std::string(rules[i - 1].Code), rules[i].Code);
    }
  }
}

TEST_F(MpRules, CleanPsychiatricCaseHasNoFinding) {
  qvtest::Result r = h.Check(PsychiatryCase({}, {}));
  EXPECT_EQ(r.Count, 0) << r.List;
  EXPECT_EQ(r.Status, 0);
}

TEST_F(MpRules, EmptyMpLineReportsTheMissingValues) {
  const std::vector<Finding> missing2023 = {
      Mp('W', "B4000"), Mp('W', "B4010"), Mp('W', "B4012"), Mp('W', "B4014"), Mp('W', "B4016"),
      Mp('W', "B4018"), Mp('W', "B4020"), Mp('W', "B4022"), Mp('W', "B4024"), Mp('W', "B4026"),
      Mp('H', "B4040"), Mp('H', "B4110"), Mp('H', "B4130"), Mp('W', "B4150"), Mp('H', "B4220"),
      Mp('H', "B4310"), Mp('H', "B4320"), Mp('H', "B4330"), Mp('W', "B4700"), Mp('W', "B4705"),
      Mp('W', "B4710"), Mp('W', "B4715"), Mp('W', "B4720"), Mp('W', "B4725"), Mp('W', "B4730"),
      Mp('W', "B4735"), Mp('W', "B4740"), Mp('W', "B4745"), Mp('W', "B4750"), Mp('W', "B4755")};
  std::vector<Finding> missing2018 = missing2023;
  missing2018.insert(missing2018.begin() + 14, Mp('W', "B4212"));  // before B4220
  missing2018.insert(missing2018.begin() + 19, Mp('W', "B4350"));  // after B4330
  std::vector<Finding> bCase(missing2023.begin(), missing2023.begin() + 14);
  bCase.insert(bCase.end(), missing2023.begin() + 18, missing2023.end());
  ExpectAll({
      {"A case, 2023", AllEmpty(), {}, missing2023},
      {"A case, 2018, inpatient", AllEmpty(), {{19, "3"}}, missing2018, 2018},
      {"B case: no discharge or treatment expected", AllEmpty(), {{5, "B"}}, bCase},
  });
}

// The twelve drug groups and the nine employment flags: each must be 0 or 1.
TEST_F(MpRules, FlagFieldsAreZeroOrOne) {
  const struct {
    int Field;
    const char* Missing;
    const char* Invalid;
  } flags[] = {{3, "B4010", "B4011"},  {4, "B4012", "B4013"},  {5, "B4014", "B4015"},  {6, "B4016", "B4017"},
               {7, "B4018", "B4019"},  {8, "B4020", "B4021"},  {9, "B4022", "B4023"},  {10, "B4024", "B4025"},
               {11, "B4026", "B4027"}, {18, "B4700", "B4701"}, {19, "B4705", "B4706"}, {20, "B4710", "B4711"},
               {21, "B4715", "B4716"}, {22, "B4720", "B4721"}, {23, "B4725", "B4726"}, {24, "B4730", "B4731"},
               {25, "B4735", "B4736"}, {26, "B4740", "B4741"}, {27, "B4745", "B4746"}, {28, "B4750", "B4751"},
               {29, "B4755", "B4756"}};
  for (const auto& flag : flags) {
    SCOPED_TRACE(flag.Field);
    ExpectAll({
        {"missing", {{flag.Field, ""}}, {}, {Mp('W', flag.Missing)}},
        {"2", {{flag.Field, "2"}}, {}, {Mp('E', flag.Invalid, "2")}},
        {"01", {{flag.Field, "01"}}, {}, {Mp('E', flag.Invalid, "01")}},
        {"1", {{flag.Field, "1"}}, {}, {}},
        {"0", {{flag.Field, "0"}}, {}, {}},
    });
  }
}

TEST_F(MpRules, CivilStatusAndEducation) {
  ExpectAll({
      {"civil status missing", {{1, ""}}, {}, {Mp('W', "B4000")}},
      {"civil status 7", {{1, "7"}}, {}, {Mp('E', "B4001", "7")}},
      {"civil status unknown", {{1, "9"}}, {}, {}},
      {"education missing", {{12, ""}}, {}, {Mp('H', "B4040")}},
      {"education 7", {{12, "7"}}, {}, {Mp('E', "B4041", "7")}},
      {"education unknown", {{12, "9"}}, {}, {}},
  });
}

TEST_F(MpRules, StayBeforeAdmission) {
  ExpectAll({
      {"missing", {{2, ""}}, {}, {Mp('H', "B4110")}},
      // "1" is in both lists: a valid group that needs its detail code.
      {"group 1 only", {{2, "1"}}, {}, {Mp('W', "B4112", "1")}},
      {"group 9 only", {{2, "9"}}, {}, {Mp('W', "B4112", "9"), Mp('E', "B4115", "9")}},
      {"detail 11", {{2, "11"}}, {}, {}},
      {"13 is no code", {{2, "13"}}, {}, {Mp('E', "B4111", "13")}},
      {"30 with MB group 3", {{2, "30"}}, {{16, "3"}}, {}},
      {"30 with MB group 4", {{2, "30"}}, {{16, "4"}}, {Mp('E', "B4115", "30")}},
      {"31 with MB group 3", {{2, "31"}}, {{16, "3"}}, {Mp('E', "B4111", "31")}},
      {"31 with MB group 4", {{2, "31"}}, {{16, "4"}}, {Mp('E', "B4111", "31"), Mp('E', "B4115", "31")}},
      {"B case is not compared", With(kNoDischarge, {{2, "30"}}), {{5, "B"}, {16, "4"}}, {}},
  });
}

TEST_F(MpRules, ReferringInstanceVoluntarinessAndPlacement) {
  ExpectAll({
      {"instance missing", {{13, ""}}, {}, {Mp('H', "B4130")}},
      // "1" is a valid group of the MB list but no code of the MP list.
      {"instance group 1", {{13, "1"}}, {}, {Mp('E', "B4131", "1"), Mp('W', "B4132", "1")}},
      {"instance 7", {{13, "7"}}, {}, {Mp('E', "B4131", "7"), Mp('E', "B4135", "7")}},
      {"instance 12", {{13, "12"}}, {}, {}},
      {"instance 20 with MB group 1", {{13, "20"}}, {}, {Mp('E', "B4135", "20")}},
      {"instance 20 with MB group 2", {{13, "20"}}, {{18, "2"}}, {}},
      {"voluntary, 2016", {{14, "1"}}, {}, {Mp('W', "B4142", "1"), Mp('W', "B4212")}, 2016},
      {"voluntariness 4", {{14, "4"}}, {}, {Mp('E', "B4141", "4"), Mp('W', "B4142", "4")}},
      {"voluntary, 2015", {{14, "1"}}, {}, {Mp('W', "B4212")}, 2015},
      {"voluntariness 4, 2015", {{14, "4"}}, {}, {Mp('E', "B4141", "4"), Mp('W', "B4212")}, 2015},
      {"placement missing", {{15, ""}}, {}, {Mp('W', "B4150")}},
      {"placement 3", {{15, "3"}}, {}, {Mp('E', "B4151", "3")}},
      {"placement 1", {{15, "1"}}, {}, {}},
  });
}

TEST_F(MpRules, Treatment) {
  ExpectAll({
      {"5 days, outpatient", {{16, "5"}}, {}, {}},
      {"9999 days", {{16, "9999"}}, {}, {}},
      {"10000 days", {{16, "10000"}}, {}, {Mp('E', "B4211", "10000")}},
      {"negative days", {{16, "-1"}}, {}, {Mp('E', "B4211", "-1"), Mp('E', "C0903", "-1")}},
      {"5 days, inpatient 2019", {{16, "5"}}, {{19, "3"}}, {Mp('W', "B4210", "5")}, 2019},
      {"5 days, inpatient 2018", {{16, "5"}}, {{19, "3"}}, {}, 2018},
      {"days missing, 2018", {}, {}, {Mp('W', "B4212")}, 2018},
      {"days missing, 2019", {}, {}, {}, 2019},
      {"treatment missing", {{17, ""}}, {}, {Mp('H', "B4220")}},
      {"treatment missing, B case", With(kNoDischarge, {{17, ""}}), {{5, "B"}}, {}},
      {"treatment 13, outpatient", {{17, "13"}}, {}, {}},
      {"treatment 13, inpatient", {{17, "13"}}, {{19, "3"}}, {Mp('E', "B4221", "13")}},
      {"treatment 12, inpatient", {{17, "12"}}, {{19, "3"}}, {}},
      {"internal medicine", {}, {{23, "M100"}}, {Mp('H', "B4235", "M100")}},
  });
}

TEST_F(MpRules, Discharge) {
  ExpectAll({
      {"decision missing", {{30, ""}}, {}, {Mp('H', "B4310")}},
      {"decision group 1", {{30, "1"}}, {}, {Mp('E', "B4311", "1"), Mp('W', "B4312", "1")}},
      {"decision 6", {{30, "6"}}, {}, {Mp('E', "B4311", "6"), Mp('E', "B4316", "6")}},
      {"decision 51, MB 1", {{30, "51"}}, {}, {Mp('E', "B4316", "51")}},
      {"decision 51, MB 5", {{30, "51"}}, {{26, "5"}}, {}},
      {"stay missing", {{31, ""}}, {}, {Mp('H', "B4320")}},
      {"stay group 1", {{31, "1"}}, {}, {Mp('E', "B4321", "1"), Mp('W', "B4322", "1")}},
      {"stay 13", {{31, "13"}}, {}, {Mp('E', "B4321", "13")}},
      {"stay 44, MB 1", {{31, "44"}}, {}, {Mp('E', "B4325", "44")}},
      {"stay 6", {{31, "6"}}, {},
       {Mp('E', "B4321", "6"), Mp('W', "B4322", "6"), Mp('E', "B4325", "6")}},
      {"treatment after missing", {{32, ""}}, {}, {Mp('H', "B4330")}},
      // The only detail test that shows no value.
      {"treatment after group 1", {{32, "1"}}, {}, {Mp('E', "B4331", "1"), Mp('W', "B4332")}},
      {"treatment after 6", {{32, "6"}}, {}, {Mp('E', "B4331", "6"), Mp('E', "B4335", "6")}},
      {"treatment after 21, MB 1", {{32, "21"}}, {}, {Mp('E', "B4335", "21")}},
      {"treatment after 21, MB 2", {{32, "21"}}, {{28, "2"}}, {}},
      {"B case with discharge fields", {}, {{5, "B"}}, {Mp('W', "B4315")}},
      {"C case with stay after only", {{30, ""}, {32, ""}}, {{5, "C"}}, {Mp('W', "B4315")}},
      {"B case without discharge fields", kNoDischarge, {{5, "B"}}, {}},
  });
}

TEST_F(MpRules, TreatmentArea) {
  ExpectAll({
      {"area 5", {{33, "5"}}, {}, {}},
      {"area 6", {{33, "6"}}, {}, {Mp('E', "B4351", "6")}},
      {"area 0", {{33, "0"}}, {}, {Mp('E', "B4351", "0")}},
      {"area missing, outpatient", {{33, ""}}, {}, {}},
      {"area missing, inpatient", {{33, ""}}, {{19, "3"}}, {Mp('W', "B4350")}},
      {"area missing, inpatient B case", With(kNoDischarge, {{33, ""}}), {{5, "B"}, {19, "3"}}, {}},
      {"area 6, 2018", {{33, "6"}}, {}, {Mp('W', "B4212"), Mp('E', "B4351", "6")}, 2018},
      {"area 6, 2017", {{33, "6"}}, {}, {Mp('W', "B4212")}, 2017},
      {"area missing, inpatient 2017", {{33, ""}}, {{19, "3"}}, {Mp('W', "B4212")}, 2017},
  });
}

TEST_F(MpRules, RecordLevelTests) {
  ExpectAll({
      {"MB announces no MP", {}, {{7, "0"}}, {Mp('E', "C0401", "0")}},
      {"MB flag empty", {}, {{7, ""}}, {}},
      {"hyphen, 2016", {{17, "1-2"}}, {}, {Mp('W', "B4212"), Mp('E', "C0903", "1-2")}, 2016},
      {"hyphen, 2015", {{17, "1-2"}}, {}, {Mp('W', "B4212")}, 2015},
  });
}

TEST_F(MpRules, MbCountersIncludeTheMpFindings) {
  qvtest::KernelCase k;
  std::vector<std::string> mp(34);
  mp[0] = "MP";
  ASSERT_EQ(k.Run(Case({Line(CleanMbWith(Addons{false, true, false})), Line(mp)})), 0) << qv::GetLastErrorText();
  const qv::tDataSource& s = k.Source();
  EXPECT_EQ(s.RecMP->ErrorCount, 0);
  EXPECT_EQ(s.RecMP->WarningCount, 23);
  EXPECT_EQ(s.RecMP->HintCount, 7);
  EXPECT_EQ(s.RecMB->ErrorCount, s.Messages->ErrorCount);
  EXPECT_EQ(s.RecMB->WarningCount, s.Messages->WarningCount);
  EXPECT_EQ(s.RecMB->HintCount, s.Messages->HintCount);
  EXPECT_GE(s.RecMB->WarningCount, 23);
}

TEST(MpRecord, AddsAllFourCountersToItsMbAndLogsItsEnd) {
  qv::RecordMB mb;
  qv::RecordMP mp;
  mp.MbRecord = &mb;
  std::vector<std::string> fields = CleanMp();
  fields[1] = "8";  // B4001
  for (int i = 0; i < 34; ++i) mp.F[i] = fields[static_cast<size_t>(i)].c_str();
  mb.F[5] = "A";
  mb.F[7] = "1";
  mb.F[16] = mb.F[18] = mb.F[26] = mb.F[27] = mb.F[28] = "1";
  mb.F[23] = "M100";  // B4235
  mb.ErrorCount = 10;
  mb.HintCount = 20;
  mb.StructureCount = 30;
  mp.StructureCount = 2;
  qv::StatYear = 2023;
  qv::ClearErrorState();
  mp.TestRecord();
  EXPECT_EQ(mp.ErrorCount, 1);
  EXPECT_EQ(mp.HintCount, 1);
  EXPECT_EQ(mb.ErrorCount, 11);
  EXPECT_EQ(mb.WarningCount, 0);
  EXPECT_EQ(mb.HintCount, 21);
  EXPECT_EQ(mb.StructureCount, 32);
  EXPECT_STREQ(qv::GetLastErrorText(), "RecordMP.TestRecord exit");
}

}  // namespace
