#include "records/RecordMX.h"

#include <cstring>

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
  const char* const text = F[5] ? F[5] : kEmptyText;
  const size_t room = sizeof ParsedHeaderText;
  size_t n = 0;
  while (n < room && text[n] && text[n] == ParsedHeaderText[n]) ++n;
  if (HeaderParsed && n < room && text[n] == '\0' && ParsedHeaderText[n] == '\0') {
    HeaderDate.Text = text;
  } else {
    ParseDate(text, HeaderDate);
    n = std::strlen(text);
    HeaderParsed = n < room;
    if (HeaderParsed) std::memcpy(ParsedHeaderText, text, n + 1);
  }
  StatYear = HeaderDate.Year;
  TestRecord();
}

void RecordMX::onLastChildLoaded() {
  LogInfo("RecordMX::onLastChildLoaded  Mode:%i", 0);
  if (MbRecord && MbRecord->Loaded == 1) MbRecord->onLastChildLoaded();
  Loaded = 0;
}

}  // namespace qv
