// The processing loop of one call: classifies each line, checks the order of
// the record kinds, loads each line into its record object and, at the end
// of the data, lets the header record finish the case.
#include "datasource/tDataSource.h"
#include "foundation/Logger.h"

namespace qv {

// An add-on line needs an MB line since the header and must come after the
// add-ons already read in the case: kinds in ascending order, each once.
int tDataSource::LoadAddOn(Record* rec) {
  bool outOfOrder = false;
  for (int kind = rec->RecordKind; kind < kRecordKindLimit; ++kind) outOfOrder = outOfOrder || RecMB->Has(kind);
  if (outOfOrder || RecMX->MbCount == 0) {
    const RecordKind* kind = KindNumbered(rec->RecordKind);
    LogError("unsupported record order for record %s in line %i ", kind ? kind->Name : "", LineNumber);
    return -1;
  }
  RecMB->Present[rec->RecordKind] = true;
  return LoadRecord(rec);
}

int tDataSource::qv_ProcessData() {
  LogInfo("enter tDataSource::qv_ProcessData");
  int result = 0;
  MessagesDe->ClearMessages();
  MessagesFr->ClearMessages();
  LineNumber = 0;
  FileLineNumber = 0;
  // The cursor stands at the first line: it must be a header or an MB line.
  const int firstKind = getNextRecType();
  if (firstKind != KindMX && firstKind != KindMB) LogError("No MX/MB-record or unsupported charset!");
  RecMX->BevoreProcessData();

  for (;;) {
    if (Offset >= DataLength - 1) {
      RecMX->onLastChildLoaded();
      LogInfo("exit tDataSource::qv_ProcessData");
      return result;
    }
    LogInfo("getNextRecType");
    const int kind = getNextRecType();
    ++LineNumber;
    ++FileLineNumber;
    switch (kind) {
      case KindMX:
        FileLineNumber = 1;
        result = 1;
        LoadRecord(RecMX);
        RecMX->MbCount = 0;
        break;
      case KindMB:
        result = LoadRecord(RecMB);
        ++RecMX->MbCount;
        break;
      case LineEmpty: LogError("empty line in line %i ", LineNumber); break;
      case LineUnknown: LogError("unknown RecordType in line %i ", LineNumber); break;
      default: result = LoadAddOn(Records[kind]); break;
    }
    if (GetErrorState() == -1) {
      LogInfo("*****Errorstate: -1");
      return -1;
    }
  }
}

}  // namespace qv
