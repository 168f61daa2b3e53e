// The detail record's layout and derived values, read from the record object
// after a data source has loaded a case of MB and MD lines. The rows of a
// table run on one data source one after the other, so each also shows that
// nothing of the row before survives.
#include <gtest/gtest.h>

#include "datasource/tDataSource.h"
#include "foundation/Logger.h"
#include "records/RecordMD.h"
#include "support/Fixture.h"

namespace {

using namespace qv;
using qvtest::Fields;

class MdRecord : public ::testing::Test {
 protected:
  qvtest::KernelCase kernel;

  // Loads and tests the clean case (MB announcing its MD) with changes.
  RecordMD& Load(const Fields& mb, const Fields& md) {
    const std::vector<std::string> mbLine = qvtest::With(qvtest::With(qvtest::CleanMb(), {{8, "1"}}), mb);
    EXPECT_EQ(kernel.Run(qvtest::Line(mbLine) + qvtest::Line(qvtest::With(qvtest::CleanMd(), md))), 0)
        << GetLastErrorText();
    return *kernel.Source().RecMD;
  }
};

TEST_F(MdRecord, StayAndAbsenceDays) {
  // Admitted on 1 January 2023; interruptions E1, R1, E2, R2 ... and the
  // values HasInterimDischarge, LeaveDays, StayDays, AbsenceDays.
  struct Stay {
    const char* Name;
    std::string Discharge, LeaveHours;
    std::vector<std::string> Interruptions;
    std::vector<int> Expected;
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
    Fields md;
    for (int i = 0; i < static_cast<int>(r.Interruptions.size()); ++i)
      md[663 + 3 * (i / 2) + i % 2] = r.Interruptions[i];
    const RecordMD& d = Load({{15, "2023010108"}, {25, r.Discharge}, {22, r.LeaveHours}}, md);
    EXPECT_EQ((std::vector<int>{d.HasInterimDischarge, d.LeaveDays, d.StayDays, d.AbsenceDays}), r.Expected) << r.Name;
  }
}

TEST_F(MdRecord, CountersFollowTheFindings) {
  // C7029 (error), C7011 (warning) and one duplicate (hint) on the MD line.
  RecordMD& rec = Load({{31, "I10"}, {32, "I10"}}, {{2, "x"}, {1, "9999"}, {7, "I10"}, {10, "I10"}});
  EXPECT_EQ((std::vector<int>{rec.ErrorCount, rec.WarningCount, rec.HintCount}), (std::vector<int>{1, 1, 1}));
  RecordMD& clean = Load({}, {});
  EXPECT_EQ(clean.ErrorCount + clean.WarningCount + clean.HintCount, 0);
}

// The field the check finds (-1: none) is left for the next message.
TEST_F(MdRecord, SpecialCharacterCheck) {
  const struct { const char* Name; Fields Md; int Found; } rows[] = {
      {"medication with ;, . and o-umlauts", {{677, "A;B.\xF6\xD6"}}, -1},
      // The check stops at the first field with a character outside the
      // letters and digits; an acceptable medication ends it.
      {"accepted medication hides a later field", {{677, "A;B"}, {681, "a b"}}, -1},
      {"medication with a blank", {{690, "A B"}}, 690},
      {"medication with an a-umlaut", {{678, "B\xE4r"}}, 678},
      {"reserve field with a dot", {{691, "3.5"}}, 691},
      {"first a field before the medications", {{2, "-"}, {677, "A B"}}, 2},
      {"the last field", {{695, "a b"}}, 695},
      {"two fields: the first one", {{694, "a.b"}, {695, "a b"}}, 694},
  };
  for (const auto& r : rows) {
    RecordMD& rec = Load({}, r.Md);
    rec.Messages->BadFieldIndex = -1;  // the base check has named the medication
    EXPECT_EQ(rec.CheckSpecialChars(), r.Found) << r.Name;
    EXPECT_EQ(rec.Messages->BadFieldIndex, r.Found) << r.Name;
    EXPECT_TRUE(r.Found == -1 || rec.BadCharField == std::string(rec.Field(r.Found))) << r.Name;
  }
}

}  // namespace
