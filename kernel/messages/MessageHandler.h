// The message table of one language and the findings of the current run:
// counters by type letter and two lists of built lines (one in the host's
// format for QV_GetMessageList, one in the fixed format for the viewer).
#pragma once

#include "foundation/tBuffer.h"
#include "messages/MessageBuilder.h"
#include "messages/MessageEntry.h"

namespace qv {

constexpr int kMaxMessageRows = 8192;
constexpr int kValueTextSize = 128;
constexpr int kFieldValueRefs = 1024;

class MessageHandler {
 public:
  MessageHandler(const char* fileName, char language);
  virtual ~MessageHandler();
  MessageHandler(const MessageHandler&) = delete;
  MessageHandler& operator=(const MessageHandler&) = delete;

  // Adds finding `number` (a row of the message table) found on line
  // lineNumber of the call's data, showing valueText. recordType -1 keeps
  // CurrentRecordType; an entry kind (EntryDiagnosis, EntryTreatment) with
  // itemIndex names the entry.
  void AddMessage(int number, int lineNumber, const char* valueText, int recordType = -1, int itemIndex = -1);
  void AddErrorTextMessage(const char* text);
  void ClearMessages();
  void SetFormatString(const char* format);

  char* FileText = nullptr;
  MessageEntry* MessageEntries = nullptr;
  int LoadedMessageCount = 0;
  // The rows added since the last ClearMessages, so that clearing touches
  // only them.
  int* AddedRows = nullptr;
  int AddedRowCount = 0;

  int MessageCount = 0;
  int ErrorCount = 0;
  int WarningCount = 0;
  int HintCount = 0;
  int StructCount = 0;
  int ControlCount = 0;

  tBuffer* HostList = nullptr;
  tBuffer* ViewerList = nullptr;
  MessageBuilder* HostBuilder = nullptr;
  MessageBuilder* DefaultBuilder = nullptr;

  char Language;
  char ValueText[kValueTextSize];

  // What message lines may show about the finding's context. The records
  // set these before they add a finding; AddMessage only reads them (and
  // clears BadFieldIndex after each line).
  // - CurrentRecordType, CurrentFileLineNumber: set by Record::BeginTests of
  //   the record whose tests run (kind number, line in the file).
  // - MbLineNumber, MbFieldValuesValid, MdFieldValuesValid: set by the MB
  //   while it tests a case (the field values may be shown only then).
  // - BadFieldIndex: the field the character check found, else -1.
  // - CaseId: the MD's case-cost case number, set when an MD line loads and
  //   cleared by the next MB line.
  // - MbFieldValues, MdFieldValues, BurText, CantonText, StatTypeText,
  //   MainCostCentreText: point at the records' field texts; set once by the
  //   data source when it creates its records.
  int CurrentRecordType = -1;
  int CurrentFileLineNumber = 0;
  int MbLineNumber = 0;
  int BadFieldIndex = -1;
  char CaseId[kValueTextSize];
  const char** MbFieldValues[kFieldValueRefs] = {};
  const char** MdFieldValues[kFieldValueRefs] = {};
  bool MbFieldValuesValid = false;
  bool MdFieldValuesValid = false;
  const char** BurText = nullptr;
  const char** CantonText = nullptr;
  const char** StatTypeText = nullptr;
  const char** MainCostCentreText = nullptr;

 private:
  void ReadFile(const char* fileName);
};

}  // namespace qv
