#include "records/RecordMK.h"

#include "foundation/Logger.h"

namespace qv {

RecordMK::RecordMK() : Record(KindMK, 20) {
  LogInfo("Creating RecordMK");
  for (int i = 0; i < kMkFieldTexts; ++i) Bind(i, &F[i]);
}

RecordMK::~RecordMK() = default;

void RecordMK::onBeforeLoadData() {
  Record::onBeforeLoadData();
  // The splitter fills only the fields below FieldCount, which the last MK
  // line set to its own length; a short line must not hide the next line's
  // fields, nor may its texts show through a shorter line.
  FieldCount = kMkFieldTexts;
  for (const char*& text : F) text = kEmptyText;
}

int RecordMK::CheckSpecialChars() const { return FirstFieldWithBadChar(2); }

}  // namespace qv
