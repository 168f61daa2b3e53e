// The processing loop of one call: classifies each line, checks the order of
// the record kinds, loads each line into its record object and, at the end
// of the data, lets the header record finish the case.
#include "datasource/tDataSource.h"
#include "foundation/Logger.h"

namespace qv {

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
    const bool noMb = RecMX->MbCount == 0;
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
      case LineMN:
        if (seen.MN || seen.MP || seen.MD || seen.MK || noMb) {
          LogError("unsupported record order for record MN in line %i ", LineNumber);
          break;
        }
        result = LoadRecord(RecMN);
        seen.MN = true;
        break;
      case LineMP:
        if (seen.MP || seen.MD || seen.MK || noMb) {
          LogError("unsupported record order for record MP in line %i ", LineNumber);
          break;
        }
        result = LoadRecord(RecMP);
        seen.MP = true;
        break;
      case LineMD:
        if (seen.MD || seen.MK || noMb) {
          LogError("unsupported record order for record MD in line %i ", LineNumber);
          break;
        }
        result = LoadRecord(RecMD);
        seen.MD = true;
        break;
      case LineMK:
        if (seen.MK || noMb) {
          LogError("unsupported record order for record MK in line %i ", LineNumber);
          break;
        }
        result = LoadRecord(RecMK);
        seen.MK = true;
        break;
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
