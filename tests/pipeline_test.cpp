// The record pipeline through the exported functions: structural faults,
// record order, line ends and buffer limits.
#include <gtest/gtest.h>

#include "quorvant.h"
#include "support/RuleTable.h"

using qvtest::Case;
using qvtest::CleanMb;
using qvtest::CleanMx;
using qvtest::Line;
using qvtest::With;

namespace {

std::string Mb() { return Line(CleanMb()); }
std::string Md() { return Line(qvtest::CleanMd()); }
std::string MbWithMd() { return Line(qvtest::With(CleanMb(), {{8, "1"}})); }

class Pipeline : public ::testing::Test {
 protected:
  qvtest::Handle h;
  // The single structural finding of a failed call.
  std::string Structural(const std::string& data, int status = -1) {
    qvtest::Result r = h.Check(data);
    EXPECT_EQ(r.Findings.size(), 1u) << r.List;
    EXPECT_EQ(r.Structs, 1);
    EXPECT_EQ(r.Status, status);
    return r.Findings.empty() ? "" : r.Findings[0].Value;
  }
};

// The rows run one after the other on one handle, whose layout the first
// MB line fixes.
TEST_F(Pipeline, StructuralFaultsGiveExactlyOneS000Line) {
  const std::string mn = Line(qvtest::CleanMn()), mp = Line(qvtest::CleanMp()), mk = Line(qvtest::CleanMk()), md = Md();
  std::string joined = Mb();  // two lines joined by a lone line feed
  joined.replace(joined.size() - 2, 2, "\n");
  struct Row { std::string Data; std::string Text; int Status = -1; } rows[] = {
      {"XY|1|2|\r\n", "#E: unknown RecordType in line 1 "},
      {Mb() + "mb|x|\r\n", "#E: unknown RecordType in line 2 "},
      {Mb() + "\r\n\r\n", "#E: empty line in line 2 "},
      {MbWithMd() + md + mn, "#E: unsupported record order for record MN in line 3 "},
      {Mb() + mp + mn, "#E: unsupported record order for record MN in line 3 "},
      {Mb() + mn + mn, "#E: unsupported record order for record MN in line 3 "},
      {Mb() + md + mp, "#E: unsupported record order for record MP in line 3 "},
      {Mb() + mk + md, "#E: unsupported record order for record MD in line 3 "},
      {Mb() + mk + mk, "#E: unsupported record order for record MK in line 3 "},
      {Line(CleanMx()) + mk, "#E: unsupported record order for record MK in line 2 "},
      {Mb() + "MN|1|2|\r\n", "#E: qv: too few fields in record MN on line 2, (3/18)"},
      {Mb() + Line(std::vector<std::string>(20, "MN")), "#E: qv: To many fields in record MN in line 2, (20/18)"},
      {Mb() + Mb() + Mb().substr(0, Mb().size() - 2) + "|\r\n",
       "#E: qv: To many fields in record MB in line 3, (91/90)"},
      // The first two MB lines of a call are not count-checked.
      {Mb() + Mb() + joined + Mb(), "#E: qv: To many fields in record MB in line 3, (180/90)"},
      // The MB count of the last call allows add-on lines, yet the data must start with MX or MB.
      {mk, "#E: No MX/MB-record or unsupported charset!"},
      // No error was logged: the finding carries the last log line, and the
      // list is fetched without error.
      {Mb() + Line(CleanMx()), "exit tDataSource::qv_ProcessData", 0},
  };
  for (const Row& row : rows) EXPECT_EQ(Structural(row.Data, row.Status), row.Text) << row.Data.substr(0, 60);
}

TEST_F(Pipeline, OversizedDataIsRefusedWithoutFinding) {
  h.Check(Mb());
  std::string big = Mb() + std::string(10000 - Mb().size(), 'x');
  ASSERT_EQ(big.size(), 10000u);
  qvtest::Result r = h.Check(big);
  EXPECT_EQ(r.Count, 0);
  EXPECT_EQ(r.Status, -1);
  // 9999 bytes are accepted: the same case padded inside a field.
  std::vector<std::string> f = CleanMb();
  f[1] = std::string(9999 - Mb().size(), 'A');
  ASSERT_EQ(Line(f).size(), 9999u);
  EXPECT_EQ(h.Check(Line(f)).Status, 0);
}

TEST_F(Pipeline, FirstLineMxFailsThenMbFixesLayout) {
  EXPECT_EQ(Structural(Line(CleanMx()) + Mb()),
            "#E: Unsupported fieldcount (9) in MB (50 or 90 are allowed)");
  // The layout stays open: the next call that starts with MX fails the same way.
  EXPECT_EQ(Structural(Line(CleanMx()) + Mb()),
            "#E: Unsupported fieldcount (9) in MB (50 or 90 are allowed)");
  EXPECT_EQ(h.Check(Mb()).Count, 0);
  EXPECT_EQ(h.Check(Line(CleanMx()) + Mb()).Count, 0);
}

TEST_F(Pipeline, OnlyTheLastCaseOfACallIsTested) {
  std::vector<std::string> bad = CleanMb();
  bad[10] = "";
  // The first case's fault is not reported: only the second case runs.
  EXPECT_EQ(h.Check(Line(bad) + Mb()).Count, 0);
}

TEST(Handle, LifecycleAndStaleHandles) {
  std::string base = qvtest::MakeBaseDirectory();
  unsigned first = QV_Create(base.c_str(), 1);
  ASSERT_NE(first, 0xFFFFFFFFu);
  EXPECT_EQ(QV_Create(base.c_str(), 0), 0xFFFFFFFFu);
  EXPECT_EQ(QV_TestRec(first, Mb().c_str(), 0, 0), 0) << "first handle stays valid";
  EXPECT_EQ(QV_TestRec(0, Mb().c_str(), 0, 0), -1);
  EXPECT_EQ(QV_TestRec(first + 1, Mb().c_str(), 0, 0), -1);
  EXPECT_EQ(QV_Destroy(first), 0);
  EXPECT_EQ(QV_Destroy(first), -1);
  EXPECT_EQ(QV_TestRec(first, Mb().c_str(), 0, 0), -1) << "stale handle";
  EXPECT_EQ(QV_setFormatString("x"), 0) << "no handle: nothing to do";
  unsigned second = QV_Create(base.c_str(), 0);
  ASSERT_NE(second, 0xFFFFFFFFu);
  EXPECT_NE(second, first);
  EXPECT_EQ(QV_Destroy(second), 0);
  qvtest::RemoveDirectory(base);
}

// The header line is tested while it is loaded, before the MB line would set
// the year from its own discharge date: the header's year is in force.
TEST_F(Pipeline, HeaderLineTestsItselfWhileLoading) {
  h.Check(Mb());
  struct Row { const char *Date, *Bur, *Discharge, *Expected; } rows[] = {
      {"20230101", "7123.567", "2023031012", "E C0900 7123.567"},
      {"20160101", "71234567 ", "2023031012", "E C0900 71234567 "},
      {"20150101", "7123.567", "2023031012", ""},  // before 2016 forbidden characters pass
      {"20230101", "71234567", "2023031012", ""},
      {"20230101", "x.y", "2015031012", "E C0900 x.y"},
  };
  for (const Row& r : rows) {
    const qvtest::Result result =
        h.Check(Line(With(CleanMx(), {{1, r.Bur}, {5, r.Date}})) + Line(With(CleanMb(), {{25, r.Discharge}})));
    EXPECT_EQ(qvtest::Shown(result, 1), r.Expected) << r.Date << " " << r.Bur;
  }
}

}  // namespace
