#include "records/RecordMK.h"

#include "foundation/Logger.h"

namespace qv {

RecordMK::RecordMK() : Record(KindMK, 20) {
  LogInfo("Creating RecordMK");
  for (int i = 0; i < kMkFieldTexts; ++i) Bind(i, &F[i]);
}

RecordMK::~RecordMK() = default;

int RecordMK::CheckSpecialChars() const {
  // Fields from 30 on are not kept, so the scan stops there.
  int found = FirstFieldWithBadChar(kMkFieldTexts);
  if (found == 0 || found == 1) return found;
  if (found >= 0 && Messages) Messages->BadFieldIndex = -1;
  return -1;
}

}  // namespace qv
