#include "records/Record.h"

#include <cstdio>
#include <cstring>

#include "foundation/Logger.h"
#include "foundation/Release.h"

namespace qv {

const char* const kEmptyText = "";

namespace {
// ASCII letters and digits, the only bytes a field may hold.
const bool* const kAlnum = [] {
  static bool table[256] = {};
  for (int c = 0; c < 256; ++c) table[c] = (c >= '0' && c <= '9') || (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
  return table;
}();
}  // namespace

Record::Record(int kind, int fieldCount) : RecordKind(kind), FieldCount(fieldCount) {
  TextBuffer = new char[kTextBufferSize];
  TextBuffer[0] = '\0';
  Fields = new FieldSlot[kMaxFieldSlots];
  for (const char**& ref : ValueRefs) ref = &Unbound;
}

Record::~Record() {
  ReleaseArray(TextBuffer);
  ReleaseArray(Fields);
}

void Record::Bind(int n, const char** ref) {
  if (n < 0 || n >= kMaxFieldSlots) return;
  if (!*ref) *ref = kEmptyText;
  Fields[n].ValueRef = ref;
  ValueRefs[n] = ref;
}

void Record::onLastChildLoaded() {
  LogInfo("Record.onLastChildLoaded");
  Loaded = 0;
}

void Record::onBeforeLoadData() {
  LogInfo("Record.onBeforeLoadData");
  ErrorCount = WarningCount = HintCount = StructureCount = 0;
}

void Record::onAfterLoadData() { LogInfo("Record.onAfterLoadData"); }

void Record::FinalAfterLoadData() { LogInfo("Record.FinalAfterLoadData"); }

int Record::FirstFieldWithBadChar(int fieldLimit) const {
  int limit = LoadedFieldCount < fieldLimit ? LoadedFieldCount : fieldLimit;
  if (limit > kMaxFieldSlots) limit = kMaxFieldSlots;
  int found = -1;
  if (SplitFieldLimit >= 0 && LoadedFieldCount <= SplitFieldLimit) {
    // Every field looked at below was set by the splitter, which marked
    // the first one holding a forbidden byte.
    if (SplitBadField >= 0 && SplitBadField < limit) found = SplitBadField;
  } else {
    for (int i = 0; i < limit && found < 0; ++i) {
      const char* const* ref = Fields[i].ValueRef;
      if (!ref || !*ref) continue;
      for (const unsigned char* p = reinterpret_cast<const unsigned char*>(*ref); *p; ++p) {
        if (!kAlnum[*p]) {
          found = i;
          break;
        }
      }
    }
  }
  if (found >= 0) {
    BadCharField = Field(found);
    if (Messages) Messages->BadFieldIndex = found;
  }
  return found;
}

int Record::LastFilledBefore(int end) const {
  if (end > kMaxFieldSlots) end = kMaxFieldSlots;
  // The split set the fields 0 to LoadedFieldCount below SplitFieldLimit;
  // fields beyond still hold what an earlier line or a hook left there.
  const int splitEnd = LoadedFieldCount + 1 < SplitFieldLimit ? LoadedFieldCount + 1 : SplitFieldLimit;
  if (SplitFieldLimit < 0 || LoadedFieldCount > SplitFieldLimit || end > splitEnd) return end - 1;
  for (int n = end - 1; n >= 0; n = (n & ~63) - 1) {
    // The marks of fields n & ~63 to n.
    const std::uint64_t word = FilledFields[n >> 6] & (~std::uint64_t{0} >> (63 - (n & 63)));
    if (word) return (n & ~63) + 63 - __builtin_clzll(word);
  }
  return -1;
}

int Record::CheckSpecialChars() const { return FirstFieldWithBadChar(kMaxFieldSlots); }

void Record::RenderHtml() {
  if (!HtmlBuffer) return;
  auto append = [this](const char* format, const char* a, const char* b) {
    std::snprintf(TextBuffer, kTextBufferSize, format, a, b);
    HtmlBuffer->WriteToBuffer(TextBuffer, -1);
  };
  for (int i = 0; i < FieldCount && i < kMaxFieldSlots; ++i) {
    int j = i;
    if (RecordKind == KindMB && FieldCount == 50 && i >= 39) j = i + 20;
    const FieldSlot& slot = Fields[j];
    const char* textClass = (i % 2) ? "tabtextodd" : "tabtexteven";
    const char* valueClass = (i % 2) ? "tabboldodd" : "tabboldeven";
    const char* value = Field(j);
    append("<tr><td class=%s>%s</td>\n", textClass, slot.Name ? slot.Name : "#Field not defined");
    append("<td class=%s nowrap>%s</td>\n", textClass, slot.Label ? slot.Label : "#Field not defined");
    append("<td class=%s>%s</td>\n", valueClass, value);
    const char* meaning = kEmptyText;
    if (slot.Kind == FieldCombo && Lookups) {
      meaning = Lookups->GetDisplayText(slot.Domain, value);
    } else if (slot.Kind == FieldLookup && *value) {
      if (slot.Domain == -1) {
        meaning = "#Domain not found";
      } else if (slot.Name && std::strcmp(slot.Name, "1.1.V04") == 0) {
        meaning = V04Text;
      } else if (Lookups) {
        int found = Lookups->SearchItem(value, slot.Domain);
        if (found >= 0) meaning = Lookups->Records[found].Text;
        else meaning = Lookups->LanguageIndex == 1 ? "#valeur non valable" : "#ung\xfcltiger Wert";
      }
    }
    LogInfo("Value:(%i) %s:%s", slot.Kind, value, meaning);
    append("<td class=%s>%s</td></td></tr>\n", textClass, meaning);
  }
}

void Record::Report(const RuleInfo& rule, const char* value, int entryKind, int position) {
  switch (rule.Kind) {
    case Counter::Error: ++ErrorCount; break;
    case Counter::Warning: ++WarningCount; break;
    case Counter::Hint: ++HintCount; break;
  }
  if (Messages) Messages->AddMessage(rule.Msg, LineNumber, value, entryKind, position);
}

void Record::BeginTests(int recordType) {
  if (!Messages) return;
  Messages->CurrentRecordType = recordType;
  Messages->CurrentFileLineNumber = FileLineNumber;
}

void Record::AddCountersTo(Record& other) const {
  other.ErrorCount += ErrorCount;
  other.WarningCount += WarningCount;
  other.HintCount += HintCount;
  other.StructureCount += StructureCount;
}

}  // namespace qv
