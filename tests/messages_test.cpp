// The message text table, counting by type letter, and the line formats.
#include <gtest/gtest.h>

#include <climits>

#include "foundation/Logger.h"
#include "interface/LibraryGlobals.h"
#include "messages/MessageBuilder.h"
#include "messages/MessageHandler.h"
#include "support/Fixture.h"

namespace {

using namespace qv;

// A message file of the given text in a directory of its own.
struct TempFile {
  qvtest::TempDir dir;
  std::string path;
  explicit TempFile(const std::string& text) : path(dir.Write("messages.txt", text)) {}
  const char* Path() const { return path.c_str(); }
};

std::string HostList(const MessageHandler& h) { return qvtest::Text(*h.HostList); }

const char* kTwoMessages = "Code\tTyp\tText\nB0100\tE\tGeschlecht fehlt\nC2111xx\tW\tL\xe4nge\tOLD12\n";

TEST(MessageTable, RowsColumnsAndOldCode) {
  TempFile file(kTwoMessages), crlf("Code\tTyp\tText\r\nB0100\tE\tText one\r\nB0101\tEW\tText two\r\n");
  MessageHandler h(file.Path(), 'd'), fromCrlf(crlf.Path(), 'd');
  EXPECT_EQ(h.LoadedMessageCount, 3) << "two messages and the empty remainder";
  const MessageEntry *a = h.MessageEntries, *b = a + 1;
  EXPECT_EQ(std::string(a->Code) + " " + a->OldCode + " " + b->OldCode + " " + b->Text + " " + b->TypeLetter,
            "B0100 B0100 OLD12 L\xe4nge W");
  EXPECT_EQ(fromCrlf.LoadedMessageCount, 3);
  EXPECT_STREQ(fromCrlf.MessageEntries[0].Text, "Text one");
  EXPECT_EQ(fromCrlf.MessageEntries[1].KindCounter, &fromCrlf.ErrorCount) << "only the first letter counts";
}

TEST(MessageTable, FailuresAreReported) {
  TempFile badType("h\nA\tX\ttext\n"), shortRow("h\nA\tE\ttext\nB\tE\nC\tE\tt\n"), noLastLf("h\nA\tE\ttext");
  const std::pair<std::string, std::string> rows[] = {  // file, error ("" none)
      {"/nonexistent/message_dll_d.txt",
       "#E: Could not open MsgTextFile '/nonexistent/message_dll_d.txt'! Check -qvpath"},
      {badType.path, "#E: Switch case in MessageHandler fell through. Unexpected case 'X'"},
      {shortRow.path,
       "#E: MsgTextFile '" + shortRow.path + "': message 1 has 2 of the three columns code, type and text"},
      {noLastLf.path, ""},  // the last line needs no line feed
  };
  for (const auto& [path, error] : rows) {
    DestroyLogger();
    MessageHandler h(path.c_str(), 'd');
    EXPECT_EQ(GetErrorState(), error.empty() ? 0 : -1) << path;
    EXPECT_TRUE(error.empty() || GetLastErrorText() == error) << GetLastErrorText();
  }
  DestroyLogger();
}

// The counts by type letter are checked through the exported functions; here
// the structural lines and the numbers no row has.
TEST(MessageList, StructuralLinesAndUnknownNumbers) {
  TempFile file(kTwoMessages);
  MessageHandler h(file.Path(), 'd');
  h.ClearMessages();
  h.AddMessage(1, 5, "v1");
  EXPECT_EQ(h.ViewerList->TotalUsedSize, h.HostList->TotalUsedSize);
  h.AddErrorTextMessage("#E: broken");
  EXPECT_TRUE(h.MessageCount == 2 && h.WarningCount == 1 && h.StructCount == 1);
  h.ClearMessages();
  EXPECT_EQ(h.MessageCount + h.WarningCount + h.StructCount, 0);
  EXPECT_EQ(HostList(h), "");
  // An unknown number is reported, not written (the empty remainder row has no type).
  DestroyLogger();
  h.AddMessage(2, 1, "x");
  h.AddMessage(500, 1, "x");
  EXPECT_EQ(h.MessageCount, 0);
  EXPECT_EQ(GetErrorState(), -1);
  DestroyLogger();
}

class Formats : public ::testing::Test {
 protected:
  TempFile file{"h\nB0100\tE\tText\nC2111xx\tH\tFeld %i hat ein Zeichen\tOLD12\n"};
  MessageHandler h{file.Path(), 'd'};
  const char* mbValues[3] = {"MB", "x", "ZH"};
  const char* bur = "71234567";

