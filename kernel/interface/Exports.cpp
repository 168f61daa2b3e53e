// The eight exported functions and the single live handle.
#include <algorithm>
#include <cstdint>
#include <exception>
#include <memory>
#include <string>

#include "datasource/tDataSource.h"
#include "foundation/Logger.h"
#include "interface/LibraryGlobals.h"
#include "interface/ResultViewer.h"
#include "quorvant.h"
#include "rules/RuleInfo.h"

namespace qv {
namespace {

constexpr unsigned kFailure = 0xFFFFFFFFu;

unsigned CurrentHandle = 0;
tDataSource* CurrentDataSource = nullptr;
// Handles are opaque numbers, never reused while the library is loaded, so
// a stale handle of an earlier QV_Create is refused.
unsigned NextHandle = 0x51560001u;

unsigned NewHandleValue() {
  while (NextHandle == 0 || NextHandle == kFailure) ++NextHandle;
  return NextHandle++;
}

bool HandleIsValid(unsigned handle) {
  if (handle != 0 && handle == CurrentHandle && CurrentDataSource) return true;
  LogError("handleContext (%i) is not Valid\n", static_cast<int>(handle));
  return false;
}

// The highest message number a rule adds: every message file needs a row
// for each number up to it.
int HighestRuleMessage() {
  int highest = -1;
  for (const RuleInfo& r : AllRules()) highest = std::max(highest, r.Msg);
  return highest;
}

// Refuses a message file that lacks rows the rules use: an empty, cut or
// garbled file would otherwise drop those findings without a word.
void CheckMessageRows(const tDataSource& source) {
  const int highest = HighestRuleMessage();
  for (const MessageHandler* m : {source.MessagesDe, source.MessagesFr}) {
    int rows = 0;
    while (rows < m->LoadedMessageCount && m->MessageEntries[rows].KindCounter) ++rows;
    if (rows > highest) continue;
    const std::string name =
        std::string(source.QVPath) + (m == source.MessagesDe ? "message_dll_d.txt" : "message_dll_f.txt");
    LogError("MsgTextFile '%s' holds %i message rows; the rules use the numbers 0 to %i", name.c_str(), rows,
             highest);
    return;
  }
}

unsigned Create(const char* baseDirectory, int language) {
  LogInfo("Enter QV_Create");
  ClearErrorState();
  if (CurrentHandle != 0) {
    LogError("A valid handle is still available!\n");
    return kFailure;
  }
  LogInfo("\n********************************************************\n");
  LogInfo("QV_Create(0x%lx,%d)  ", static_cast<unsigned long>(reinterpret_cast<std::uintptr_t>(baseDirectory)),
          language);
  LogInfo("baseDirectory is [%s]  ", baseDirectory ? baseDirectory : "NULL");
  LogInfo("iLanguage = %d\n", language);
  LogInfo("sizeof(int)= %d\n", static_cast<int>(sizeof(int)));
  LogInfo("sizeof(char*)= %d\n", static_cast<int>(sizeof(char*)));
  LogInfo("sizeof(char)= %d\n", static_cast<int>(sizeof(char)));

  iLanguage = language;
  LanguageLetter = language == 1 ? 'f' : 'd';
  // Owned here until every step succeeded: a failure or an exception on the
  // way leaves no half-built data source behind.
  std::unique_ptr<tDataSource> source(new tDataSource(baseDirectory, LanguageLetter, nullptr));
  if (GetErrorState() == 0) CheckMessageRows(*source);
  if (GetErrorState() == 0) source->qv_Create_Lookups(language);
  if (GetErrorState() == 0) {
    source->LoadFieldInfo(language, "fields.ix5", baseDirectory);
    if (GetErrorState() == 0) source->CreateRecBuffer(10000);
  }
  if (GetErrorState() != 0) return kFailure;
  CurrentDataSource = source.release();
  unsigned handle = NewHandleValue();
  LogInfo("DataSource created!\n");
  LogInfo("QV_Create() returns the handleContext 0x%lx", static_cast<unsigned long>(handle));
  CurrentHandle = handle;
  LogInfo("Exit QV_Create");
  return handle;
}

int TestRec(unsigned handle, const char* data, int showResult, int languageOverride) {
  LogInfo("Enter QV_TestRec with Data:\n<DATA>%s</DATA>", data ? data : "");
  if (!HandleIsValid(handle)) return -1;
  ClearErrorState();
  tDataSource& source = *CurrentDataSource;
  if (languageOverride == 0) source.Messages = source.MessagesDe;
  else if (languageOverride == 1) source.Messages = source.MessagesFr;
  LogInfo("Call QVDataSource->LoadRecBuffer");
  source.LoadRecBuffer(data);
  LogInfo("Call QVDataSource->qv_ProcessData");
  if (source.qv_ProcessData() != 0) source.Messages->AddErrorTextMessage(GetLastErrorText());
  LogInfo("Exit QV_TestRec return MessageCount:%i", source.Messages->MessageCount);
  if (showResult == 1) ShowResult(source);
  return source.Messages->MessageCount;
}

int GetMessageList(unsigned handle, int* errors, int* warnings, int* hints, int* controls, int* structs,
                   char* list) {
  if (!HandleIsValid(handle)) return -1;
  const MessageHandler& m = *CurrentDataSource->Messages;
  if (errors) *errors = m.ErrorCount;
  if (warnings) *warnings = m.WarningCount;
  if (hints) *hints = m.HintCount;
  if (controls) *controls = m.ControlCount;
  if (structs) *structs = m.StructCount;
  if (list) m.HostList->CopyBufferTo(list);
  int state = GetErrorState();
  if (state != 0) LogError("%s", GetLastErrorText());
  return state;
}

int Destroy(unsigned handle) {
  if (!HandleIsValid(handle)) return -1;
  LogInfo("QV_Destroy(0x%lx)   ", static_cast<unsigned long>(handle));
  LogInfo("handleContext is %s\n", CurrentDataSource ? "valid" : "*** NOT VALID ***");
  if (!CurrentDataSource->Lookups) {
    LogError("Datasource->Lookup is not Valid\n");
    return -1;
  }
  delete CurrentDataSource;
  LogInfo("QV_Destroy() returns %d\n\n", 0);
  CurrentDataSource = nullptr;
  CurrentHandle = 0;
  DestroyLogger();
  return 0;
}

int SetFormat(const char* format) {
  if (!CurrentDataSource) return 0;
  CurrentDataSource->MessagesDe->SetFormatString(format);
  CurrentDataSource->MessagesFr->SetFormatString(format);
  return 0;
}

// Nothing may escape into the host: an exception (out of memory) becomes the
// failure result. The call's log lines reach the file before it returns.
template <class F>
auto Guarded(F f, decltype(f()) failure) -> decltype(f()) {
  struct FlushAtReturn {
    ~FlushAtReturn() { FlushLog(); }
  } flushAtReturn;
  try {
    RefreshLogSwitch();
    return f();
  } catch (const std::exception& e) {
    LogError("Unexpected failure: %s", e.what());
  } catch (...) {
    LogError("Unexpected failure");
  }
  return failure;
}

}  // namespace
}  // namespace qv

