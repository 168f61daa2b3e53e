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
