// The cantonal add-on rules and lines of any length; the case with every
// add-on record; the log line at each add-on record's end.
#include <gtest/gtest.h>

#include "datasource/tDataSource.h"
#include "foundation/Logger.h"
#include "records/RecordMP.h"
#include "rules/Catalogue.h"
#include "rules/RuleInfo.h"
#include "support/RuleTable.h"

namespace {

using namespace qvtest;

struct MkRules : RuleTable {
  MkRules() : RuleTable("MK", qv::AppendMkRules) {}
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
std::string EveryAddOn(bool announced, bool detail) {
  std::vector<std::string> mb = MbFor(detail ? "MN MP MK MD" : "MN MP MK"), mn = CleanMn();
  if (!announced) mb[6] = mb[7] = mb[9] = "0", mn[11] = "";
  const std::string md = detail ? Line(With(CleanMd(), {{2, announced ? "" : "x"}})) : "";
  return Case({Line(mb), Line(mn), Line(CleanMp()), md, Line(CleanMk())});
}

TEST_F(MkRules, AnnouncementAndForbiddenCharacters) {
  Expect({
      {"MB announces none", {}, "E C0601", {{9, "0"}}},
      {"MB flag empty", {}, "", {{9, ""}}},
      {"MU line, MB announces none", {{0, "MU"}}, "E C0601", {{9, "0"}}},
      {"full stop in field 1, 2016", {{1, "a.b"}}, "E C0905 a.b", {}, 2016},
      {"full stop in field 1, 2015", {{1, "a.b"}}, "", {}, 2015},
      {"full stop in field 3", {{3, "a.b"}}, ""},
      {"both", {{1, "a.b"}}, "E C0601; E C0905 a.b", {{9, "0"}}},
  });
}

// Cantonal lines are not checked beyond their first two fields: a line of
// any length loads, and fields from 30 on are accepted and ignored.
TEST_F(MkRules, LinesOfAnyLengthLoad) {
  for (size_t fields : {0, 1, 19, 20, 29, 30, 31, 40, 2500}) {
    std::vector<std::string> mk = LongMk(fields);
    if (fields > 35) mk[35] = "a.b";
    const Result r = h.Check(Line(MbFor("MK")) + Line(mk));
    EXPECT_TRUE(r.Status == 0 && r.Count == 0) << fields << " fields: " << r.List;
  }
}

// Each line keeps its own first 30 fields: a short line does not hide the
// fields of the next, nor do a longer line's texts show through a shorter.
TEST(MkRecord, EachLineKeepsItsOwnFields) {
  KernelCase k;
  for (const std::vector<std::string>& mk : {LongMk(0), LongMk(2), LongMk(40), {"MK", "1", "2"}}) {
    ASSERT_EQ(k.Run(Line(MbFor("MK")) + Line(mk)), 0) << qv::GetLastErrorText();
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
  const struct { bool Announced, Detail; std::string Want; } rows[] = {
      {true, false, "H B4235@3"}, {true, true, "H B4235@3"},
      {false, false, "W B3010@2 E C0301@2 H B4235@3 E C0401@3 E C0601@4"},
      {false, true, "W B3010@2 E C0301@2 H B4235@3 E C0401@3 E C0601@5 E C7029@4"}};
  for (const auto& row : rows) {
    const Result r = h.Check(EveryAddOn(row.Announced, row.Detail));
    std::vector<qv::RuleInfo*> rules;
    for (Catalogue append : {qv::AppendMnRules, qv::AppendMpRules, qv::AppendMkRules}) append(rules);
    std::string shown;  // the add-ons' findings, and C7029 of the MD to show the order
    for (const Finding& f : r.Findings) {
      bool own = f.Code == "C7029";
      for (const qv::RuleInfo* rule : rules) own |= f.Code == rule->Code;
      if (own) shown += (shown.empty() ? "" : " ") + std::string{f.Type, ' '} + f.Code + "@" + std::to_string(f.Line);
    }
    EXPECT_EQ(shown, row.Want) << r.List;
  }
}

// Each add-on record logs its end.
TEST(AddOnRecords, LogTheirEnd) {
  qv::RecordMB mb;
  qv::RecordMP mp;
  qv::RecordMK mk;
  mp.MbRecord = mk.MbRecord = &mb;
  mp.TestRecord();
  EXPECT_STREQ(qv::GetLastErrorText(), "RecordMP.TestRecord exit");
  mk.TestRecord();
  EXPECT_STREQ(qv::GetLastErrorText(), "RecordMK.TestRecord exit");
}

}  // namespace
