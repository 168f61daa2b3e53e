#include "records/RecordMX.h"

#include "foundation/Logger.h"
#include "interface/LibraryGlobals.h"
#include "records/RecordMB.h"

namespace qv {

RecordMX::RecordMX() : Record(KindMX, 9) {
  LogInfo("Creating RecordMX");
  for (int i = 0; i < 9; ++i) Bind(i, &F[i]);
}

RecordMX::~RecordMX() = default;

void RecordMX::BevoreProcessData() {
  LogInfo("RecordMX::BevoreProcessData  Mode:%i", 0);
  Loaded = 0;
  if (MbRecord) MbRecord->Loaded = 0;
}

void RecordMX::onBeforeLoadData() {
  LogInfo("RecordMX::onBeforeLoadData  Mode:%i", 0);
  ErrorCount = WarningCount = HintCount = StructureCount = 0;
}

void RecordMX::onAfterLoadData() {
  LogInfo("RecordMX::onAfterLoadData  Mode:%i", 0);
  ParseDate(F[5], HeaderDate);
  StatYear = HeaderDate.Year;
  TestRecord();
}

void RecordMX::onLastChildLoaded() {
  LogInfo("RecordMX::onLastChildLoaded  Mode:%i", 0);
  if (MbRecord && MbRecord->Loaded == 1) MbRecord->onLastChildLoaded();
  Loaded = 0;
}

}  // namespace qv
