// The cantonal add-on rules and lines of any length; the case with every
// add-on record; the counters the add-ons leave on the MB.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "datasource/tDataSource.h"
#include "foundation/Logger.h"
#include "rules/Catalogue.h"
#include "support/CleanAddons.h"

using qvtest::Case;
using qvtest::Line;
using qvtest::Own;

namespace {

const qvtest::Addons kMkOnly = {false, false, true};

struct MkRules : qvtest::AddonRules {
  MkRules() : AddonRules({kMkOnly, qvtest::CleanMk, qv::AppendMkRules}) {}
};

// An MK line of the given number of fields after the prefix, each "x".
std::vector<std::string> LongMk(size_t fields) {
  std::vector<std::string> f(fields + 1, "x");
  f[0] = "MK";
  return f;
}

// The MB announcing every add-on, then MN, MP, with `detail` an MD, and MK
// lines. Unannounced, the MB announces none, the MN lacks a gestational
// age (a warning) and the MD fills a reserve field (an error).
std::vector<std::string> EveryAddOn(bool announced, bool detail) {
  std::vector<std::string> mb = qvtest::CleanMbWith({true, true, true}), mn = qvtest::CleanMn();
  if (!announced) {
    mb[6] = mb[7] = mb[9] = "0";
    mn[11] = "";
  }
  if (detail) mb[8] = "1";
  std::vector<std::string> lines = {Line(mb), Line(mn), Line(qvtest::CleanMp()), Line(qvtest::CleanMk())};
  if (detail) lines.insert(lines.begin() + 3, Line(qvtest::With(qvtest::CleanMd(), {{2, announced ? "" : "x"}})));
  return lines;
}

TEST_F(MkRules, AnnouncementAndForbiddenCharacters) {
  ExpectAll({
      {"MB announces none", {}, {{9, "0"}}, {Own('E', "C0601")}},
      {"MB flag empty", {}, {{9, ""}}, {}},
      {"MU line, MB announces none", {{0, "MU"}}, {{9, "0"}}, {Own('E', "C0601")}},
      {"full stop in field 1, 2016", {{1, "a.b"}}, {}, {Own('E', "C0905", "a.b")}, 2016},
      {"full stop in field 1, 2015", {{1, "a.b"}}, {}, {}, 2015},
      {"full stop in field 3", {{3, "a.b"}}, {}, {}},
      {"both", {{1, "a.b"}}, {{9, "0"}}, {Own('E', "C0601"), Own('E', "C0905", "a.b")}},
  });
}

// Cantonal lines are not checked beyond their first two fields: a line of
// any length loads, and fields from 30 on are accepted and ignored.
TEST_F(MkRules, LinesOfAnyLengthLoad) {
  for (size_t fields : {0, 1, 19, 20, 29, 30, 31, 40, 2500}) {
    std::vector<std::string> mk = LongMk(fields);
    if (fields > 35) mk[35] = "a.b";
    const qvtest::Result r = h.Check(qvtest::AddonCase(kMkOnly, mk));
    EXPECT_TRUE(r.Status == 0 && r.Count == 0) << fields << " fields: " << r.List;
  }
}

// Each line keeps its own first 30 fields: a short line does not hide the
// fields of the next, nor do a longer line's texts show through a shorter.
TEST(MkRecord, EachLineKeepsItsOwnFields) {
  qvtest::KernelCase k;
  const std::string mb = Line(qvtest::CleanMbWith(kMkOnly));
  for (const std::vector<std::string>& mk : {LongMk(0), LongMk(2), LongMk(40), {"MK", "1", "2"}}) {
    ASSERT_EQ(k.Run(Case({mb, Line(mk)})), 0) << qv::GetLastErrorText();
    const qv::RecordMK& rec = *k.Source().RecMK;
    EXPECT_EQ(rec.FieldCount, static_cast<int>(mk.size()));
    for (size_t n = 0; n < 41; ++n) EXPECT_EQ(rec.Field(static_cast<int>(n)), n < mk.size() && n < 30 ? mk[n] : "");
  }
}

// Newborn, psychiatry and cantonal add-ons in one case, with and without a
// detail record. A newborn is expected on M300/M400 and a psychiatry case on
// M500, so one of the two cost-centre hints is unavoidable: this case keeps
// the newborn's M300 and gets the psychiatry hint. Unannounced, each add-on
// reports it; the add-ons are tested in the order MN, MP, MK, MD.
TEST_F(MkRules, CaseWithEveryAddOn) {
  const struct { bool Announced, Detail; std::vector<std::string> Want; } rows[] = {
      {true, false, {"B4235@3"}}, {true, true, {"B4235@3"}},
      {false, false, {"B3010@2", "C0301@2", "B4235@3", "C0401@3", "C0601@4"}},
      {false, true, {"B3010@2", "C0301@2", "B4235@3", "C0401@3", "C0601@5"}}};
  for (const auto& row : rows) {
    const qvtest::Result r = h.Check(Case(EveryAddOn(row.Announced, row.Detail)));
    std::vector<std::string> codes;
    for (const qvtest::Finding& f : qvtest::FindingsOf(r, {qv::AppendMnRules, qv::AppendMpRules, qv::AppendMkRules}))
      codes.push_back(f.Code + "@" + std::to_string(f.Line));
    EXPECT_EQ(codes, row.Want) << r.List;
    const std::vector<std::string> all = r.Codes();
    const auto mk = std::find(all.begin(), all.end(), "C0601"), md = std::find(all.begin(), all.end(), "C7029");
    EXPECT_TRUE(row.Announced || !row.Detail || (mk < md && md != all.end())) << "MK before MD:\n" << r.List;
  }
  // Without a detail record each add-on adds its counters to the MB, which
  // then counts every finding of the case: 3 errors, 1 warning, 1 hint.
  qvtest::KernelCase k;
  ASSERT_EQ(k.Run(Case(EveryAddOn(false, false))), 0) << qv::GetLastErrorText();
  const qv::RecordMB& mb = *k.Source().RecMB;
  EXPECT_EQ((std::vector<int>{mb.ErrorCount, mb.WarningCount, mb.HintCount}), (std::vector<int>{3, 1, 1}));
}

// The structure counter is added as well; the record logs its end.
TEST(MkRecord, AddsAllFourCountersToItsMbAndLogsItsEnd) {
  qv::RecordMB mb;
  qv::RecordMK mk;
  mk.MbRecord = &mb;
  mb.StructureCount = 3;
  mk.StructureCount = 1;
  qv::ClearErrorState();
  mk.TestRecord();
  EXPECT_EQ(mb.StructureCount, 4);
  EXPECT_STREQ(qv::GetLastErrorText(), "RecordMK.TestRecord exit");
}

}  // namespace