using namespace qv;

extern "C" {

QV_API unsigned int QV_CALL QV_Create(const char* baseDirectory, int language) {
  return Guarded([&] { return Create(baseDirectory, language); }, kFailure);
}

QV_API int QV_CALL QV_TestRec(unsigned int handle, const char* data, int showResult, int /*reserved*/) {
  return Guarded([&] { return TestRec(handle, data, showResult, -1); }, -1);
}

QV_API int QV_CALL QV_GetMessageList(unsigned int handle, int* errorCount, int* warningCount, int* hintCount,
                                     int* controlCount, int* structCount, char* messageList) {
  return Guarded(
      [&] { return GetMessageList(handle, errorCount, warningCount, hintCount, controlCount, structCount, messageList); },
      -1);
}

QV_API int QV_CALL QV_Destroy(unsigned int handle) {
  return Guarded([&] { return Destroy(handle); }, -1);
}

QV_API int QV_CALL QV_setFormatString(const char* formatString) {
  return Guarded([&] { return SetFormat(formatString); }, 0);
}

QV_API const char* QV_CALL QV_VersionAppName(void) { return kAppName; }
QV_API const char* QV_CALL QV_VersionNumber(void) { return kVersionNumber; }
QV_API const char* QV_CALL QV_VersionDate(void) { return kVersionDate; }

}  // extern "C"
