#include "messages/MessageHandler.h"

#include <cstdio>
#include <cstring>

#include "foundation/FileText.h"
#include "foundation/Logger.h"
#include "foundation/Release.h"

namespace qv {

namespace {
int* CounterFor(MessageHandler& h, char letter) {
  switch (letter) {
    case 'E': return &h.ErrorCount;
    case 'W': return &h.WarningCount;
    case 'H': return &h.HintCount;
    case 'C': return &h.ControlCount;
    case 'S': return &h.StructCount;
    default: return nullptr;
  }
}
}  // namespace

MessageHandler::MessageHandler(const char* fileName, char language) : Language(language) {
  ValueText[0] = '\0';
  CaseId[0] = '\0';
  MessageEntries = new MessageEntry[kMaxMessageRows];
  AddedRows = new int[kMaxMessageRows];
  HostBuilder = new MessageBuilder(nullptr, this);
  DefaultBuilder = new MessageBuilder(nullptr, this);
  HostList = new tBuffer(1024);
  ViewerList = new tBuffer(1024);
  LogInfo("Create MessageHandler: %s", fileName);
  ReadFile(fileName);
  LogInfo("LoadMessage: %i Messages", LoadedMessageCount);
}

MessageHandler::~MessageHandler() {
  ReleaseArray(FileText);
  ReleaseArray(MessageEntries);
  ReleaseArray(AddedRows);
  Release(HostList);
  Release(ViewerList);
  Release(HostBuilder);
  Release(DefaultBuilder);
}

void MessageHandler::ReadFile(const char* fileName) {
  int read = 0;
  bool refused = false;
  FileText = ReadWholeFile(fileName, read, &refused);
  if (!FileText) {
    if (!refused) LogError("Could not open MsgTextFile '%s'! Check -qvpath", fileName);
    return;
  }

  char* p = FileText;
  char* end = FileText + read;
  while (p < end && *p != '\n') ++p;  // header line
  int row = -1;
  int column = 0;
  // Every message line has a code, a type and a text; only the empty
  // remainder behind the final line feed has none.
  auto checkColumns = [&](bool last) {
    if (row < 0 || column >= 2) return true;
    if (last && column == 0 && MessageEntries[row].Code[0] == '\0') return true;
    LogError("MsgTextFile '%s': message %i has %i of the three columns code, type and text", fileName, row,
             column + 1);
    return false;
  };
  for (; p < end; ++p) {
    char c = *p;
    if (c == '\n') {
      *p = '\0';
      if (!checkColumns(false)) return;
      ++row;
      if (row >= kMaxMessageRows) {
        LogError("Too many rows in MsgTextFile '%s' (at most %i)", fileName, kMaxMessageRows);
        return;
      }
      MessageEntry& e = MessageEntries[row];
      e = MessageEntry{};
      e.Number = row;
      e.Code = e.OldCode = p + 1;
      ++LoadedMessageCount;
      column = 0;
    } else if (c == '\t') {
      *p = '\0';
      if (row < 0) continue;
      ++column;
      MessageEntry& e = MessageEntries[row];
      if (column == 1) {
        e.TypeLetter = p[1];
        e.KindCounter = CounterFor(*this, e.TypeLetter);
        if (!e.KindCounter)
          LogError("Switch case in MessageHandler fell through. Unexpected case '%c'", e.TypeLetter);
      } else if (column == 2) {
        e.Text = p + 1;
      } else if (column == 3) {
        e.OldCode = p + 1;
      }
    } else if (c == '\r') {
      *p = '\0';
    }
  }
  checkColumns(true);
}

void MessageHandler::AddMessage(int number, int lineNumber, const char* valueText, int recordType, int itemIndex) {
  if (recordType > -1) CurrentRecordType = recordType;
  if (number < 0 || number >= LoadedMessageCount || !MessageEntries[number].KindCounter) {
    // A rule named a message the text file does not have: keep the run
    // going and say so in the log instead of writing through a bad row.
    LogError("Message number %i is not in the message text file (%i rows)", number, LoadedMessageCount);
    return;
  }
  MessageEntry& e = MessageEntries[number];
  LogInfo("Msg Nr:%i  Line:%i \n", number, lineNumber);
  LogInfo("Msg(%i,%i):%c: %s %s", number, lineNumber, e.TypeLetter, e.Code, e.Text);
  if (e.Count++ == 0) AddedRows[AddedRowCount++] = number;
  ++*e.KindCounter;
  ++MessageCount;
  std::snprintf(ValueText, sizeof ValueText, "%s", valueText ? valueText : "");
  LogInfo("DLL-Message");
  ViewerList->WriteToBuffer(DefaultBuilder->Build(e, lineNumber, CurrentRecordType, itemIndex), -1);
  const char* hostLine = HostBuilder->Build(e, lineNumber, CurrentRecordType, itemIndex);
  HostList->WriteToBuffer(hostLine, -1);
  LogInfo("DLL-Message-new:%s", hostLine);
  ValueText[0] = '\0';
  BadFieldIndex = -1;
}

void MessageHandler::AddErrorTextMessage(const char* text) {
  HostList->WriteToBuffer("S S000 ", -1);
  HostList->WriteToBuffer(text ? text : "", -1);
  HostList->WriteToBuffer("\r\n", -1);
  ++MessageCount;
  ++StructCount;
}

void MessageHandler::ClearMessages() {
  LogInfo("enter MessageHandler::ClearMessages");
  HostList->ResetBuffer();
  ViewerList->ResetBuffer();
  ErrorCount = WarningCount = HintCount = StructCount = ControlCount = MessageCount = 0;
  for (int i = 0; i < AddedRowCount; ++i) MessageEntries[AddedRows[i]].Count = 0;
  AddedRowCount = 0;
  LogInfo("exit MessageHandler::ClearMessages");
}

void MessageHandler::SetFormatString(const char* format) {
  if (HostBuilder && format && std::strcmp(format, HostBuilder->FormatText) == 0) return;
  // Built first: when that fails, the handler keeps its working builder.
  auto* built = new MessageBuilder(format, this);
  delete HostBuilder;
  HostBuilder = built;
}

}  // namespace qv

