#include "records/RecordMP.h"

#include "foundation/Logger.h"

namespace qv {

RecordMP::RecordMP() : Record(KindMP, 34) {
  LogInfo("Creating RecordMP");
  for (int i = 0; i < 34; ++i) Bind(i, &F[i]);
}

RecordMP::~RecordMP() = default;

}  // namespace qv
