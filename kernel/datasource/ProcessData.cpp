// The processing loop of one call: classifies each line, checks the order of
// the record kinds, loads each line into its record object and, at the end
// of the data, lets the header record finish the case.
#include "datasource/tDataSource.h"
#include "foundation/Logger.h"

namespace qv {

int tDataSource::LoadAddOn(Record* rec, bool& seen, bool outOfOrder) {
  static const char* const kNames[] = {"", "MX", "MB", "MN", "MP", "MD", "MK"};
  if (outOfOrder || RecMX->MbCount == 0) {
    LogError("unsupported record order for record %s in line %i ", kNames[rec->RecordKind], LineNumber);
    return -1;
  }
  seen = true;
  return LoadRecord(rec);
}

int tDataSource::qv_ProcessData() {
  LogInfo("enter tDataSource::qv_ProcessData");
  int result = 0;
  MessagesDe->ClearMessages();
  MessagesFr->ClearMessages();
  LineNumber = 0;
  FileLineNumber = 0;
  if (!(RecBuffer[0] == 'M' && (RecBuffer[1] == 'X' || RecBuffer[1] == 'B') && RecBuffer[2] == '|'))
    LogError("No MX/MB-record or unsupported charset!");
  RecMX->BevoreProcessData();

  auto& seen = RecMB->ChildPresent;
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
      case LineMX:
        FileLineNumber = 1;
        result = 1;
        LoadRecord(RecMX);
        RecMX->MbCount = 0;
        break;
      case LineMB:
        result = LoadRecord(RecMB);
        ++RecMX->MbCount;
        break;
      // An add-on line needs an MB line since the header and must come
      // after the add-ons already read in the case (MN, MP, MD, MK).
      case LineMN: result = LoadAddOn(RecMN, seen.MN, seen.MN || seen.MP || seen.MD || seen.MK); break;
      case LineMP: result = LoadAddOn(RecMP, seen.MP, seen.MP || seen.MD || seen.MK); break;
      case LineMD: result = LoadAddOn(RecMD, seen.MD, seen.MD || seen.MK); break;
      case LineMK: result = LoadAddOn(RecMK, seen.MK, seen.MK); break;
      case LineEmpty:
        LogError("empty line in line %i ", LineNumber);
        break;
      default:
        LogError("unknown RecordType in line %i ", LineNumber);
        break;
    }
    if (GetErrorState() == -1) {
      LogInfo("*****Errorstate: -1");
      return -1;
    }
  }
}

}  // namespace qv
