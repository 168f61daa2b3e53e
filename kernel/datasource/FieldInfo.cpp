// Reading the field definitions ("fields.ix5"): for every field of every
// record kind its variable name, kind, domain and label in the handle's
// language. The decoded text is kept; the field slots point into it.
#include <cstdio>
#include <cstring>
#include <string>

#include "datasource/tDataSource.h"
#include "foundation/FileText.h"
#include "foundation/StoredForm.h"
#include "foundation/Logger.h"

namespace qv {

namespace {

int KindOf(const char* text) {
  if (std::strcmp(text, "DATE") == 0) return FieldDate;
  if (std::strcmp(text, "COMBO") == 0) return FieldCombo;
  if (std::strcmp(text, "LOOKUP") == 0) return FieldLookup;
  return FieldPlain;
}
}  // namespace

int tDataSource::LoadFieldInfo(int language, const char* fileName, const char* directory) {
  LogInfo("LoadFieldInfo: From %s%s", directory ? directory : "", fileName);
  std::string path = std::string(directory ? directory : "") + fileName;
  int read = 0;
  char* text = ReadWholeFile(path.c_str(), read);
  if (!text) {
    LogError("Could not open domain file '%s'", path.c_str());
    return 0;
  }
  delete[] FieldDefText;
  FieldDefText = text;
  const size_t length = static_cast<size_t>(read);

  // The slots point into the text read here: forget an earlier load's.
  for (Record* r : Records)
    if (r)
      for (int i = 0; i < kMaxFieldSlots; ++i) {
        FieldSlot& slot = r->Fields[i];
        slot.Name = slot.Label = nullptr;
        slot.Kind = FieldPlain;
        slot.Domain = -1;
      }

  Record* record = nullptr;
  int column = 0;
  bool recordLine = false;
  int fieldLines = 0;  // 'F' marks seen on the current line
  int fieldNumber = 0;
  char* columnStart = FieldDefText;
  for (size_t i = 0; i < length; ++i) {
    char* p = FieldDefText + i;
    *p = StoredToPlain(*p);
    const char c = *p;
    if (c == '\t') {
      *p = '\0';
      if (recordLine && column == 1) {
        if (const RecordKind* kind = KindNamed(columnStart))
          if (Records[kind->Kind]) record = Records[kind->Kind];
      } else if (fieldLines > 0 && record && fieldNumber >= 1 && fieldNumber <= kMaxFieldSlots) {
        FieldSlot& slot = record->Fields[fieldNumber - 1];
        switch (column) {
          case 1: slot.Name = columnStart; break;
          case 2: slot.Kind = KindOf(columnStart); break;
          case 3:
            if (slot.Kind == FieldCombo || slot.Kind == FieldLookup) slot.Domain = Lookups->FindDomain(columnStart);
            break;
          case 4:
            if (language == 0) slot.Label = columnStart;
            break;
          case 5:
            if (language != 0) slot.Label = columnStart;
            break;
          default: break;
        }
      }
      ++column;
      columnStart = p + 1;
    } else if (c == '\n' || c == '\r') {
      *p = '\0';
      column = 0;
      recordLine = false;
      fieldLines = 0;
      columnStart = p + 1;
    } else if (c == 'R' && column == 0) {
      recordLine = true;
      fieldNumber = 0;
    } else if (c == 'F' && column == 0) {
      ++fieldLines;
      ++fieldNumber;
    }
  }
  LogInfo("OK ************************* FieldDef loaded");
  return 1;
}

}  // namespace qv
