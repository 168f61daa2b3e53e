// The data source behind a handle: set-up, field definitions, the MB layout,
// the statistics year, the residence text, the character check, code
// positions left blank for the next case, and the result table with the
// viewer start.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include "Ix5Codec.h"
#include "datasource/tDataSource.h"
#include "foundation/Logger.h"
#include "interface/LibraryGlobals.h"
#include "interface/ResultViewer.h"
#include "quorvant.h"
#include "records/RecordMD.h"
#include "support/RuleTable.h"

namespace {

using namespace qv;
using qvtest::CleanMb;
using qvtest::Line;

class Source : public ::testing::Test {
 protected:
  qvtest::KernelCase kernel;
  tDataSource* ds = &kernel.Source();
  const std::string& base = kernel.Base();

  int Run(const std::string& data) { return kernel.Run(data); }
  RecordMB& Mb() { return *ds->RecMB; }
  // Loads and tests the clean case (MB announcing its MD) with changes.
  RecordMD& Load(const qvtest::Fields& mb, const qvtest::Fields& md) {
    const std::vector<std::string> mbLine = qvtest::With(qvtest::With(CleanMb(), {{8, "1"}}), mb);
    EXPECT_EQ(Run(Line(mbLine) + Line(qvtest::With(qvtest::CleanMd(), md))), 0) << GetLastErrorText();
    return *ds->RecMD;
  }
  std::string Html() const { return qvtest::Text(*ds->HtmlBuffer); }
};

TEST_F(Source, PathsAndFieldDefinitions) {
  tDataSource french(base.substr(0, base.size() - 1).c_str(), 'f', nullptr);
  EXPECT_EQ(std::string(french.QVPath), base) << "a missing '/' is appended";
  EXPECT_EQ(french.Messages, french.MessagesFr);
  EXPECT_STREQ(tDataSource(nullptr, 'd', nullptr).QVPath, "./");
  const FieldSlot& sex = Mb().Fields[10];
  EXPECT_EQ(std::string(sex.Name) + " " + sex.Label, "1.1.V01 Geschlecht");
  EXPECT_TRUE(sex.Kind == FieldCombo && sex.Domain == ds->Lookups->FindDomain("SEX"));
  EXPECT_EQ(Mb().Fields[13].Domain, DomainPLZ);
  EXPECT_EQ(Mb().Fields[2].Domain, -1) << "an unknown domain";
}

TEST_F(Source, FieldDefinitionFileForms) {
  qvtest::WriteFile(base + "fields2.ix5",
                    ix5::Encode("x\nR\tMX\t\nF\ta\t\t\tA-de\tA-fr\t\r\nFF\tb\t\t\tB-de\tB-fr\t\nR\tMU\t\n"
                                "F\tk0\t\t\tK-de\tK-fr\t\nR\tMX\t\nF\tz\t\t\tZ-de\tZ-fr"));
  ASSERT_EQ(ds->LoadFieldInfo(1, "fields2.ix5", base.c_str()), 1);
  EXPECT_STREQ(ds->RecMX->Fields[0].Name, "z") << "a second record line starts again at field 0";
  EXPECT_STREQ(ds->RecMX->Fields[0].Label, "A-fr") << "the last column needs a TAB behind it";
  EXPECT_EQ(ds->RecMX->Fields[1].Label, nullptr) << "nothing is left from the first load";
  EXPECT_STREQ(ds->RecMX->Fields[2].Label, "B-fr") << "\"FF\" counts as two field lines";
  EXPECT_STREQ(ds->RecMK->Fields[0].Label, "K-fr") << "MU fills the MK table";
  EXPECT_EQ(ds->LoadFieldInfo(0, "missing.ix5", base.c_str()), 0);
  EXPECT_STREQ(GetLastErrorText(), ("#E: Could not open domain file '" + base + "missing.ix5'").c_str());
}

// The positions of the 50-field layout are probed through the code rules.
TEST_F(Source, ShortLayoutAndItsTable) {
  // Rendered: 50 rows, the last eleven described by field slots 59 to 69.
  ASSERT_EQ(Run(Line(qvtest::MbWith({{39, "8952"}, {40, "2023030112"}, {41, "9904"}}, 50))), 0);
  Mb().Fields[59].Name = "main-treatment";
  Mb().Fields[69].Name = "treatment-10";
  ds->HtmlBuffer->ResetBuffer();
  Mb().RenderHtml();
  const std::string table = Html();
  size_t rows = 0;
  for (size_t at = table.find("<tr>"); at != std::string::npos; at = table.find("<tr>", at + 1)) ++rows;
  EXPECT_EQ(rows, 50u);
  EXPECT_NE(table.find("<tr><td class=tabtextodd>main-treatment</td>\n<td class=tabtextodd nowrap>#Field not "
                       "defined</td>\n<td class=tabboldodd>8952</td>"),
            std::string::npos);
  EXPECT_NE(table.find(">treatment-10</td>"), std::string::npos);
}

// The stay and its leave are probed through B2130's rows.
TEST_F(Source, StatYearAndResidenceText) {
  ASSERT_EQ(Run(Line(qvtest::With(CleanMb(), {{13, "3000"}}))), 0);
  EXPECT_EQ(StatYear, 2023);
  EXPECT_STREQ(Mb().V04Text, "Bern") << "PLZ comes before REGIO";
  ASSERT_EQ(Run(Line(qvtest::With(CleanMb(), {{13, "ZH01"}, {25, ""}}))), 0);
  EXPECT_STREQ(Mb().V04Text, "Z\xfcrich Stadt");
  std::time_t now = std::time(nullptr);
  EXPECT_EQ(StatYear, std::localtime(&now)->tm_year + 1900) << "no discharge year: the current year";
}

// The detail record's character check leaves the field it finds for the
// next message to name; an accepted medication leaves none.
TEST_F(Source, CharacterCheckLeavesItsFieldForTheNextMessage) {
  const std::pair<qvtest::Fields, int> rows[] = {
      {{{690, "A B"}}, 690}, {{{677, "A;B"}}, -1}, {{{2, "-"}, {677, "A B"}}, 2}};
  for (const auto& [md, found] : rows) {
    ASSERT_EQ(Run(Line(qvtest::With(CleanMb(), {{8, "1"}})) + Line(qvtest::With(qvtest::CleanMd(), md))), 0);
    ds->Messages->BadFieldIndex = -1;  // the base check has named the field
    EXPECT_EQ(ds->RecMD->CheckSpecialChars(), found);
    EXPECT_EQ(ds->Messages->BadFieldIndex, found);
  }
}

// The header's date, read again for every header line of a handle: none
// first, the same text twice, a refused prefix of it, another one.
TEST_F(Source, HeaderDateFollowsEveryHeader) {
  for (const char* text : {"", "20230101", "20230101", "2023", "20240315", "", "20230101"}) {
    std::vector<std::string> mx = qvtest::CleanMx();
    mx[5] = text;
    Run(Line(mx) + Line(CleanMb()));
    ParsedDate fresh;
    ParseDate(text, fresh);
    const ParsedDate& d = ds->RecMX->HeaderDate;
    auto parts = [](const ParsedDate& p) {
      return std::vector<int>{p.IsEmpty, p.HasYear, p.IsValid, p.DateOnly, p.Year, p.DayNumber, p.Length};
    };
    EXPECT_EQ(parts(d), parts(fresh)) << text;
    EXPECT_STREQ(d.Text, text);
  }
}

// Entries far down a list, looked up and dated in one case, are blank in
// the next case that leaves their fields empty, also where that case's text
// now lies where the first case had them.
TEST_F(Source, EntriesOfTheCaseBeforeAreCleared) {
  const qvtest::Fields longLists = {{151, "I10"}, {154 + 5 * 60, "8952"}, {154 + 5 * 60 + 2, "20230305"}};
  const RecordMD& clean = Load({}, {});
  const int cleanMaxDiagnosis = clean.MaxDiagnosisIndex, cleanTreatments = clean.TreatmentCount;
  struct Next { const char* Name; qvtest::Fields Md; int MaxDiagnosis; } rows[] = {
      {"clean", {}, cleanMaxDiagnosis},
      {"a long text before", {{100, std::string(120, 'A')}}, 33},
  };
  for (const Next& r : rows) {
    const RecordMD& full = Load({}, longLists);
    ASSERT_TRUE(full.Diagnoses[50].Found && full.Treatments[60].Found && full.Treatments[60].Date.DateOnly);
    const RecordMD& rec = Load({}, r.Md);
    EXPECT_EQ((std::vector<int>{rec.MaxDiagnosisIndex, rec.TreatmentCount}),
              (std::vector<int>{r.MaxDiagnosis, cleanTreatments})) << r.Name;
    for (const CodeEntry* e : {&rec.Diagnoses[50], &rec.Treatments[60]})
      EXPECT_TRUE(*e->Key == '\0' && e->KeyEmpty && !e->Found && e->Columns == kNoColumns) << r.Name;
    const ParsedDate& date = rec.Treatments[60].Date;
    EXPECT_TRUE(date.IsEmpty && date.IsValid && !date.HasYear && *date.Text == '\0') << r.Name;
  }
}

// The same for the last code positions of the MB line.
TEST_F(Source, MbCodesOfTheCaseBeforeAreCleared) {
  Load({}, {});
  const RecordMB& mb = *kernel.Source().RecMB;
  const std::vector<int> clean{mb.DiagnosisCount, mb.TreatmentCount, mb.MaxDiagnosisIndex, mb.MaxTreatmentIndex};
  for (int round = 0; round < 2; ++round) {
    Load({{58, "I10"}, {89, "8952"}}, {});
    ASSERT_TRUE(mb.Diagnoses[29].Found && mb.Treatments[29].Found);
    Load({}, {});
    EXPECT_EQ((std::vector<int>{mb.DiagnosisCount, mb.TreatmentCount, mb.MaxDiagnosisIndex, mb.MaxTreatmentIndex}),
              clean) << round;
    for (const CodeEntry* e : {&mb.Diagnoses[29], &mb.Treatments[29]})
      EXPECT_TRUE(*e->Key == '\0' && e->KeyEmpty && !e->Found && e->Columns == kNoColumns) << round;
  }
}

TEST_F(Source, ResultTableAndViewerCommandLine) {
  const std::string record = base + "viewer-args.txt";
  const std::string viewer = base + "qv6show.exe";
  qvtest::WriteFile(viewer, "#!/bin/sh\nfor a in \"$@\"; do echo \"$a\"; done > '" + record + "'\n");
  chmod(viewer.c_str(), 0755);
  ASSERT_EQ(Run(Line(CleanMb())), 0);
  ShowResult(*ds);
  EXPECT_EQ(GetErrorState(), 0);
  const std::string table = Html();
  EXPECT_EQ(table.rfind("<table border='1' cellspacing='0' cellpadding='2' width='100%'>\n<tr><td class=tabtit>Name", 0), 0u);
  EXPECT_NE(table.find("<tr><td class=tabtexteven>1.1.V01</td>\n<td class=tabtexteven nowrap>Geschlecht</td>\n"
                       "<td class=tabboldeven>1</td>\n<td class=tabtexteven>m\xe4nnlich</td></td></tr>\n"),
            std::string::npos);
  EXPECT_NE(table.find("<td class=tabtextodd>Z\xfcrich</td></td></tr>"), std::string::npos) << "residence text";
  EXPECT_NE(table.find("#Field not defined"), std::string::npos);
  EXPECT_EQ(table.substr(table.size() - 9), "</table>\n");
  EXPECT_EQ(qvtest::ReadFile(record), std::string("Quorvant\n6.0.8.0 x86\n08.01.2024\n") +
                                          ds->Messages->ViewerList->TempFileName + "\n" +
                                          ds->HtmlBuffer->TempFileName + "\n");
}

TEST(Viewer, MissingViewerIsReportedAndCountsStay) {
  qvtest::Handle h;
  std::vector<std::string> f = CleanMb();
  f[10] = "";
  int count = QV_TestRec(h.Value(), Line(f).c_str(), 1, 0);
  EXPECT_GE(count, 0);
  std::vector<char> list(static_cast<size_t>(count) * 16384 + 1);
  int e, w, hi, c, s;
  EXPECT_EQ(QV_GetMessageList(h.Value(), &e, &w, &hi, &c, &s, list.data()), -1);
  EXPECT_EQ(e + w + hi + c + s, count);
  EXPECT_STREQ(GetLastErrorText(), "#E: #E: #Error on CreateProcess\n");
}

}  // namespace
