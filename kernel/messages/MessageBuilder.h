// Turns a finding into one text line, shaped by a format string such as
// "{{SYS.MsgType}}: {{SYS.ErrorNr}} {{SYS.Text2}}\r\n". The format is parsed
// once into literal fragments and keys; each Build walks the fragments.
#pragma once

#include <vector>

#include "messages/MessageEntry.h"

namespace qv {

class MessageHandler;

constexpr const char* kDefaultFormat = "{{SYS.MsgType}}: {{SYS.ErrorNr}} {{SYS.Text2}}\r\n";
constexpr int kMessageLineSize = 16384;

enum KeyDomain { KeyMbField = 0, KeyMdField = 1, KeySystem = 6, KeyNone = 7 };

enum SystemKey {
  SysVersion = 0, SysStatYear = 1, SysLineNr = 2, SysErrorNr = 3, SysErrorNrOld = 4, SysErrorNrS = 5,
  SysMsgType = 6, SysLineNrMX = 8, SysLineNrMB = 9, SysBUR = 10, SysFID = 11, SysStatTyp = 12,
  SysHKST = 13, SysKT = 14, SysText0 = 15, SysText1 = 16, SysText2 = 17, SysText3 = 18,
  SysInvalidData = 19
};

struct FormatFragment {
  const char* Literal;
  int KeyDomain;
  int KeyIndex;
};

class MessageBuilder {
 public:
  MessageBuilder(const char* format, MessageHandler* handler);
  ~MessageBuilder();
  MessageBuilder(const MessageBuilder&) = delete;
  MessageBuilder& operator=(const MessageBuilder&) = delete;

  const char* Build(const MessageEntry& entry, int lineNumber, int recordType, int itemIndex);

  char* FormatText = nullptr;
  char* Output = nullptr;
  char* WorkText = nullptr;
  int OutputSize = kMessageLineSize;
  MessageHandler* Handler;
  std::vector<FormatFragment> Fragments;

 private:
  void Parse();
  void AddKey(char* literal, char* key);
  void Append(const char* text);
  void AppendNumber(int value);
  void AppendKey(const FormatFragment& f, const MessageEntry& entry, int lineNumber, int recordType,
                 int itemIndex);
  void AppendText(const MessageEntry& entry, int recordType, int itemIndex, bool longForm);
  int Length = 0;
};

// Position label of a diagnosis (EntryDiagnosis) or treatment (EntryTreatment) entry, for
// example "HD:" or "3.ND:"; written into out (capacity bytes).
void EntryLabelText(char* out, int capacity, bool longForm, int recordType, int itemIndex, bool french);

}  // namespace qv
