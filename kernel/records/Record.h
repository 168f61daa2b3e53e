// The base of every record kind: the field table that the line splitter
// fills and the field definitions describe, the record's own finding
// counters, the line numbers of the loaded line and the hooks the pipeline
// calls in a fixed order.
#pragma once

#include <cstdint>

#include "datasource/RecordKinds.h"
#include "foundation/tBuffer.h"
#include "lookup/LookupFile.h"
#include "messages/MessageHandler.h"
#include "records/ParsedDate.h"
#include "rules/RuleInfo.h"

namespace qv {

class RecordMB;

constexpr int kMaxFieldSlots = 1877;
constexpr int kTextBufferSize = 32768;

enum FieldKind { FieldPlain = 0, FieldCombo = 1, FieldDate = 2, FieldLookup = 3 };

struct FieldSlot {
  const char** ValueRef = nullptr;
  const char* Name = nullptr;
  const char* Label = nullptr;
  int Kind = FieldPlain;
  int Domain = -1;
};

// The empty text every unset field shows.
extern const char* const kEmptyText;

class Record {
 public:
  Record(int kind, int fieldCount);
  virtual ~Record();
  Record(const Record&) = delete;
  Record& operator=(const Record&) = delete;

  virtual void RenderHtml();
  virtual void TestRecord() {}
  virtual void onLastChildLoaded();
  virtual void onBeforeLoadData();
  virtual void onAfterLoadData();
  virtual void FinalAfterLoadData();
  virtual int CheckSpecialChars() const;

  // The text of field n (the empty text for a field without a value).
  const char* Field(int n) const {
    if (n < 0 || n >= kMaxFieldSlots || !Fields[n].ValueRef || !*Fields[n].ValueRef) return kEmptyText;
    return *Fields[n].ValueRef;
  }

  // Counts a failed test on this record and adds its finding (the shared end
  // of every test). entryKind (EntryDiagnosis, EntryTreatment) and position
  // name the entry a finding is about; -1 for findings about the record.
  void Report(const RuleInfo& rule, const char* value, int entryKind = -1, int position = -1);

  tBuffer* HtmlBuffer = nullptr;
  char* TextBuffer = nullptr;
  const char* V04Text = kEmptyText;
  mutable const char* BadCharField = kEmptyText;
  LookupFile* Lookups = nullptr;
  MessageHandler* Messages = nullptr;
  int Loaded = 0;
  int ErrorCount = 0;
  int WarningCount = 0;
  int HintCount = 0;
  int StructureCount = 0;
  int RecordKind;
  int FieldCount;
  int LoadedFieldCount = 0;
  // What the line splitter saw of the character check: the first field it
  // set that holds a forbidden byte (-1 for none), and the field count it
  // set fields below. -1 there: no split result to trust (the record was
  // not split, or a hook changed its field values since).
  int SplitBadField = -1;
  int SplitFieldLimit = -1;
  int LineNumber = 0;
  int FileLineNumber = 0;
  FieldSlot* Fields = nullptr;
  // Fields[n].ValueRef of every slot, packed, and &Unbound for a slot
  // without a variable: the line splitter stores every field through it
  // without a test (a 32-byte slot per field cost a cache line every second
  // field of a long line).
  const char** ValueRefs[kMaxFieldSlots];
  const char* Unbound = nullptr;  // written by the splitter, never read
  // Bit n set: the splitter set field n to a non-empty text. Read through
  // LastFilledBefore, which knows when the marks can be trusted.
  std::uint64_t FilledFields[(kMaxFieldSlots + 63) / 64] = {};
  // Set by a record whose lines must have all their fields (a short line is
  // refused): the splitter stores only the filled fields and leaves the
  // empty text in the others, which spares a store per empty field.
  bool SplitSetsFilledOnly = false;
  // The splitter's own state for such a record: every field it did not
  // mark as filled holds the empty text, and the marks lie in the first
  // MarkedWords words of FilledFields.
  bool EmptyFieldsStatic = false;
  int MarkedWords = 0;

  // The highest field number below end that may hold a text: from the
  // splitter's marks while its result can be trusted, else end - 1.
  int LastFilledBefore(int end) const;
  // The case's MB record (an MB points at itself); set by the data source.
  RecordMB* MbRecord = nullptr;

 protected:
  // Points field slot n at the variable that holds its text.
  void Bind(int n, const char** ref);
  // Sets the message handler's record type and file line before the tests.
  void BeginTests(int recordType);
  // Adds this record's counters to another record's (add-ons to their MB).
  void AddCountersTo(Record& other) const;
  // Scans the loaded fields for a byte that is not an ASCII letter or digit.
  int FirstFieldWithBadChar(int fieldLimit) const;
};

}  // namespace qv
