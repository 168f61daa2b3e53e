// The cantonal add-on rules and lines of any length; the case with every
// add-on record; the counters the add-ons leave on the MB.
#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

#include "datasource/tDataSource.h"
#include "foundation/Logger.h"
#include "interface/LibraryGlobals.h"
#include "records/RecordMB.h"
#include "records/RecordMK.h"
#include "records/RecordMN.h"
#include "records/RecordMP.h"
#include "rules/Catalogue.h"
#include "support/CleanAddons.h"

using qvtest::Addons;
using qvtest::Case;
using qvtest::CleanMbWith;
using qvtest::CleanMk;
using qvtest::Finding;
using qvtest::Line;

namespace {

using Fields = std::map<int, std::string>;

// An MK line of the given number of fields after the prefix, each "x".
std::vector<std::string> LongMk(int fields) {
  std::vector<std::string> f(static_cast<size_t>(fields) + 1, "x");
  f[0] = "MK";
  return f;
}

class MkRules : public ::testing::Test {
 protected:
  qvtest::Handle h;

  std::string CantonalCase(std::vector<std::string> mk, const Fields& mb = {}, int year = 2023) {
    std::vector<std::string> mbLine = qvtest::AtYear(CleanMbWith(Addons{false, false, true}), year);
    for (const auto& [n, v] : mb) mbLine[n] = v;
    return Case({Line(mbLine), Line(mk)});
  }
  std::vector<Finding> MkFindings(const std::string& data) {
    qvtest::Result r = h.Check(data);
    EXPECT_EQ(r.Status, 0) << r.List;
    return qvtest::FindingsOf(r, qv::AppendMkRules);
  }
};

TEST(MkCatalogue, TwoTests) {
  const std::vector<qv::RuleInfo> rules = qvtest::RulesOf(qv::AppendMkRules);
  ASSERT_EQ(rules.size(), 2u);
  EXPECT_STREQ(rules[0].Code, "C0601");
  EXPECT_EQ(rules[0].Msg, 228);
  EXPECT_STREQ(rules[1].Code, "C0905");
  EXPECT_EQ(rules[1].Msg, 229);
}

TEST_F(MkRules, CleanCantonalCaseHasNoFinding) {
  qvtest::Result r = h.Check(CantonalCase(CleanMk()));
  EXPECT_EQ(r.Count, 0) << r.List;
  EXPECT_EQ(r.Status, 0);
}

TEST_F(MkRules, AnnouncementAndForbiddenCharacters) {
  std::vector<std::string> dotIn1 = CleanMk(), dotIn3 = CleanMk(), mu = CleanMk();
  dotIn1[1] = "a.b";
  dotIn3[3] = "a.b";
  mu[0] = "MU";
  const struct {
    const char* Name;
    std::vector<std::string> Mk;
    Fields Mb;
    int Year;
    std::vector<Finding> Expected;
  } rows[] = {
      {"MB announces none", CleanMk(), {{9, "0"}}, 2023, {{'E', "C0601", 2, ""}}},
      {"MB flag empty", CleanMk(), {{9, ""}}, 2023, {}},
      {"MU line, MB announces none", mu, {{9, "0"}}, 2023, {{'E', "C0601", 2, ""}}},
      {"full stop in field 1", dotIn1, {}, 2023, {{'E', "C0905", 2, "a.b"}}},
      {"full stop in field 1, 2016", dotIn1, {}, 2016, {{'E', "C0905", 2, "a.b"}}},
      {"full stop in field 1, 2015", dotIn1, {}, 2015, {}},
      {"full stop in field 3", dotIn3, {}, 2023, {}},
      {"both", dotIn1, {{9, "0"}}, 2023, {{'E', "C0601", 2, ""}, {'E', "C0905", 2, "a.b"}}},
  };
  for (const auto& row : rows)
    EXPECT_EQ(MkFindings(CantonalCase(row.Mk, row.Mb, row.Year)), row.Expected) << row.Name;
}

// Cantonal lines are not checked beyond their first two fields: a line of
// any length loads, and fields from 30 on are accepted and ignored.
TEST_F(MkRules, LinesOfAnyLengthLoad) {
  for (int fields : {1, 19, 20, 29, 30, 31, 40, 2500}) {
    std::vector<std::string> mk = LongMk(fields);
    if (fields > 35) mk[35] = "a.b";
    qvtest::Result r = h.Check(CantonalCase(mk));
    EXPECT_EQ(r.Status, 0) << fields << " fields: " << r.List;
    EXPECT_EQ(r.Count, 0) << fields << " fields: " << r.List;
  }
}

// Each line is read on its own: a short MK line does not hide the fields of
// the next one, which may sit elsewhere in the input.
TEST_F(MkRules, ShortLineDoesNotHideTheNextLinesFields) {
  EXPECT_EQ(MkFindings(CantonalCase({"MK"})), std::vector<Finding>{});
  std::vector<std::string> mk = CleanMk();
  mk[1] = "a.b";
  // A longer MB line moves the MK line within the input.
  EXPECT_EQ(MkFindings(CantonalCase(mk, {{1, "ABCDEFGH"}})), (std::vector<Finding>{{'E', "C0905", 2, "a.b"}}));
  EXPECT_EQ(MkFindings(CantonalCase({"MK"})), std::vector<Finding>{});
}

TEST_F(MkRules, FieldTextsOfAnEarlierLongerLineDoNotShowThrough) {
  qvtest::KernelCase k;
  const std::string mb = Line(CleanMbWith(Addons{false, false, true}));
  ASSERT_EQ(k.Run(Case({mb, Line(LongMk(40))})), 0) << qv::GetLastErrorText();
  const qv::RecordMK& rec = *k.Source().RecMK;
  EXPECT_EQ(rec.FieldCount, 41);
  EXPECT_STREQ(rec.Field(29), "x");
  EXPECT_STREQ(rec.Field(30), "");
  ASSERT_EQ(k.Run(Case({mb, Line({"MK", "1", "2"})})), 0) << qv::GetLastErrorText();
  EXPECT_EQ(rec.FieldCount, 3);
  EXPECT_STREQ(rec.Field(2), "2");
  EXPECT_STREQ(rec.Field(3), "");
  EXPECT_STREQ(rec.Field(29), "");
}

// Newborn, psychiatry and cantonal add-ons in one case, with and without a
// detail record. A newborn is expected on M300/M400 and a psychiatry case on
// M500, so one of the two cost-centre hints is unavoidable: this case keeps
// the newborn's M300 and gets the psychiatry hint.
TEST_F(MkRules, CaseWithEveryAddOn) {
  std::vector<std::string> mb = CleanMbWith(Addons{true, true, true});
  const std::string lines = Line(qvtest::CleanMn()) + Line(qvtest::CleanMp());
  qvtest::Result r = h.Check(Case({Line(mb), lines, Line(CleanMk())}));
  EXPECT_EQ(r.Findings, (std::vector<Finding>{{'H', "B4235", 3, "M300"}})) << r.List;
  EXPECT_EQ(r.Status, 0);

  mb[8] = "1";
  r = h.Check(Case({Line(mb), lines, Line(qvtest::CleanMd()), Line(CleanMk())}));
  EXPECT_EQ(r.Status, 0) << r.List;
  std::vector<Finding> own;
  for (auto append : {qv::AppendMnRules, qv::AppendMpRules, qv::AppendMkRules})
    for (const Finding& f : qvtest::FindingsOf(r, append)) own.push_back(f);
  EXPECT_EQ(own, (std::vector<Finding>{{'H', "B4235", 3, "M300"}})) << r.List;
}

TEST_F(MkRules, AddOnsRunInOrderAfterTheMb) {
  std::vector<std::string> mb = CleanMbWith(Addons{true, true, true});
  mb[6] = mb[7] = mb[9] = "0";
  qvtest::Result r = h.Check(Case({Line(mb), Line(qvtest::CleanMn()), Line(qvtest::CleanMp()), Line(CleanMk())}));
  std::vector<std::string> codes;
  for (const Finding& f : r.Findings)
    if (f.Code == "C0301" || f.Code == "B4235" || f.Code == "C0401" || f.Code == "C0601")
      codes.push_back(f.Code + "@" + std::to_string(f.Line));
  EXPECT_EQ(codes, (std::vector<std::string>{"C0301@2", "B4235@3", "C0401@3", "C0601@4"})) << r.List;
}

TEST_F(MkRules, MbCountersIncludeEveryAddOn) {
  qvtest::KernelCase k;
  std::vector<std::string> mb = CleanMbWith(Addons{true, true, true});
  mb[9] = "0";
  std::vector<std::string> mk = CleanMk();
  mk[1] = "a-b";
  ASSERT_EQ(k.Run(Case({Line(mb), Line(qvtest::CleanMn()), Line(qvtest::CleanMp()), Line(mk)})), 0)
      << qv::GetLastErrorText();
  const qv::tDataSource& s = k.Source();
  EXPECT_EQ(s.RecMK->ErrorCount, 2);
  EXPECT_EQ(s.RecMP->HintCount, 1);
  EXPECT_EQ(s.RecMB->ErrorCount, s.Messages->ErrorCount);
  EXPECT_EQ(s.RecMB->WarningCount, s.Messages->WarningCount);
  EXPECT_EQ(s.RecMB->HintCount, s.Messages->HintCount);
  EXPECT_GE(s.RecMB->ErrorCount, 2);
}

TEST(MkRecord, AddsAllFourCountersToItsMbAndLogsItsEnd) {
  qv::RecordMB mb;
  qv::RecordMK mk;
  mk.MbRecord = &mb;
  mk.F[0] = "MK";
  mk.F[1] = "1 2";
  mk.LoadedFieldCount = 2;
  mb.F[9] = "0";
  mb.WarningCount = 4;
  mk.StructureCount = 1;
  qv::StatYear = 2023;
  qv::ClearErrorState();
  mk.TestRecord();
  EXPECT_EQ(mk.ErrorCount, 2);
  EXPECT_STREQ(mk.BadCharField, "1 2");
  EXPECT_EQ(mb.ErrorCount, 2);
  EXPECT_EQ(mb.WarningCount, 4);
  EXPECT_EQ(mb.HintCount, 0);
  EXPECT_EQ(mb.StructureCount, 1);
  EXPECT_STREQ(qv::GetLastErrorText(), "RecordMK.TestRecord exit");
}

}  // namespace