  void SetUp() override {
    DestroyLogger();
    h.ClearMessages();
    for (int i = 0; i < 3; ++i) h.MbFieldValues[i] = &mbValues[i];
    h.BurText = &bur;
    h.CantonText = &mbValues[2];
  }
  std::string Line(const char* format, int number, int recordType = -1, int item = -1, const char* value = "v") {
    h.SetFormatString(format);
    h.ClearMessages();
    h.AddMessage(number, 5, value, recordType, item);
    return HostList(h);
  }
};

TEST_F(Formats, SystemKeys) {
  qvtest::StatYearScope year(2023);
  h.CurrentFileLineNumber = 3;
  h.MbLineNumber = 2;
  struct Row { const char* Format; int Number, RecordType, Item; std::string Line; } rows[] = {
      {"plain text", 0, -1, -1, "plain text\r\n"},
      {"{{SYS.LineNr}}|{{SYS.ErrorNr}}", 1, -1, -1, "5|C2111\r\n"},
      {"{{SYS.ErrorNr}}", 1, 7, 3, "C21113\r\n"},
      {"{{SYS.ErrorNrOld}}/{{SYS.ErrorNrS}}", 1, 7, 3, "OLD123/C2111\r\n"},
      {"{{SYS.Version}} {{SYS.StatYear}} {{SYS.MsgType}}", 0, -1, -1, "6.0.8.0 x86 2023 E\r\n"},
      {"{{SYS.LineNrMX}} {{SYS.LineNrMB}} {{SYS.BUR}} {{SYS.KT}}", 0, -1, -1, "3 2 71234567 ZH\r\n"},
      {"[{{SYS.Text3}}]{{SYS.InvalidData}}", 0, -1, -1, "[]v\r\n"},
      {"[{{SYS.StatTyp}}{{SYS.HKST}}{{SYS.FID}}{{MB.3}}]", 0, -1, -1, "[]\r\n"},
      {"{{SYS.Text0}}\n", 0, -1, -1, "Text\n"},
      {"a\r\nb{{SYS.LineNr}}", 0, -1, -1, "a\r\nb5"},
  };
  for (const Row& r : rows) EXPECT_EQ(Line(r.Format, r.Number, r.RecordType, r.Item), r.Line) << r.Format;
  EXPECT_EQ(Line(nullptr, 1), "H: C2111 Feld %i hat ein Zeichen\r\n") << "no format: the default one";
  h.MbFieldValuesValid = true;
  EXPECT_EQ(Line("{{MB.1}}-{{MB.3}}", 0), "MB-ZH\r\n");
  h.CurrentFileLineNumber = 2;
  EXPECT_EQ(Line("[{{SYS.KT}}]", 0), "[]\r\n") << "no canton for the header and MB lines";
}

TEST_F(Formats, PositionLabels) {
  struct Row { char Language; int RecordType, Item; const char* Text1Start; const char* Text2Start; } rows[] = {
      {'d', 7, 0, "Hauptdiagnose: ", "HD:"},
      {'d', 7, 1, "Zusatz zur Hauptdiagnose: ", "ZD:"},
      {'d', 7, 4, "3. Nebendiagnose: ", "3.ND:"},
      {'d', 8, 0, "Hauptbehandlung: ", "HB:"},
      {'d', 8, 2, "2. weitere Behandlung: ", "2.NB:"},
      {'f', 7, 0, "Diagnostic principal: ", "DP:"},
      {'f', 7, 1, "Compl\xe9ment au diagnostic principal: ", "CD:"},
      {'f', 7, 2, "1er diagnostic suppl\xe9mentaire: ", "1.DS:"},
      {'f', 8, 0, "Traitement principal: ", "TP:"},
      {'f', 7, 3, "2e diagnostic suppl\xe9mentaire: ", "2.DS:"},
      {'f', 8, 1, "1er traitement suppl\xe9mentaire: ", "1.TS:"},
      {'f', 8, 5, "5e traitement suppl\xe9mentaire: ", "5.TS:"},
  };
  for (const Row& r : rows) {
    h.Language = r.Language;
    EXPECT_EQ(Line("{{SYS.Text1}}", 0, r.RecordType, r.Item), std::string(r.Text1Start) + "Text\r\n");
    EXPECT_EQ(Line("{{SYS.Text2}}", 0, r.RecordType, r.Item), std::string(r.Text2Start) + "Text\r\n");
  }
  EXPECT_EQ(Line("{{SYS.Text2}}", 0, 7, -1), "Text\r\n") << "no position without an item";
}

TEST_F(Formats, NumbersAndLongLabels) {
  struct Row { int Number; const char* Text; } numbers[] = {
      {0, "0"}, {7, "7"}, {10, "10"}, {1234567, "1234567"}, {-12, "-12"},
      {INT_MAX, "2147483647"}, {INT_MIN, "-2147483648"},
  };
  for (const Row& r : numbers) {
    h.CurrentFileLineNumber = r.Number;
    EXPECT_EQ(Line("{{SYS.LineNrMX}}", 0), std::string(r.Text) + "\r\n") << r.Number;
  }
  h.Language = 'd';
  EXPECT_EQ(Line("{{SYS.Text2}}", 0, 7, 12), "11.ND:Text\r\n");
  EXPECT_EQ(Line("{{SYS.Text1}}", 0, 8, 99), "99. weitere Behandlung: Text\r\n");
  // A label is cut where its buffer ends, and the buffer stays terminated.
  char label[4] = {'x', 'x', 'x', 'x'};
  EntryLabelText(label, sizeof label, false, 7, 12, false);
  EXPECT_STREQ(label, "11.");
}

TEST_F(Formats, BadFieldIndexNamesTheField) {
  h.BadFieldIndex = 4;
  EXPECT_EQ(Line("{{SYS.Text2}}", 1), "Feld 5 hat ein Zeichen\r\n");
  EXPECT_EQ(h.BadFieldIndex, -1) << "reset after each message";
}

TEST_F(Formats, FaultyKeysAreReported) {
  struct Row { const char* Format; const char* Error; std::string Line; } rows[] = {
      {"a{{MB.0}}b", "#E: Invalid field number: 0", "ab\r\n"},
      {"{{MB.51}}", "#E: Invalid field number: 51", "\r\n"},
      {"{{XX.1}}", "#E: Invalid domain in format string: XX", "\r\n"},
      {"{{SYS.Nope}}", "#E: Invalid format string: Nope", "\r\n"},
      {"{{SYSLineNr}}x", "#E: Invalid format string: SYSLineNr", "x\r\n"},
      {"a{{SYS.LineNr", "#E: Invalid format string: Unterminated key at SYS.LineNr", "a\r\n"},
  };
  for (const Row& r : rows) {
    ClearErrorState();
    EXPECT_EQ(Line(r.Format, 0), r.Line) << r.Format;
    EXPECT_STREQ(GetLastErrorText(), r.Error) << r.Format;
  }
  ClearErrorState();
  Line("{{MD.692}}", 0);
  EXPECT_EQ(GetErrorState(), 0) << "MD keys go up to 692";
}

}  // namespace
