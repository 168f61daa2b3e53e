#include "records/RecordMN.h"

#include "foundation/Logger.h"

namespace qv {

RecordMN::RecordMN() : Record(KindMN, 18) {
  LogInfo("Creating RecordMN");
  for (int i = 0; i < 18; ++i) Bind(i, &F[i]);
}

RecordMN::~RecordMN() = default;

void RecordMN::onAfterLoadData() {
  LogInfo("Record.onAfterLoadData");
  ParseDate(F[10], MotherBirthDate);
}

}  // namespace qv
