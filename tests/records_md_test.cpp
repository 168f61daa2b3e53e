// The detail record's layout and derived values, read from the record object
// after a data source has loaded a case of MB and MD lines.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "datasource/tDataSource.h"
#include "foundation/Logger.h"
#include "records/RecordMD.h"
#include "support/Fixture.h"
#include "support/KernelCase.h"

namespace {

using namespace qv;

struct Change {
  int Field;
  std::string Text;
};
using Changes = std::vector<Change>;

class MdRecord : public ::testing::Test {
 protected:
  qvtest::KernelCase kernel;
  tDataSource* ds = &kernel.Source();

  // Loads and tests the clean case (MB announcing its MD) with changes.
  RecordMD& Load(const Changes& mbChanges, const Changes& mdChanges) {
    std::vector<std::string> mb = qvtest::CleanMb();
    mb[8] = "1";
    for (const Change& c : mbChanges) mb[static_cast<size_t>(c.Field)] = c.Text;
    std::vector<std::string> md = qvtest::CleanMd();
    for (const Change& c : mdChanges) md[static_cast<size_t>(c.Field)] = c.Text;
    EXPECT_EQ(kernel.Run(qvtest::Case({qvtest::Line(mb), qvtest::Line(md)})), 0) << GetLastErrorText();
    return *ds->RecMD;
  }
};

TEST_F(MdRecord, StayAndAbsenceDays) {
  struct Row {
    const char* Name;
    std::string Admission, Discharge, LeaveHours;
    std::vector<std::string> Interruptions;  // E1, R1, E2, R2, E3, R3, E4, R4
    int HasInterimDischarge, LeaveDays, StayDays, AbsenceDays;
  } rows[] = {
      {"same day", "2023010108", "2023010118", "0", {}, 0, 0, 1, 0},
      {"four days", "2023010108", "2023010518", "", {}, 0, 0, 4, 0},
      {"24 hours of leave", "2023010108", "2023010518", "24", {}, 0, 0, 4, 0},
      {"25 hours of leave", "2023010108", "2023010518", "25", {}, 0, 1, 3, 0},
      {"47 hours of leave", "2023010108", "2023010518", "47", {}, 0, 1, 3, 0},
      {"72 hours of leave", "2023010108", "2023010518", "72", {}, 0, 3, 1, 0},
      {"same day, 48 hours of leave", "2023010108", "2023010118", "48", {}, 0, 2, -1, 0},
      {"one interruption", "2023010108", "2023012018", "", {"20230105", "20230110"}, 1, 0, 14, -5},
      {"one interruption and leave", "2023010108", "2023012018", "120", {"20230105", "20230110"}, 1, 5, 9, -5},
      {"two interruptions",
       "2023010108",
       "2023011518",
       "",
       {"20230103", "20230105", "20230108", "20230110"},
       1, 0, 10, -4},
      {"four interruptions",
       "2023010108",
       "2023013118",
       "",
       {"20230103", "20230105", "20230108", "20230110", "20230112", "20230115", "20230120", "20230125"},
       1, 0, 2 + 3 + 2 + 5 + 6, -2 - 2 - 3 - 5},
      // The chain stops at the first interim discharge without a valid day.
      {"3rd missing, 4th given",
       "2023010108",
       "2023011518",
       "",
       {"20230103", "20230105", "20230108", "20230110", "", "", "20230112", "20230113"},
       1, 0, 10, -4},
      {"1st missing, 2nd given", "2023010108", "2023012018", "", {"", "", "20230105", "20230110"}, 0, 0, 19, 0},
      {"1st not a date", "2023010108", "2023012018", "", {"2023010", "20230110"}, 0, 0, 19, 0},
      // Discharged and re-admitted on one day: each part counts one day.
      {"same-day interruption", "2023010108", "2023010518", "", {"20230103", "20230103"}, 1, 0, 4, 0},
      {"interim discharge on the admission day", "2023010108", "2023010518", "", {"20230101", "20230102"}, 1, 0,
       4, -1},
      // A missing re-admission counts as day number -1 (5 January 2023 is
      // day 81453, 3 January day 81451).
      {"re-admission missing", "2023010108", "2023010518", "", {"20230103", ""}, 1, 0, 2 + 81453 + 1, 81451 + 1},
  };
  for (const Row& r : rows) {
    Changes md;
    const int fields[8] = {663, 664, 666, 667, 669, 670, 672, 673};
    for (size_t i = 0; i < r.Interruptions.size(); ++i) md.push_back({fields[i], r.Interruptions[i]});
    RecordMD& rec = Load({{15, r.Admission}, {25, r.Discharge}, {22, r.LeaveHours}}, md);
    EXPECT_EQ(rec.HasInterimDischarge, r.HasInterimDischarge) << r.Name;
    EXPECT_EQ(rec.LeaveDays, r.LeaveDays) << r.Name;
    EXPECT_EQ(rec.StayDays, r.StayDays) << r.Name;
    EXPECT_EQ(rec.AbsenceDays, r.AbsenceDays) << r.Name;
  }
}

TEST_F(MdRecord, EntryCountsAndHighestPositions) {
  struct Row {
    const char* Name;
    Changes Md;
    int DiagnosisCount, MaxDiagnosisIndex, TreatmentCount, MaxTreatmentIndex;
  } rows[] = {
      {"main diagnosis and treatment only", {}, 1, 0, 1, 0},
      {"nothing", {{3, ""}, {154, ""}}, 0, 0, 0, 0},
      {"supplement, 2nd and last diagnosis", {{6, "Y849"}, {10, "I10"}, {151, "I10"}}, 4, 50, 1, 0},
      {"treatments 1 and 100", {{159, "9904"}, {649, "9904"}}, 1, 0, 3, 99},
      {"a code that is not known counts", {{3, "Q999"}}, 1, 0, 1, 0},
  };
  for (const Row& r : rows) {
    RecordMD& rec = Load({}, r.Md);
    EXPECT_EQ(rec.DiagnosisCount, r.DiagnosisCount) << r.Name;
    EXPECT_EQ(rec.MaxDiagnosisIndex, r.MaxDiagnosisIndex) << r.Name;
    EXPECT_EQ(rec.TreatmentCount, r.TreatmentCount) << r.Name;
    EXPECT_EQ(rec.MaxTreatmentIndex, r.MaxTreatmentIndex) << r.Name;
  }
}

TEST_F(MdRecord, FieldsFillTheirEntries) {
  Changes md = {{4, "1"},    {5, "2"},      {6, "Y849"},       {7, "I10"},  {8, "3"},   {9, "4"},
                {151, "Q999"}, {152, "9"},    {153, "0"},        {155, "2"},  {157, "a3"}, {158, "a4"},
                {649, "J189"}, {650, "1"},    {651, "2023030514"}, {652, "b3"}, {653, "b4"}};
  RecordMD& rec = Load({}, md);
  auto text = [](const char* s) { return std::string(s ? s : "(null)"); };

  EXPECT_EQ(text(rec.Diagnoses[0].Key), "J189");
  EXPECT_EQ(text(rec.Diagnoses[0].Attribute1), "1");
  EXPECT_EQ(text(rec.Diagnoses[0].Attribute2), "2");
  EXPECT_EQ(text(rec.Diagnoses[1].Key), "Y849");
  EXPECT_EQ(text(rec.Diagnoses[1].Attribute1), "") << "the supplement has no attributes";
  EXPECT_EQ(text(rec.Diagnoses[2].Key), "I10");
  EXPECT_EQ(text(rec.Diagnoses[2].Attribute1), "3");
  EXPECT_EQ(text(rec.Diagnoses[2].Attribute2), "4");
  EXPECT_EQ(text(rec.Diagnoses[50].Key), "Q999");
  EXPECT_EQ(text(rec.Diagnoses[50].Attribute1), "9");
  EXPECT_EQ(text(rec.Diagnoses[50].Attribute2), "0");

  EXPECT_EQ(text(rec.Treatments[0].Key), "8952");
  EXPECT_EQ(text(rec.Treatments[0].Attribute1), "2");
  EXPECT_EQ(text(rec.Treatments[0].DateText), "2023030112");
  EXPECT_EQ(text(rec.Treatments[0].Attribute3), "a3");
  EXPECT_EQ(text(rec.Treatments[0].Attribute4), "a4");
  EXPECT_EQ(text(rec.Treatments[99].Key), "J189");
  EXPECT_EQ(text(rec.Treatments[99].Attribute1), "1");
  EXPECT_EQ(text(rec.Treatments[99].DateText), "2023030514");
  EXPECT_EQ(text(rec.Treatments[99].Attribute3), "b3");
  EXPECT_EQ(text(rec.Treatments[99].Attribute4), "b4");
  EXPECT_TRUE(rec.Treatments[99].Date.HasHour);
  EXPECT_EQ(rec.Treatments[99].Date.Hour, 14);

  // The field table reads the same texts (the message lines use it).
  EXPECT_STREQ(rec.Field(6), "Y849");
  EXPECT_STREQ(rec.Field(153), "0");
  EXPECT_STREQ(rec.Field(651), "2023030514");
  EXPECT_STREQ(rec.Field(1), "8001");

  // Lookups: the kind of an entry comes from its position.
  EXPECT_EQ(rec.Diagnoses[0].Found, 1);
  EXPECT_EQ(rec.Diagnoses[50].Found, 0);
  EXPECT_EQ(rec.Diagnoses[50].KeyEmpty, 0);
  EXPECT_EQ(rec.Diagnoses[3].KeyEmpty, 1);
  EXPECT_EQ(rec.Treatments[0].Found, 1);
  EXPECT_EQ(rec.Treatments[99].Found, 0) << "an ICD code in a treatment position";
  EXPECT_EQ(rec.Location.Found, 1);
}

TEST_F(MdRecord, TreatmentDatesAreParsedWithoutCode) {
  RecordMD& rec = Load({}, {{161, "20230305"}, {166, "2023030525"}});
  EXPECT_EQ(rec.Treatments[1].KeyEmpty, 1);
  EXPECT_TRUE(rec.Treatments[1].Date.DateOnly);
  EXPECT_TRUE(rec.Treatments[2].Date.HasDay);
  EXPECT_FALSE(rec.Treatments[2].Date.HasHour);
  EXPECT_EQ(rec.Treatments[2].Date.Length, 10);
  EXPECT_TRUE(rec.Treatments[3].Date.IsEmpty);
}

TEST_F(MdRecord, HasDiagnosisPrefix) {
  RecordMD& rec = Load({}, {{10, "Z381"}});
  EXPECT_EQ(rec.HasDiagnosisPrefix("Z38"), 1);
  EXPECT_EQ(rec.HasDiagnosisPrefix("J18"), 1);
  EXPECT_EQ(rec.HasDiagnosisPrefix("Z37"), 0);
  RecordMD& none = Load({}, {{3, ""}});
  EXPECT_EQ(none.HasDiagnosisPrefix(""), 0) << "empty codes never match";
  EXPECT_EQ(none.HasDiagnosisPrefix("J18"), 0);
}

TEST_F(MdRecord, NothingSurvivesTheNextLine) {
  Load({{15, "2023010108"}, {25, "2023012018"}}, {{10, "I10"}, {649, "9904"}, {663, "20230105"}, {664, "20230110"}});
  RecordMD& rec = Load({}, {});
  EXPECT_EQ(rec.DiagnosisCount, 1);
  EXPECT_EQ(rec.MaxTreatmentIndex, 0);
  EXPECT_EQ(rec.HasInterimDischarge, 0);
  EXPECT_EQ(rec.AbsenceDays, 0);
  EXPECT_EQ(rec.StayDays, 9);
  EXPECT_TRUE(rec.InterimDischargeDates[0].IsEmpty);
}

TEST_F(MdRecord, CaseCostNumberIsCopiedForTheMessageLines) {
  Load({}, {{662, "FALL0001"}});
  EXPECT_STREQ(ds->Messages->CaseId, "FALL0001");
  Load({}, {{662, std::string(300, 'C')}});
  EXPECT_EQ(std::string(ds->Messages->CaseId), std::string(127, 'C'));
  Load({}, {});
  EXPECT_STREQ(ds->Messages->CaseId, "");
}

TEST_F(MdRecord, CountersFollowTheFindings) {
  // C7029 (error), C7011 (warning) and one duplicate (hint) on the MD line.
  RecordMD& rec = Load({{31, "I10"}, {32, "I10"}}, {{2, "x"}, {1, "9999"}, {7, "I10"}, {10, "I10"}});
  EXPECT_EQ(rec.ErrorCount, 1);
  EXPECT_EQ(rec.WarningCount, 1);
  EXPECT_EQ(rec.HintCount, 1);
  RecordMD& clean = Load({}, {});
  EXPECT_EQ(clean.ErrorCount + clean.WarningCount + clean.HintCount, 0);
}

TEST_F(MdRecord, SpecialCharacterCheck) {
  struct Row {
    const char* Name;
    Changes Md;
    int Found;
    const char* BadChar;
  } rows[] = {
      {"clean", {}, -1, nullptr},
      {"medication with ;", {{677, "A;B"}}, -1, nullptr},
      {"medication with a blank", {{690, "A B"}}, 690, "A B"},
      {"medication with \xE4", {{678, "B\xE4r"}}, 678, "B\xE4r"},
      {"reserve field with a dot", {{691, "3.5"}}, 691, "3.5"},
      {"first a field before the medications", {{2, "-"}, {677, "A B"}}, 2, "-"},
  };
  for (const Row& r : rows) {
    RecordMD& rec = Load({}, r.Md);
    rec.Messages->BadFieldIndex = -1;
    EXPECT_EQ(rec.CheckSpecialChars(), r.Found) << r.Name;
    EXPECT_EQ(rec.Messages->BadFieldIndex, r.Found) << r.Name;
    if (r.BadChar) {
      EXPECT_STREQ(rec.BadCharField, r.BadChar) << r.Name;
    }
  }
}

}  // namespace
