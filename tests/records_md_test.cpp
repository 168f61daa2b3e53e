// The detail record's character check, read from the record object
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

// The field the check finds is left for the next message to name; an
// accepted medication leaves none.
TEST_F(MdRecord, SpecialCharacterFieldForTheNextMessage) {
  const std::pair<Fields, int> rows[] = {{{{690, "A B"}}, 690}, {{{677, "A;B"}}, -1}, {{{2, "-"}, {677, "A B"}}, 2}};
  for (const auto& [md, found] : rows) {
    RecordMD& rec = Load({}, md);
    rec.Messages->BadFieldIndex = -1;  // the base check has named the field
    EXPECT_EQ(rec.CheckSpecialChars(), found);
    EXPECT_EQ(rec.Messages->BadFieldIndex, found);
  }
}

}  // namespace
