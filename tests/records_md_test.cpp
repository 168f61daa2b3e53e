// The detail record's layout and derived values, read from the record object
// after a data source has loaded a case of MB and MD lines. The rows of a
// table run on one data source one after the other, so each also shows that
// nothing of the row before survives.
#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "datasource/tDataSource.h"
#include "foundation/Logger.h"
#include "records/RecordMD.h"
#include "support/Fixture.h"
#include "support/KernelCase.h"

namespace {

using namespace qv;
using Changes = std::vector<std::pair<int, std::string>>;

// A variation of the MD line and the values the record derives from it.
struct Row { const char* Name; Changes Md; std::vector<int> Expected; };

class MdRecord : public ::testing::Test {
 protected:
  qvtest::KernelCase kernel;

  // Loads and tests the clean case (MB announcing its MD) with changes.
  RecordMD& Load(const Changes& mbChanges, const Changes& mdChanges) {
    std::vector<std::string> mb = qvtest::CleanMb(), md = qvtest::CleanMd();
    mb[8] = "1";
    for (const auto& [n, text] : mbChanges) mb[n] = text;
    for (const auto& [n, text] : mdChanges) md[n] = text;
    EXPECT_EQ(kernel.Run(qvtest::Case({qvtest::Line(mb), qvtest::Line(md)})), 0) << GetLastErrorText();
    return *kernel.Source().RecMD;
  }
};

TEST_F(MdRecord, StayAndAbsenceDays) {
  // Admitted on 1 January 2023.
  struct Stay {
    const char* Name;
    std::string Discharge, LeaveHours;
    std::vector<std::string> Interruptions;  // E1, R1, E2, R2, E3, R3, E4, R4
    std::vector<int> Expected;               // HasInterimDischarge, LeaveDays, StayDays, AbsenceDays
  } rows[] = {
      {"47 hours of leave: one day", "2023010518", "47", {}, {0, 1, 3, 0}},
      {"one interruption", "2023012018", "", {"20230105", "20230110"}, {1, 0, 14, -5}},
      {"one interruption and leave", "2023012018", "120", {"20230105", "20230110"}, {1, 5, 9, -5}},
      {"four interruptions", "2023013118", "",
       {"20230103", "20230105", "20230108", "20230110", "20230112", "20230115", "20230120", "20230125"},
       {1, 0, 2 + 3 + 2 + 5 + 6, -2 - 2 - 3 - 5}},
      // The chain stops at the first interim discharge without a valid day.
      {"3rd missing, 4th given", "2023011518", "",
       {"20230103", "20230105", "20230108", "20230110", "", "", "20230112", "20230113"}, {1, 0, 10, -4}},
      {"1st missing, 2nd given", "2023012018", "", {"", "", "20230105", "20230110"}, {0, 0, 19, 0}},
      {"1st not a date", "2023012018", "", {"2023010", "20230110"}, {0, 0, 19, 0}},
      // A part that begins and ends on one day counts one day.
      {"interim discharge on the admission day", "2023010518", "", {"20230101", "20230102"}, {1, 0, 4, -1}},
      // A missing re-admission counts as day number -1 (5 January 2023 is
      // day 81453, 3 January day 81451).
      {"re-admission missing", "2023010518", "", {"20230103", ""}, {1, 0, 2 + 81453 + 1, 81451 + 1}},
  };
  for (const Stay& r : rows) {
    Changes md;
    for (int i = 0; i < static_cast<int>(r.Interruptions.size()); ++i)
      md.push_back({663 + 3 * (i / 2) + i % 2, r.Interruptions[i]});
    const RecordMD& d = Load({{15, "2023010108"}, {25, r.Discharge}, {22, r.LeaveHours}}, md);
    EXPECT_EQ((std::vector<int>{d.HasInterimDischarge, d.LeaveDays, d.StayDays, d.AbsenceDays}), r.Expected) << r.Name;
  }
}

TEST_F(MdRecord, EntriesFromTheFields) {
  RecordMD& rec = Load({}, {{4, "1"}, {5, "2"}, {6, "Y849"}, {7, "I10"}, {8, "3"}, {9, "4"}, {151, "Q999"}, {152, "9"},
                            {153, "0"}, {155, "2"}, {157, "a3"}, {158, "a4"}, {161, "20230305"}, {649, "J189"},
                            {650, "1"}, {651, "2023030514"}, {652, "b3"}, {653, "b4"}});
  // Code, attributes 1 and 2, date text, attributes 3 and 4.
  auto text = [](const CodeEntry& e) {
    std::string t;
    for (const char* s : {e.Key, e.Attribute1, e.Attribute2, e.DateText, e.Attribute3, e.Attribute4})
      t += std::string(s ? s : "(null)") + "|";
    return t;
  };
  EXPECT_EQ(text(rec.Diagnoses[0]), "J189|1|2||||");
  EXPECT_EQ(text(rec.Diagnoses[1]), "Y849||||||") << "the supplement has no attributes";
  EXPECT_EQ(text(rec.Diagnoses[2]), "I10|3|4||||");
  EXPECT_EQ(text(rec.Diagnoses[50]), "Q999|9|0||||");
  EXPECT_EQ(text(rec.Treatments[0]), "8952|2||2023030112|a3|a4|");
  EXPECT_EQ(text(rec.Treatments[1]), "|||20230305|||");
  EXPECT_EQ(text(rec.Treatments[99]), "J189|1||2023030514|b3|b4|");
  // A date is parsed with or without a code.
  EXPECT_TRUE(rec.Treatments[1].KeyEmpty && rec.Treatments[1].Date.DateOnly);
  // The code list of a lookup comes from the entry's position.
  EXPECT_EQ(rec.Treatments[99].Found, 0) << "an ICD code in a treatment position";
  EXPECT_EQ(rec.MaxDiagnosisIndex, 50) << "the code rules look for Z38 up to here";
}

// Any field of an entry makes it written, the last entry of a list too and
// a field holding only a byte no field may hold; a row leaves nothing
// written for the next one.
TEST_F(MdRecord, WrittenPositions) {
  struct Written { const char* Name; Changes Md; std::vector<int> Diagnoses, Treatments; } rows[] = {
      {"clean", {}, {0}, {0}},
      {"last attributes of both lists", {{153, "0"}, {653, "b4"}}, {0, 50}, {0, 99}},
      {"both lists empty", {{3, ""}, {5, ""}, {154, ""}, {156, ""}}, {}, {}},
      {"supplement only", {{6, "Y849"}}, {0, 1}, {0}},
      {"a date alone", {{161, "20230305"}}, {0}, {0, 1}},
      {"a forbidden byte alone", {{8, "-"}, {160, "."}}, {0, 2}, {0, 1}},
      {"clean again", {}, {0}, {0}},
  };
  auto positions = [](const WrittenPositions& w) { return std::vector<int>(w.Positions, w.Positions + w.Count); };
  for (const Written& r : rows) {
    const RecordMD& rec = Load({}, r.Md);
    EXPECT_EQ(positions(rec.WrittenDiagnoses), r.Diagnoses) << r.Name;
    EXPECT_EQ(positions(rec.WrittenTreatments), r.Treatments) << r.Name;
  }
}

// Entries far down a list, looked up and dated in one case, are blank in
// the next case that leaves their fields empty, also where that case's text
// now lies where the first case had them.
TEST_F(MdRecord, EntriesOfTheCaseBeforeAreCleared) {
  const Changes longLists = {{151, "I10"}, {154 + 5 * 60, "8952"}, {154 + 5 * 60 + 2, "20230305"}};
  const RecordMD& clean = Load({}, {});
  const int cleanMaxDiagnosis = clean.MaxDiagnosisIndex, cleanTreatments = clean.TreatmentCount;
  struct Next { const char* Name; Changes Md; int MaxDiagnosis; } rows[] = {
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
TEST_F(MdRecord, MbCodesOfTheCaseBeforeAreCleared) {
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

TEST_F(MdRecord, CountersFollowTheFindings) {
  // C7029 (error), C7011 (warning) and one duplicate (hint) on the MD line.
  RecordMD& rec = Load({{31, "I10"}, {32, "I10"}}, {{2, "x"}, {1, "9999"}, {7, "I10"}, {10, "I10"}});
  EXPECT_EQ((std::vector<int>{rec.ErrorCount, rec.WarningCount, rec.HintCount}), (std::vector<int>{1, 1, 1}));
  RecordMD& clean = Load({}, {});
  EXPECT_EQ(clean.ErrorCount + clean.WarningCount + clean.HintCount, 0);
}

TEST_F(MdRecord, SpecialCharacterCheck) {
  // The field found, or -1.
  const Row rows[] = {
      {"medication with ;, . and o-umlauts", {{677, "A;B.\xF6\xD6"}}, {-1}},
      // The check stops at the first field with a character outside the
      // letters and digits; an acceptable medication ends it.
      {"accepted medication hides a later field", {{677, "A;B"}, {681, "a b"}}, {-1}},
      {"medication with a blank", {{690, "A B"}}, {690}},
      {"medication with an a-umlaut", {{678, "B\xE4r"}}, {678}},
      {"reserve field with a dot", {{691, "3.5"}}, {691}},
      {"first a field before the medications", {{2, "-"}, {677, "A B"}}, {2}},
      {"the last field", {{695, "a b"}}, {695}},
      {"two fields: the first one", {{694, "a.b"}, {695, "a b"}}, {694}},
  };
  for (const Row& r : rows) {
    RecordMD& rec = Load({}, r.Md);
    // The check leaves the field found for the next message, -1 for an
    // accepted medication (after the base check had named it).
    rec.Messages->BadFieldIndex = -1;
    EXPECT_EQ(rec.CheckSpecialChars(), r.Expected[0]) << r.Name;
    EXPECT_EQ(rec.Messages->BadFieldIndex, r.Expected[0]) << r.Name;
    if (r.Expected[0] != -1) {
      EXPECT_STREQ(rec.BadCharField, rec.Field(r.Expected[0])) << r.Name;
    }
  }
}

}  // namespace
