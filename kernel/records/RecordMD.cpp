#include "records/RecordMD.h"

#include "foundation/Logger.h"

namespace qv {

RecordMD::RecordMD() : Record(KindMD, kMdFieldCount) {
  LogInfo("Creating RecordMD");
  for (int i = 0; i < kMdFieldCount; ++i) Bind(i, &F[i]);
  LogInfo("end Creating RecordMD");
}

RecordMD::~RecordMD() { LogInfo("end Destroy RecordMD"); }

void RecordMD::onAfterLoadData() { LogInfo("RecordMD.onAfterLoadData\n"); }

}  // namespace qv
